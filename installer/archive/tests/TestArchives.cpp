#include "installer/archive/tests/TestArchives.h"

#include <zlib.h>

#include <random>
#include <stdexcept>

namespace setup::ziptest {
namespace {

void Append16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  Append16(bytes, value & 0xFFFF);
  Append16(bytes, value >> 16);
}

void AppendText(std::vector<std::uint8_t>& bytes, std::string_view text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}

// 1 January 2024, 12:00, in MS-DOS form.
constexpr std::uint16_t kDosTime = 12 << 11;
constexpr std::uint16_t kDosDate = ((2024 - 1980) << 9) | (1 << 5) | 1;

}  // namespace

void BuiltArchive::Put16(std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void BuiltArchive::Put32(std::size_t at, std::uint32_t value) {
  Put16(at, static_cast<std::uint16_t>(value));
  Put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string Deflate(std::string_view data, int level) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

std::uint32_t Crc32(std::string_view data) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

BuiltArchive BuildArchive(const std::vector<TestEntry>& entries, std::string_view comment) {
  BuiltArchive archive;
  std::vector<std::string> stored;
  for (const TestEntry& entry : entries) {
    stored.push_back(entry.compressedData ? *entry.compressedData
                     : entry.method == 8  ? Deflate(entry.data)
                                          : entry.data);
    archive.localHeaders.push_back(archive.bytes.size());
    std::vector<std::uint8_t>& b = archive.bytes;
    Append32(b, 0x04034B50);
    Append16(b, 20);
    Append16(b, entry.flags);
    Append16(b, entry.method);
    Append16(b, kDosTime);
    Append16(b, kDosDate);
    Append32(b, entry.statedCrc.value_or(Crc32(entry.data)));
    Append32(b, static_cast<std::uint32_t>(stored.back().size()));
    Append32(b, entry.statedUncompressedSize.value_or(static_cast<std::uint32_t>(entry.data.size())));
    Append16(b, static_cast<std::uint32_t>(entry.name.size()));
    Append16(b, 0);
    AppendText(b, entry.name);
    AppendText(b, stored.back());
  }
  archive.directoryOffset = archive.bytes.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TestEntry& entry = entries[i];
    archive.centralHeaders.push_back(archive.bytes.size());
    std::vector<std::uint8_t>& b = archive.bytes;
    Append32(b, 0x02014B50);
    Append16(b, 20);  // made by: MS-DOS, 2.0
    Append16(b, 20);
    Append16(b, entry.flags);
    Append16(b, entry.method);
    Append16(b, kDosTime);
    Append16(b, kDosDate);
    Append32(b, entry.statedCrc.value_or(Crc32(entry.data)));
    Append32(b, static_cast<std::uint32_t>(stored[i].size()));
    Append32(b, entry.statedUncompressedSize.value_or(static_cast<std::uint32_t>(entry.data.size())));
    Append16(b, static_cast<std::uint32_t>(entry.name.size()));
    Append16(b, 0);  // extra
    Append16(b, 0);  // comment
    Append16(b, 0);  // disk
    Append16(b, 0);  // internal attributes
    Append32(b, entry.externalAttributes);
    Append32(b, static_cast<std::uint32_t>(archive.localHeaders[i]));
    AppendText(b, entry.name);
  }
  archive.endRecord = archive.bytes.size();
  std::vector<std::uint8_t>& b = archive.bytes;
  Append32(b, 0x06054B50);
  Append16(b, 0);
  Append16(b, 0);
  Append16(b, static_cast<std::uint32_t>(entries.size()));
  Append16(b, static_cast<std::uint32_t>(entries.size()));
  Append32(b, static_cast<std::uint32_t>(archive.endRecord - archive.directoryOffset));
  Append32(b, static_cast<std::uint32_t>(archive.directoryOffset));
  Append16(b, static_cast<std::uint32_t>(comment.size()));
  AppendText(b, comment);
  return archive;
}

std::string MixedText(std::uint32_t seed, std::size_t size) {
  static const char* const kWords[] = {"nimbo", "setup",  "install", "folder",   "file",    "the",   "a",    "of",
                                       "and",   "window", "engine",  "progress", "archive", "entry", "data", "zlib"};
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) {
    const unsigned pick = random() % 20;
    if (pick < 16) text += kWords[pick];
    else if (pick < 19) text += std::to_string(random() % 100000);
    else text += "\r\n";
    text += ' ';
  }
  text.resize(size);
  return text;
}

std::string MixedBinary(std::uint32_t seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    const std::size_t run = 256 + random() % 8192;
    switch (random() % 3) {
      case 0:  // incompressible
        for (std::size_t i = 0; i < run; ++i) bytes += static_cast<char>(random());
        break;
      case 1: {  // a table of small records
        std::uint32_t value = random();
        for (std::size_t i = 0; i < run / 4; ++i) {
          value += random() % 16;
          bytes.append(reinterpret_cast<const char*>(&value), 4);
        }
        break;
      }
      default:  // a run of one byte
        bytes.append(run, static_cast<char>(random()));
        break;
    }
  }
  bytes.resize(size);
  return bytes;
}

std::optional<std::vector<ReadEntry>> ReadWithZipReader(const std::vector<std::uint8_t>& bytes, std::string* comment) {
  MemorySource source(bytes);
  ZipReader reader;
  if (reader.Open(source) != ZipStatus::kOk) return std::nullopt;
  if (comment != nullptr) *comment = reader.Comment();
  std::vector<ReadEntry> entries;
  for (std::size_t i = 0; const ZipEntry* entry = reader.Entry(i); ++i) {
    ReadEntry read;
    read.storedName = entry->storedName;
    read.method = entry->method;
    read.flags = entry->flags;
    read.crc32 = entry->crc32;
    read.compressedSize = entry->compressedSize;
    read.uncompressedSize = entry->uncompressedSize;
    read.externalAttributes = entry->externalAttributes;
    MemorySink sink;
    read.extracted = reader.Extract(i, sink) == ZipStatus::kOk;
    read.data.assign(sink.Bytes().begin(), sink.Bytes().end());
    entries.push_back(std::move(read));
  }
  return entries;
}

}  // namespace setup::ziptest
