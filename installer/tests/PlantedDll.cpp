// A DLL as an attacker would leave it beside a program, under the name of a
// DLL Windows programs load: when any process loads it, it leaves a marker
// file beside itself, "<its own file>.loaded", naming that process.
#include <windows.h>

namespace {

void LeaveMarker(HMODULE self) {
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  lstrcatW(path, L".loaded");
  HANDLE marker = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return;
  wchar_t process[MAX_PATH] = {};
  const DWORD processLength = GetModuleFileNameW(nullptr, process, MAX_PATH);
  DWORD written = 0;
  WriteFile(marker, process, processLength * sizeof(wchar_t), &written, nullptr);
  WriteFile(marker, L"\r\n", 2 * sizeof(wchar_t), &written, nullptr);
  CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMarker(instance);
  return TRUE;
}
