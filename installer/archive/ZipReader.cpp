#include "ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <numeric>
#include <optional>

#include "installer/archive/NameConversion.h"

namespace setup {
namespace {

// Record signatures and fixed sizes (APPNOTE.TXT 4.3).
constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxCommentSize = 0xFFFF;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kFlagUtf8 = 0x0800;
constexpr std::uint16_t kFlagDirectoryEncrypted = 0x2000;
constexpr std::uint32_t kFolderAttribute = 0x10;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

// Both the read and the inflate buffer; bounds the memory of an extraction.
constexpr std::size_t kChunkSize = 64 * 1024;

std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Read32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads [offset, offset + count) when it lies inside the source.
bool ReadAt(ByteSource& source, std::uint64_t offset, void* into, std::size_t count) {
  const std::uint64_t size = source.Size();
  if (offset > size || count > size - offset) return false;
  return source.Read(offset, into, count);
}

// Ends the inflate stream however the extraction leaves.
class Inflater {
 public:
  Inflater() = default;
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  ~Inflater() {
    if (started_) inflateEnd(&stream);
  }
  // Raw deflate data, as ZIP stores it: no zlib header, no trailer.
  int Start() {
    const int result = inflateInit2(&stream, -MAX_WBITS);
    started_ = result == Z_OK;
    return result;
  }

  z_stream stream{};

 private:
  bool started_ = false;
};

}  // namespace

const char* ZipStatusText(ZipStatus status) {
  switch (status) {
    case ZipStatus::kOk:
      return "ok";
    case ZipStatus::kNotZip:
      return "not a ZIP archive";
    case ZipStatus::kTruncated:
      return "the archive is truncated";
    case ZipStatus::kZip64:
      return "ZIP64 archives are not supported";
    case ZipStatus::kMultiDisk:
      return "spanned or multi-disk archives are not supported";
    case ZipStatus::kDirectoryOutsideFile:
      return "the central directory lies outside the file";
    case ZipStatus::kEntryCountMismatch:
      return "the entry count does not match the central directory";
    case ZipStatus::kBadDirectory:
      return "the central directory is malformed";
    case ZipStatus::kEncrypted:
      return "encrypted entries are not supported";
    case ZipStatus::kUnsupportedMethod:
      return "an entry's compression method is not supported";
    case ZipStatus::kBadLocalHeader:
      return "a local header is missing or does not match the directory";
    case ZipStatus::kDataOutsideFile:
      return "an entry's data lies outside the file's data area";
    case ZipStatus::kOverlappingEntries:
      return "entries overlap";
    case ZipStatus::kReadFailed:
      return "reading the archive failed";
    case ZipStatus::kOutOfMemory:
      return "out of memory";
    case ZipStatus::kNotOpen:
      return "no archive is open";
    case ZipStatus::kNoEntry:
      return "no such entry";
    case ZipStatus::kCorruptData:
      return "the compressed data is corrupt";
    case ZipStatus::kSizeExceeded:
      return "the data is larger than declared";
    case ZipStatus::kSizeMismatch:
      return "the data is smaller than declared";
    case ZipStatus::kCrcMismatch:
      return "CRC-32 mismatch";
    case ZipStatus::kWriteFailed:
      return "writing the data failed";
  }
  return "unknown status";
}

ZipStatus ZipReader::Open(ByteSource& source) {
  Close();
  source_ = &source;
  ZipStatus status = ZipStatus::kOk;
  try {
    std::uint64_t endOffset = 0;
    status = FindEndRecord(endOffset);
    if (status == ZipStatus::kOk) status = ReadDirectory(endOffset);
    if (status == ZipStatus::kOk) status = CheckLocalHeaders();
  } catch (const std::bad_alloc&) {
    status = ZipStatus::kOutOfMemory;
  }
  if (status != ZipStatus::kOk) Close();
  return status;
}

void ZipReader::Close() {
  source_ = nullptr;
  entries_.clear();
  comment_.clear();
  directoryOffset_ = 0;
}

const ZipEntry* ZipReader::Entry(std::size_t index) const {
  return index < entries_.size() ? &entries_[index] : nullptr;
}

// The end record sits at the end of the file, behind a comment of up to
// 64 KB that may itself hold something shaped like an end record. The first
// record whose comment ends exactly at the end of the file wins (a record
// inside the comment comes after the real one); failing that, the last
// record whose comment fits (bytes appended behind an archive are tolerated).
ZipStatus ZipReader::FindEndRecord(std::uint64_t& endOffset) {
  ByteSource& source = *source_;
  const std::uint64_t size = source.Size();
  const std::size_t tailSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndRecordSize + kMaxCommentSize));
  std::vector<std::uint8_t> tail(tailSize);
  const std::uint64_t tailOffset = size - tailSize;
  if (tailSize != 0 && !ReadAt(source, tailOffset, tail.data(), tailSize)) return ZipStatus::kReadFailed;

  std::optional<std::size_t> exact, fitting;
  bool seen = false;
  for (std::size_t i = 0; i + kEndRecordSize <= tailSize; ++i) {
    if (Read32(&tail[i]) != kEndRecordSignature) continue;
    seen = true;
    const std::size_t end = i + kEndRecordSize + Read16(&tail[i + 20]);
    if (end == tailSize) {
      exact = i;
      break;
    }
    if (end < tailSize) fitting = i;
  }
  const std::optional<std::size_t> found = exact ? exact : fitting;
  if (!found) {
    std::uint8_t start[4] = {};
    const bool zipStart = ReadAt(source, 0, start, sizeof start) && Read32(start) == kLocalHeaderSignature;
    return seen || zipStart ? ZipStatus::kTruncated : ZipStatus::kNotZip;
  }

  const std::uint8_t* record = &tail[*found];
  endOffset = tailOffset + *found;
  comment_.assign(reinterpret_cast<const char*>(record + kEndRecordSize), Read16(record + 20));
  if (endOffset >= kZip64LocatorSize) {
    std::uint8_t locator[4] = {};
    if (!ReadAt(source, endOffset - kZip64LocatorSize, locator, sizeof locator)) return ZipStatus::kReadFailed;
    if (Read32(locator) == kZip64LocatorSignature) return ZipStatus::kZip64;
  }
  return ZipStatus::kOk;
}

