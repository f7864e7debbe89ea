#include "ProgramLauncher.h"

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "engine/render/WindowAnimations.h"

#include <shellapi.h>

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

bool RunProgram(int verb, const std::string& file, const std::string& parameters) {
  const std::wstring wideFile = ui::AnsiToWide(file), wideParameters = ui::AnsiToWide(parameters);
  const HINSTANCE result = ShellExecuteW(nullptr, VerbName(verb), wideFile.c_str(),
                                         wideParameters.empty() ? nullptr : wideParameters.c_str(), nullptr,
                                         SW_SHOWNORMAL);
  // The shell answers a value above 32 when it started the program.
  return reinterpret_cast<INT_PTR>(result) > 32;
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
