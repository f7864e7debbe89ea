#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "installer/archive/ByteStreams.h"
#include "installer/archive/ZipReader.h"

namespace setup::ziptest {

// One entry of an archive built by hand. The headers state the data's CRC
// and sizes unless the test makes them lie.
struct TestEntry {
  TestEntry() = default;
  TestEntry(std::string entryName, std::string entryData = {}, std::uint16_t entryMethod = 8,
            std::uint16_t entryFlags = 0, std::uint32_t entryAttributes = 0)
      : name(std::move(entryName)),
        data(std::move(entryData)),
        method(entryMethod),
        flags(entryFlags),
        externalAttributes(entryAttributes) {}

  std::string name;  // stored bytes
  std::string data;  // uncompressed
  std::uint16_t method = 8;
  std::uint16_t flags = 0;
  std::uint32_t externalAttributes = 0;
  std::optional<std::uint32_t> statedCrc;
  std::optional<std::uint32_t> statedUncompressedSize;
  std::optional<std::string> compressedData;  // instead of compressing `data`
};

// The archive's bytes and where its records are, for tests that patch them.
struct BuiltArchive {
  std::vector<std::uint8_t> bytes;
  std::vector<std::size_t> localHeaders;
  std::vector<std::size_t> centralHeaders;
  std::size_t directoryOffset = 0;
  std::size_t endRecord = 0;

  void Put16(std::size_t at, std::uint16_t value);
  void Put32(std::size_t at, std::uint32_t value);
};

// Local headers and data, central directory, end record and comment, as
// an ordinary archiver writes them (version 2.0, MS-DOS host).
BuiltArchive BuildArchive(const std::vector<TestEntry>& entries, std::string_view comment = {});

// Raw deflate data, as ZIP stores it.
std::string Deflate(std::string_view data, int level = 6);
std::uint32_t Crc32(std::string_view data);

// Text of words and numbers, and binary of mixed kinds (random, repeated
// structures, runs), from a seed.
std::string MixedText(std::uint32_t seed, std::size_t size);
std::string MixedBinary(std::uint32_t seed, std::size_t size);

// An entry of an archive as a reader saw it, data included.
struct ReadEntry {
  std::string storedName;
  std::uint16_t method = 0;
  std::uint16_t flags = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t externalAttributes = 0;
  std::string data;
  bool extracted = false;  // the data was read whole and its CRC matched
};

// The archive read with our reader; nothing when it refuses to open it.
std::optional<std::vector<ReadEntry>> ReadWithZipReader(const std::vector<std::uint8_t>& bytes,
                                                        std::string* comment = nullptr);
}  // namespace setup::ziptest
