#include "DesktopShortcut.h"

#include <objbase.h>

#include <cstdint>
#include <vector>

#include "InstallLog.h"
#include "Installation.h"
#include "InstallerState.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/Shell.h"
#include "engine/core/ShellLink.h"
#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"

namespace setup {
namespace {

// Texts go to the wide shell-link interface so that the Chinese description
// survives on a Windows whose ANSI code page is not the program's. The link
// is made in memory and written through a handle: a new file with a name no
// one can guess, then renamed over the shortcut's name, which replaces
// whatever stood there (a link as the link itself) and never writes through
// it. False, with the reason, when it could not be put there.
bool SaveShortcut(const std::wstring& folder, const std::wstring& linkPath, const std::wstring& target,
                  std::string* problem) {
  // COM is started here, for the shell link alone, rather than with the
  // process: starting it is a good part of a process's start under Wine.
  // A thread that has COM already keeps it as it is.
  struct ComForThisCall {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComForThisCall() {
      if (SUCCEEDED(started)) CoUninitialize();
    }
  } com;
  const std::vector<std::uint8_t> bytes = ui::ShellLinkBytes(target, ui::AnsiToWide(kShortcutDescription));
  if (bytes.empty()) {
    *problem = "the shell could not make the link";
    return false;
  }
  const std::wstring temporary = folder + L'\\' + ui::UnguessableName(L".Nimbo-") + L".tmp";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *problem = "cannot write in the desktop folder (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  DWORD written = 0;
  bool saved =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  if (saved) {
    saved = ui::RenameOpenItem(file, linkPath, true);
    if (!saved) *problem = "cannot put it at its name (error " + std::to_string(GetLastError()) + ")";
  } else {
    *problem = "cannot write it (error " + std::to_string(GetLastError()) + ")";
  }
  if (!saved) {
    FILE_DISPOSITION_INFO dispose{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
  }
  CloseHandle(file);
  return saved;
}

}  // namespace

std::string DesktopShortcutPath() {
  const std::wstring folder = ui::DesktopFolder();
  if (folder.empty()) return {};
  // The name has no extension, so the shell's ".lnk" is appended.
  return ui::WideToAnsi(folder) + "\\" + kShortcutName + ".lnk";
}

void MakeDesktopShortcut(const std::wstring& folder) {
  const std::wstring desktop = ui::DesktopFolder();
  if (desktop.empty()) {
    LogLine("shortcut: no desktop folder");
    return;
  }
  const std::string linkPath = DesktopShortcutPath();
  std::string problem;
  if (SaveShortcut(desktop, ui::AnsiToWide(linkPath), folder + kProductProgram, &problem)) {
    LogLine("shortcut: " + linkPath);
  } else {
    LogLine("shortcut not made: " + linkPath + ": " + problem);
  }
}

void OnStartWindowCloseQuery() {
  // The close request closed the installation already (the host's message
  // hook, before the close effect); what it found decides.
  if (Installation::Current().ClosedAfterCommit()) MakeDesktopShortcut(Installation::Current().Folder());
}

}  // namespace setup
