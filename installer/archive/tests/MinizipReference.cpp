#include "installer/archive/tests/MinizipReference.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace setup::ziptest {
namespace {

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<std::vector<ReadEntry>> ReadWithMinizip(const std::vector<std::uint8_t>& bytes, std::string* comment) {
  const std::string path = TemporaryPath("minizip-read.zip");
  WriteFile(path, bytes);
  unzFile zip = unzOpen64(path.c_str());
  if (zip == nullptr) {
    std::remove(path.c_str());
    return std::nullopt;
  }
  if (comment != nullptr) {
    std::vector<char> text(0x10000);
    const int length = unzGetGlobalComment(zip, text.data(), static_cast<uLong>(text.size()));
    comment->assign(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
  }
  std::vector<ReadEntry> entries;
  std::vector<char> name(0x10000);
  std::vector<char> buffer(64 * 1024);
  for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
      break;
    ReadEntry read;
    read.storedName.assign(name.data(), info.size_filename);
    read.method = static_cast<std::uint16_t>(info.compression_method);
    read.flags = static_cast<std::uint16_t>(info.flag);
    read.crc32 = static_cast<std::uint32_t>(info.crc);
    read.compressedSize = static_cast<std::uint32_t>(info.compressed_size);
    read.uncompressedSize = static_cast<std::uint32_t>(info.uncompressed_size);
    read.externalAttributes = static_cast<std::uint32_t>(info.external_fa);
    if (unzOpenCurrentFile(zip) == UNZ_OK) {
      int got = 0;
      while ((got = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
        read.data.append(buffer.data(), static_cast<std::size_t>(got));
      read.extracted = unzCloseCurrentFile(zip) == UNZ_OK && got == 0;
    }
    entries.push_back(std::move(read));
  }
  unzClose(zip);
  std::remove(path.c_str());
  return entries;
}

std::vector<std::uint8_t> WriteWithMinizip(const std::vector<TestEntry>& entries, std::string_view comment) {
  const std::string path = TemporaryPath("minizip-write.zip");
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) throw std::runtime_error("zipOpen64");
  for (const TestEntry& entry : entries) {
    zip_fileinfo info{};
    info.tmz_date = {0, 0, 12, 1, 0, 2024};
    info.external_fa = entry.externalAttributes;
    const int level = entry.method == 8 ? Z_DEFAULT_COMPRESSION : 0;
    if (zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, entry.method, level, 0,
                                -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 20, entry.flags,
                                0) != ZIP_OK)
      throw std::runtime_error("zipOpenNewFileInZip4_64");
    if (!entry.data.empty() &&
        zipWriteInFileInZip(zip, entry.data.data(), static_cast<unsigned>(entry.data.size())) != ZIP_OK)
      throw std::runtime_error("zipWriteInFileInZip");
    if (zipCloseFileInZip(zip) != ZIP_OK) throw std::runtime_error("zipCloseFileInZip");
  }
  const std::string commentText(comment);
  if (zipClose(zip, commentText.empty() ? nullptr : commentText.c_str()) != ZIP_OK)
    throw std::runtime_error("zipClose");
  std::vector<std::uint8_t> bytes = ReadFile(path);
  std::remove(path.c_str());
  return bytes;
}

std::string TemporaryPath(std::string_view name) {
  static std::atomic<int> counter{0};
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/setup_portable_tests-" +
         std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + std::string(name);
}

}  // namespace setup::ziptest
