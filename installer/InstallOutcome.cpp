#include "InstallOutcome.h"

namespace setup {
namespace {

// Everything an outcome stands for.
struct OutcomeFacts {
  InstallOutcome outcome;
  int exitCode;
  const char* name;    // for the log
  const char* reason;  // for the status box, before the folder
};

constexpr OutcomeFacts kOutcomes[] = {
    {InstallOutcome::Installed, 0, "installed", ""},
    {InstallOutcome::FolderNotCreated, 1, "the folder could not be created", "无法创建文件夹 "},
    {InstallOutcome::PayloadDamaged, 2, "the installer's payload is damaged", "安装程序已损坏，无法安装到 "},
    {InstallOutcome::ArchiveUnsafe, 3, "the archive holds an unsafe name", "安装包含有不安全的文件名，未写入 "},
    {InstallOutcome::ArchiveFailed, 3, "the archive could not be extracted", "无法解压到 "},
    {InstallOutcome::RegistrationFailed, 4, "the product could not be registered", "无法登记程序，未安装到 "},
    {InstallOutcome::Cancelled, 6, "closed before the installation finished", "安装已取消："},
    {InstallOutcome::TargetRelative, 7, "the folder is not a full path",
     "请输入完整的文件夹路径（例如 D:\\Nimbo\\）："},
    {InstallOutcome::TargetIsDriveRoot, 8, "the folder is the top of a drive", "不能直接安装到磁盘根目录："},
    {InstallOutcome::NoSuchDrive, 9, "the folder's drive does not exist", "磁盘不存在："},
    {InstallOutcome::TargetTooLong, 10, "the folder's path is too long", "文件夹路径太长："},
    {InstallOutcome::LinkInTarget, 11, "a link stands in the folder", "安装位置中有链接，未写入："},
    {InstallOutcome::NotEnoughSpace, 12, "not enough free space", "磁盘空间不足，无法安装到 "},
    {InstallOutcome::TargetNotOwned, 13, "others may change the folder", "其他用户可以更改这个文件夹，未写入："},
    {InstallOutcome::ProductRunning, 14, "Nimbo is still running", "Nimbo 仍在运行，请关闭它后再安装到 "},
};

const OutcomeFacts& FactsOf(InstallOutcome outcome) {
  for (const OutcomeFacts& facts : kOutcomes) {
    if (facts.outcome == outcome) return facts;
  }
  return kOutcomes[4];  // not reached: every outcome is listed
}

}  // namespace

int ExitCodeOf(InstallOutcome outcome) { return FactsOf(outcome).exitCode; }

const char* OutcomeName(InstallOutcome outcome) { return FactsOf(outcome).name; }

std::string FailureLine(InstallOutcome outcome, const std::string& where, const std::vector<std::string>& notRestored) {
  if (outcome == InstallOutcome::Installed) return {};
  const std::string failed = std::string("\r\n安装失败：") + FactsOf(outcome).reason + where;
  if (notRestored.empty()) return failed + "\r\n未安装任何内容。";
  std::string line = failed + "\r\n未能恢复原状：" + notRestored.front();
  if (notRestored.size() > 1) line += "（共 " + std::to_string(notRestored.size()) + " 项，见安装日志）";
  return line;
}

}  // namespace setup
