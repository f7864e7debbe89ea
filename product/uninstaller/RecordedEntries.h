#pragma once

#include <span>
#include <string>
#include <vector>

namespace uninstall {

// What the uninstaller removes from a product folder: the paths of the
// installation's own record there, or, for a folder without one (the
// payload put in place by hand or by an older installer), the payload list
// built into the uninstaller. A record that is there but cannot be read, or
// is not a record, removes nothing: `problem` says why.
struct EntriesToRemove {
  std::vector<std::wstring> entries;
  bool fromRecord = false;
  std::wstring problem;

  // The entries in the form the payload plan takes.
  std::vector<const wchar_t*> Pointers() const;
};

// `folder` is a full path without a trailing separator.
EntriesToRemove ReadEntriesToRemove(const std::wstring& folder, std::span<const wchar_t* const> builtIn);

// The record's file name, and its own path in `folder`.
std::wstring RecordName();
std::wstring RecordPath(const std::wstring& folder);

}  // namespace uninstall
