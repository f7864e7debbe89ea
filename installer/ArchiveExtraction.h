#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace setup {

// What ExtractArchive reports.
enum ExtractResult {
  kExtractOpenFailed = -1,  // the archive or the target folder cannot be opened or made
  kExtractEntryFailed = 0,  // an entry could not be written (or the archive is unsafe)
  kExtractDone = 1          // every entry was extracted
};

// Extracts the ZIP archive at `archivePath` into `targetDir`, making the
// folder (every missing level) first. Every entry name is checked before
// anything is written: an archive with a name that would land outside the
// folder, or that is not a plain file name on Windows, writes nothing and
// reports kExtractEntryFailed, with `unsafe` set. Existing files are
// replaced, also read-only ones. Entries are written in archive order; a
// file whose extraction failed is removed again.
// `written`, when given, hears of every folder and file as it is written.
using EntryWritten = std::function<void(const std::string& path, bool isFolder, std::uint32_t bytes)>;
int ExtractArchive(const std::string& archivePath, const std::string& targetDir, bool* unsafe = nullptr,
                   const EntryWritten& written = nullptr);

}  // namespace setup
