// Long runs of what a user does to the installer's window, counting what
// the process holds before and after each: GDI objects, USER objects and
// kernel handles must come back to where they were. Each run starts after
// one warm-up round, so that what is made once and kept (scratch surfaces,
// the menu's window class, the fonts) is not taken for a leak.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "engine/core/Engine.h"
#include "engine/edit/EditContextMenu.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/host/PopupMenu.h"
#include "engine/testing/ModalWatchdog.h"
#include "engine/testing/ProcessResources.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

using test::CountProcessResources;
using test::ProcessResources;

// Objects a run may leave beyond where it started without being taken for
// a leak: none of a kind per round, so a leak of one object in every round
// of a run exceeds this by far.
constexpr long kTolerance = 2;

void ExpectBack(const char* run, int rounds, const ProcessResources& before, const ProcessResources& after) {
  std::printf("%-34s %6d rounds: GDI %ld -> %ld, USER %ld -> %ld, handles %ld -> %ld\n", run, rounds, before.gdiObjects,
              after.gdiObjects, before.userObjects, after.userObjects, before.kernelHandles, after.kernelHandles);
  EXPECT_LE(after.gdiObjects, before.gdiObjects + kTolerance) << run << ": GDI objects";
  EXPECT_LE(after.userObjects, before.userObjects + kTolerance) << run << ": USER objects";
  EXPECT_LE(after.kernelHandles, before.kernelHandles + kTolerance) << run << ": kernel handles";
}

// One warm-up round, then the counted rounds.
void RunCounted(const char* name, int rounds, const std::function<void(int)>& round) {
  round(0);
  test::Pump();
  const ProcessResources before = CountProcessResources();
  const DWORD start = GetTickCount();
  for (int i = 1; i <= rounds; ++i) round(i);
  test::Pump();
  const DWORD took = GetTickCount() - start;
  ExpectBack(name, rounds, before, CountProcessResources());
  std::printf("%-34s %6lu ms\n", "", took);
}

int CloseMenuAtOnce(HWND menuWindow, int) {
  PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  return 0;
}

TEST(ResourceCounts, TheCountersSeeObjectsComeAndGo) {
  // Without this the runs below could pass with counters that never move.
  // A thread's input method window comes with its first window and goes
  // with its last: one window stays open throughout.
  HWND keeper = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const ProcessResources before = CountProcessResources();
  HBRUSH brushes[40];
  for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
  HANDLE events[10];
  for (HANDLE& event : events) event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HWND windows[5];
  for (HWND& window : windows) {
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  const ProcessResources during = CountProcessResources();
  for (HBRUSH brush : brushes) DeleteObject(brush);
  for (HANDLE event : events) CloseHandle(event);
  for (HWND window : windows) DestroyWindow(window);
  const ProcessResources after = CountProcessResources();
  DestroyWindow(keeper);

  EXPECT_EQ(during.gdiObjects - before.gdiObjects, 40);
  EXPECT_EQ(during.kernelHandles - before.kernelHandles, 10);
  EXPECT_EQ(during.userObjects - before.userObjects, 5);
  EXPECT_EQ(after.gdiObjects, before.gdiObjects);
  EXPECT_EQ(after.kernelHandles, before.kernelHandles);
  EXPECT_EQ(after.userObjects, before.userObjects);
}

TEST(ResourceCounts, LongRunsGiveBackWhatTheyTake) {
  test::TestWindow window(40, 40, 825, 468);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
  host.Show();
  EditBox box;
  ASSERT_NE(box.Create(window.hwnd(), 20, 422, 200, 27, "D:\\Nimbo\\", {}), nullptr);
  test::RecordingControl bar;
  bar.Create(window.hwnd(), {100, 240, 650, 21}, kKindProgressBar, true);
  bar.PaintSolid();
  test::Pump();
  host.SetFocusControl(&box, false);
  const std::vector<std::uint8_t> day = test::SolidPng(825, 468, 0xFF3070C0);
  const std::vector<std::uint8_t> dusk = test::SolidPng(825, 468, 0xFFC07030);

  RunCounted("partial redraws of the bar", 1000, [&](int i) {
    bar.colour = i % 2 == 0 ? 0xFF20A020 : 0xFF2020A0;
    bar.PaintSolid();
    host.RedrawRect(bar.Bounds(), true);
  });

  RunCounted("background cross-fades", 100, [&](int i) {
    host.Compose(i % 2 == 0 ? day : dusk, std::nullopt, 1);
    KillTimer(window.hwnd(), host.Composition().FadeTimerId());
    for (int step = 0; step < 10 && host.Composition().IsBusy(); ++step) host.Composition().FadeTick();
    ASSERT_FALSE(host.Composition().IsBusy()) << "the fade ends within its steps";
  });

  {
    test::ModalWatchdog watchdog(120000);
    EditContextMenu().SetOnPopup(&CloseMenuAtOnce);
    RunCounted("context menus opened and closed", 200, [&](int) {
      SendMessageW(window.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 435));
      SendMessageW(window.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(60, 435));
    });
    EditContextMenu().SetOnPopup(nullptr);
    EXPECT_FALSE(watchdog.Fired()) << "every menu closed on its Escape";
  }

  // Typing and erasing, so that the text stays as short as a path: the
  // warm-up types, then erasing and typing take turns, ending with a type.
  host.SetFocusControl(&box, false);
  SendMessageW(window.hwnd(), WM_KEYDOWN, VK_END, 1);
  SendMessageW(window.hwnd(), WM_KEYUP, VK_END, 0xC0000001);
  const std::string path = box.Text();
  RunCounted("keystrokes in the path box", 10000, [&](int i) {
    if (i % 2 == 0) {
      SendMessageW(window.hwnd(), WM_CHAR, 'a', 1);
    } else {
      SendMessageW(window.hwnd(), WM_KEYDOWN, VK_BACK, 1);
      SendMessageW(window.hwnd(), WM_KEYUP, VK_BACK, 0xC0000001);
    }
  });
  EXPECT_EQ(box.Text(), path + "a") << "every key reached the box";
}

}  // namespace
}  // namespace ui
