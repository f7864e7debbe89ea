// Prints how long the installation's work on disk takes for the payload the
// program carries: making the folder, writing the archive in one write,
// extracting every entry and deleting the archive (what happens between the
// click and the payload being on disk, without the progress bar's own
// pace). Prints only; never fails.
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/core/TextConversion.h"
#include "installer/InstallAction.h"
#include "installer/InstallerAssets.h"
#include "engine/testing/Stopwatch.h"

#include <shellapi.h>

namespace {

void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

}  // namespace

int main() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = ui::WideToAnsi(temp) + "nimbo-install-benchmark\\";
  const std::wstring wideFolder = ui::AnsiToWide(folder.substr(0, folder.size() - 1));
  std::vector<double> times;
  for (int round = 0; round < 10; ++round) {
    RemoveTree(wideFolder);
    const double start = ui::test::NowMs();
    const setup::InstallOutcome outcome = setup::DeployPayload(folder);
    times.push_back(ui::test::NowMs() - start);
    if (outcome != setup::InstallOutcome::Installed) {
      std::printf("the payload could not be deployed\n");
      return 0;
    }
  }
  RemoveTree(wideFolder);
  std::sort(times.begin(), times.end());
  std::printf("payload on disk (%zu bytes: write, extract, delete): %8.3f ms (median of %zu, min %.3f)\n",
              setup::PayloadArchive().size(), times[times.size() / 2], times.size(), times.front());
  return 0;
}
