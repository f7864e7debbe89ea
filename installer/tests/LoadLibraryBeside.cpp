// Loads a DLL by name with the program's own folder searched first, as
// Windows' default order does: the control of the planted-DLL tests,
// showing that a DLL left beside a program does get loaded (and its DllMain
// run) by a program that lets its own folder be searched. It asks for the
// default folders alone (its own, the system's), never the current folder
// or PATH; the programs we ship search the system folder only.
// Usage: load_library_beside <name.dll>; exit code 0 when loaded.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  return LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS) != nullptr ? 0 : 1;
}
