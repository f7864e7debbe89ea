#include "UnguessableName.h"

#include "Win32.h"

// RtlGenRandom, exported by advapi32 (a known DLL) as SystemFunction036.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

namespace ui {

std::wstring UnguessableName(std::wstring_view prefix) {
  unsigned char random[16] = {};
  if (!SystemFunction036(random, sizeof random)) return {};
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring name(prefix);
  for (const unsigned char byte : random) {
    name += kDigits[byte >> 4];
    name += kDigits[byte & 0xF];
  }
  return name;
}

}  // namespace ui
