#include "RecordedEntries.h"

#include <optional>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "product/record/InstallRecord.h"

namespace uninstall {
namespace {

// A record names a few hundred paths; anything near this is not one.
constexpr DWORD kLargestRecord = 16 * 1024 * 1024;

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const std::wstring& path, std::string* bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ReadResult::kMissing : ReadResult::kFailed;
  }
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kLargestRecord;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes->empty() ||
         (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) && read == bytes->size());
  }
  CloseHandle(file);
  return ok ? ReadResult::kRead : ReadResult::kFailed;
}

}  // namespace

std::vector<const wchar_t*> EntriesToRemove::Pointers() const {
  std::vector<const wchar_t*> pointers;
  for (const std::wstring& entry : entries) pointers.push_back(entry.c_str());
  return pointers;
}

std::wstring RecordName() { return ui::AnsiToWide(record::kInstallRecordName, CP_UTF8); }

std::wstring RecordPath(const std::wstring& folder) { return folder + L'\\' + RecordName(); }

EntriesToRemove ReadEntriesToRemove(const std::wstring& folder) {
  EntriesToRemove result;
  std::string bytes;
  switch (ReadWholeFile(RecordPath(folder), &bytes)) {
    case ReadResult::kMissing:
      // No installation wrote this folder's files: nothing in it is
      // known to be the product's.
      result.missing = true;
      return result;
    case ReadResult::kFailed:
      result.problem = RecordPath(folder) + L": cannot be read";
      return result;
    case ReadResult::kRead:
      break;
  }
  const std::optional<std::vector<std::string>> paths = record::ParseInstallRecord(bytes);
  if (!paths) {
    result.problem = RecordPath(folder) + L": not an installation record";
    return result;
  }
  for (const std::string& path : *paths) result.entries.push_back(ui::AnsiToWide(path, CP_UTF8));
  return result;
}

}  // namespace uninstall
