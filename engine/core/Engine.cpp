#include "Engine.h"

#include "EngineAssets.h"
#include "FontFallback.h"
#include "Fonts.h"
#include "ImageLoader.h"
#include "PictureVariants.h"
#include "WindowClass.h"

namespace ui {
namespace {

int ReadWindowsMajorVersion() {
  // RtlGetVersion reports the real version whatever the manifest declares,
  // as the process environment block does.
  using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto getVersion =
      ntdll ? reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion == nullptr || getVersion(&info) != 0) return 0;
  return static_cast<int>(info.dwMajorVersion);
}

void MakeDefaultFontNow() {
  EngineState& engine = Engine();
  engine.defaultFontFamily = ChooseDefaultFontFamily();
  engine.defaultFont = CreateFontOfFamily(engine.defaultFontFamily);
  if (!engine.defaultFont) engine.defaultFontFamily.clear();
}

DWORD WINAPI MakeDefaultFont(void*) {
  MakeDefaultFontNow();
  return 0;
}

}  // namespace

GpFont* DefaultFont() {
  EngineState& engine = Engine();
  if (engine.defaultFontMaker != nullptr) {
    WaitForSingleObject(engine.defaultFontMaker, INFINITE);
    CloseHandle(engine.defaultFontMaker);
    engine.defaultFontMaker = nullptr;
  }
  return engine.defaultFont.get();
}

std::string DefaultFontFamily() {
  DefaultFont();
  return Engine().defaultFontFamily;
}

EngineState& Engine() {
  // Deliberately leaked: nothing of the engine is torn down at exit.
  static EngineState* state = new EngineState;
  return *state;
}

void SetDefaultCursor(int systemCursorId) {
  Engine().defaultCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(systemCursorId));
}

void SetDefaultCursor(HCURSOR cursor) { Engine().defaultCursor = cursor; }

void InitEngine() {
  EngineState& engine = Engine();
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
  Gdiplus::GdiplusStartup(&engine.gdiplusToken, &input, nullptr);
  engine.windowsMajorVersion = ReadWindowsMajorVersion();
  if (engine.defaultFontMaker == nullptr && !engine.defaultFont) {
    engine.defaultFontMaker = CreateThread(nullptr, 0, &MakeDefaultFont, nullptr, 0, nullptr);
    if (engine.defaultFontMaker == nullptr) MakeDefaultFontNow();
  }
  SetDefaultCursor(kArrowCursor);
  engine.captionButtonImage = LoadImageFromBytes(CaptionButtonStrip(), /*addPngSignature=*/true);
  // Its drawings for scaled displays, decoded when a window needs them.
  static const bool stripVariants = [] {
    AddPictureVariant(CaptionButtonStrip(), 150, CaptionButtonStrip150());
    AddPictureVariant(CaptionButtonStrip(), 200, CaptionButtonStrip200());
    return true;
  }();
  (void)stripVariants;
  RegisterEngineClass();
}

}  // namespace ui
