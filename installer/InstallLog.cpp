#include "InstallLog.h"

#include "engine/core/FileIdentity.h"
#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"
#include "engine/core/Win32.h"

namespace setup {
namespace {

using ui::SameName;

constexpr char kSetupVersion[] = "Nimbo Setup 2.0.1002";
// The default log's name stands for the folder it goes to; each run's file
// takes a name of its own there.
constexpr char kDefaultLogName[] = "NimboSetup.log";

SRWLOCK logLock = SRWLOCK_INIT;
HANDLE logFile = INVALID_HANDLE_VALUE;
DWORD openedAt = 0;
std::string logPath, loggedCommandLine;
bool logPathNamedByUser = false;

void WriteLocked(const std::string& line) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  const std::string utf8 = ui::WideToAnsi(ui::AnsiToWide(line), CP_UTF8) + "\r\n";
  DWORD written = 0;
  WriteFile(logFile, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring LastLevel(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

// Whether the open file is the plain file its path names: no link (as the
// handle or the name shows it), no second name of a file elsewhere (a hard
// link), and, with every link followed, still the file of that name.
bool IsPlainFileAt(HANDLE file, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information)) return false;
  const DWORD byName = GetFileAttributesW(path.c_str());
  if (((information.dwFileAttributes | byName) & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      byName == INVALID_FILE_ATTRIBUTES || information.nNumberOfLinks != 1) {
    return false;
  }
  wchar_t final[MAX_PATH * 2] = {};
  const DWORD length = GetFinalPathNameByHandleW(file, final, MAX_PATH * 2, FILE_NAME_NORMALIZED);
  return length > 0 && length < MAX_PATH * 2 && SameName(LastLevel(final), LastLevel(path));
}

HANDLE CreateNewLog(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The log where nobody named a path: a new file beside the default name,
// with a name no one can guess, made so that it cannot be anything placed
// there in advance (a file, a link, a folder): nothing is followed,
// overwritten or deleted. `path` becomes the file's path.
HANDLE OpenDefaultLog(std::string* path) {
  const std::wstring wide = ui::AnsiToWide(*path);
  const std::size_t separator = wide.find_last_of(L'\\');
  const std::wstring folder = separator == std::wstring::npos ? std::wstring() : wide.substr(0, separator + 1);
  const std::wstring name = ui::UnguessableName(L"NimboSetup-");
  if (name.empty()) return INVALID_HANDLE_VALUE;
  const std::wstring fresh = folder + name + L".log";
  HANDLE file = CreateNewLog(fresh);
  if (file != INVALID_HANDLE_VALUE) *path = ui::WideToAnsi(fresh);
  return file;
}

// The log at a path the user named: made there when the name is free,
// replaced when it is a plain file; a link or a hard link there is refused,
// never written through, nor is a file made where a dangling link points.
HANDLE OpenNamedLog(const std::string& path) {
  const std::wstring wide = ui::AnsiToWide(path);
  HANDLE file = CreateNewLog(wide);
  if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  if (!IsPlainFileAt(file, wide) || !SetEndOfFile(file)) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

}  // namespace

std::string DefaultInstallLogPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return kDefaultLogName;
  return ui::WideToAnsi(temp) + kDefaultLogName;
}

void SetInstallLog(const std::string& path, const std::string& commandLine, bool namedByUser) {
  AcquireSRWLockExclusive(&logLock);
  logPath = path;
  logPathNamedByUser = namedByUser;
  loggedCommandLine = commandLine;
  ReleaseSRWLockExclusive(&logLock);
}

bool OpenInstallLog() {
  AcquireSRWLockExclusive(&logLock);
  if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
  logFile = INVALID_HANDLE_VALUE;
  if (!logPath.empty()) logFile = logPathNamedByUser ? OpenNamedLog(logPath) : OpenDefaultLog(&logPath);
  openedAt = GetTickCount();
  WriteLocked(kSetupVersion);
  WriteLocked("command line: " + loggedCommandLine);
  const bool opened = logFile != INVALID_HANDLE_VALUE;
  ReleaseSRWLockExclusive(&logLock);
  return opened;
}

std::string InstallLogPath() {
  AcquireSRWLockShared(&logLock);
  std::string path = logFile != INVALID_HANDLE_VALUE ? logPath : std::string();
  ReleaseSRWLockShared(&logLock);
  return path;
}

void LogLine(const std::string& line) {
  AcquireSRWLockExclusive(&logLock);
  WriteLocked(line);
  ReleaseSRWLockExclusive(&logLock);
}

unsigned long LogClockMs() { return GetTickCount() - openedAt; }

void CloseInstallLog(int exitCode, const std::string& result) {
  AcquireSRWLockExclusive(&logLock);
  if (logFile != INVALID_HANDLE_VALUE) {
    WriteLocked("result: " + std::to_string(exitCode) + " " + result);
    WriteLocked("total: " + std::to_string(GetTickCount() - openedAt) + " ms");
    CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
  }
  ReleaseSRWLockExclusive(&logLock);
}

}  // namespace setup
