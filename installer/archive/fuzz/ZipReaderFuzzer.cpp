// Any bytes as a payload archive: the reader, the safety of the names and
// the extraction of every entry, checked against what they promise.
#include <zlib.h>

#include <algorithm>
#include <set>
#include <span>
#include <string>

#include "installer/archive/ArchiveSafety.h"
#include "installer/archive/ZipReader.h"
#include "installer/archive/fuzz/PathChecks.h"

namespace {

using setup::fuzz::Check;
using setup::fuzz::CheckPath;

// Extraction output is bounded by the declared sizes, which the reader
// promises to keep; only entries that fit what is left of this budget are
// extracted, so a lying archive cannot exhaust memory without breaking a
// promise first.
constexpr std::uint64_t kOutputBudget = 64u << 20;

// ASCII letters in upper case, character by character: a second byte may
// be a letter.
std::string AsciiUpper(std::string text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = std::max<std::size_t>(1, setup::Cp936CharLength(text, at));
    if (length == 1 && text[at] >= 'a' && text[at] <= 'z') text[at] = static_cast<char>(text[at] - 'a' + 'A');
    at += length;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  setup::MemorySource source(std::span<const std::uint8_t>(data, size));
  setup::ZipReader reader;
  const setup::ZipStatus status = reader.Open(source);
  if (status != setup::ZipStatus::kOk) {
    Check(!reader.IsOpen() && reader.EntryCount() == 0, "a refused archive has no entries");
    Check(reader.Entry(0) == nullptr, "a refused archive has no entry 0");
    return 0;
  }

  std::set<std::string> paths;
  bool allNamesSafe = true;
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    const setup::ZipEntry& entry = *reader.Entry(i);
    Check(entry.dataOffset + entry.compressedSize <= size, "an entry's data lies inside the archive");
    const setup::EntryPathResult path = setup::BuildEntryPath(entry);
    if (path.problem != setup::NameProblem::kNone) {
      Check(path.path.empty(), "a refused name has no path");
      allNamesSafe = false;
      continue;
    }
    CheckPath(path.path, entry.isFolder);
    std::string key = AsciiUpper(path.path);
    if (setup::EndsWithBackslash(key)) key.pop_back();
    paths.insert(key);
  }
  const setup::SafetyReport safety = setup::ArchiveSafety(reader);
  if (safety.Safe()) {
    Check(allNamesSafe, "a safe archive has only safe names");
    // Folding letters beyond ASCII can only merge more names.
    Check(paths.size() == reader.EntryCount(), "a safe archive names every path once");
  } else {
    Check(safety.entry < reader.EntryCount() && safety.otherEntry < reader.EntryCount(),
          "the report names entries of the archive");
  }

  std::uint64_t budget = kOutputBudget;
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    const setup::ZipEntry& entry = *reader.Entry(i);
    if (entry.uncompressedSize > budget) continue;
    budget -= entry.uncompressedSize;
    setup::MemorySink sink;
    const setup::ZipStatus extracted = reader.Extract(i, sink);
    const std::vector<std::uint8_t>& bytes = sink.Bytes();
    Check(bytes.size() <= entry.uncompressedSize, "never more bytes than declared");
    if (extracted == setup::ZipStatus::kOk) {
      Check(bytes.size() == entry.uncompressedSize, "a whole entry has its declared size");
      const uLong crc = crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size()));
      Check(crc == entry.crc32, "a whole entry has its declared CRC-32");
    }
  }
  setup::MemorySink none;
  Check(reader.Extract(reader.EntryCount(), none) == setup::ZipStatus::kNoEntry, "no entry past the last");
  return 0;
}
