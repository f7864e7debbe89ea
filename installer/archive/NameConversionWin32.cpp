#include "NameConversion.h"
#include "engine/core/Win32.h"

namespace setup {

std::optional<std::string> Utf8ToCp936(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const int length = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wideLength <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wideLength) != wideLength)
    return std::nullopt;

  // No best fit: a character without its own code page 936 form must not
  // become a look-alike (a slash, a dot) or a "?".
  BOOL usedDefault = FALSE;
  const int needed =
      WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<std::size_t>(needed), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, text.data(), needed, nullptr,
                          &usedDefault) != needed ||
      usedDefault)
    return std::nullopt;
  return text;
}

}  // namespace setup
