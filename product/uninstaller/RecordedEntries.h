#pragma once

#include <span>
#include <string>
#include <vector>

namespace uninstall {

// What the uninstaller removes from a product folder: the paths of the
// installation's own record there. A folder without a record (an
// uninstaller copied somewhere else) removes nothing, and neither does a
// record that cannot be read or is not a record: `problem` says why.
struct EntriesToRemove {
  std::vector<std::wstring> entries;
  bool missing = false;  // the folder holds no record
  std::wstring problem;

  // The entries in the form the payload plan takes.
  std::vector<const wchar_t*> Pointers() const;
};

// `folder` is a full path without a trailing separator.
EntriesToRemove ReadEntriesToRemove(const std::wstring& folder);

// The record's file name, and its own path in `folder`.
std::wstring RecordName();
std::wstring RecordPath(const std::wstring& folder);

}  // namespace uninstall
