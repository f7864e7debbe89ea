#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// Converts an entry name stored as UTF-8 (general-purpose bit 11) to code
// page 936, the program's text encoding. Nothing is approximated: bytes that
// are not valid UTF-8, or a character with no code page 936 form, give no
// result, never a "?" or a look-alike. Implemented with MultiByteToWideChar
// and WideCharToMultiByte on Windows, with iconv elsewhere.
std::optional<std::string> Utf8ToCp936(std::string_view utf8);

}  // namespace setup
