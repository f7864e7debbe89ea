// Our reader against Debian's minizip, entry by entry and byte by byte, on
// the same archives: written by minizip's zip interface, written by hand,
// random, and damaged.
#include <gtest/gtest.h>

#include <random>

#include "installer/archive/tests/MinizipReference.h"

namespace setup {
namespace {

using ziptest::ReadEntry;
using ziptest::TestEntry;

constexpr std::uint16_t kUtf8 = 0x0800;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Both readers open the archive and see the same entries with the same
// bytes; returns what ours read.
std::vector<ReadEntry> ExpectBothReadTheSame(const std::vector<std::uint8_t>& bytes) {
  std::string ourComment, theirComment;
  const std::optional<std::vector<ReadEntry>> ours = ziptest::ReadWithZipReader(bytes, &ourComment);
  const std::optional<std::vector<ReadEntry>> theirs = ziptest::ReadWithMinizip(bytes, &theirComment);
  EXPECT_TRUE(ours.has_value());
  EXPECT_TRUE(theirs.has_value());
  if (!ours || !theirs) return {};
  EXPECT_EQ(ourComment, theirComment);
  EXPECT_EQ(ours->size(), theirs->size());
  for (std::size_t i = 0; i < std::min(ours->size(), theirs->size()); ++i) {
    const ReadEntry& a = (*ours)[i];
    const ReadEntry& b = (*theirs)[i];
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(a.storedName, b.storedName);
    EXPECT_EQ(a.method, b.method);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.crc32, b.crc32);
    EXPECT_EQ(a.compressedSize, b.compressedSize);
    EXPECT_EQ(a.uncompressedSize, b.uncompressedSize);
    EXPECT_EQ(a.externalAttributes, b.externalAttributes);
    EXPECT_EQ(a.extracted, b.extracted);
    EXPECT_EQ(a.data.size(), b.data.size());
    EXPECT_TRUE(a.data == b.data);
  }
  return *ours;
}

// The entries every fixed archive holds: stored and deflated, empty files,
// folders, code page 936 names (one with '\' as a second byte), UTF-8 names.
std::vector<TestEntry> SampleEntries() {
  return {
      {"readme.txt", ziptest::MixedText(21, 30000), 8},
      {"stored.txt", ziptest::MixedText(22, 5000), 0},
      {"bin/", "", 0, 0, 0x10},
      {"bin/program.bin", ziptest::MixedBinary(23, 150000), 8},
      {"bin/raw.bin", ziptest::MixedBinary(24, 70000), 0},
      {"empty-stored.txt", "", 0},
      {"empty-deflated.txt", "", 8},
      {"\xC4\xBF\xC2\xBC/", "", 0, 0, 0x10},                     // 目录/
      {"\xC4\xBF\xC2\xBC/\x95\x5C.txt", "\xC4\xE3\xBA\xC3", 8},  // 目录/昞.txt: 你好
      {Utf8(u8"说明/中文.txt"), ziptest::MixedText(25, 999), 8, kUtf8},
      {Utf8(u8"说明/"), "", 0, kUtf8, 0x10},
  };
}

TEST(ZipReaderAgainstMinizip, ArchivesWrittenByMinizipReadTheSame) {
  const std::vector<TestEntry> entries = SampleEntries();
  for (const std::string& comment : {std::string(), std::string("Nimbo 2.0.1002 \xB0\xB2\xD7\xB0")}) {
    const std::vector<ReadEntry> read = ExpectBothReadTheSame(ziptest::WriteWithMinizip(entries, comment));
    ASSERT_EQ(read.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_TRUE(read[i].extracted) << entries[i].name;
      EXPECT_TRUE(read[i].data == entries[i].data) << entries[i].name;
    }
  }
}

TEST(ZipReaderAgainstMinizip, ArchivesWrittenByHandReadTheSame) {
  const std::vector<TestEntry> entries = SampleEntries();
  const std::vector<ReadEntry> read = ExpectBothReadTheSame(ziptest::BuildArchive(entries, "a trailing comment").bytes);
  ASSERT_EQ(read.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_TRUE(read[i].data == entries[i].data) << entries[i].name;
}

// Randomised: archives of random entries (names with double-byte
// characters, empty, text, binary and folder entries, both methods, random
// comments), written by both writers.
TEST(ZipReaderAgainstMinizip, RandomArchivesReadTheSame) {
  const char* const kPieces[] = {"a",        "Nimbo",    "bin",      ".txt", ".dll", "\xD6\xD0",
                                 "\xCE\xC4", "\x95\x5C", "\x81\x7C", "-",    "1"};
  std::mt19937 random(936);
  for (int round = 0; round < 40; ++round) {
    std::vector<TestEntry> entries;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int e = 0; e < count; ++e) {
      TestEntry entry;
      const int pieces = 1 + static_cast<int>(random() % 5);
      for (int p = 0; p < pieces; ++p) entry.name += kPieces[random() % std::size(kPieces)];
      entry.name += std::to_string(e);
      const std::size_t size = random() % 4 == 0 ? 0 : random() % 200000;
      switch (random() % 4) {
        case 0:
          entry.data = ziptest::MixedText(static_cast<std::uint32_t>(random()), size);
          break;
        case 1:
          entry.data = ziptest::MixedBinary(static_cast<std::uint32_t>(random()), size);
          break;
        case 2:
          entry.name += '/', entry.externalAttributes = 0x10;
          break;
        default:
          break;
      }
      entry.method = random() % 2 ? 8 : 0;
      entries.push_back(std::move(entry));
    }
    const std::string comment =
        random() % 2 ? ziptest::MixedText(static_cast<std::uint32_t>(random()), random() % 300) : "";
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<std::uint8_t> bytes =
        round % 2 ? ziptest::WriteWithMinizip(entries, comment) : ziptest::BuildArchive(entries, comment).bytes;
    const std::vector<ReadEntry> read = ExpectBothReadTheSame(bytes);
    ASSERT_EQ(read.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_TRUE(read[i].extracted && read[i].data == entries[i].data);
  }
}

TEST(ZipReaderAgainstMinizip, BothFailTheCrcOfACorruptedEntry) {
  const std::string text = ziptest::MixedText(31, 20000);
  ziptest::BuiltArchive archive =
      ziptest::BuildArchive({{"good.txt", text, 8}, {"bad.txt", text, 0}, {"after.txt", text, 8}});
  archive.bytes[archive.localHeaders[1] + 30 + 7 + 5000] ^= 0x01;
  const std::vector<ReadEntry> read = ExpectBothReadTheSame(archive.bytes);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_TRUE(read[0].extracted);
  EXPECT_FALSE(read[1].extracted);
  EXPECT_TRUE(read[2].extracted);
}

TEST(ZipReaderAgainstMinizip, BothStopALyingEntryAtItsDeclaredSize) {
  TestEntry bomb{"bomb.bin", std::string(4 << 20, 'z'), 8};
  bomb.statedUncompressedSize = 4096;
  const std::vector<ReadEntry> read = ExpectBothReadTheSame(ziptest::BuildArchive({bomb, {"next.txt", "fine"}}).bytes);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_FALSE(read[0].extracted);
  EXPECT_EQ(read[0].data, std::string(4096, 'z'));
  EXPECT_TRUE(read[1].extracted);
}

}  // namespace
}  // namespace setup
