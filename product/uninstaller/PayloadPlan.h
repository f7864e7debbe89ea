#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace uninstall {

// The payload list names what the installer put into the product folder,
// one relative path per entry, "/" (or "\") between levels, a folder ending
// in one.

// Why an entry could not be removed safely, or an empty text when it can:
// the installer's own rules for the names it writes (product/record's
// EntryName), so that what one writes the other removes.
std::wstring EntryProblem(std::wstring_view entry);

// The first problem of a whole list (an empty list, an unsafe entry, an
// entry listed twice), or an empty text.
std::wstring ListProblem(std::span<const wchar_t* const> entries);

struct RemovalStep {
  std::wstring path;  // relative to the product folder, "\" between levels
  bool folder = false;
};

// What to remove, in order: the files in list order, then the folders,
// deepest first, so that each folder comes after everything in it.
std::vector<RemovalStep> RemovalOrder(std::span<const wchar_t* const> entries);

enum class FolderVerdict {
  kUsable,
  kRoot,     // a drive or a network share itself
  kInvalid,  // not an absolute folder path in plain form
};

// Whether the uninstaller may remove the payload from this folder. A
// trailing separator is allowed.
FolderVerdict ClassifyFolder(std::wstring_view folder);

// The folder part of a file path, without a trailing separator.
std::wstring FolderOf(std::wstring_view filePath);

}  // namespace uninstall
