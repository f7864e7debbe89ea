// Runs a program as a deployment tool does, waits for it, and in the same
// instant it has ended looks at what is left: whether a registry key of the
// local machine is there, and every file under a folder.
// Usage: run_then_look <folder> <key under HKLM> <program> [arguments...]
// Prints, UTF-8: "exit <code>", "key present" or "key absent", then one
// "file <path relative to the folder>" per file left.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Print(const std::wstring& text) {
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), needed, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
}

void ListFiles(const std::wstring& folder, const std::wstring& relative) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + relative + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      Print(L"file " + relative + name);
    } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      ListFiles(folder, relative + name + L"\\");
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::wstring Quoted(const wchar_t* argument) { return L"\"" + std::wstring(argument) + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  std::wstring commandLine = Quoted(argv[3]);
  for (int i = 4; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(argv[3], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 3;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  // Looked at at once: whatever else runs on has had no time to catch up.
  HKEY key = nullptr;
  const bool keyPresent = RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[2], 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (key != nullptr) RegCloseKey(key);
  std::wstring folder = argv[1];
  if (folder.back() != L'\\') folder += L'\\';
  std::wstring files;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  Print(L"exit " + std::to_wstring(code));
  Print(keyPresent ? L"key present" : L"key absent");
  ListFiles(folder, L"");
  return 0;
}
