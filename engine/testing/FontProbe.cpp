// Tells which family the engine's default font takes in this Wine prefix,
// for the test that runs the installer where no Chinese family name is
// mapped. Prints three lines: whether "宋体" is installed, the family the
// default font took, and whether that family draws Chinese.
#include <cstdio>

#include "engine/core/Engine.h"
#include "engine/core/FontFallback.h"
#include "engine/core/TextConversion.h"

int main() {
  ui::InitEngine();
  const std::string family = ui::DefaultFontFamily();
  // UTF-8, whatever the console's code page.
  const std::string utf8 = ui::WideToAnsi(ui::AnsiToWide(family), CP_UTF8);
  std::printf("songti installed: %s\n", ui::FamilyDraws("宋体", L"a") ? "yes" : "no");
  std::printf("default family: %s\n", utf8.c_str());
  std::printf("draws Chinese: %s\n", ui::FamilyDraws(family, L"\u4E2D\u6587") ? "yes" : "no");
  return ui::DefaultFont() != nullptr ? 0 : 1;
}
