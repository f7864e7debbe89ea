#include "ProgramPayload.h"

#include <algorithm>
#include <vector>

#include "PayloadSeal.h"
#include "Sha256.h"

namespace setup {
namespace {

constexpr std::size_t kCheckPiece = 1 << 20;

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

}  // namespace

ProgramPayload::ProgramPayload() = default;

ProgramPayload::~ProgramPayload() {
  stop_ = true;
  if (checker_.joinable()) checker_.join();
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

ProgramPayload::Status ProgramPayload::Open() {
  if (file_ != INVALID_HANDLE_VALUE) return status_;
  const PayloadSeal seal = ReadPayloadSeal();
  if (seal.size == 0) return status_ = Status::kNoPayload;
  // Shared for reading only: while it is open, the file cannot be written,
  // renamed or deleted.
  file_ = CreateFileW(OwnPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return status_ = Status::kNoFile;
  start_ = EndOfSections();
  size_ = seal.size;
  LARGE_INTEGER fileSize{};
  if (!GetFileSizeEx(file_, &fileSize) || static_cast<std::uint64_t>(fileSize.QuadPart) < start_ + size_) {
    return status_ = Status::kChanged;
  }
  std::copy(std::begin(seal.sha256), std::end(seal.sha256), sealed_.begin());
  status_ = Status::kOk;
  checker_ = std::thread(&ProgramPayload::Check, this);
  return status_;
}

void ProgramPayload::Check() {
  Sha256 hash;
  std::vector<std::uint8_t> piece(kCheckPiece);
  std::uint64_t at = 0;
  while (at < size_ && hash.Ready() && !stop_) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size_ - at));
    if (!Read(at, piece.data(), count)) break;
    hash.Add(piece.data(), count);
    at += count;
  }
  Sha256Digest digest{};
  verified_ = at == size_ && hash.Finish(&digest) && digest == sealed_;
}

bool ProgramPayload::Verified() {
  if (status_ != Status::kOk) return false;
  if (checker_.joinable()) checker_.join();
  return verified_;
}

bool ProgramPayload::Read(std::uint64_t offset, void* into, std::size_t count) {
  if (status_ != Status::kOk || offset > size_ || count > size_ - offset) return false;
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
