#pragma once

#include <string>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

#include <shellapi.h>

namespace setup::test {

// The temporary folder, ending in '\'.
inline std::string TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return ui::WideToAnsi(temp);
}

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
  HANDLE file =
      CreateFileW(ui::AnsiToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) : path_(TempFolder() + name + "\\") { Remove(); }
  ~ScratchFolder() { Remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  void Remove() {
    std::wstring from = ui::AnsiToWide(path_.substr(0, path_.size() - 1));
    from.push_back(L'\0');  // the operation takes a list ending in two NULs
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
  }
  std::string path_;
};

}  // namespace setup::test
