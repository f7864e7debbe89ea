#include "TemporaryCopy.h"

#include <cwctype>
#include <vector>

#include "PayloadPlan.h"
#include "Switches.h"
#include "engine/core/Win32.h"

namespace uninstall {
namespace {

constexpr int kNameAttempts = 100;

bool SameFolder(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  }
  return true;
}

// Copies the program to Nimbo-uninstall-<process id>-<n>.exe; an existing
// file of that name is never overwritten.
std::wstring CopyToTemporaryFolder(const std::wstring& program, std::wstring* error) {
  const std::wstring folder = TemporaryFolder();
  if (folder.empty()) {
    *error = L"no temporary folder";
    return {};
  }
  const std::wstring stem = folder + L"\\Nimbo-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int n = 1; n <= kNameAttempts; ++n) {
    const std::wstring copy = stem + std::to_wstring(n) + L".exe";
    if (CopyFileW(program.c_str(), copy.c_str(), TRUE)) return copy;
    const DWORD failure = GetLastError();
    if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS) {
      *error = L"cannot copy to " + copy + L" (error " + std::to_wstring(failure) + L")";
      return {};
    }
  }
  *error = L"no free file name in " + folder;
  return {};
}

}  // namespace

std::wstring RunningProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  std::wstring folder(buffer, length);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

bool StartTemporaryCopy(const std::wstring& folder, bool silent, std::wstring* error) {
  const std::wstring program = RunningProgramPath();
  if (program.empty()) {
    *error = L"the program's own path is unknown";
    return false;
  }
  const std::wstring copy = CopyToTemporaryFolder(program, error);
  if (copy.empty()) return false;

  // The copy waits on this handle; unlike a process id, it cannot come to
  // name another process once this one has ended.
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
    *error = L"cannot share the process handle (error " + std::to_wstring(GetLastError()) + L")";
    DeleteFileW(copy.c_str());
    return false;
  }
  std::wstring commandLine =
      CopyCommandLine(copy, folder, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(self)), silent);
  const std::wstring currentFolder = FolderOf(copy);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      currentFolder.c_str(), &startup, &process);
  const DWORD failure = GetLastError();
  CloseHandle(self);
  if (!started) {
    *error = L"cannot start " + copy + L" (error " + std::to_wstring(failure) + L")";
    DeleteFileW(copy.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

WaitOutcome WaitForOriginal(std::uint32_t handle, unsigned timeoutMs) {
  HANDLE process = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
  // Only a process handle answers this; anything else is not the original.
  if (GetProcessId(process) == 0) return WaitOutcome::kNotAProcess;
  const DWORD result = WaitForSingleObject(process, timeoutMs);
  CloseHandle(process);
  if (result == WAIT_OBJECT_0) return WaitOutcome::kEnded;
  return result == WAIT_TIMEOUT ? WaitOutcome::kTimedOut : WaitOutcome::kNotAProcess;
}

bool DeleteSelfAtRestart() {
  const std::wstring program = RunningProgramPath();
  const std::wstring temporary = TemporaryFolder();
  if (program.empty() || temporary.empty() || !SameFolder(FolderOf(program), temporary)) return false;
  return MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

}  // namespace uninstall
