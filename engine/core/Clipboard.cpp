#include "Clipboard.h"

#include <cstring>

#include "TextConversion.h"

namespace ui {
namespace {

// Another program may hold the clipboard open for a moment (a clipboard
// manager taking what was copied, a remote desktop's bridge): it is asked
// again a few times before the copy or paste gives up, for at most about a
// tenth of a second.
bool OpenClipboardSoon(HWND owner) {
  constexpr int kAttempts = 10;
  constexpr DWORD kPauseMs = 10;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(kPauseMs);
  }
  return false;
}

}  // namespace

std::string ReadClipboardText() {
  if (!OpenClipboardSoon(nullptr)) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The memory block may be larger than its text: stop at the first NUL,
      // and never read past the block.
      const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      std::size_t length = 0;
      while (length < capacity && wide[length] != L'\0') ++length;
      text = WideToAnsi(std::wstring_view(wide, length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool WriteClipboardText(HWND owner, std::string_view text) {
  const std::wstring wide = AnsiToWide(text);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  if (block == nullptr) return false;
  auto* target = static_cast<wchar_t*>(GlobalLock(block));
  std::memcpy(target, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  if (!OpenClipboardSoon(owner)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  // Once set, the block belongs to the clipboard.
  const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!set) GlobalFree(block);
  CloseClipboard();
  return set;
}

}  // namespace ui
