#include "FileIdentity.h"

#include <string_view>

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

}  // namespace ui
