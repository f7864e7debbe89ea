#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "installer/archive/ByteStreams.h"

namespace setup {

// What Open and Extract report. Every status but kOk leaves nothing usable:
// a refused archive has no entries, a failed extraction's output is to be
// thrown away.
enum class ZipStatus {
  kOk,
  // Open: the archive as a whole.
  kNotZip,                // no end-of-central-directory record, and no ZIP start either
  kTruncated,             // starts like a ZIP but its end (or its comment) is cut off
  kZip64,                 // ZIP64 records or fields (archives of 4 GB and more)
  kMultiDisk,             // spanned or split over several disks
  kDirectoryOutsideFile,  // the central directory does not lie before the end record
  kEntryCountMismatch,    // the end record's entry count is not what the directory holds
  kBadDirectory,          // a central header is malformed or runs past the directory
  kEncrypted,             // an entry is encrypted
  kUnsupportedMethod,     // an entry is neither stored (0) nor deflated (8)
  kBadLocalHeader,        // a local header is missing or names another file
  kDataOutsideFile,       // an entry's data runs into the central directory or past it
  kOverlappingEntries,    // two entries share bytes (the shape of overlap zip bombs)
  kReadFailed,            // the source failed a read inside its own size
  kOutOfMemory,
  // Extract: one entry.
  kNotOpen,
  kNoEntry,       // the index is not that of an entry
  kCorruptData,   // the deflate stream is broken or does not end with the compressed size
  kSizeExceeded,  // the data grew beyond the declared size: stopped there
  kSizeMismatch,  // the data ended short of the declared size
  kCrcMismatch,
  kWriteFailed,  // the sink refused the data
};

// A short English description, for logs and test messages.
const char* ZipStatusText(ZipStatus status);

// One entry as the central directory describes it.
struct ZipEntry {
  std::string storedName;  // the name's bytes as stored in the archive
  std::string name;        // the name in code page 936; empty when !nameDecoded
  bool utf8Name = false;   // general-purpose bit 11: storedName is UTF-8
  // False for a UTF-8 name that is not valid UTF-8 or holds a character with
  // no code page 936 form; such an entry must not be written.
  bool nameDecoded = true;
  bool isFolder = false;     // external attribute bit 0x10, or the name ends in '/'
  std::uint16_t method = 0;  // 0 stored, 8 deflated
  std::uint16_t flags = 0;   // general-purpose bits
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t headerOffset = 0;  // of the local header
  std::uint64_t dataOffset = 0;    // of the data, past the local header
};

// Reads a ZIP archive (no ZIP64, one disk, no encryption; methods stored and
// deflated) over a ByteSource. Open checks the whole structure up front, the
// local headers included, so that a damaged archive is refused before
// anything is written; Extract then checks each entry's data (its exact size
// and CRC-32) while streaming it. Every read is bounds-checked against the
// source, and no buffer is sized from a header value that was not first
// checked against the source's size.
//
// Offsets are taken as stated, from the start of the source: an archive with
// bytes in front of it (a self-extractor) is refused.
class ZipReader {
 public:
  ZipReader() = default;
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // --- attributes
  bool IsOpen() const { return source_ != nullptr; }
  std::size_t EntryCount() const { return entries_.size(); }
  // The entry at `index`, in directory order; nullptr when there is none.
  const ZipEntry* Entry(std::size_t index) const;
  // The archive's comment, as stored.
  const std::string& Comment() const { return comment_; }

  // --- operations
  // Reads the directory of the archive in `source`, which must outlive the
  // reader's use of it (until Close or the next Open). A refused archive
  // leaves the reader closed.
  ZipStatus Open(ByteSource& source);
  void Close();
  // Streams the entry's uncompressed data to the sink through bounded
  // buffers. The sink never receives more than the declared uncompressed
  // size: data beyond it stops the extraction at once (kSizeExceeded).
  ZipStatus Extract(std::size_t index, ByteSink& sink);

 private:
  ZipStatus FindEndRecord(std::uint64_t& endOffset);
  ZipStatus ReadDirectory(std::uint64_t endOffset);
  ZipStatus CheckLocalHeaders();
  ZipStatus ExtractStored(const ZipEntry& entry, ByteSink& sink);
  ZipStatus ExtractDeflated(const ZipEntry& entry, ByteSink& sink);

  ByteSource* source_ = nullptr;
  std::vector<ZipEntry> entries_;
  std::string comment_;
  std::uint64_t directoryOffset_ = 0;
};

}  // namespace setup
