// Prints the Windows clipboard's text as UTF-8, as the programs under test
// read it: Wine takes the X selection over when its desktop notices the new
// owner, and a test waits for that before it pastes.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

int wmain() {
  if (!OpenClipboard(nullptr)) return 1;
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int length = static_cast<int>(wcslen(wide));
      const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
      text.resize(static_cast<std::size_t>(needed));
      WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), needed, nullptr, nullptr);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  _setmode(_fileno(stdout), _O_BINARY);  // the text's own line breaks, as they are
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
