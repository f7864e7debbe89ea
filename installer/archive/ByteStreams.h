#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace setup {

// Random access to the bytes of an archive. The Windows glue implements it
// over a file handle (wide path, no narrow file API); tests and the program's
// constant data use MemorySource.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Copies exactly `count` bytes from `offset`; false when the range is not
  // wholly inside the source or the read fails.
  virtual bool Read(std::uint64_t offset, void* into, std::size_t count) = 0;
};

// Receives an entry's data in order, in pieces of at most 64 KB. An answer of
// false stops the extraction.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const void* bytes, std::size_t count) = 0;
};

// A source over bytes in memory, which must outlive it; nothing is copied.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// A sink that keeps everything written to it.
class MemorySink final : public ByteSink {
 public:
  bool Write(const void* bytes, std::size_t count) override;
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace setup
