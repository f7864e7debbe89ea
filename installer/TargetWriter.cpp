#include "TargetWriter.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"

namespace setup {
namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  }
  return true;
}

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

// Where the open item really is, without a trailing backslash.
std::wstring FinalPath(HANDLE item) { return WithoutTrailingSeparators(ui::FinalPath(item)); }

using ui::IsLink;

WriteResult Failed(const std::wstring& path, DWORD error = GetLastError()) {
  return {WriteResult::kFailed, path, error};
}

WriteResult LinkAt(const std::wstring& path) { return {WriteResult::kLink, path, 0}; }

// Why a name in the target could not be opened, right after the attempt: a
// link that cannot be opened at all (a dangling one) is a link found.
WriteResult OpenFailed(const std::wstring& path) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return LinkAt(path);
  return Failed(path, error);
}

HANDLE CreateNew(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

TargetWriter::TargetWriter(InstallJournal& journal) : journal_(journal) {}

TargetWriter::~TargetWriter() { ReleaseFolders(); }

void TargetWriter::ReleaseFolders() {
  for (auto& [name, folder] : folders_) CloseHandle(folder.handle);
  folders_.clear();
}

WriteResult TargetWriter::OpenLevel(const std::wstring& path, const std::wstring& expectedFinal, Folder* folder) {
  // Shared for reading and writing, not for deleting: while it is held,
  // the folder cannot be renamed, deleted or replaced by a link.
  HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return OpenFailed(path);
  FILE_BASIC_INFO basic{};
  const bool isFolder = GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) &&
                        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::wstring final = FinalPath(handle);
  const bool link = IsLink(handle, path) || final.empty() || (!expectedFinal.empty() && !SameText(final, expectedFinal));
  if (!isFolder || link) {
    CloseHandle(handle);
    return link ? LinkAt(path) : Failed(path, ERROR_DIRECTORY);
  }
  *folder = {handle, final};
  return {};
}

WriteResult TargetWriter::OpenTarget(const std::wstring& target) {
  target_ = target;
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  // Every missing level is made, with the installation's own security.
  for (std::size_t at = 0; at < target.size(); ++at) {
    if (target[at] != L'\\' || at < 3) continue;  // "D:\" and the share part need no making
    const std::wstring level = target.substr(0, at);
    if (level.size() >= 2 && level[0] == L'\\' && level[1] == L'\\' &&
        std::count(level.begin(), level.end(), L'\\') < 4) {
      continue;  // "\\server\share"
    }
    if (CreateDirectoryW(level.c_str(), installation.get())) {
      journal_.CreatedFolder(level);
    } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
      return Failed(level);
    }
  }
  Folder folder{};
  // The target itself must be a real folder; the folders above it are the
  // user's, links among them included.
  const WriteResult opened = OpenLevel(WithoutTrailingSeparators(target), L"", &folder);
  if (!opened.Ok()) return opened;
  folders_[L""] = folder;
  return {};
}

const TargetWriter::Folder* TargetWriter::FolderOf(const std::wstring& relative, WriteResult* result) {
  const std::wstring folder = WithoutTrailingSeparators(relative);
  const auto known = folders_.find(Upper(folder));
  if (known != folders_.end()) return &known->second;
  // The parent first, then this level.
  const std::size_t separator = folder.find_last_of(L'\\');
  const std::wstring parentRelative = separator == std::wstring::npos ? std::wstring() : folder.substr(0, separator);
  const Folder* parent = FolderOf(parentRelative, result);
  if (parent == nullptr) return nullptr;
  const std::wstring name = separator == std::wstring::npos ? folder : folder.substr(separator + 1);
  const std::wstring path = target_ + folder;
  const bool made = CreateDirectoryW(path.c_str(), nullptr);
  if (made) {
    journal_.CreatedFolder(path);
  } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
    *result = Failed(path);
    return nullptr;
  }
  Folder opened{};
  *result = OpenLevel(path, parent->finalPath + L'\\' + name, &opened);
  if (!result->Ok()) return nullptr;
  return &(folders_[Upper(folder)] = opened);
}

WriteResult TargetWriter::MakeFolder(const std::wstring& relative) {
  WriteResult result;
  FolderOf(relative, &result);
  return result;
}

WriteResult TargetWriter::MakeFile(const std::wstring& relative, HANDLE* file) {
  *file = INVALID_HANDLE_VALUE;
  const std::size_t separator = relative.find_last_of(L'\\');
  WriteResult result;
  const Folder* parent =
      FolderOf(separator == std::wstring::npos ? std::wstring() : relative.substr(0, separator), &result);
  if (parent == nullptr) return result;
  const std::wstring name = separator == std::wstring::npos ? relative : relative.substr(separator + 1);
  const std::wstring path = target_ + relative;
  HANDLE made = CreateNew(path);
  if (made == INVALID_HANDLE_VALUE) {
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return Failed(path);
    // Something is there already: a plain file of its own goes aside, to
    // come back if the installation does not succeed.
    HANDLE existing = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return OpenFailed(path);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = GetFileInformationByHandle(existing, &information);
    // A second name of a file elsewhere (a hard link) is a link too: moving
    // it would be harmless, but the file it names is not this folder's.
    const bool link = IsLink(existing, path) || (read && information.nNumberOfLinks > 1) ||
                      !SameText(FinalPath(existing), parent->finalPath + L'\\' + name);
    if (!read || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || link) {
      CloseHandle(existing);
      return link ? LinkAt(path) : Failed(path, ERROR_DIRECTORY);
    }
    const bool aside = journal_.MoveAside(existing, path);
    const DWORD error = GetLastError();
    CloseHandle(existing);
    if (!aside) return Failed(path, error);
    made = CreateNew(path);
    if (made == INVALID_HANDLE_VALUE) return Failed(path);
  }
  journal_.CreatedFile(path);
  *file = made;
  return {};
}

}  // namespace setup
