#include <iconv.h>

#include "NameConversion.h"

namespace setup {

std::optional<std::string> Utf8ToCp936(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  // Without "//TRANSLIT" iconv fails on a character it cannot convert
  // instead of approximating it. glibc's CP936 is Windows' table (0x80 is
  // the euro sign).
  const iconv_t converter = iconv_open("CP936", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  // A character never takes more bytes in code page 936 than in UTF-8.
  std::string text(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* out = text.data();
  std::size_t outLeft = text.size();
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  // A non-zero count would be characters converted irreversibly.
  if (result != 0 || inLeft != 0) return std::nullopt;
  text.resize(text.size() - outLeft);
  return text;
}

}  // namespace setup
