// Prints the Windows clipboard's text as UTF-8, as the programs under test
// read it: Wine takes the X selection over when its desktop notices the new
// owner, and a test waits for that before it pastes.
//
// Given `--sequence` it prints the clipboard's sequence number on a line of
// its own before the text: a test reads it before it copies from the window,
// and takes only a text set after that number for the window's copy.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Wine's own clipboard manager may hold the clipboard open for a moment
// (taking the X selection over): asked again for up to a second.
bool OpenClipboardSoon() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool withSequence = argc == 2 && wcscmp(argv[1], L"--sequence") == 0;
  if (!OpenClipboardSoon()) return 1;
  // Read while the clipboard is open, so that nobody changes it between the
  // number and the text.
  std::string text;
  if (withSequence) text = std::to_string(GetClipboardSequenceNumber()) + "\n";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int length = static_cast<int>(wcslen(wide));
      const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
      const std::size_t start = text.size();
      text.resize(start + static_cast<std::size_t>(needed));
      WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data() + start, needed, nullptr, nullptr);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  _setmode(_fileno(stdout), _O_BINARY);  // the text's own line breaks, as they are
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
