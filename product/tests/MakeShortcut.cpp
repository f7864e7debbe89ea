// Saves a shell link to a program, as the shell would on a desktop, for
// the uninstaller's tests. Usage: make_shortcut.exe LINK TARGET
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  const bool saved = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                                reinterpret_cast<void**>(&link))) &&
                     SUCCEEDED(link->SetPath(argv[2])) &&
                     SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                     SUCCEEDED(file->Save(argv[1], TRUE));
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  CoUninitialize();
  return saved ? 0 : 1;
}
