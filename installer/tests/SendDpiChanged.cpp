// Does what Windows does when a window is dragged onto a monitor of another
// scale: sends the window WM_DPICHANGED with the new dpi and the place it
// suggests (Wine has one dpi for every monitor and never sends it). The
// system hands the suggested rectangle over in the window's own process, so
// it is written into that process's memory first.
// Usage: send_dpi_changed <window title> <dpi> <left> <top> <right> <bottom>
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 7) return 2;
  HWND window = FindWindowW(nullptr, argv[1]);
  if (window == nullptr) return 3;
  const int dpi = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  const RECT suggested{std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10),
                       std::wcstol(argv[5], nullptr, 10), std::wcstol(argv[6], nullptr, 10)};
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (process == nullptr) return 4;
  void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr || !WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) return 5;
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}
