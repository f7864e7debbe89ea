#include "ProgramPayload.h"

#include <algorithm>
#include <vector>

#include "PayloadSeal.h"
#include "Sha256.h"

namespace setup {
namespace {

// Where the raw data of the running program's last section ends in its
// file: the payload starts there. The headers are read from the image the
// loader mapped, not from the file.
std::uint64_t EndOfSections() {
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  std::uint64_t end = 0;
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    end = std::max<std::uint64_t>(end, std::uint64_t{section[i].PointerToRawData} + section[i].SizeOfRawData);
  }
  return end;
}

std::wstring OwnPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool DigestOf(std::span<const std::uint8_t> bytes, BlockDigest* digest) {
  Sha256 hash;
  if (!hash.Ready()) return false;
  hash.Add(bytes.data(), bytes.size());
  Sha256Digest result{};
  if (!hash.Finish(&result)) return false;
  std::copy(result.begin(), result.end(), digest->begin());
  return true;
}

}  // namespace

ProgramPayload& ProgramPayload::Pinned() {
  // Leaked on purpose: the installing thread may read while the process ends.
  static ProgramPayload* payload = [] {
    auto* opened = new ProgramPayload;
    opened->Open();
    return opened;
  }();
  return *payload;
}

ProgramPayload::~ProgramPayload() {
  stop_ = true;
  if (checker_.joinable()) checker_.join();
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void ProgramPayload::Open() {
  const PayloadSeal seal = ReadPayloadSeal();
  if (seal.size == 0) {
    status_ = Status::kNoPayload;
    return;
  }
  // Shared for reading only: while it is open, the file cannot be written,
  // renamed or deleted.
  file_ = CreateFileW(OwnPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    status_ = Status::kNoFile;
    return;
  }
  start_ = EndOfSections();
  size_ = seal.size;
  blockSize_ = seal.blockSize;
  // The archive and the table of its blocks' digests after it.
  const std::uint64_t blocks = blockSize_ == 0 ? 0 : (size_ + blockSize_ - 1) / blockSize_;
  LARGE_INTEGER fileSize{};
  const bool fits = GetFileSizeEx(file_, &fileSize) &&
                    static_cast<std::uint64_t>(fileSize.QuadPart) >= start_ + size_ + blocks * sizeof(BlockDigest);
  status_ = blockSize_ != 0 && fits ? Status::kOk : Status::kChanged;
}

void ProgramPayload::ReadTable() {
  if (status_ != Status::kOk) return;
  // The table is trusted only when it has the hash the seal gives.
  const PayloadSeal seal = ReadPayloadSeal();
  std::vector<BlockDigest> digests(static_cast<std::size_t>((size_ + blockSize_ - 1) / blockSize_));
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(digests.data()),
                                            digests.size() * sizeof(BlockDigest));
  FileBytes table(file_, start_ + size_, bytes.size());
  BlockDigest digest{};
  if (!table.Read(0, digests.data(), bytes.size()) || !DigestOf(bytes, &digest) ||
      !std::equal(digest.begin(), digest.end(), std::begin(seal.tableSha256))) {
    status_ = Status::kChanged;
    return;
  }
  fileBytes_ = std::make_unique<FileBytes>(file_, start_, size_);
  sealed_ = std::make_unique<SealedSource>(*fileBytes_, size_, blockSize_, std::move(digests), DigestOf);
  if (!sealed_->Usable()) status_ = Status::kChanged;
}

ProgramPayload::Status ProgramPayload::Ready() {
  std::call_once(tableRead_, [this] { ReadTable(); });
  return status_;
}

void ProgramPayload::StartCheck() {
  if (status_ != Status::kOk || CheckStarted()) return;
  checker_ = std::thread([this] { verified_ = Ready() == Status::kOk && sealed_->VerifyAll(&stop_); });
}

void ProgramPayload::VerifyAhead() {
  if (status_ != Status::kOk || checker_.joinable() || checkEnded_) return;
  ahead_ = true;
  checker_ = std::thread([this] {
    if (Ready() == Status::kOk) sealed_->VerifyAll(&stop_);
  });
}

bool ProgramPayload::Verified() {
  if (checker_.joinable()) {
    checker_.join();
    checkEnded_ = true;
  } else if (!checkEnded_) {
    verified_ = Ready() == Status::kOk && sealed_->VerifyAll(&stop_);
    checkEnded_ = true;
  }
  return verified_;
}

void ProgramPayload::StopCheck() {
  stop_ = true;
  if (checker_.joinable()) checker_.join();
  checkEnded_ = true;
}

bool ProgramPayload::Damaged() const {
  return status_ == Status::kChanged || (sealed_ != nullptr && sealed_->Damaged());
}

bool ProgramPayload::Read(std::uint64_t offset, void* into, std::size_t count) {
  return Ready() == Status::kOk && sealed_->Read(offset, into, count);
}

bool ProgramPayload::FileBytes::Read(std::uint64_t offset, void* into, std::size_t count) {
  if (offset > size_ || count > size_ - offset) return false;
  auto* at = static_cast<std::uint8_t*>(into);
  std::uint64_t position = start_ + offset;
  while (count > 0) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(position);
    where.OffsetHigh = static_cast<DWORD>(position >> 32);
    const DWORD piece = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
    DWORD read = 0;
    if (!ReadFile(file_, at, piece, &read, &where) || read == 0) return false;
    at += read;
    position += read;
    count -= read;
  }
  return true;
}

}  // namespace setup
