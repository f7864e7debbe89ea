#include "StartRecord.h"

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace nimbo {

std::wstring StartRecordPath() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return {};
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  return path + L"Nimbo-started.txt";
}

std::string StartRecordText(std::wstring_view commandLine) {
  std::wstring line(commandLine);
  for (wchar_t& ch : line) {
    if (ch == L'\r' || ch == L'\n') ch = L' ';
  }
  return ui::WideToAnsi(line, CP_UTF8) + "\r\n";
}

bool RecordStart(std::wstring_view commandLine) {
  const std::wstring path = StartRecordPath();
  if (path.empty()) return false;
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string text = StartRecordText(commandLine);
  DWORD written = 0;
  const bool ok =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(file);
  return ok;
}

}  // namespace nimbo
