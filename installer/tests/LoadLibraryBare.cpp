// Loads a DLL by its bare name with Windows' default search order, as a
// program that takes no care does: the control of the planted-DLL tests,
// showing that a DLL left beside a program does get loaded when nothing
// stops it. Usage: load_library_bare <name.dll>; exit code 0 when loaded.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  return LoadLibraryW(argv[1]) != nullptr ? 0 : 1;
}
