#include "FileSystem.h"

#include <vector>

#include "engine/core/SecurityAttributes.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "installer/archive/EntryPath.h"

namespace setup {
namespace {

std::wstring Wide(const std::string& path) { return ui::AnsiToWide(path); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

}  // namespace

bool FolderExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// Makes every missing level of the path with the given security.
bool MakeFolderLevels(const std::string& path, SECURITY_ATTRIBUTES* security) {
  // In UTF-16 a backslash is always a separator.
  const std::wstring wide = Wide(path);
  for (std::size_t at = 0; at <= wide.size(); ++at) {
    if (at < wide.size() && wide[at] != L'\\' && wide[at] != L'/') continue;
    const std::wstring level = wide.substr(0, at);
    // "D:" and "" (a rooted path's start) are not folders to make.
    if (level.empty() || (level.size() == 2 && level[1] == L':')) continue;
    if (level.size() >= 2 && level[0] == L'\\' && level[1] == L'\\' && level.find(L'\\', 2) == std::wstring::npos) {
      continue;  // the server part of a UNC path
    }
    CreateDirectoryW(level.c_str(), security);
  }
  return FolderExists(path);
}

}  // namespace

bool CreateFolderTree(const std::string& path) { return MakeFolderLevels(path, nullptr); }

bool CreateInstallationFolder(const std::string& path) {
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  return MakeFolderLevels(path, installation.get());
}

bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t count) {
  HANDLE file =
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote = WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
  const bool closed = CloseHandle(file);
  return wrote && closed;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileW(Wide(path).c_str()); }

void MakeAttributesNormal(const std::string& path) { SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL); }

std::string WithTrailingBackslash(const std::string& folder) {
  return EndsWithBackslash(folder) ? folder : folder + "\\";
}

}  // namespace setup
