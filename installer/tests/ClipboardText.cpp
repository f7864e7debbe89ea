// Prints the Windows clipboard's text as UTF-8, as the programs under test
// read it: Wine takes the X selection over when its desktop notices the new
// owner, and a test waits for that before it pastes.
//
// Given `--put TEXT` it puts the text there instead, as a Windows program
// copies it: a test marks the clipboard this way before it copies from the
// window, so no X program owns the selection while the copy is made.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int PutText(const wchar_t* text) {
  const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return 1;
  std::memcpy(GlobalLock(block), text, bytes);
  GlobalUnlock(block);
  // Wine's own clipboard manager may hold the clipboard open for a moment
  // (taking the X selection over): asked again for up to a second.
  bool opened = false;
  for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
    opened = OpenClipboard(nullptr) != FALSE;
    if (!opened) Sleep(20);
  }
  if (!opened) {
    GlobalFree(block);
    return 1;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!set) GlobalFree(block);
  CloseClipboard();
  return set ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"--put") == 0) return PutText(argv[2]);
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
