#include "installer/StartWindow.h"

#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "installer/Installation.h"
#include "installer/InstallerState.h"
#include "installer/ProcessObjects.h"
#include "installer/StartUp.h"
#include "engine/testing/ControlPeer.h"
#include "installer/tests/Pumping.h"

namespace setup {
namespace {

using test::Pump;

// The start window as the program loads it, in this process.
class StartWindow : public testing::Test {
 protected:
  void SetUp() override {
    ConstructProcessObjects();
    loadedAt = GetTickCount64();
    window = LoadStartWindow();
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
    ReleaseProcessObjects();
    backgroundPhase = 0;
  }
  HWND window = nullptr;
  ULONGLONG loadedAt = 0;
};

TEST_F(StartWindow, IsTheEnginesLayeredWindowAtItsPlace) {
  EXPECT_EQ(startWindowHandle, window);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right - rect.left, 825);
  EXPECT_EQ(rect.bottom - rect.top, 468);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_EQ(std::wstring(title), L"Nimbo - \u5B89\u88C5");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(ui::HostWindow::FromWindow(window), &*hostWindow);
  EXPECT_EQ(hostWindow->CaptionFlags(), 20 | 512);
  EXPECT_EQ(hostWindow->Composition().Settings().windowAlpha, 250);
  EXPECT_EQ(hostWindow->Composition().Settings().frameStyle, 7);
  EXPECT_EQ(hostWindow->DragAnywhere(), 1);
  EXPECT_EQ(hostWindow->Composition().Settings().edgeFade, 0);
  EXPECT_EQ(hostWindow->CloseEffect(), 2);
  EXPECT_EQ(hostWindow->Composition().Settings().shadowColor & 0xFFFFFF, 0u) << "a black shadow";
  EXPECT_EQ(hostWindow->Composition().BackgroundColor(), 0xFEF5F5F5u);
  EXPECT_EQ(backgroundPhase, 1);
  EXPECT_EQ(Timer1.Period(), 5000);
}

TEST_F(StartWindow, InstallButtonSitsInTheMiddleWithAHandCursor) {
  ui::Button& button = *installButton;
  EXPECT_EQ(button.Bounds(), ui::MakeRectF(315, 275, 193, 58));
  EXPECT_TRUE(ui::test::ControlPeer::Text(button).empty());
  EXPECT_FALSE(ui::test::ControlPeer::NormalImage(button).empty());
  EXPECT_FALSE(ui::test::ControlPeer::HoverImage(button).empty());
  EXPECT_FALSE(ui::test::ControlPeer::PressedImage(button).empty());
  EXPECT_TRUE(ui::test::ControlPeer::DisabledImage(button).empty());
  const HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
  EXPECT_EQ(button.Cursor(), hand);
  // With the pointer over the button, the window shows the hand.
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(400, 300));
  EXPECT_EQ(hostWindow->Input().HoverControl(), &button);
  SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), hand);
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))) << "elsewhere the arrow";
}

TEST_F(StartWindow, PathBoxOffersTheDefaultFolderOnOneLine) {
  ui::EditBox& box = *pathBox;
  EXPECT_EQ(box.Bounds(), ui::MakeRectF(20, 422, 200, 27));
  EXPECT_EQ(box.Text(), "D:\\Nimbo\\");
  EXPECT_EQ(ui::test::ControlPeer::MultiLine(box), 0);
  EXPECT_EQ(ui::test::ControlPeer::InputMode(box), ui::kEditNormal);
  EXPECT_EQ(ui::test::ControlPeer::ScrollBars(box), ui::kNoBars);
  EXPECT_EQ(ui::test::ControlPeer::BackColor(box), 0u) << "transparent";
  EXPECT_EQ(ui::test::ControlPeer::BorderColor(box), 0u) << "no border";
  EXPECT_FLOAT_EQ(ui::test::ControlPeer::Font(box).Size(), 16)
      << "its own font, 16 pixels (the family is mapped by the system)";
  EXPECT_EQ(statusBox->GetHandle(), nullptr) << "the status box comes with the installation";
  // Created before the button, so the button is drawn over it.
  EXPECT_EQ(box.NextSibling(), &*installButton);
}

TEST_F(StartWindow, EscapeClosesTheWindowOnlyBeforeAnInstallationStarts) {
  // From the path box too: it leaves Escape to the window.
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 0);
  ASSERT_EQ(hostWindow->FocusControl(), &*pathBox);
  Installation::Current().Choose(L"D:\\Nimbo\\");  // as once the install button was pressed
  SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_TRUE(IsWindow(window) && IsWindowVisible(window)) << "an installation is not ended by Escape";
  Installation::Current().Reset();
  SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(window); }, 5000)) << "closed, with its close effect";
}

TEST_F(StartWindow, TimerAlternatesTheBackgroundsFromPhaseOne) {
  ui::GpImage* first = hostWindow->Composition().BackgroundImage();
  OnBackgroundTimer();
  EXPECT_EQ(backgroundPhase, 2);
  EXPECT_NE(hostWindow->Composition().BackgroundImage(), first);
  EXPECT_TRUE(hostWindow->Composition().IsBusy()) << "cross-fading";
  const DWORD start = GetTickCount();
  while (hostWindow->Composition().IsBusy() && GetTickCount() - start < 3000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  EXPECT_FALSE(hostWindow->Composition().IsBusy());
  OnBackgroundTimer();
  EXPECT_EQ(backgroundPhase, 1);

  backgroundPhase = 0;  // start-up not finished: a tick changes nothing
  ui::GpImage* current = hostWindow->Composition().BackgroundImage();
  OnBackgroundTimer();
  EXPECT_EQ(backgroundPhase, 0);
  EXPECT_EQ(hostWindow->Composition().BackgroundImage(), current);
}

TEST_F(StartWindow, OnlyTheBackgroundTimersOwnTickAfterFiveSecondsAlternates) {
  // The engine's timers on this window use its objects' addresses and those
  // plus one (a control with no handle would use 1); the window's pointer
  // messages in the first second must not bring the first cross-fade on.
  for (const UINT_PTR engineId : {UINT_PTR{0}, UINT_PTR{1}, reinterpret_cast<UINT_PTR>(&*installButton) + 1}) {
    EXPECT_NE(Timer1.Id(), engineId);
    SendMessageW(window, WM_TIMER, engineId, 0);
  }
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(400, 300));
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  Pump();
  EXPECT_EQ(backgroundPhase, 1);
  // Its own id, sooner than 5 s after it started: not its tick.
  SendMessageW(window, WM_TIMER, Timer1.Id(), 0);
  EXPECT_EQ(backgroundPhase, 1);
  EXPECT_FALSE(hostWindow->Composition().IsBusy()) << "no cross-fade started";
  // The real first tick, waited for (bounded): 5 s after the window was
  // made (within the tick count's resolution), and only then.
  ASSERT_TRUE(test::PumpUntil([] { return backgroundPhase == 2; }, 8000));
  EXPECT_GE(GetTickCount64() - loadedAt, 5000u - 20u);
}

}  // namespace
}  // namespace setup
