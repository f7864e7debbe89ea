#include "TargetWriter.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "FolderSecurity.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"

namespace setup {
namespace {

using ui::SameName;
using ui::WithoutTrailingSeparators;

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

// Where the open item really is, without a trailing backslash.
std::wstring FinalPath(HANDLE item) { return WithoutTrailingSeparators(ui::FinalPath(item)); }

using ui::IsLink;

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

WriteResult Failed(const std::wstring& path, DWORD error = GetLastError()) {
  return {WriteResult::kFailed, path, error, {}};
}

WriteResult LinkAt(const std::wstring& path) { return {WriteResult::kLink, path, 0, {}}; }

// Why a name in the target could not be opened, right after the attempt.
// The name is known to be taken (Windows said so a moment ago, inside a
// folder held open), so an open that finds nothing there has met a link
// that leads nowhere; Wine, unlike Windows, reports such a link as missing.
WriteResult OpenFailed(const std::wstring& path) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (IsMissing(error) || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
    return LinkAt(path);
  }
  return Failed(path, error);
}

HANDLE CreateNew(const std::wstring& path) {
  ui::SecurityAttributes installation(ui::kInstallationFileSddl);
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, installation.get(), CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The access a held folder is opened with: enough to list it and to read
// and, where the folder must be taken over, to set its security.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
constexpr DWORD kSecurityAccess = WRITE_DAC | WRITE_OWNER;

}  // namespace

TargetWriter::TargetWriter(const std::wstring& target) : target_(target), journal_(target) {}

TargetWriter::~TargetWriter() { ReleaseFolders(); }

void TargetWriter::ReleaseFolders() {
  for (auto& [name, folder] : folders_) CloseHandle(folder.handle);
  folders_.clear();
  for (auto& [path, folder] : above_) CloseHandle(folder.handle);
  above_.clear();
}

void TargetWriter::Release(const std::wstring& path) {
  for (auto at = above_.begin(); at != above_.end(); ++at) {
    if (SameName(at->first, path)) {
      CloseHandle(at->second.handle);
      above_.erase(at);
      return;
    }
  }
  // The target itself is held as "", a level below it by its relative path.
  std::wstring relative;
  if (!SameName(path, WithoutTrailingSeparators(target_))) {
    if (path.size() <= target_.size() || !SameName(std::wstring_view(path).substr(0, target_.size()), target_)) return;
    relative = path.substr(target_.size());
  }
  const auto held = folders_.find(Upper(relative));
  if (held == folders_.end()) return;
  CloseHandle(held->second.handle);
  folders_.erase(held);
}

WriteResult TargetWriter::OpenLevel(const std::wstring& path, const std::wstring& expectedFinal, Folder* folder) {
  // Shared for reading and writing, not for deleting: while it is held,
  // the folder cannot be renamed, deleted or replaced by a link.
  const auto open = [&](DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  };
  HANDLE handle = open(kFolderAccess | kSecurityAccess);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) handle = open(kFolderAccess);
  if (handle == INVALID_HANDLE_VALUE) return OpenFailed(path);
  FILE_BASIC_INFO basic{};
  const bool isFolder = GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) &&
                        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::wstring final = FinalPath(handle);
  const bool link =
      IsLink(handle, path) || final.empty() || (!expectedFinal.empty() && !SameName(final, expectedFinal));
  if (!isFolder || link) {
    CloseHandle(handle);
    return link ? LinkAt(path) : Failed(path, ERROR_DIRECTORY);
  }
  *folder = {handle, final};
  return {};
}

WriteResult TargetWriter::SecureExisting(const Folder& folder, const std::wstring& path, bool isTarget,
                                         const std::function<bool()>& earlierInstallation) {
  std::wstring who;
  const bool empty = ui::IsEmptyFolder(path);
  if (!empty) {
    const FolderTrust trust = ReadFolderTrust(folder.handle, &who);
    if (trust == FolderTrust::kOnlyAdministrators) return {};
    if (trust == FolderTrust::kUnknown) who = L"(its security cannot be read)";
    // A target someone else may change is taken only when it is this
    // product's own earlier installation; a folder of the payload below a
    // target that was taken is the product's too.
    if (isTarget && !earlierInstallation()) return {WriteResult::kNotOwned, path, 0, who};
  }
  DWORD error = 0;
  if (!ProtectFolder(folder.handle, &error)) {
    return {WriteResult::kNotOwned, path, error, L"it could not be taken over (error " + std::to_wstring(error) + L")"};
  }
  if (isTarget) {
    takeOver_ = empty ? L"an empty folder, taken over"
                      : L"an earlier installation's folder, taken over (" + who + L" could change it)";
  }
  return {};
}

