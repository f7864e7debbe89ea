#pragma once

#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace product {

// Nimbo marks that it runs with a named mutex, held for its whole life, under
// a name in its own session and one for the whole machine, as installers
// and their products commonly agree: the installer and the uninstaller look
// for either before they replace or remove a file of the product.
inline constexpr wchar_t kRunningMarkLocal[] = L"Local\\Nimbo.Running";
inline constexpr wchar_t kRunningMarkGlobal[] = L"Global\\Nimbo.Running";
// The product's program, the one that holds the mark.
inline constexpr wchar_t kProductProgramName[] = L"Nimbo.exe";
// How long a Nimbo asked to close is given to end.
inline constexpr DWORD kProductCloseWaitMs = 10000;

// Held by Nimbo while it runs.
class RunningMark {
 public:
  RunningMark();
  ~RunningMark();
  RunningMark(const RunningMark&) = delete;
  RunningMark& operator=(const RunningMark&) = delete;

 private:
  HANDLE local_;
  HANDLE global_;
};

// A Nimbo runs in this session or on the machine (its mark is there).
bool ProductMarked();

// A process that runs the product's program from one of the folders, or
// holds it open.
struct ProductProcess {
  DWORD id = 0;
  std::wstring image;  // its program's full path, where it could be read
};

// The processes that run `Nimbo.exe` from any of the folders (full paths,
// with or without a trailing backslash): those Restart Manager names as
// holding the file, where Windows offers it (loaded from the system folder
// only), and, when Nimbo's mark is there, those whose program is that file.
std::vector<ProductProcess> ProductProcesses(const std::vector<std::wstring>& folders);

// Asks each process to close, as its user would (WM_CLOSE to each of its
// top-level windows), then waits for all of them, at most `waitMs`. Returns
// those still running at the end; empty when every one has ended.
std::vector<ProductProcess> CloseProductProcesses(const std::vector<ProductProcess>& processes, DWORD waitMs);

}  // namespace product
