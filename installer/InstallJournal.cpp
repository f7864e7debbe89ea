#include "InstallJournal.h"

#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"

namespace setup {
namespace {

std::string Narrow(const std::wstring& path) { return ui::WideToAnsi(path); }

bool Rename(HANDLE file, const std::wstring& to) {
  std::vector<unsigned char> block(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), rename->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(block.size()));
}

}  // namespace

bool DeleteItem(const std::wstring& path) {
  HANDLE item = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (item == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool deleted = SetFileInformationByHandle(item, FileDispositionInfo, &dispose, sizeof dispose);
  CloseHandle(item);
  return deleted;
}

InstallJournal::InstallJournal(std::wstring target) : target_(std::move(target)) {}

void InstallJournal::CreatedFolder(const std::wstring& path) { steps_.push_back({Kind::kFolder, path, {}}); }

void InstallJournal::CreatedFile(const std::wstring& path) { steps_.push_back({Kind::kFile, path, {}}); }

bool InstallJournal::MakeAsideFolder() {
  if (!asideFolder_.empty()) return true;
  const std::wstring folder = target_ + ui::UnguessableName(L".nimbo-replaced-");
  if (folder.size() == target_.size() || !CreateDirectoryW(folder.c_str(), nullptr)) return false;
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
  asideFolder_ = folder;
  return true;
}

bool InstallJournal::MoveAside(HANDLE file, const std::wstring& path) {
  if (!MakeAsideFolder()) return false;
  const std::wstring aside = asideFolder_ + L'\\' + std::to_wstring(++asideCount_);
  if (!Rename(file, aside)) return false;
  steps_.push_back({Kind::kReplaced, path, aside});
  return true;
}

std::vector<std::string> InstallJournal::RollBack() {
  std::vector<std::string> lines;
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    switch (step->kind) {
      case Kind::kFile:
        lines.push_back((DeleteItem(step->path) ? "rolled back: removed file " : "rollback: could not remove file ") +
                        Narrow(step->path));
        break;
      case Kind::kFolder:
        lines.push_back((DeleteItem(step->path) ? "rolled back: removed folder "
                                                : "rollback: kept folder (not empty) ") +
                        Narrow(step->path));
        break;
      case Kind::kReplaced:
        lines.push_back((MoveFileExW(step->aside.c_str(), step->path.c_str(), 0) ? "rolled back: put back "
                                                                                 : "rollback: could not put back ") +
                        Narrow(step->path));
        break;
    }
  }
  steps_.clear();
  if (!asideFolder_.empty()) DeleteItem(asideFolder_);
  asideFolder_.clear();
  return lines;
}

void InstallJournal::Commit() {
  for (const Step& step : steps_) {
    if (step.kind == Kind::kReplaced) DeleteItem(step.aside);
  }
  if (!asideFolder_.empty()) DeleteItem(asideFolder_);
  steps_.clear();
  asideFolder_.clear();
}

}  // namespace setup
