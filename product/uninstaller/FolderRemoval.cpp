#include "FolderRemoval.h"

#include "engine/core/Win32.h"

namespace uninstall {
namespace {

constexpr DWORD kRetryMs = 100;

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

enum class Route { kDirect, kMissing, kLinked, kUnreadable };

// How the item is reached from the product folder: through real folders
// only; not at all (a level is gone or is a file, so the item cannot be
// there); through a link, which may lead out of the product folder; or
// unknown, when a level cannot be read.
Route RouteTo(const std::wstring& folder, const std::wstring& relative) {
  std::wstring path = folder;
  std::size_t start = 0;
  for (std::size_t slash = relative.find(L'\\'); slash != std::wstring::npos;
       start = slash + 1, slash = relative.find(L'\\', start)) {
    path += L'\\';
    path.append(relative, start, slash - start);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? Route::kMissing : Route::kUnreadable;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Route::kMissing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Route::kLinked;
  }
  return Route::kDirect;
}

bool FolderIsEmpty(const std::wstring& path) {
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

void ClearReadOnly(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

enum class Outcome { kRemoved, kAbsent, kKept, kFailed };

Outcome RemoveFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? Outcome::kAbsent : Outcome::kFailed;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Outcome::kKept;
  // A link is deleted itself, never its target; its attributes stay as
  // they are, as setting them would reach the target.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) ClearReadOnly(path, attributes);
  return DeleteFileW(path.c_str()) ? Outcome::kRemoved : Outcome::kFailed;
}

Outcome RemoveFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? Outcome::kAbsent : Outcome::kFailed;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return Outcome::kKept;
  }
  if (!FolderIsEmpty(path)) return Outcome::kKept;
  ClearReadOnly(path, attributes);
  return RemoveDirectoryW(path.c_str()) ? Outcome::kRemoved : Outcome::kFailed;
}

}  // namespace

RemovalReport RemovePayload(const std::wstring& folder, const std::vector<RemovalStep>& steps) {
  RemovalReport report;
  for (const RemovalStep& step : steps) {
    Outcome outcome = Outcome::kAbsent;
    switch (RouteTo(folder, step.path)) {
      case Route::kMissing:
        break;
      case Route::kLinked:
        outcome = Outcome::kKept;
        break;
      case Route::kUnreadable:
        outcome = Outcome::kFailed;
        break;
      case Route::kDirect: {
        const std::wstring path = folder + L'\\' + step.path;
        outcome = step.folder ? RemoveFolder(path) : RemoveFile(path);
        break;
      }
    }
    switch (outcome) {
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

bool DeleteFileWithPatience(const std::wstring& path, unsigned patienceMs) {
  const DWORD start = GetTickCount();
  while (true) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) return true;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES) ClearReadOnly(path, attributes);
    if (DeleteFileW(path.c_str())) return true;
    if (GetTickCount() - start >= patienceMs) return false;
    Sleep(kRetryMs);
  }
}

}  // namespace uninstall
