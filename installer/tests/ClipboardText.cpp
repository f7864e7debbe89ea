// Prints the Windows clipboard's text as UTF-8, as the programs under test
// read it.
//
// Given `--sequence` it prints the clipboard's sequence number on a line of
// its own before the text: a test reads it before it copies from the window,
// and takes only a text set after that number for the window's copy.
//
// Given `--put TEXT` it puts the text there, as a Windows program copies it.
// A test puts what it pastes this way rather than through an X program: the
// text is then in the clipboard the moment this ends, and Wine's clipboard
// manager never imports (or, once that X program has gone, empties) it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Wine's own clipboard manager may hold the clipboard open for a moment
// (taking the X selection over): asked again for up to a second.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

// Puts the text in the clipboard, owned by a window of this process (the
// clipboard takes data only from an owner); the text stays once it ends.
int PutText(const wchar_t* text) {
  HWND owner = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (owner == nullptr) return 1;
  const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return 1;
  std::memcpy(GlobalLock(block), text, bytes);
  GlobalUnlock(block);
  if (!OpenClipboardSoon(owner)) {
    GlobalFree(block);
    return 1;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!set) GlobalFree(block);
  CloseClipboard();
  DestroyWindow(owner);
  return set ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"--put") == 0) return PutText(argv[2]);
  const bool withSequence = argc == 2 && wcscmp(argv[1], L"--sequence") == 0;
  if (!OpenClipboardSoon(nullptr)) return 1;
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
