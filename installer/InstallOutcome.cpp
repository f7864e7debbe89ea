#include "InstallOutcome.h"

namespace setup {

std::string FailureLine(InstallOutcome outcome, const std::string& folder) {
  const char* reason = nullptr;
  switch (outcome) {
    case InstallOutcome::Installed:
      return {};
    case InstallOutcome::FolderNotCreated:
      reason = "无法创建文件夹 ";
      break;
    case InstallOutcome::PayloadNotWritten:
      reason = "无法写入 ";
      break;
    case InstallOutcome::ArchiveUnsafe:
      reason = "安装包含有不安全的文件名，未写入 ";
      break;
    case InstallOutcome::ArchiveFailed:
      reason = "无法解压到 ";
      break;
    case InstallOutcome::RegistrationFailed:
      reason = "无法登记已安装的程序，已安装的文件在 ";
      break;
  }
  return std::string("\r\n安装失败：") + reason + folder;
}

}  // namespace setup
