#pragma once

#include <string>

#include "engine/core/Win32.h"
#include "installer/archive/ByteStreams.h"

namespace setup {

// An archive file read through a wide-path handle, shared for reading.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::uint64_t size_ = 0;
};

// A file written from the start (an existing one is replaced), closed when
// the sink ends; Close says whether every byte reached the disk.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(const std::string& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  bool Write(const void* bytes, std::size_t count) override;
  bool Close();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace setup
