#include "product/record/InstallRecord.h"

#include <gtest/gtest.h>

namespace record {
namespace {

using Paths = std::vector<std::string>;

TEST(InstallRecord, WrittenAsHeadAndOnePathPerLineAndReadBack) {
  // "插件/好運/" in UTF-8: the second byte of 運 in code page 936 would be a
  // backslash, in UTF-8 there is none.
  const Paths paths = {"Nimbo.exe", "config/", "\xE6\x8F\x92\xE4\xBB\xB6/\xE5\xA5\xBD\xE9\x81\x8B/", "logs/"};
  const std::string text = FormatInstallRecord(paths);
  EXPECT_EQ(text,
            "Nimbo installation record\r\nNimbo.exe\r\nconfig/\r\n"
            "\xE6\x8F\x92\xE4\xBB\xB6/\xE5\xA5\xBD\xE9\x81\x8B/\r\nlogs/\r\n");
  EXPECT_EQ(ParseInstallRecord(text), paths);
  EXPECT_EQ(ParseInstallRecord(FormatInstallRecord({})), Paths{});
}

TEST(InstallRecord, EditedLineEndsAndEmptyLinesAreReadAsTheyStand) {
  // LF alone, and a last line without its end; an empty line is handed on
  // as an empty path for the uninstaller's check to refuse.
  EXPECT_EQ(ParseInstallRecord("Nimbo installation record\nNimbo.exe\n\nREADME.txt"),
            (Paths{"Nimbo.exe", "", "README.txt"}));
}

TEST(InstallRecord, BytesThatAreNotARecordAreRefused) {
  const char* const notRecords[] = {
      "",
      "Nimbo.exe\r\nREADME.txt\r\n",                    // no head line
      "nimbo installation record\r\nNimbo.exe\r\n",     // a head line that differs
      "Nimbo installation record\r\n\xC0\xAF\r\n",      // an overlong "/"
      "Nimbo installation record\r\n\xED\xA0\x80\r\n",  // a surrogate
      "Nimbo installation record\r\n\xF4\x90\x80\x80",  // past U+10FFFF
      "Nimbo installation record\r\n\xE6\x8F",          // cut short
      "Nimbo installation record\r\n\xB2\xE5\xBC\xFE",  // code page 936, not UTF-8
  };
  for (const char* bytes : notRecords) EXPECT_EQ(ParseInstallRecord(bytes), std::nullopt) << bytes;
}

}  // namespace
}  // namespace record
