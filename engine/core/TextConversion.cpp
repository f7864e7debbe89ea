#include "TextConversion.h"

#include "Win32.h"

namespace ui {

std::wstring AnsiToWide(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string WideToAnsi(std::wstring_view wide, unsigned codePage) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, text.data(), needed, nullptr, nullptr);
  return text;
}

std::optional<std::string> ExactWideToAnsi(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int needed =
      WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), needed, nullptr,
                      &usedDefault);
  if (usedDefault) return std::nullopt;
  return text;
}

}  // namespace ui
