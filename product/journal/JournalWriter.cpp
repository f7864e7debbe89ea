#include "JournalWriter.h"

#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"

namespace product {
namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace

JournalWriter::~JournalWriter() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool JournalWriter::Create(const std::wstring& path) {
  ui::SecurityAttributes installation(ui::kInstallationFileSddl);
  // Shared for reading only: nobody renames or deletes it while it is kept.
  file_ = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, installation.get(), CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  path_ = path;
  if (WriteAll(file_, std::string(kJournalHead))) return true;
  Discard();
  return false;
}

bool JournalWriter::Append(const JournalEntry& entry) {
  return file_ != INVALID_HANDLE_VALUE && WriteAll(file_, EncodeJournalEntry(entry));
}

bool JournalWriter::Discard() {
  if (file_ == INVALID_HANDLE_VALUE) return true;
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool deleted = SetFileInformationByHandle(file_, FileDispositionInfo, &dispose, sizeof dispose);
  CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  return deleted;
}

}  // namespace product
