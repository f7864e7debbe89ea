#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "installer/archive/ZipReader.h"
#include "installer/archive/tests/TestArchives.h"

namespace setup {
namespace {

using ziptest::BuildArchive;
using ziptest::BuiltArchive;
using ziptest::TestEntry;

std::string AsString(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

ZipStatus OpenStatus(const std::vector<std::uint8_t>& bytes) {
  MemorySource source(bytes);
  ZipReader reader;
  return reader.Open(source);
}

// Counts what is read, and can fail every read.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(const std::vector<std::uint8_t>& bytes) : inner(bytes) {}
  std::uint64_t Size() const override { return inner.Size(); }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override {
    bytesRead += count;
    return !failReads && inner.Read(offset, into, count);
  }
  MemorySource inner;
  std::uint64_t bytesRead = 0;
  bool failReads = false;
};

// Keeps count of what it was given, and can refuse it.
class CountingSink final : public ByteSink {
 public:
  bool Write(const void*, std::size_t count) override {
    written += count;
    ++writes;
    return !refuse;
  }
  std::uint64_t written = 0;
  int writes = 0;
  bool refuse = false;
};

// Two entries, deflated text and stored binary, and a comment.
BuiltArchive TwoEntryArchive() {
  return BuildArchive({{"a.txt", ziptest::MixedText(1, 3000)}, {"b.bin", ziptest::MixedBinary(2, 500), 0}}, "note");
}

TEST(ZipReader, ReadsStoredDeflatedEmptyAndFolderEntries) {
  const std::string text = ziptest::MixedText(7, 20000);
  const std::string binary = ziptest::MixedBinary(8, 70000);        // more than one 64 KB chunk
  const std::string chineseName = "\xD6\xD0\xCE\xC4/\x95\x5C.txt";  // 中文/昞.txt
  const BuiltArchive archive = BuildArchive({
      {"readme.txt", text, 8},
      {"bin/", "", 0, 0, 0x10},
      {"bin/data.bin", binary, 0},
      {"empty-deflated.txt", "", 8},
      {"empty-stored.txt", "", 0},
      {"docs", "", 0, 0, 0x10},
      {chineseName, "\xC4\xE3\xBA\xC3", 8},  // 你好
  });
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  ASSERT_EQ(reader.EntryCount(), 7u);
  EXPECT_EQ(reader.Entry(7), nullptr);

  struct Expected {
    std::string name;
    bool isFolder;
    std::uint16_t method;
    std::string data;
  };
  const Expected expected[] = {
      {"readme.txt", false, 8, text},
      {"bin/", true, 0, ""},
      {"bin/data.bin", false, 0, binary},
      {"empty-deflated.txt", false, 8, ""},
      {"empty-stored.txt", false, 0, ""},
      {"docs", true, 0, ""},
      {chineseName, false, 8, "\xC4\xE3\xBA\xC3"},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const ZipEntry& entry = *reader.Entry(i);
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(entry.name, expected[i].name);
    EXPECT_EQ(entry.storedName, expected[i].name);
    EXPECT_TRUE(entry.nameDecoded);
    EXPECT_FALSE(entry.utf8Name);
    EXPECT_EQ(entry.isFolder, expected[i].isFolder);
    EXPECT_EQ(entry.method, expected[i].method);
    EXPECT_EQ(entry.uncompressedSize, expected[i].data.size());
    EXPECT_EQ(entry.crc32, ziptest::Crc32(expected[i].data));
    EXPECT_EQ(entry.headerOffset, archive.localHeaders[i]);
    EXPECT_EQ(entry.dataOffset, archive.localHeaders[i] + 30 + expected[i].name.size());
    MemorySink sink;
    EXPECT_EQ(reader.Extract(i, sink), ZipStatus::kOk);
    EXPECT_EQ(AsString(sink.Bytes()), expected[i].data);
  }
}

TEST(ZipReader, FindsTheEndRecordBehindAComment) {
  const std::string fakeRecord = std::string("PK\x05\x06", 4) + std::string(18, '\0');
  const std::string comments[] = {
      "",
      "Nimbo 2.0.1002",
      fakeRecord,  // a record's signature inside the comment
      "before " + fakeRecord + " after",
      std::string(0xFFFF - 22, 'c') + fakeRecord,  // the longest comment there is
  };
  for (const std::string& comment : comments) {
    SCOPED_TRACE(comment.size());
    const BuiltArchive archive = BuildArchive({{"a.txt", "alpha"}, {"b.txt", "beta", 0}}, comment);
    MemorySource source(archive.bytes);
    ZipReader reader;
    ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
    EXPECT_EQ(reader.EntryCount(), 2u);
    EXPECT_EQ(reader.Comment(), comment);
  }
}

TEST(ZipReader, ToleratesBytesAppendedBehindTheArchive) {
  BuiltArchive archive = TwoEntryArchive();
  archive.Put16(archive.endRecord + 20, 0);  // no comment: "note" is now trailing bytes
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  EXPECT_EQ(reader.EntryCount(), 2u);
  EXPECT_EQ(reader.Comment(), "");
}

TEST(ZipReader, OpensAnArchiveWithNoEntries) {
  const BuiltArchive archive = BuildArchive({});
  EXPECT_EQ(archive.bytes.size(), 22u);
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  EXPECT_EQ(reader.EntryCount(), 0u);
  EXPECT_EQ(reader.Entry(0), nullptr);
}

TEST(ZipReader, RefusesArchivesItCannotRead) {
  struct Case {
    const char* what;
    std::function<void(BuiltArchive&)> change;
    ZipStatus status;
  };
  // Offsets inside the records (APPNOTE 4.3.7, 4.3.12, 4.3.16).
  constexpr std::size_t kLocalFlags = 6, kLocalNameLength = 26;
  constexpr std::size_t kFlags = 8, kMethod = 10, kCompressedSize = 20, kNameLength = 28, kStartDisk = 34,
                        kHeaderOffset = 42;
  constexpr std::size_t kDisk = 4, kDirectoryDisk = 6, kEntriesHere = 8, kEntriesTotal = 10, kDirectorySize = 12,
                        kDirectoryOffset = 16, kCommentLength = 20;
  const auto central = [](BuiltArchive& a, std::size_t i) { return a.centralHeaders[i]; };
  const Case cases[] = {
      {"no bytes at all", [](BuiltArchive& a) { a.bytes.clear(); }, ZipStatus::kNotZip},
      {"text", [](BuiltArchive& a) { a.bytes.assign(1000, 'x'); }, ZipStatus::kNotZip},
      {"an end record whose comment runs past the end",
       [&](BuiltArchive& a) { a.Put16(a.endRecord + kCommentLength, 5); }, ZipStatus::kTruncated},
      {"a ZIP64 locator before the end record",
       [](BuiltArchive& a) {
         const std::uint8_t locator[20] = {'P', 'K', 6, 7};
         a.bytes.insert(a.bytes.begin() + static_cast<std::ptrdiff_t>(a.endRecord), locator, locator + 20);
       },
       ZipStatus::kZip64},
      {"entry count 0xFFFF", [&](BuiltArchive& a) { a.Put16(a.endRecord + kEntriesTotal, 0xFFFF); }, ZipStatus::kZip64},
      {"directory offset 0xFFFFFFFF", [&](BuiltArchive& a) { a.Put32(a.endRecord + kDirectoryOffset, 0xFFFFFFFF); },
       ZipStatus::kZip64},
      {"an entry's size 0xFFFFFFFF", [&](BuiltArchive& a) { a.Put32(central(a, 1) + kCompressedSize, 0xFFFFFFFF); },
       ZipStatus::kZip64},
      {"disk number 1", [&](BuiltArchive& a) { a.Put16(a.endRecord + kDisk, 1); }, ZipStatus::kMultiDisk},
      {"directory on disk 1", [&](BuiltArchive& a) { a.Put16(a.endRecord + kDirectoryDisk, 1); },
       ZipStatus::kMultiDisk},
      {"an entry starting on disk 2", [&](BuiltArchive& a) { a.Put16(central(a, 0) + kStartDisk, 2); },
       ZipStatus::kMultiDisk},
      {"directory offset past the end record",
       [&](BuiltArchive& a) { a.Put32(a.endRecord + kDirectoryOffset, static_cast<std::uint32_t>(a.bytes.size())); },
       ZipStatus::kDirectoryOutsideFile},
      {"directory size past the end record",
       [&](BuiltArchive& a) { a.Put32(a.endRecord + kDirectorySize, static_cast<std::uint32_t>(a.bytes.size())); },
       ZipStatus::kDirectoryOutsideFile},
      {"count says 3",
       [&](BuiltArchive& a) { a.Put16(a.endRecord + kEntriesHere, 3), a.Put16(a.endRecord + kEntriesTotal, 3); },
       ZipStatus::kEntryCountMismatch},
      {"count says 1",
       [&](BuiltArchive& a) { a.Put16(a.endRecord + kEntriesHere, 1), a.Put16(a.endRecord + kEntriesTotal, 1); },
       ZipStatus::kEntryCountMismatch},
      {"count says 0",
       [&](BuiltArchive& a) { a.Put16(a.endRecord + kEntriesHere, 0), a.Put16(a.endRecord + kEntriesTotal, 0); },
       ZipStatus::kEntryCountMismatch},
      {"more entries than the directory can hold",
       [&](BuiltArchive& a) {
         a.Put16(a.endRecord + kEntriesHere, 60000), a.Put16(a.endRecord + kEntriesTotal, 60000);
       },
       ZipStatus::kEntryCountMismatch},
      {"entries on this disk differ from the total", [&](BuiltArchive& a) { a.Put16(a.endRecord + kEntriesHere, 1); },
       ZipStatus::kEntryCountMismatch},
      {"a central header's signature", [&](BuiltArchive& a) { a.bytes[central(a, 1)] = 'X'; },
       ZipStatus::kBadDirectory},
      {"a central name running past the directory",
       [&](BuiltArchive& a) { a.Put16(central(a, 1) + kNameLength, 1000); }, ZipStatus::kBadDirectory},
      {"traditional encryption", [&](BuiltArchive& a) { a.Put16(central(a, 0) + kFlags, 0x0001); },
       ZipStatus::kEncrypted},
      {"strong encryption", [&](BuiltArchive& a) { a.Put16(central(a, 0) + kFlags, 0x0041); }, ZipStatus::kEncrypted},
      {"an encrypted directory", [&](BuiltArchive& a) { a.Put16(central(a, 1) + kFlags, 0x2000); },
       ZipStatus::kEncrypted},
      {"method 12 (bzip2)", [&](BuiltArchive& a) { a.Put16(central(a, 0) + kMethod, 12); },
       ZipStatus::kUnsupportedMethod},
      {"method 99 (AES)", [&](BuiltArchive& a) { a.Put16(central(a, 1) + kMethod, 99); },
       ZipStatus::kUnsupportedMethod},
      {"a local header's signature", [&](BuiltArchive& a) { a.bytes[a.localHeaders[1] + 2] = 9; },
       ZipStatus::kBadLocalHeader},
      {"a local name of another length", [&](BuiltArchive& a) { a.Put16(a.localHeaders[1] + kLocalNameLength, 4); },
       ZipStatus::kBadLocalHeader},
      {"a local name that differs", [&](BuiltArchive& a) { a.bytes[a.localHeaders[0] + 30] = 'z'; },
       ZipStatus::kBadLocalHeader},
      {"a local header offset inside the directory",
       [&](BuiltArchive& a) { a.Put32(central(a, 1) + kHeaderOffset, static_cast<std::uint32_t>(a.directoryOffset)); },
       ZipStatus::kBadLocalHeader},
      {"a local header offset far beyond the file",
       [&](BuiltArchive& a) { a.Put32(central(a, 1) + kHeaderOffset, 0x7FFFFFF0); }, ZipStatus::kBadLocalHeader},
      {"data running into the directory",
       [&](BuiltArchive& a) {
         a.Put32(central(a, 1) + kCompressedSize, static_cast<std::uint32_t>(a.directoryOffset));
       },
       ZipStatus::kDataOutsideFile},
      {"data running into the next entry",
       [&](BuiltArchive& a) {
         a.Put32(central(a, 0) + kCompressedSize, static_cast<std::uint32_t>(a.localHeaders[1]));
       },
       ZipStatus::kOverlappingEntries},
  };
  for (const Case& c : cases) {
    BuiltArchive archive = TwoEntryArchive();
    ASSERT_EQ(OpenStatus(archive.bytes), ZipStatus::kOk);
    c.change(archive);
    MemorySource source(archive.bytes);
    ZipReader reader;
    EXPECT_EQ(reader.Open(source), c.status) << c.what << ": " << ZipStatusText(reader.Open(source));
    EXPECT_FALSE(reader.IsOpen()) << c.what;
    EXPECT_EQ(reader.EntryCount(), 0u) << c.what;
  }
  // The local flags are not what decides: the central directory is.
  BuiltArchive archive = TwoEntryArchive();
  archive.Put16(archive.localHeaders[0] + kLocalFlags, 0x0008);
  EXPECT_EQ(OpenStatus(archive.bytes), ZipStatus::kOk);
}

TEST(ZipReader, EveryTruncationOfAnArchiveIsRefused) {
  const BuiltArchive archive = TwoEntryArchive();
  for (std::size_t length = 0; length < archive.bytes.size(); ++length) {
    const std::vector<std::uint8_t> cut(archive.bytes.begin(),
                                        archive.bytes.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(OpenStatus(cut), length < 4 ? ZipStatus::kNotZip : ZipStatus::kTruncated) << "length " << length;
  }
}

TEST(ZipReader, AnArchiveWithAPieceCutOutOfItsMiddleIsRefused) {
  const BuiltArchive archive = TwoEntryArchive();
  for (std::size_t at :
       {std::size_t{0}, archive.localHeaders[1], archive.directoryOffset - 10, archive.centralHeaders[1]}) {
    std::vector<std::uint8_t> cut = archive.bytes;
    cut.erase(cut.begin() + static_cast<std::ptrdiff_t>(at), cut.begin() + static_cast<std::ptrdiff_t>(at) + 8);
    EXPECT_NE(OpenStatus(cut), ZipStatus::kOk) << "cut at " << at;
  }
}

TEST(ZipReader, ACorruptedEntryFailsItsCrcCheck) {
  const std::string text = ziptest::MixedText(3, 5000);
  BuiltArchive archive = BuildArchive({{"stored.txt", text, 0}, {"deflated.txt", text, 8}, {"stated.txt", text, 8}});
  archive.bytes[archive.localHeaders[0] + 30 + 10 + 1234] ^= 0x20;  // one letter's case in the stored data
  archive.Put32(archive.centralHeaders[2] + 16, ziptest::Crc32(text) ^ 1);
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  const ZipStatus expected[] = {ZipStatus::kCrcMismatch, ZipStatus::kOk, ZipStatus::kCrcMismatch};
  for (std::size_t i = 0; i < 3; ++i) {
    MemorySink sink;
    EXPECT_EQ(reader.Extract(i, sink), expected[i]) << i;
    EXPECT_EQ(sink.Bytes().size(), text.size()) << i;
  }
}

TEST(ZipReader, ASizeThatLiesStopsAtTheDeclaredSize) {
  // 64 MB of zeros deflate to about 64 KB; the headers claim 1000 bytes.
  const std::string zeros(64 << 20, '\0');
  TestEntry bomb{"bomb.bin", zeros, 8};
  bomb.statedUncompressedSize = 1000;
  const BuiltArchive archive = BuildArchive({bomb, {"after.txt", "still readable"}});
  CountingSource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  const std::uint64_t readByOpen = source.bytesRead;

  CountingSink sink;
  EXPECT_EQ(reader.Extract(0, sink), ZipStatus::kSizeExceeded);
  EXPECT_EQ(sink.written, 1000u);
  // Stopped at once: no more than the first 64 KB of compressed data read.
  EXPECT_LE(source.bytesRead - readByOpen, 64u * 1024);

  // A declared size of zero writes nothing at all.
  BuiltArchive zero = BuildArchive({{"zero.bin", zeros.substr(0, 100000), 8}});
  zero.Put32(zero.centralHeaders[0] + 24, 0);
  MemorySource zeroSource(zero.bytes);
  ASSERT_EQ(reader.Open(zeroSource), ZipStatus::kOk);
  CountingSink nothing;
  EXPECT_EQ(reader.Extract(0, nothing), ZipStatus::kSizeExceeded);
  EXPECT_EQ(nothing.written, 0u);
}

TEST(ZipReader, DataShorterThanDeclaredIsASizeMismatch) {
  TestEntry deflated{"short.txt", "twelve bytes", 8};
  deflated.statedUncompressedSize = 13;
  TestEntry stored{"short.bin", "twelve bytes", 0};
  stored.statedUncompressedSize = 13;
  TestEntry storedLong{"long.bin", "twelve bytes", 0};
  storedLong.statedUncompressedSize = 11;
  const BuiltArchive archive = BuildArchive({deflated, stored, storedLong});
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  MemorySink first, second;
  CountingSink third;
  EXPECT_EQ(reader.Extract(0, first), ZipStatus::kSizeMismatch);
  EXPECT_EQ(reader.Extract(1, second), ZipStatus::kSizeMismatch);
  EXPECT_EQ(reader.Extract(2, third), ZipStatus::kSizeExceeded);
  EXPECT_EQ(third.written, 0u);
}

TEST(ZipReader, BrokenDeflateDataIsCorrupt) {
  const std::string text = ziptest::MixedText(4, 10000);
  const std::string deflated = ziptest::Deflate(text);
  const std::string cases[] = {
      "this is not deflate data",               // an invalid block type
      deflated.substr(0, deflated.size() / 2),  // the stream cut short
      deflated + "tail",                        // the stream ends before the compressed size
      "",                                       // no data at all
  };
  for (const std::string& compressed : cases) {
    TestEntry entry{"x.txt", text, 8};
    entry.compressedData = compressed;
    const BuiltArchive archive = BuildArchive({entry});
    MemorySource source(archive.bytes);
    ZipReader reader;
    ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
    CountingSink sink;
    EXPECT_EQ(reader.Extract(0, sink), ZipStatus::kCorruptData) << compressed.size();
    EXPECT_LE(sink.written, text.size());
  }
}

TEST(ZipReader, ARefusingSinkStopsTheExtraction) {
  const BuiltArchive archive = BuildArchive({{"a.txt", ziptest::MixedText(5, 200000)}, {"b.bin", "stored", 0}});
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  for (std::size_t i = 0; i < 2; ++i) {
    CountingSink sink;
    sink.refuse = true;
    EXPECT_EQ(reader.Extract(i, sink), ZipStatus::kWriteFailed);
    EXPECT_EQ(sink.writes, 1);
  }
}

TEST(ZipReader, WritesInPiecesOfAtMost64Kilobytes) {
  class PieceSink final : public ByteSink {
   public:
    bool Write(const void*, std::size_t count) override {
      largest = std::max(largest, count);
      return true;
    }
    std::size_t largest = 0;
  };
  const BuiltArchive archive =
      BuildArchive({{"a.txt", ziptest::MixedText(6, 500000)}, {"b", std::string(300000, 'b'), 0}});
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  for (std::size_t i = 0; i < 2; ++i) {
    PieceSink sink;
    EXPECT_EQ(reader.Extract(i, sink), ZipStatus::kOk);
    EXPECT_EQ(sink.largest, 64u * 1024);
  }
}

TEST(ZipReader, ReportsFailedReadsAndExtractionsWithoutAnArchive) {
  const BuiltArchive archive = TwoEntryArchive();
  CountingSource source(archive.bytes);
  ZipReader reader;
  MemorySink sink;
  EXPECT_EQ(reader.Extract(0, sink), ZipStatus::kNotOpen);
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  EXPECT_EQ(reader.Extract(2, sink), ZipStatus::kNoEntry);
  source.failReads = true;
  EXPECT_EQ(reader.Extract(0, sink), ZipStatus::kReadFailed);
  EXPECT_EQ(reader.Open(source), ZipStatus::kReadFailed);
  EXPECT_FALSE(reader.IsOpen());

  source.failReads = false;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.EntryCount(), 0u);
  EXPECT_EQ(reader.Extract(0, sink), ZipStatus::kNotOpen);
}

TEST(ZipReader, Utf8FlaggedNamesAreConvertedToCodePage936) {
  const std::uint16_t kUtf8 = 0x0800;
  const BuiltArchive archive = BuildArchive({
      {Utf8(u8"中文/说明.txt"), "x", 8, kUtf8},
      {Utf8(u8"昞.txt"), "x", 8, kUtf8},       // its second byte in code page 936 is '\'
      {Utf8(u8"smile-😀.txt"), "x", 8, kUtf8},  // no code page 936 form
      {"bad-\xC0\xAF.txt", "x", 8, kUtf8},     // not UTF-8 (an overlong '/')
      {"\xD6\xD0\xCE\xC4.txt", "x", 8},        // 中文.txt without the flag: taken as it is
      {Utf8(u8"目录/"), "", 0, kUtf8},
  });
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  struct Expected {
    bool decoded;
    std::string name;
  };
  const Expected expected[] = {
      {true, "\xD6\xD0\xCE\xC4/\xCB\xB5\xC3\xF7.txt"},
      {true, "\x95\x5C.txt"},
      {false, ""},
      {false, ""},
      {true, "\xD6\xD0\xCE\xC4.txt"},
      {true, "\xC4\xBF\xC2\xBC/"},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const ZipEntry& entry = *reader.Entry(i);
    EXPECT_EQ(entry.utf8Name, i != 4) << i;
    EXPECT_EQ(entry.nameDecoded, expected[i].decoded) << i;
    EXPECT_EQ(entry.name, expected[i].name) << i;
  }
  EXPECT_EQ(reader.Entry(2)->storedName, Utf8(u8"smile-😀.txt"));
  EXPECT_TRUE(reader.Entry(5)->isFolder);
}

TEST(ZipReader, AFolderIsMarkedByItsAttributeOrATrailingSlash) {
  struct Case {
    const char* name;
    std::uint32_t attributes;
    bool isFolder;
  };
  const Case cases[] = {
      {"plain", 0x20, false},         {"by-attribute", 0x10, true},     {"by-slash/", 0, true}, {"both/", 0x10, true},
      {"unix-dir", 0x41ED0010, true}, {"unix-file", 0x81A40020, false}, {"back\\", 0, false},   {"\x95\x5C", 0, false},
  };
  std::vector<TestEntry> entries;
  for (const Case& c : cases) entries.push_back({c.name, "", 0, 0, c.attributes});
  const BuiltArchive archive = BuildArchive(entries);
  MemorySource source(archive.bytes);
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(reader.Entry(i)->isFolder, cases[i].isFolder) << cases[i].name;
}

// Randomised: flipped bytes anywhere never make the reader read outside the
// archive (the sanitizers watch) or write more than an entry declares.
TEST(ZipReader, DamagedArchivesNeverWriteBeyondTheirDeclaredSizes) {
  const BuiltArchive archive = BuildArchive(
      {
          {"a.txt", ziptest::MixedText(11, 3000)},
          {"dir/", "", 0, 0, 0x10},
          {"dir/b.bin", ziptest::MixedBinary(12, 2000), 0},
          {"dir/c.bin", ziptest::MixedBinary(13, 4000), 8},
      },
      "comment");
  std::mt19937 random(2024);
  int opened = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bytes = archive.bytes;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int f = 0; f < flips; ++f) {
      // Half the flips land in the headers, where they matter most.
      const std::size_t at = random() % 2
                                 ? random() % bytes.size()
                                 : archive.directoryOffset + random() % (bytes.size() - archive.directoryOffset);
      bytes[at] = static_cast<std::uint8_t>(random());
    }
    MemorySource source(bytes);
    ZipReader reader;
    if (reader.Open(source) != ZipStatus::kOk) continue;
    ++opened;
    for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
      CountingSink sink;
      reader.Extract(i, sink);
      EXPECT_LE(sink.written, reader.Entry(i)->uncompressedSize);
    }
  }
  EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace setup
