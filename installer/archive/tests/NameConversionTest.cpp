#include <gtest/gtest.h>

#include "installer/archive/NameConversion.h"

namespace setup {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(NameConversion, Utf8NamesBecomeCodePage936) {
  struct Case {
    std::string utf8;
    std::string cp936;
  };
  const Case cases[] = {
      {"", ""},
      {"bin/Nimbo.exe", "bin/Nimbo.exe"},
      {Utf8(u8"中文/说明.txt"), "\xD6\xD0\xCE\xC4/\xCB\xB5\xC3\xF7.txt"},
      {Utf8(u8"昞"), "\x95\x5C"},  // the second byte is '\'
      {Utf8(u8"€"), "\x80"},
      {Utf8(u8"ａ／＼"), "\xA3\xE1\xA3\xAF\xA3\xDC"},  // full-width forms stay full-width
      {Utf8(u8"é"), "\xA8\xA6"},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> converted = Utf8ToCp936(c.utf8);
    ASSERT_TRUE(converted.has_value()) << c.utf8;
    EXPECT_EQ(*converted, c.cp936) << c.utf8;
  }
}

TEST(NameConversion, NothingIsApproximated) {
  const std::string refused[] = {
      Utf8(u8"smile-😀.txt"),
      Utf8(u8"À.txt"),  // no best fit to "A"
      Utf8(u8"COM¹"),   // no best fit to "COM1"
      Utf8(u8"한국어.txt"),
      Utf8(u8"Ŵ"),
      "\xC0\xAF",      // an overlong '/'
      "\xED\xA0\x80",  // a surrogate
      "\x80",          // a lone continuation byte
      "abc\xE4\xB8",   // a character cut short
      "\xF8\x88\x80\x80\x80",
  };
  for (const std::string& utf8 : refused) EXPECT_FALSE(Utf8ToCp936(utf8).has_value()) << utf8;
}

}  // namespace
}  // namespace setup
