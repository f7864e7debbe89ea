#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Shell links (.lnk) as bytes, made and read by the shell's own link object
// through memory, so that the caller decides how the file is written and
// read: through a handle it holds, never by a name that may lead elsewhere.
// The calling thread must have COM.

// The bytes of a link to `target` with the description; empty when the
// shell could not make it.
std::vector<std::uint8_t> ShellLinkBytes(const std::wstring& target, const std::wstring& description);

// The program a link's bytes lead to; nothing when they are no shell link.
std::optional<std::wstring> ShellLinkTarget(const std::vector<std::uint8_t>& bytes);

}  // namespace ui
