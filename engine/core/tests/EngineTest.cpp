#include "engine/core/Engine.h"

#include <gtest/gtest.h>

#include "engine/core/ImageLoader.h"
#include "engine/core/Routine.h"
#include "engine/core/TextConversion.h"
#include "engine/core/WindowClass.h"

namespace ui {
namespace {

TEST(Engine, InitialisesTheSharedServices) {
  const EngineState& engine = Engine();
  EXPECT_NE(engine.gdiplusToken, 0u);
  EXPECT_GT(engine.windowsMajorVersion, 0);
  EXPECT_NE(DefaultFont(), nullptr);
  EXPECT_EQ(engine.defaultCursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  ASSERT_NE(engine.captionButtonImage, nullptr);
  EXPECT_EQ(ImageWidth(engine.captionButtonImage.get()), 729);
  EXPECT_EQ(ImageHeight(engine.captionButtonImage.get()), 20);
}

TEST(Engine, RegistersTheEngineWindowClass) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), AnsiToWide(kEngineClassName).c_str(), &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(info.hCursor, Engine().defaultCursor);
  HWND window = CreateWindowExW(0, L"Ex_DirectUI", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr) << "the class must be usable";
  DestroyWindow(window);
}

TEST(Engine, SetDefaultCursorTakesASystemIdOrAHandle) {
  const HCURSOR arrow = Engine().defaultCursor;
  SetDefaultCursor(32649);  // hand
  EXPECT_EQ(Engine().defaultCursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
  SetDefaultCursor(arrow);
  EXPECT_EQ(Engine().defaultCursor, arrow);
}

int Add(int a, int b) { return a + b; }
int calls = 0;
void Count() { ++calls; }

TEST(Engine, CallRoutineSkipsANullRoutine) {
  EXPECT_EQ(CallRoutine(&Add, 2, 3), 5);
  int (*none)(int, int) = nullptr;
  EXPECT_EQ(CallRoutine(none, 2, 3), 0);
  CallRoutine(&Count);
  void (*noCount)() = nullptr;
  CallRoutine(noCount);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace ui
