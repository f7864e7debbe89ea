#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <optional>

#include "installer/archive/Cp936Text.h"

namespace setup {
namespace {

TEST(Cp936Text, CharactersAreOneOrTwoBytesAsWindowsDecodesThem) {
  struct Case {
    std::string text;
    std::size_t length;
  };
  const Case cases[] = {
      {"a", 1},        {"\\", 1},       {std::string(1, '\0'), 1},
      {"\x7F", 1},     {"\x80", 1},  // the euro sign
      {"\x81\x40", 2}, {"\x81\x5C", 2}, {"\x95\x5C", 2},
      {"\xD6\xD0", 2}, {"\xFE\xFE", 2}, {"\x81\x7E", 2},
      {"\x81\x80", 2}, {"\x81\x7F", 0},               // 0x7F cannot follow a lead byte
      {"\x81\x3F", 0}, {"\x81\xFF", 0}, {"\x81", 0},  // a lead byte at the end
      {"\xFF", 0},     {"\xFF\x40", 0}, {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp936CharLength(c.text, 0), c.length) << c.text.size();
  EXPECT_TRUE(IsValidCp936("D:\\\xD6\xD0\xCE\xC4\\\x95\x5C\x80"));
  EXPECT_FALSE(IsValidCp936("ab\xD6"));
  EXPECT_FALSE(IsValidCp936("\xFF"));
  EXPECT_TRUE(IsValidCp936(""));
}

TEST(Cp936Text, FoldingTouchesLettersOnlyAndNeverSecondBytes) {
  EXPECT_EQ(Cp936FoldCase("Readme.txt"), "README.TXT");
  EXPECT_EQ(Cp936FoldCase("\x81\x61\x81\x7A"), "\x81\x61\x81\x7A");  // 'a' and 'z' as second bytes
  EXPECT_EQ(Cp936FoldCase("\xA3\xE1\xA6\xD8\xA7\xF1\xA2\xAA"), "\xA3\xC1\xA6\xB8\xA7\xC1\xA2\xFA");
  EXPECT_EQ(Cp936FoldCase("\xD6\xD0\xCE\xC4"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Cp936FoldCase("a\xFF-z\x81"), "A\xFF-Z\x81");  // bytes that are no character stay
}

// Exhaustive: for every character of code page 936, folding gives its
// Unicode upper case (glibc's, in C.UTF-8) when that is in code page 936
// too, and the character itself otherwise.
TEST(Cp936Text, FoldingAgreesWithUnicodeUpperCaseForEveryCharacter) {
  const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (utf8 == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  const iconv_t decode = iconv_open("UTF-32LE", "CP936");
  const iconv_t encode = iconv_open("CP936", "UTF-32LE");
  ASSERT_NE(decode, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(encode, reinterpret_cast<iconv_t>(-1));
  const auto convert = [](iconv_t converter, std::string in) -> std::optional<std::string> {
    char out[16];
    char* inAt = in.data();
    char* outAt = out;
    std::size_t inLeft = in.size(), outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != 0 || inLeft != 0) return std::nullopt;
    return std::string(out, sizeof out - outLeft);
  };

  int checked = 0, folded = 0;
  for (int code = 0x20; code <= 0xFEFE; ++code) {
    std::string character;
    if (code <= 0x80) {
      character = std::string(1, static_cast<char>(code));
    } else {
      character = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      if (Cp936CharLength(character, 0) != 2) continue;
    }
    const std::optional<std::string> wide = convert(decode, character);
    if (!wide || wide->size() != 4) continue;
    std::uint32_t unicode = 0;
    for (int i = 3; i >= 0; --i) unicode = (unicode << 8) | static_cast<unsigned char>((*wide)[i]);
    const auto upper = static_cast<std::uint32_t>(towupper_l(static_cast<wint_t>(unicode), utf8));
    std::string upperWide(4, '\0');
    for (int i = 0; i < 4; ++i) upperWide[i] = static_cast<char>(upper >> (8 * i));
    const std::optional<std::string> upperCharacter = convert(encode, upperWide);
    const std::string expected = upperCharacter ? *upperCharacter : character;
    EXPECT_EQ(Cp936FoldCase(character), expected) << std::hex << code;
    ++checked;
    if (expected != character) ++folded;
  }
  iconv_close(decode);
  iconv_close(encode);
  freelocale(utf8);
  EXPECT_GT(checked, 21000);
  EXPECT_EQ(folded, 26 + 10 + 26 + 24 + 33);
}

}  // namespace
}  // namespace setup
