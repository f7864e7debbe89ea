#include "FileIdentity.h"

#include <cwctype>
#include <algorithm>
#include <string_view>
#include <vector>

namespace ui {
namespace {

constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";

}  // namespace

std::wstring FinalPath(HANDLE item) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(item, path.data(), static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length + 1);
  }
  if (path.compare(0, kLongPathPrefix.size(), kLongPathPrefix) == 0) path.erase(0, kLongPathPrefix.size());
  return path;
}

bool IsLink(HANDLE item, const std::wstring& path) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (GetFileInformationByHandleEx(item, FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return true;
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  }
  return true;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

bool RenameOpenItem(HANDLE item, const std::wstring& to, bool replace) {
  std::vector<unsigned char> block(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
  rename->ReplaceIfExists = replace ? TRUE : FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), rename->FileName);
  return SetFileInformationByHandle(item, FileRenameInfo, rename, static_cast<DWORD>(block.size()));
}

HANDLE OpenItemItself(const std::wstring& path) {
  return CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IsExpectedItem(HANDLE item, const std::wstring& path, const std::wstring& expectedFinal, bool folder) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic)) return false;
  const bool isFolder = (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (isFolder != folder || IsLink(item, path)) return false;
  return SameName(WithoutTrailingSeparators(FinalPath(item)), expectedFinal);
}

namespace {

bool DeleteOpenItem(HANDLE item) {
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  return SetFileInformationByHandle(item, FileDispositionInfo, &dispose, sizeof dispose);
}

}  // namespace

bool DeleteVerifiedItem(const std::wstring& path, const std::wstring& expectedFinal, bool folder) {
  HANDLE item = OpenItemItself(path);
  if (item == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  const bool deleted = IsExpectedItem(item, path, expectedFinal, folder) && DeleteOpenItem(item);
  CloseHandle(item);
  return deleted;
}

bool IsEmptyFolder(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(search, &found));
  FindClose(search);
  return empty;
}

}  // namespace ui
