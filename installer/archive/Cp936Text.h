#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace setup {

// Code page 936 as Windows decodes it: bytes 0x00-0x80 are characters of
// one byte (0x80 is the euro sign); a lead byte 0x81-0xFE and a trail byte
// 0x40-0x7E or 0x80-0xFE make a character of two bytes. A trail byte may be
// 0x5C ('\'), 0x7C ('|') or an ASCII letter, so text is walked character by
// character, never byte by byte.

// The length of the character that starts at `at`: 1 or 2, or 0 when the
// bytes there are no character (0xFF, or a lead byte without a trail byte).
std::size_t Cp936CharLength(std::string_view text, std::size_t at);

// Whether the text is a sequence of whole code page 936 characters.
bool IsValidCp936(std::string_view text);

// The text with every letter that has a case partner in code page 936 put in
// upper case (ASCII, full-width Latin, Greek, Cyrillic and the small Roman
// numerals), as Windows compares file names. Bytes that are no character are
// kept. Two names name the same file when their folded forms are equal.
std::string Cp936FoldCase(std::string_view text);

}  // namespace setup
