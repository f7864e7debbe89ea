#pragma once

#include <cstddef>
#include <string>

namespace setup {

// The installer's file operations. Paths are code page 936 text and go to
// the wide Windows functions, so Chinese folder names are the same folders
// whatever the system's ANSI code page.

bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);
// Makes the folder and every missing folder above it; true when it exists
// afterwards. Separators are found by character, so a double-byte
// character whose second byte is 0x5C is not taken for one.
bool CreateFolderTree(const std::string& path);
// The same for the installation's own folder: every level it makes gets
// the installation's security of its own (Administrators and SYSTEM full
// control, Users read and run), not what the drive's root passes on; on a
// data drive that lets any user change anything below it, and the
// product's programs run elevated.
bool CreateInstallationFolder(const std::string& path);
// Creates or truncates the file and writes the bytes in one write, with no
// sharing while it is open; true when every byte was written.
bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t count);
bool DeleteFileAt(const std::string& path);
// Clears read-only, hidden and system, so an existing file can be replaced.
void MakeAttributesNormal(const std::string& path);

// The folder with a backslash at its end; the last character is tested,
// not the last byte.
std::string WithTrailingBackslash(const std::string& folder);

}  // namespace setup
