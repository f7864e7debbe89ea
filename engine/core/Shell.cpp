#include "Shell.h"

#include "SystemLibraries.h"
#include "Win32.h"

#include <knownfolders.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace ui {
namespace {

template <class Function>
Function ShellFunction(const char* name) {
  static HMODULE shell = LoadSystemLibrary(L"shell32.dll");
  if (shell == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(shell, name)));
}

}  // namespace

std::wstring DesktopFolder() {
  // Asked of the shell's known folders, not read from the user's own
  // shell-folder settings in the registry.
  using GetKnownFolder = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
  static const auto getKnownFolder = ShellFunction<GetKnownFolder>("SHGetKnownFolderPath");
  wchar_t* desktop = nullptr;
  if (getKnownFolder == nullptr || FAILED(getKnownFolder(FOLDERID_Desktop, 0, nullptr, &desktop))) return {};
  std::wstring folder = desktop;
  CoTaskMemFree(desktop);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

bool ShellExecuteFile(const wchar_t* verb, const std::wstring& file, const std::wstring& parameters) {
  using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const auto execute = ShellFunction<Execute>("ShellExecuteW");
  if (execute == nullptr) return false;
  const HINSTANCE result =
      execute(nullptr, verb, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
  // The shell answers a value above 32 when it started the program.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
  using Split = LPWSTR*(WINAPI*)(LPCWSTR, int*);
  static const auto split = ShellFunction<Split>("CommandLineToArgvW");
  std::vector<std::wstring> arguments;
  int count = 0;
  wchar_t** list = split != nullptr ? split(commandLine, &count) : nullptr;
  if (list == nullptr) return arguments;
  for (int i = 0; i < count; ++i) arguments.emplace_back(list[i]);
  LocalFree(list);
  return arguments;
}

}  // namespace ui
