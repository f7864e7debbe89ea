#include "SystemLibraries.h"

#include <delayimp.h>

#include <string>

namespace ui {
namespace {

// Without KB2533623 Windows 7 knows no LOAD_LIBRARY_SEARCH_* flag and
// refuses it; a full path in the system folder is as safe then.
HMODULE LoadFromSystemFolderByPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L'\\' + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// GDI+ decodes pictures with the Windows Imaging Component, which it loads
// at its first picture; Wine resolves that load (and the component's own
// imports, propsys among them) without the restricted search, beside the
// program first. Loaded from the system folder before GDI+, it is found
// loaded instead.
constexpr const wchar_t* kLoadedBeforeGdiPlus[] = {L"windowscodecs.dll"};

// The delay-loaded DLLs (GDI+) come from the system folder too.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) return nullptr;
  wchar_t name[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH) == 0) return nullptr;
  if (lstrcmpiW(name, L"gdiplus.dll") == 0) {
    for (const wchar_t* companion : kLoadedBeforeGdiPlus) LoadSystemLibrary(companion);
  }
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(name));
}

}  // namespace

void RestrictLibrarySearch() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadFromSystemFolderByPath(name);
  return module;
}

}  // namespace ui

// The delay-load helper asks this before it loads a DLL itself (declared
// with C linkage by delayimp.h).
PfnDliHook __pfnDliNotifyHook2 = &ui::LoadDelayedLibrary;
