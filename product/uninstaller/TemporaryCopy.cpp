#include "TemporaryCopy.h"

#include <vector>

#include "ExitCodes.h"
#include "PayloadPlan.h"
#include "Switches.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"
#include "engine/core/UnguessableName.h"
#include "engine/core/Win32.h"

namespace uninstall {
namespace {

using ui::SameName;

constexpr wchar_t kCopyFolderPrefix[] = L"Nimbo-uninstall-";
constexpr wchar_t kCopyName[] = L"uninstall.exe";
constexpr int kFolderAttempts = 5;
// An uninstaller is a few hundred kilobytes; anything far larger is not one.
constexpr LONGLONG kLargestProgram = 64LL * 1024 * 1024;

std::wstring Failure(const std::wstring& what) { return what + L" (error " + std::to_wstring(GetLastError()) + L")"; }

// The bytes of the running program, read from its file.
bool ReadOwnProgram(const std::wstring& program, std::vector<char>* bytes) {
  HANDLE file = CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool read = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kLargestProgram;
  if (read) {
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    read = ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size();
  }
  CloseHandle(file);
  return read;
}

// A new folder for the copy in the temporary folder: a name no one can
// guess, which only Administrators and SYSTEM may open.
std::wstring MakeCopyFolder(std::wstring* error) {
  const std::wstring temporary = TemporaryFolder();
  if (temporary.empty()) {
    *error = L"no temporary folder";
    return {};
  }
  ui::SecurityAttributes administratorsOnly(ui::kAdministratorsOnlySddl);
  for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
    const std::wstring name = ui::UnguessableName(kCopyFolderPrefix);
    if (name.empty()) break;
    std::wstring folder = temporary + L'\\' + name;
    if (CreateDirectoryW(folder.c_str(), administratorsOnly.get())) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      *error = Failure(L"cannot make " + folder);
      return {};
    }
  }
  *error = L"no new folder in " + temporary;
  return {};
}

// Reads the whole file through the handle; false when it cannot or is not
// `expected` byte for byte.
bool HoldsExactly(HANDLE file, const std::vector<char>& expected) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart != static_cast<LONGLONG>(expected.size())) return false;
  std::vector<char> bytes(expected.size());
  DWORD got = 0;
  return ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size() &&
         bytes == expected;
}

// Writes the program into the new folder, then opens it for reading only,
// without letting anyone write, rename or delete it, and checks through
// that handle that it holds what was written: the file that starts is the
// one written. Returns the open file, or null.
HANDLE WriteCopy(const std::wstring& path, const std::vector<char>& bytes, std::wstring* error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Failure(L"cannot write " + path);
    return nullptr;
  }
  DWORD written = 0;
  const bool wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  const bool closed = CloseHandle(file);
  HANDLE held = wrote && closed ? CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr)
                                : INVALID_HANDLE_VALUE;
  if (held != INVALID_HANDLE_VALUE && HoldsExactly(held, bytes)) return held;
  *error = Failure(L"cannot write " + path);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  DeleteFileW(path.c_str());
  return nullptr;
}

HANDLE Inheritable(HANDLE handle) {
  SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  return handle;
}

std::uint32_t HandleNumber(HANDLE handle) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
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

bool StartTemporaryCopy(const std::wstring& folder, bool silent, StartedCopy* copy, std::wstring* error) {
  const std::wstring program = RunningProgramPath();
  std::vector<char> bytes;
  if (program.empty() || !ReadOwnProgram(program, &bytes)) {
    *error = Failure(L"cannot read the uninstaller itself");
    return false;
  }
  const std::wstring copyFolder = MakeCopyFolder(error);
  if (copyFolder.empty()) return false;
  const std::wstring copyPath = copyFolder + L'\\' + kCopyName;
  HANDLE held = WriteCopy(copyPath, bytes, error);
  if (held == nullptr) {
    RemoveDirectoryW(copyFolder.c_str());
    return false;
  }

  // The copy waits on this handle before it removes the uninstaller;
  // unlike a process id, it cannot come to name another process.
  HANDLE self = nullptr, reportRead = nullptr, reportWrite = nullptr;
  const bool handles = DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0) &&
                       CreatePipe(&reportRead, &reportWrite, nullptr, 0);
  BOOL started = FALSE;
  PROCESS_INFORMATION process{};
  if (handles) {
    std::wstring commandLine = CopyCommandLine(copyPath, folder, HandleNumber(Inheritable(self)),
                                               HandleNumber(Inheritable(reportWrite)), silent);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started = CreateProcessW(copyPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             copyFolder.c_str(), &startup, &process);
    if (!started) *error = Failure(L"cannot start " + copyPath);
  } else {
    *error = Failure(L"cannot hand the work over");
  }
  // The child holds the copy's file now (or nothing needs it any more).
  CloseHandle(held);
  if (self != nullptr) CloseHandle(self);
  if (reportWrite != nullptr) CloseHandle(reportWrite);
  if (!started) {
    if (reportRead != nullptr) CloseHandle(reportRead);
    DeleteFileW(copyPath.c_str());
    RemoveDirectoryW(copyFolder.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  copy->process = process.hProcess;
  copy->report = reportRead;
  return true;
}

int AwaitCopyResult(StartedCopy* copy) {
  std::int32_t result = kExitIncomplete;
  DWORD got = 0;
  // Returns with the result, or when the copy has ended without one (its
  // end of the pipe is closed then).
  const bool reported = ReadFile(copy->report, &result, sizeof result, &got, nullptr) && got == sizeof result;
  if (!reported) {
    WaitForSingleObject(copy->process, INFINITE);
    DWORD code = kExitIncomplete;
    result = GetExitCodeProcess(copy->process, &code) ? static_cast<std::int32_t>(code) : kExitIncomplete;
  }
  CloseHandle(copy->report);
  CloseHandle(copy->process);
  *copy = {};
  return result;
}

void SendResult(std::uint32_t reportHandle, int exitCode) {
  HANDLE report = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(reportHandle));
  const std::int32_t result = exitCode;
  DWORD written = 0;
  WriteFile(report, &result, sizeof result, &written, nullptr);
  CloseHandle(report);
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
  if (program.empty() || temporary.empty()) return false;
  const std::wstring folder = FolderOf(program);
  const std::wstring parent = FolderOf(folder);
  const std::wstring_view name = std::wstring_view(folder).substr(parent.size() + 1);
  if (!SameName(parent, temporary) || !SameName(name.substr(0, std::size(kCopyFolderPrefix) - 1), kCopyFolderPrefix)) {
    return false;
  }
  // The file first: a folder is removed at the restart only once empty.
  return MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) &&
         MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace uninstall
