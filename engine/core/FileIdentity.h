#pragma once

#include <string>
#include <string_view>

#include "engine/core/Win32.h"

namespace ui {

// What an open file or folder really is, asked of its handle rather than of
// a name someone could change in between.

// The path Windows resolves the open item to, with every link followed, in
// drive-letter form without the "\\?\" prefix; empty when unknown.
std::wstring FinalPath(HANDLE item);

// Whether the item (opened with FILE_FLAG_OPEN_REPARSE_POINT) is a link,
// junction or mount point: by the handle, or, where links are not reparse
// points of their own (Wine's view of a host's symbolic link), by the name
// it was opened under.
bool IsLink(HANDLE item, const std::wstring& path);

// Whether two names or paths name the same item to Windows' file systems,
// letter case aside.
bool SameName(std::wstring_view a, std::wstring_view b);

// The path without the separators at its end.
std::wstring WithoutTrailingSeparators(std::wstring path);

// Renames the open item (opened with DELETE access) to the full path `to`;
// an item already there is replaced only when `replace` is set (a link
// there as the link itself, never what it leads to).
bool RenameOpenItem(HANDLE item, const std::wstring& to, bool replace);

// Whether the folder holds nothing; false too when it cannot be listed.
bool IsEmptyFolder(const std::wstring& path);

// The item at the path itself (a link as the link), open for deleting or
// renaming; INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenItemItself(const std::wstring& path);

// Whether the open item is still the one expected: a folder or not as
// said, no link, and at `expectedFinal` (every link followed).
bool IsExpectedItem(HANDLE item, const std::wstring& path, const std::wstring& expectedFinal, bool folder);

// Deletes the item at the path, opened as itself, when it is still of its
// kind at `expectedFinal` and no link; a folder only when empty. True when
// it is gone (or was never there).
bool DeleteVerifiedItem(const std::wstring& path, const std::wstring& expectedFinal, bool folder);

}  // namespace ui
