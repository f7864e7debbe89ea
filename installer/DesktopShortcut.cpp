#include "DesktopShortcut.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "InstallClosing.h"
#include "InstallLog.h"
#include "Installation.h"
#include "InstallerState.h"
#include "engine/core/Shell.h"
#include "engine/core/TextConversion.h"

namespace setup {
namespace {

// Texts go to the wide shell-link interface so that the Chinese description
// survives on a Windows whose ANSI code page is not the program's.
void SaveShortcut(const std::string& linkPath, const std::string& target) {
  // COM is started here, for the shell link alone, rather than with the
  // process: starting it is a good part of a process's start under Wine.
  // A thread that has COM already keeps it as it is.
  struct ComForThisCall {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComForThisCall() {
      if (SUCCEEDED(started)) CoUninitialize();
    }
  } com;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return;
  }
  link->SetPath(ui::AnsiToWide(target).c_str());
  link->SetShowCmd(SW_SHOW);
  link->SetDescription(ui::AnsiToWide(kShortcutDescription).c_str());
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    file->Save(ui::AnsiToWide(linkPath).c_str(), TRUE);
    file->Release();
  }
  link->Release();
}

}  // namespace

std::string DesktopShortcutPath() {
  const std::wstring folder = ui::DesktopFolder();
  if (folder.empty()) return {};
  // The name has no extension, so the shell's ".lnk" is appended.
  return ui::WideToAnsi(folder) + "\\" + kShortcutName + ".lnk";
}

void MakeDesktopShortcut(const std::string& folder) {
  const std::string linkPath = DesktopShortcutPath();
  if (linkPath.empty()) return;
  SaveShortcut(linkPath, folder + kProductProgram);
  LogLine("shortcut: " + linkPath);
}

void OnStartWindowCloseQuery() {
  // From here on the worker registers and starts nothing.
  if (CloseInstallation()) MakeDesktopShortcut(Installation::Current().Folder());
}

}  // namespace setup
