#include "InstallLog.h"

#include <cstdio>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace setup {
namespace {

constexpr char kSetupVersion[] = "Nimbo Setup 2.0.1002";

SRWLOCK logLock = SRWLOCK_INIT;
std::FILE* logFile = nullptr;
DWORD openedAt = 0;
std::string logPath, loggedCommandLine;

void WriteLocked(const std::string& line) {
  if (logFile == nullptr) return;
  const std::string utf8 = ui::WideToAnsi(ui::AnsiToWide(line), CP_UTF8) + "\r\n";
  std::fwrite(utf8.data(), 1, utf8.size(), logFile);
  std::fflush(logFile);
}

}  // namespace

std::string DefaultInstallLogPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return "NimboSetup.log";
  return ui::WideToAnsi(temp) + "NimboSetup.log";
}

void SetInstallLog(const std::string& path, const std::string& commandLine) {
  AcquireSRWLockExclusive(&logLock);
  logPath = path;
  loggedCommandLine = commandLine;
  ReleaseSRWLockExclusive(&logLock);
}

bool OpenInstallLog() {
  AcquireSRWLockExclusive(&logLock);
  if (logFile != nullptr) std::fclose(logFile);
  logFile = logPath.empty() ? nullptr : _wfopen(ui::AnsiToWide(logPath).c_str(), L"wb");
  openedAt = GetTickCount();
  WriteLocked(kSetupVersion);
  WriteLocked("command line: " + loggedCommandLine);
  const bool opened = logFile != nullptr;
  ReleaseSRWLockExclusive(&logLock);
  return opened;
}

void LogLine(const std::string& line) {
  AcquireSRWLockExclusive(&logLock);
  WriteLocked(line);
  ReleaseSRWLockExclusive(&logLock);
}

unsigned long LogClockMs() { return GetTickCount() - openedAt; }

void CloseInstallLog(int exitCode, const std::string& result) {
  AcquireSRWLockExclusive(&logLock);
  if (logFile == nullptr) {
    ReleaseSRWLockExclusive(&logLock);
    return;
  }
  WriteLocked("result: " + std::to_string(exitCode) + " " + result);
  WriteLocked("total: " + std::to_string(GetTickCount() - openedAt) + " ms");
  if (logFile != nullptr) std::fclose(logFile);
  logFile = nullptr;
  ReleaseSRWLockExclusive(&logLock);
}

}  // namespace setup
