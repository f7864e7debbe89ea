#pragma once

#include <shellapi.h>

#include <string>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace setup::test {

// The temporary folder, ending in '\'.
inline std::string TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return ui::WideToAnsi(temp);
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
