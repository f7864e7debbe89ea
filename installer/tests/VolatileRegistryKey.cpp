// Replaces a key of HKEY_LOCAL_MACHINE by an empty volatile one (kept in
// memory only), or removes it again. Windows refuses to make a lasting key
// inside a volatile one (ERROR_CHILD_MUST_BE_VOLATILE), so a program that
// writes a subkey there fails the way it would on a key it may not write.
// The test saves the key's contents first and puts them back after.
// Usage: volatile_registry_key.exe make|remove SUBKEY
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::wstring action = argv[1];
  const wchar_t* subkey = argv[2];
  const LSTATUS deleted = RegDeleteTreeW(HKEY_LOCAL_MACHINE, subkey);
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return 1;
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, subkey);
  if (action == L"remove") return 0;
  if (action != L"make") return 2;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  // Proof that the trap works: a lasting key inside is refused.
  HKEY child = nullptr;
  const LSTATUS lasting =
      RegCreateKeyExW(key, L"Probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child, nullptr);
  if (child != nullptr) {
    RegCloseKey(child);
    RegDeleteKeyW(key, L"Probe");
  }
  RegCloseKey(key);
  return lasting == ERROR_CHILD_MUST_BE_VOLATILE ? 0 : 3;
}
