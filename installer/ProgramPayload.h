#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "Sha256.h"
#include "engine/core/Win32.h"
#include "installer/archive/ByteStreams.h"

namespace setup {

// The product archive the program carries after its last section, read
// from the program's own file through a handle that lets no one write,
// rename or delete the file while it is open. Reading costs no memory
// beyond the reader's buffers: the loader never maps these bytes.
//
// The bytes must have the size and SHA-256 of the program's payload seal.
// Open checks the size; the hash is worked out on a thread of its own while
// the installation reads (the two share the machine's cores), and Verified
// gives its verdict. Nothing read may be trusted for good before that: the
// installation extracts, then asks, and takes everything back on a "no".
// Once checked the bytes cannot change any more, as the handle stays open.
class ProgramPayload final : public ByteSource {
 public:
  // The running program's payload (a test program carries one the same way).
  ProgramPayload();
  ~ProgramPayload() override;
  ProgramPayload(const ProgramPayload&) = delete;
  ProgramPayload& operator=(const ProgramPayload&) = delete;

  enum class Status { kOk, kNoFile, kNoPayload, kChanged };
  // Opens the payload and starts checking its hash; the status says why
  // when it cannot be read at all.
  Status Open();
  bool IsOpen() const { return status_ == Status::kOk; }
  // Waits for the hash (at most the time it takes to read the payload
  // once): true when the bytes are the sealed ones.
  bool Verified();

  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override;

 private:
  void Check();

  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::uint64_t start_ = 0;  // of the archive in the file
  std::uint64_t size_ = 0;
  Status status_ = Status::kNoFile;
  Sha256Digest sealed_{};
  std::thread checker_;
  std::atomic<bool> stop_{false};  // the payload is given up: the check ends early
  bool verified_ = false;          // written by the checker before it ends
};

}  // namespace setup
