#include "InstallOutcome.h"

namespace setup {

int ExitCodeOf(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::Installed:
      return 0;
    case InstallOutcome::FolderNotCreated:
      return 1;
    case InstallOutcome::PayloadNotWritten:
      return 2;
    case InstallOutcome::ArchiveUnsafe:
    case InstallOutcome::ArchiveFailed:
      return 3;
    case InstallOutcome::RegistrationFailed:
      return 4;
  }
  return 3;
}

const char* OutcomeName(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::Installed:
      return "installed";
    case InstallOutcome::FolderNotCreated:
      return "the folder could not be created";
    case InstallOutcome::PayloadNotWritten:
      return "the payload could not be written";
    case InstallOutcome::ArchiveUnsafe:
      return "the archive holds an unsafe name";
    case InstallOutcome::ArchiveFailed:
      return "the archive could not be extracted";
    case InstallOutcome::RegistrationFailed:
      return "the product could not be registered";
  }
  return "unknown";
}

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