ZipStatus ZipReader::ReadDirectory(std::uint64_t endOffset) {
  std::uint8_t record[kEndRecordSize];
  if (!ReadAt(*source_, endOffset, record, sizeof record)) return ZipStatus::kReadFailed;
  const std::uint16_t disk = Read16(record + 4);
  const std::uint16_t directoryDisk = Read16(record + 6);
  const std::uint16_t entriesHere = Read16(record + 8);
  const std::uint16_t entriesTotal = Read16(record + 10);
  const std::uint32_t directorySize = Read32(record + 12);
  const std::uint32_t directoryOffset = Read32(record + 16);
  // A ZIP64 archive marks the fields that did not fit with all ones.
  if (disk == 0xFFFF || directoryDisk == 0xFFFF || entriesHere == 0xFFFF || entriesTotal == 0xFFFF ||
      directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
    return ZipStatus::kZip64;
  if (disk != 0 || directoryDisk != 0) return ZipStatus::kMultiDisk;
  if (entriesHere != entriesTotal) return ZipStatus::kEntryCountMismatch;
  if (std::uint64_t{directoryOffset} + directorySize > endOffset) return ZipStatus::kDirectoryOutsideFile;
  // Checked before anything is allocated for the entries.
  if (std::uint64_t{entriesTotal} * kCentralHeaderSize > directorySize) return ZipStatus::kEntryCountMismatch;

  // Bounded by the file's size, checked above.
  std::vector<std::uint8_t> directory(directorySize);
  if (directorySize != 0 && !ReadAt(*source_, directoryOffset, directory.data(), directorySize))
    return ZipStatus::kReadFailed;
  directoryOffset_ = directoryOffset;
  entries_.reserve(entriesTotal);

  std::size_t at = 0;
  while (at < directory.size()) {
    if (entries_.size() == entriesTotal) return ZipStatus::kEntryCountMismatch;
    if (directory.size() - at < kCentralHeaderSize) return ZipStatus::kBadDirectory;
    const std::uint8_t* header = &directory[at];
    if (Read32(header) != kCentralHeaderSignature) return ZipStatus::kBadDirectory;
    const std::size_t nameLength = Read16(header + 28);
    const std::size_t extraLength = Read16(header + 30);
    const std::size_t commentLength = Read16(header + 32);
    const std::size_t recordSize = kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (directory.size() - at < recordSize) return ZipStatus::kBadDirectory;

    ZipEntry entry;
    entry.flags = Read16(header + 8);
    entry.method = Read16(header + 10);
    entry.crc32 = Read32(header + 16);
    entry.compressedSize = Read32(header + 20);
    entry.uncompressedSize = Read32(header + 24);
    const std::uint16_t startDisk = Read16(header + 34);
    entry.externalAttributes = Read32(header + 38);
    entry.headerOffset = Read32(header + 42);
    entry.storedName.assign(reinterpret_cast<const char*>(header + kCentralHeaderSize), nameLength);

    if (entry.compressedSize == 0xFFFFFFFF || entry.uncompressedSize == 0xFFFFFFFF ||
        entry.headerOffset == 0xFFFFFFFF || startDisk == 0xFFFF)
      return ZipStatus::kZip64;
    if (startDisk != 0) return ZipStatus::kMultiDisk;
    if (entry.flags & (kFlagEncrypted | kFlagStrongEncryption | kFlagDirectoryEncrypted)) return ZipStatus::kEncrypted;
    if (entry.method != kMethodStored && entry.method != kMethodDeflated) return ZipStatus::kUnsupportedMethod;

    entry.utf8Name = (entry.flags & kFlagUtf8) != 0;
    if (entry.utf8Name) {
      std::optional<std::string> converted = Utf8ToCp936(entry.storedName);
      entry.nameDecoded = converted.has_value();
      if (converted) entry.name = std::move(*converted);
    } else {
      entry.name = entry.storedName;
    }
    // '/' is never the second byte of a code page 936 or UTF-8 character.
    entry.isFolder = (entry.externalAttributes & kFolderAttribute) != 0 ||
                     (!entry.storedName.empty() && entry.storedName.back() == '/');
    entries_.push_back(std::move(entry));
    at += recordSize;
  }
  if (entries_.size() != entriesTotal) return ZipStatus::kEntryCountMismatch;
  return ZipStatus::kOk;
}

// Every local header must be where the directory says, name the same file,
// and be followed by the entry's data, all before the directory; and no two
// entries may share bytes.
ZipStatus ZipReader::CheckLocalHeaders() {
  std::string name;
  for (ZipEntry& entry : entries_) {
    if (std::uint64_t{entry.headerOffset} + kLocalHeaderSize > directoryOffset_) return ZipStatus::kBadLocalHeader;
    std::uint8_t header[kLocalHeaderSize];
    if (!ReadAt(*source_, entry.headerOffset, header, sizeof header)) return ZipStatus::kReadFailed;
    if (Read32(header) != kLocalHeaderSignature) return ZipStatus::kBadLocalHeader;
    const std::size_t nameLength = Read16(header + 26);
    const std::size_t extraLength = Read16(header + 28);
    if (nameLength != entry.storedName.size()) return ZipStatus::kBadLocalHeader;
    const std::uint64_t nameOffset = std::uint64_t{entry.headerOffset} + kLocalHeaderSize;
    if (nameOffset + nameLength > directoryOffset_) return ZipStatus::kBadLocalHeader;
    name.resize(nameLength);
    if (!ReadAt(*source_, nameOffset, name.data(), nameLength)) return ZipStatus::kReadFailed;
    if (name != entry.storedName) return ZipStatus::kBadLocalHeader;
    entry.dataOffset = nameOffset + nameLength + extraLength;
    if (entry.dataOffset + entry.compressedSize > directoryOffset_) return ZipStatus::kDataOutsideFile;
  }

  std::vector<std::size_t> order(entries_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(),
            [this](std::size_t a, std::size_t b) { return entries_[a].headerOffset < entries_[b].headerOffset; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    const ZipEntry& previous = entries_[order[i - 1]];
    if (previous.dataOffset + previous.compressedSize > entries_[order[i]].headerOffset)
      return ZipStatus::kOverlappingEntries;
  }
  return ZipStatus::kOk;
}

ZipStatus ZipReader::Extract(std::size_t index, ByteSink& sink) {
  if (!IsOpen()) return ZipStatus::kNotOpen;
  const ZipEntry* entry = Entry(index);
  if (entry == nullptr) return ZipStatus::kNoEntry;
  try {
    return entry->method == kMethodStored ? ExtractStored(*entry, sink) : ExtractDeflated(*entry, sink);
  } catch (const std::bad_alloc&) {
    return ZipStatus::kOutOfMemory;
  }
}

ZipStatus ZipReader::ExtractStored(const ZipEntry& entry, ByteSink& sink) {
  if (entry.compressedSize > entry.uncompressedSize) return ZipStatus::kSizeExceeded;
  if (entry.compressedSize < entry.uncompressedSize) return ZipStatus::kSizeMismatch;
  const std::size_t bufferSize = std::min<std::size_t>(kChunkSize, entry.compressedSize);
  const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(bufferSize);
  uLong crc = crc32(0, nullptr, 0);
  std::uint64_t offset = entry.dataOffset;
  std::uint32_t left = entry.compressedSize;
  while (left != 0) {
    const std::size_t count = std::min<std::size_t>(bufferSize, left);
    if (!ReadAt(*source_, offset, buffer.get(), count)) return ZipStatus::kReadFailed;
    crc = crc32(crc, buffer.get(), static_cast<uInt>(count));
    if (!sink.Write(buffer.get(), count)) return ZipStatus::kWriteFailed;
    offset += count;
    left -= static_cast<std::uint32_t>(count);
  }
  return crc == entry.crc32 ? ZipStatus::kOk : ZipStatus::kCrcMismatch;
}

ZipStatus ZipReader::ExtractDeflated(const ZipEntry& entry, ByteSink& sink) {
  Inflater inflater;
  const int started = inflater.Start();
  if (started == Z_MEM_ERROR) return ZipStatus::kOutOfMemory;
  if (started != Z_OK) return ZipStatus::kCorruptData;
  z_stream& stream = inflater.stream;

  const std::size_t inputSize = std::min<std::size_t>(kChunkSize, entry.compressedSize);
  const auto input = std::make_unique_for_overwrite<std::uint8_t[]>(inputSize);
  const auto output = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize);
  uLong crc = crc32(0, nullptr, 0);
  std::uint64_t inputOffset = entry.dataOffset;
  std::uint32_t inputLeft = entry.compressedSize;
  std::uint32_t outputLeft = entry.uncompressedSize;
  for (;;) {
    if (stream.avail_in == 0 && inputLeft != 0) {
      const std::size_t count = std::min<std::size_t>(inputSize, inputLeft);
      if (!ReadAt(*source_, inputOffset, input.get(), count)) return ZipStatus::kReadFailed;
      inputOffset += count;
      inputLeft -= static_cast<std::uint32_t>(count);
      stream.next_in = input.get();
      stream.avail_in = static_cast<uInt>(count);
    }
    // Room for one byte beyond the declared size at most: a stream that
    // would grow past it is caught by that byte, without inflating further.
    const std::size_t room = std::min<std::size_t>(kChunkSize, std::size_t{outputLeft} + 1);
    stream.next_out = output.get();
    stream.avail_out = static_cast<uInt>(room);
    const int result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = room - stream.avail_out;
    if (produced > outputLeft) {
      if (outputLeft != 0) sink.Write(output.get(), outputLeft);
      return ZipStatus::kSizeExceeded;
    }
    if (produced != 0) {
      crc = crc32(crc, output.get(), static_cast<uInt>(produced));
      if (!sink.Write(output.get(), produced)) return ZipStatus::kWriteFailed;
      outputLeft -= static_cast<std::uint32_t>(produced);
    }
    if (result == Z_STREAM_END) break;
    if (result == Z_MEM_ERROR) return ZipStatus::kOutOfMemory;
    // No progress with all the compressed data given: the stream is cut short.
    if (result == Z_BUF_ERROR && stream.avail_in == 0 && inputLeft == 0) return ZipStatus::kCorruptData;
    if (result != Z_OK && result != Z_BUF_ERROR) return ZipStatus::kCorruptData;
  }
  // The stream must end exactly at the compressed size.
  if (stream.avail_in != 0 || inputLeft != 0) return ZipStatus::kCorruptData;
  if (outputLeft != 0) return ZipStatus::kSizeMismatch;
  return crc == entry.crc32 ? ZipStatus::kOk : ZipStatus::kCrcMismatch;
}

}  // namespace setup
