// Holds a file open without sharing, as another program that uses it would,
// until it is ended (at most two minutes). Writes a marker file once the
// file is held, so that a test knows when to go on.
// Usage: hold_file_open.exe FILE MARKER
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE held =
      CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  HANDLE marker = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(marker);
  Sleep(120000);
  CloseHandle(held);
  return 0;
}
