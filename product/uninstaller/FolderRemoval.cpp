#include "FolderRemoval.h"

#include "engine/core/FileIdentity.h"
#include "engine/core/Win32.h"

namespace uninstall {
namespace {

using ui::SameName;

constexpr DWORD kRetryMs = 100;

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A handle that closes itself.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (IsOpen()) CloseHandle(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Opens the item itself for deleting: a link is opened as the link, never
// as what it leads to.
HANDLE OpenItem(const std::wstring& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

using ui::FinalPath;
using ui::IsLink;

DWORD AttributesOf(HANDLE item) {
  FILE_BASIC_INFO basic{};
  return GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic) ? basic.FileAttributes
                                                                                 : INVALID_FILE_ATTRIBUTES;
}

void ClearReadOnly(HANDLE item) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic)) return;
  if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) return;
  basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
}

enum class Outcome { kRemoved, kAbsent, kKept, kFailed };

// Removes one item by its handle, right after checking what the handle
// names: the item itself, of the kind the payload put there, no link, and
// still inside the product folder once every link on the way is followed.
Outcome RemoveItem(const std::wstring& insideFinal, const std::wstring& path, bool folder) {
  // Looked at before the item is opened for deleting, which keeps others
  // from listing it; a folder that fills meanwhile still refuses the delete.
  if (folder && !ui::IsEmptyFolder(path)) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? Outcome::kAbsent : Outcome::kFailed;
    return Outcome::kKept;
  }
  const Handle item(OpenItem(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE));
  if (!item.IsOpen()) return IsMissing(GetLastError()) ? Outcome::kAbsent : Outcome::kFailed;
  const DWORD attributes = AttributesOf(item.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Outcome::kFailed;
  if (((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) return Outcome::kKept;
  const std::wstring final = FinalPath(item.get());
  if (IsLink(item.get(), path) || final.size() <= insideFinal.size() ||
      !SameName(std::wstring_view(final).substr(0, insideFinal.size()), insideFinal)) {
    return Outcome::kKept;
  }
  ClearReadOnly(item.get());
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (SetFileInformationByHandle(item.get(), FileDispositionInfo, &dispose, sizeof dispose)) return Outcome::kRemoved;
  return folder && GetLastError() == ERROR_DIR_NOT_EMPTY ? Outcome::kKept : Outcome::kFailed;
}

}  // namespace

std::optional<std::wstring> ProductFolderFinalPath(const std::wstring& folder) {
  const Handle opened(OpenItem(folder, FILE_READ_ATTRIBUTES | SYNCHRONIZE));
  if (!opened.IsOpen() || IsLink(opened.get(), folder)) return std::nullopt;
  const DWORD attributes = AttributesOf(opened.get());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
  std::wstring final = FinalPath(opened.get());
  // The folder is where its name says: the last level is the folder
  // itself, not somewhere a link on the way leads.
  const std::size_t name = folder.find_last_of(L"\\/");
  const std::size_t finalName = final.find_last_of(L'\\');
  if (final.empty() || name == std::wstring::npos || finalName == std::wstring::npos ||
      !SameName(std::wstring_view(final).substr(finalName + 1), std::wstring_view(folder).substr(name + 1))) {
    return std::nullopt;
  }
  return final;
}

RemovalReport RemovePayload(const std::wstring& folder, const std::vector<RemovalStep>& steps) {
  RemovalReport report;
  const std::optional<std::wstring> folderFinal = ProductFolderFinalPath(folder);
  if (!folderFinal) {
    // A product folder that is a link: nothing is removed through it.
    for (const RemovalStep& step : steps) report.kept.push_back(step.path);
    report.folderIsLink = true;
    return report;
  }
  const std::wstring inside = *folderFinal + L'\\';
  for (const RemovalStep& step : steps) {
    switch (RemoveItem(inside, folder + L'\\' + step.path, step.folder)) {
      case Outcome::kRemoved:
        ++report.removed;
        break;
      case Outcome::kAbsent:
        break;
      case Outcome::kKept:
        report.kept.push_back(step.path);
        break;
      case Outcome::kFailed:
        report.failed.push_back(step.path);
        break;
    }
  }
  return report;
}

bool RemoveEmptyProductFolder(const std::wstring& folder) {
  if (!ui::IsEmptyFolder(folder) || !ProductFolderFinalPath(folder)) return false;
  const Handle item(OpenItem(folder, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE));
  FILE_DISPOSITION_INFO dispose{TRUE};
  return item.IsOpen() && SetFileInformationByHandle(item.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

bool DeleteFileWithPatience(const std::wstring& path, unsigned patienceMs) {
  const DWORD start = GetTickCount();
  while (true) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) return true;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (DeleteFileW(path.c_str())) return true;
    if (GetTickCount() - start >= patienceMs) return false;
    Sleep(kRetryMs);
  }
}

}  // namespace uninstall
