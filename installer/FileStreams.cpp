#include "FileStreams.h"

#include "engine/core/TextConversion.h"

namespace setup {

FileSource::FileSource(const std::string& path) {
  file_ = CreateFileW(ui::AnsiToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size{};
  if (IsOpen() && GetFileSizeEx(file_, &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

FileSource::~FileSource() {
  if (IsOpen()) CloseHandle(file_);
}

bool FileSource::Read(std::uint64_t offset, void* into, std::size_t count) {
  if (!IsOpen() || offset > size_ || count > size_ - offset) return false;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  return ReadFile(file_, into, static_cast<DWORD>(count), &read, &at) && read == count;
}

FileSink::FileSink(const std::string& path) {
  file_ = CreateFileW(ui::AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
}

FileSink::~FileSink() { Close(); }

bool FileSink::Write(const void* bytes, std::size_t count) {
  DWORD written = 0;
  return IsOpen() && WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

bool FileSink::Close() {
  if (!IsOpen()) return false;
  const bool closed = CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  return closed;
}

}  // namespace setup
