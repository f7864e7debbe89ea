#include "engine/core/TextConversion.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(TextConversion, ChineseTextRoundTripsThroughUtf16) {
  struct Case {
    std::string ansi;
    std::wstring wide;
  };
  const Case cases[] = {
      {"Nimbo - \xB0\xB2\xD7\xB0", L"Nimbo - \u5B89\u88C5"},  // "Nimbo - 安装"
      {"D:\\Nimbo\\", L"D:\\Nimbo\\"},
      // 乗: a double-byte character whose trail byte is a backslash.
      {"\x81\x5C", L"\u4E57"},
      {"a\x81\x5C\\b", L"a\u4E57\\b"},
      {"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiToWide(c.ansi), c.wide) << c.ansi;
    EXPECT_EQ(WideToAnsi(c.wide), c.ansi) << c.ansi;
  }
}

TEST(TextConversion, SourceLiteralsAreCodePage936) {
  // The build compiles narrow literals to code page 936.
  EXPECT_EQ(std::string("安装"), std::string("\xB0\xB2\xD7\xB0"));
  EXPECT_EQ(AnsiToWide("宋体"), L"\u5B8B\u4F53");
}

TEST(TextConversion, DefaultsToCodePage936WhateverTheSystemAnsiPage) {
  // Explicitly naming another code page changes the result, the default does not.
  EXPECT_EQ(AnsiToWide("\xB0\xB2"), AnsiToWide("\xB0\xB2", 936));
  EXPECT_NE(AnsiToWide("\xB0\xB2", 1252), AnsiToWide("\xB0\xB2", 936));
}

TEST(TextConversion, KeepsEmbeddedZeros) {
  const std::string ansi("a\0b", 3);
  EXPECT_EQ(AnsiToWide(ansi), std::wstring(L"a\0b", 3));
}

}  // namespace
}  // namespace ui