WriteResult TargetWriter::OpenTarget(const std::function<bool()>& earlierInstallation) {
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  const std::wstring target = WithoutTrailingSeparators(target_);
  bool madeTarget = false;
  // Every missing level is made, with the installation's own security, and
  // held like the target's own folders.
  for (std::size_t at = 0; at <= target.size(); ++at) {
    if ((at < target.size() && target[at] != L'\\') || at < 3) continue;  // "D:\" and the share part need no making
    const std::wstring level = target.substr(0, at);
    if (level.size() >= 2 && level[0] == L'\\' && level[1] == L'\\' &&
        std::count(level.begin(), level.end(), L'\\') < 4) {
      continue;  // "\\server\share"
    }
    if (!CreateDirectoryW(level.c_str(), installation.get())) {
      if (GetLastError() != ERROR_ALREADY_EXISTS) return Failed(level);
      continue;
    }
    Folder made{};
    if (WriteResult opened = OpenLevel(level, L"", &made); !opened.Ok()) {
      RemoveDirectoryW(level.c_str());  // just made, still empty
      return opened;
    }
    journal_.CreatedFolder(level, made.finalPath);
    if (level.size() == target.size()) {
      madeTarget = true;
      folders_[L""] = made;
    } else {
      above_.emplace_back(level, made);
    }
  }
  if (madeTarget) return {};
  // The target was there. It must be a real folder; the folders above it
  // are the user's, links among them included.
  Folder folder{};
  WriteResult opened = OpenLevel(target, L"", &folder);
  if (!opened.Ok()) return opened;
  folders_[L""] = folder;
  return SecureExisting(folder, target, true, earlierInstallation);
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
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  const std::wstring final = parent->finalPath + L'\\' + name;
  // A folder that is there is not the installation's: only one made is
  // journaled, its entry on disk before it is made.
  bool made = false;
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (!journal_.WillCreateFolder(path, final)) {
      *result = Failed(path);
      return nullptr;
    }
    made = CreateDirectoryW(path.c_str(), installation.get());
    if (made) {
      journal_.CreatedFolder(path, final);
    } else {
      const DWORD error = GetLastError();
      journal_.NotCreated();
      if (error != ERROR_ALREADY_EXISTS) {
        *result = Failed(path, error);
        return nullptr;
      }
    }
  }
  Folder opened{};
  *result = OpenLevel(path, final, &opened);
  if (!result->Ok()) return nullptr;
  const Folder& held = folders_[Upper(folder)] = opened;
  if (!made) {
    // A folder of the payload that was there: no one else may change what
    // the product keeps in it.
    *result = SecureExisting(held, path, false, nullptr);
    if (!result->Ok()) return nullptr;
  }
  return &held;
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
  const std::wstring final = parent->finalPath + L'\\' + name;
  // Something there already (a plain file of its own) goes aside first, to
  // come back if the installation does not succeed; the new file's entry
  // goes to disk before it is made, so a journal never claims a file that
  // was there before.
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    HANDLE existing =
        CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return OpenFailed(path);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = GetFileInformationByHandle(existing, &information);
    // A second name of a file elsewhere (a hard link) is a link too: moving
    // it would be harmless, but the file it names is not this folder's.
    const bool link =
        IsLink(existing, path) || (read && information.nNumberOfLinks > 1) || !SameName(FinalPath(existing), final);
    if (!read || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || link) {
      CloseHandle(existing);
      return link ? LinkAt(path) : Failed(path, ERROR_DIRECTORY);
    }
    const bool aside = journal_.MoveAside(existing, path, final);
    const DWORD moveError = GetLastError();
    CloseHandle(existing);
    if (!aside) return Failed(path, moveError);
  }
  if (!journal_.WillCreateFile(path, final)) return Failed(path);
  HANDLE made = CreateNew(path);
  if (made == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    journal_.NotCreated();
    // Nothing can be missing on the way: the folder is held. A name that
    // cannot be made and is not there, or is taken though nothing shows
    // there, is a link leading nowhere.
    const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    if (IsMissing(error) || (taken && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)) {
      return LinkAt(path);
    }
    return Failed(path, error);
  }
  journal_.CreatedFile(path, final);
  *file = made;
  return {};
}

WriteResult TargetWriter::BeginJournal() {
  if (journal_.Begin()) return {};
  return Failed(target_);
}

bool TargetWriter::WillRegister(const product::RegistrySnapshot& before) { return journal_.WillRegister(before); }

bool TargetWriter::Committed() { return journal_.Committed(); }

RollbackReport TargetWriter::RollBack() {
  RollbackReport report = journal_.RollBack(
      [](void* writer, const std::wstring& path) { static_cast<TargetWriter*>(writer)->Release(path); }, this);
  ReleaseFolders();
  return report;
}

std::vector<std::string> TargetWriter::Commit() {
  std::vector<std::string> lines = journal_.Commit();
  ReleaseFolders();
  return lines;
}

}  // namespace setup
