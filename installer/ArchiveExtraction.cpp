#include "ArchiveExtraction.h"

#include "FileStreams.h"
#include "FileSystem.h"
#include "engine/core/TextConversion.h"
#include "installer/archive/ArchiveSafety.h"
#include "installer/archive/EntryPath.h"
#include "installer/archive/ZipReader.h"

namespace setup {
namespace {

// Windows makes folders of up to 247 UTF-16 units without the "\\?\" form.
constexpr int kLongestFolderPath = 247;

bool StartsWithLocalHeader(const std::string& archivePath) {
  FileSource source(archivePath);
  unsigned char start[32] = {};
  const std::size_t count = source.Size() < sizeof start ? static_cast<std::size_t>(source.Size()) : sizeof start;
  return source.IsOpen() && count >= 4 && source.Read(0, start, count) && start[0] == 'P' && start[1] == 'K' &&
         start[2] == 3 && start[3] == 4;
}

// The folder part of a path: up to its last backslash, found in UTF-16 where
// a backslash is always a separator.
std::string ParentOf(const std::string& path) {
  const std::wstring wide = ui::AnsiToWide(path);
  const std::size_t last = wide.rfind(L'\\');
  return last == std::wstring::npos ? std::string() : ui::WideToAnsi(wide.substr(0, last + 1));
}

bool ExtractFile(ZipReader& reader, std::size_t index, const std::string& path) {
  const std::string folder = ParentOf(path);
  if (!folder.empty() && !CreateFolderTree(folder)) return false;
  // An existing read-only or hidden file is replaced.
  MakeAttributesNormal(path);
  FileSink sink(path);
  if (!sink.IsOpen()) return false;
  const bool extracted = reader.Extract(index, sink) == ZipStatus::kOk;
  const bool closed = sink.Close();
  if (!extracted || !closed) {
    // Half a file is worse than none.
    DeleteFileAt(path);
    return false;
  }
  MakeAttributesNormal(path);
  return true;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, const std::string& targetDir, bool* unsafe,
                   const EntryWritten& written) {
  if (unsafe != nullptr) *unsafe = false;
  if (archivePath.empty() || targetDir.empty() || !FileExists(archivePath)) return kExtractOpenFailed;
  const std::string folder = WithTrailingBackslash(targetDir);
  if (!FolderExists(folder) && !CreateFolderTree(folder)) return kExtractOpenFailed;
  if (!StartsWithLocalHeader(archivePath)) return kExtractOpenFailed;

  FileSource source(archivePath);
  ZipReader reader;
  if (!source.IsOpen() || reader.Open(source) != ZipStatus::kOk) return kExtractOpenFailed;

  // Every name is checked before anything is written.
  const int room = kLongestFolderPath - static_cast<int>(ui::AnsiToWide(folder).size());
  if (room <= 0 || !ArchiveSafety(reader, room).Safe()) {
    if (unsafe != nullptr) *unsafe = true;
    return kExtractEntryFailed;
  }
  for (std::size_t index = 0; index < reader.EntryCount(); ++index) {
    const ZipEntry& entry = *reader.Entry(index);
    const std::string path = folder + BuildEntryPath(entry, room).path;
    if (!(entry.isFolder ? CreateFolderTree(path) : ExtractFile(reader, index, path))) return kExtractEntryFailed;
    if (written) written(path, entry.isFolder, entry.uncompressedSize);
  }
  return kExtractDone;
}

}  // namespace setup
