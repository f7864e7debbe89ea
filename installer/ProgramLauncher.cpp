#include "ProgramLauncher.h"

#include "engine/core/Shell.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "engine/render/WindowAnimations.h"

namespace setup {
namespace {

const wchar_t* VerbName(int verb) {
  switch (verb) {
    case 1:
      return L"edit";
    case 2:
      return L"explore";
    case 3:
      return L"find";
    case 4:
      return L"open";
    case 5:
      return L"print";
    default:
      return nullptr;
  }
}

}  // namespace

bool RunProgram(int verb, const std::wstring& file, const std::string& parameters) {
  return ui::ShellExecuteFile(VerbName(verb), file, ui::AnsiToWide(parameters));
}

void WaitMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  const DWORD start = GetTickCount();
  for (;;) {
    ui::PumpPendingMessages();
    ui::PumpPendingMessages();
    if (GetTickCount() - start >= static_cast<DWORD>(milliseconds)) break;
    ui::PumpPendingMessages();
    ui::PumpPendingMessages();
    // Sleeps until a message arrives or a little while has passed, instead
    // of spinning on the clock.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

}  // namespace setup
