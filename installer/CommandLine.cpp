#include "CommandLine.h"

#include <cctype>

namespace setup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Case-blind match of an ASCII switch name at the start of the text.
bool StartsWithSwitch(std::string_view text, std::string_view name) {
  if (text.size() < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != name[i]) return false;
  }
  return true;
}

// One token: up to the next blank, with double quotes grouping (and
// dropped). Consumes it from the text.
std::string TakeToken(std::string_view& text) {
  std::string token;
  bool quoted = false;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      token += c;
    }
  }
  text.remove_prefix(i);
  return token;
}

std::string TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// The folder after "/D=". Typed by hand it needs no quotes; quotes around
// the folder are dropped. A program that starts the installer quotes the
// whole switch when the folder has a blank ("/D=C:\a b\\"), doubling the
// backslashes before the closing quote as command lines do.
std::string FolderOfSwitch(std::string folder, bool quotedWhole) {
  if (!quotedWhole && folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    return folder.substr(1, folder.size() - 2);
  }
  if (!quotedWhole || folder.empty() || folder.back() != '"') return folder;
  folder.pop_back();
  std::size_t backslashes = 0;
  while (backslashes < folder.size() && folder[folder.size() - 1 - backslashes] == '\\') ++backslashes;
  folder.resize(folder.size() - backslashes / 2);
  return folder;
}

}  // namespace

SetupOptions ParseSetupArguments(std::string_view arguments) {
  SetupOptions options;
  std::string_view rest = SkipBlanks(arguments);
  while (!rest.empty()) {
    const bool quotedWhole = rest.front() == '"' && StartsWithSwitch(rest.substr(1), "/D=");
    if (StartsWithSwitch(rest, "/D=") || quotedWhole) {
      // The rest of the line, as the convention is.
      std::string folder = FolderOfSwitch(TrimTrailingBlanks(rest.substr(quotedWhole ? 4 : 3)), quotedWhole);
      if (folder.empty()) options.error = "/D= 后面缺少文件夹";
      else options.folder = folder;
      break;
    }
    const std::string token = TakeToken(rest);
    rest = SkipBlanks(rest);
    const std::string_view view = token;
    if (StartsWithSwitch(view, "/LOG=")) {
      if (token.size() == 5) {
        options.error = "/LOG= 后面缺少文件";
        break;
      }
      options.logFile = token.substr(5);
    } else if (StartsWithSwitch(view, "/LAUNCH") && token.size() == 7) {
      options.launch = true;
    } else if (StartsWithSwitch(view, "/S") && token.size() == 2) {
      options.silent = true;
    } else if (token == "/?") {
      options.usage = true;
    } else {
      options.error = "无法识别的参数：" + token;
      break;
    }
  }
  if (options.error.empty() && options.launch && !options.silent) options.error = "/LAUNCH 只能与 /S 一起使用";
  return options;
}

std::string_view ArgumentsOf(std::string_view commandLine) {
  std::string_view rest = SkipBlanks(commandLine);
  TakeToken(rest);
  return SkipBlanks(rest);
}

std::string SetupUsage() {
  return "用法：NimboSetup.exe [/S [/LAUNCH]] [/LOG=文件] [/D=文件夹]\n\n"
         "/S\t不显示窗口，直接安装\n"
         "/LAUNCH\t静默安装后启动 Nimbo\n"
         "/LOG=文件\t安装日志写到这个文件\n"
         "/D=文件夹\t安装到这个文件夹（放在最后，可以含空格）\n"
         "/?\t显示本说明";
}

}  // namespace setup
