#include "InstallOutcome.h"

namespace setup {
namespace {

// Everything an outcome stands for, in the order of the enumeration.
struct OutcomeFacts {
  InstallOutcome outcome;
  int exitCode;
  const char* name;    // for the log
  const char* reason;  // for the status box, before the folder
};

constexpr OutcomeFacts kOutcomes[] = {
    {InstallOutcome::Installed, 0, "installed", ""},
    {InstallOutcome::FolderNotCreated, 1, "the folder could not be created", "无法创建文件夹 "},
    {InstallOutcome::PayloadNotWritten, 2, "the payload could not be written", "无法写入 "},
    {InstallOutcome::ArchiveUnsafe, 3, "the archive holds an unsafe name", "安装包含有不安全的文件名，未写入 "},
    {InstallOutcome::ArchiveFailed, 3, "the archive could not be extracted", "无法解压到 "},
    {InstallOutcome::RegistrationFailed, 4, "the product could not be registered", "无法登记已安装的程序，已安装的文件在 "},
};

const OutcomeFacts& FactsOf(InstallOutcome outcome) {
  for (const OutcomeFacts& facts : kOutcomes) {
    if (facts.outcome == outcome) return facts;
  }
  return kOutcomes[4];  // not reached: every outcome is listed
}

}  // namespace

int ExitCodeOf(InstallOutcome outcome) { return FactsOf(outcome).exitCode; }

const char* OutcomeName(InstallOutcome outcome) { return FactsOf(outcome).name; }

std::string FailureLine(InstallOutcome outcome, const std::string& folder) {
  if (outcome == InstallOutcome::Installed) return {};
  return std::string("\r\n安装失败：") + FactsOf(outcome).reason + folder;
}

}  // namespace setup
