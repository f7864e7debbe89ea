#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/core/Win32.h"
#include "installer/archive/ByteStreams.h"
#include "installer/archive/SealedSource.h"

namespace setup {

// The product archive the program carries after its last section, read
// from the program's own file. The file is opened once, when the process
// starts (Pin), before the window shows, through a handle that lets no one
// write, rename or delete it for as long as the process runs: a file put
// in its place later, or the program renamed away (Windows allows renaming
// a running program), changes nothing of what is installed. Reading costs
// no memory beyond a few blocks: the loader never maps these bytes.
//
// Every byte read is verified before it is handed on: the archive is read
// in blocks, and each block must have the digest the program's seal
// vouches for (SealedSource). With the window, every block is also checked
// on a thread of its own while the start window waits for the click, so
// that a damaged payload is known before anything is written.
class ProgramPayload final : public ByteSource {
 public:
  enum class Status { kOk, kNoFile, kNoPayload, kChanged };

  // The running program's payload, opened at the first call (a test program
  // carries one the same way). Never released: the handle lives as long as
  // the process.
  static ProgramPayload& Pinned();

  ~ProgramPayload() override;
  ProgramPayload(const ProgramPayload&) = delete;
  ProgramPayload& operator=(const ProgramPayload&) = delete;

  // Why the payload cannot be read at all; kOk when it can. The first call
  // reads the table of block digests and checks it against the seal.
  Status Ready();
  // Starts checking every block on a thread of its own; once. Its verdict
  // is waited for before anything is written (the window's way).
  void StartCheck();
  bool CheckStarted() const { return (checker_.joinable() || checkEnded_) && !ahead_; }
  // Starts verifying every block on a thread of its own, ahead of the
  // extraction, which is not held up: a block verified ahead is read
  // without hashing it again, one not yet verified is verified as it is
  // read (a silent run's way: on a second core the hashing costs it no
  // time). Once; not with StartCheck.
  void VerifyAhead();
  // The check's verdict, waiting for it (at most the time one read of the
  // payload takes): true when every block is the sealed one.
  bool Verified();
  // Ends a check or a verification ahead that is still running, at its
  // next block (the window closed before it was done): the process then
  // ends with no thread of its own still reading. A check it cuts short
  // leaves the verdict false.
  void StopCheck();
  // A block read so far was not the sealed one.
  bool Damaged() const;

  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override;

 private:
  // The file's bytes as they lie after the program's sections.
  class FileBytes final : public ByteSource {
   public:
    FileBytes(HANDLE file, std::uint64_t start, std::uint64_t size) : file_(file), start_(start), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, void* into, std::size_t count) override;

   private:
    HANDLE file_;
    std::uint64_t start_;
    std::uint64_t size_;
  };

  ProgramPayload() = default;
  // Opens the file and checks its size: what must happen at the start.
  void Open();
  // Reads and checks the table of block digests: what can wait.
  void ReadTable();

  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::uint64_t start_ = 0;  // of the archive in the file
  std::uint64_t size_ = 0;
  std::uint32_t blockSize_ = 0;
  std::once_flag tableRead_;
  Status status_ = Status::kNoFile;
  std::unique_ptr<FileBytes> fileBytes_;
  std::unique_ptr<SealedSource> sealed_;
  std::thread checker_;
  bool checkEnded_ = false;  // joined
  bool ahead_ = false;       // the thread verifies ahead of the reads; nobody waits for its verdict
  std::atomic<bool> stop_{false};
  bool verified_ = false;  // written by the checker before it ends
};

}  // namespace setup
