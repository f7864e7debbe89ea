#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace record {

// The code points of strict UTF-8 text (shortest forms only, no surrogates,
// nothing past U+10FFFF); nothing for bytes that are not.
std::optional<std::u32string> DecodeUtf8(std::string_view text);

}  // namespace record
