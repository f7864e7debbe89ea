#include "engine/host/PopupMenu.h"
#include "engine/edit/EditContextMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/render/Primitives.h"
#include "engine/testing/ModalWatchdog.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

// What a test does once the menu is open: runs from a timer inside the
// menu's own modal loop, with the menu window.
std::function<void(HWND)> script;
HWND openMenu = nullptr;
RECT openRect{};
bool propertiesWhileOpen = false;

int scriptDelays = 0;
void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // The menu is shown and made the foreground window after its popup
  // routine: the script waits for that (a few times at most), so it runs
  // inside the menu's own loop.
  if (GetForegroundWindow() != openMenu && ++scriptDelays < 40) {
    SetTimer(nullptr, 0, 30, &RunScript);
    return;
  }
  if (script) script(openMenu);
}

int OnMenuPopup(HWND menuWindow, int) {
  openMenu = menuWindow;
  GetWindowRect(menuWindow, &openRect);
  propertiesWhileOpen =
      GetPropW(menuWindow, kPropFlags) == reinterpret_cast<HANDLE>(1) && GetPropW(menuWindow, kPropHost) != nullptr;
  if (HostWindow* host = HostWindow::FromWindow(menuWindow))
    test::SaveSurface(host->Composition().CompositionSurface().bitmap(), "edit-menu");
  scriptDelays = 0;
  SetTimer(nullptr, 0, 30, &RunScript);
  return 0;
}

LPARAM ItemCentre(int index) {
  // Items start 8 pixels down; entries are 22 high, the separator 3.
  int top = 8;
  const std::vector<MenuEntry>& entries = EditMenuEntries();
  for (int i = 0; i < index; ++i) top += entries[i].text.empty() ? 3 : 22;
  return MAKELPARAM(40, top + (entries[index].text.empty() ? 1 : 11));
}

void Click(HWND menu, int index) {
  PostMessageW(menu, WM_MOUSEMOVE, 0, ItemCentre(index));
  PostMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON, ItemCentre(index));
  PostMessageW(menu, WM_LBUTTONUP, 0, ItemCentre(index));
}

// An owner window with a host and a focused control that records the
// WM_COMMAND the host forwards to it. Every test runs its menus under a
// watchdog, so a menu that does not close fails the test instead of hanging.
class EditMenu : public testing::Test {
 protected:
  void SetUp() override {
    watchdog.emplace(5000);
    HostOptions options;
    options.windowAlpha = 255;
    options.captionFlags = 0;
    options.dragAnywhere = 0;
    ASSERT_TRUE(host.Create(owner.hwnd(), options));
    host.Show();
    ASSERT_NE(field.Create(owner.hwnd(), {20, 60, 200, 27}, kKindEditBox, true), nullptr);
    host.SetFocusControl(&field, false);
    menu = &EditContextMenu();
    ASSERT_NE(menu, nullptr);
    menu->SetOnPopup(&OnMenuPopup);
    openMenu = nullptr;
  }
  void TearDown() override {
    EXPECT_FALSE(watchdog->Fired()) << "a menu's modal loop had to be ended by the watchdog";
    for (int i = 1; i <= 5; ++i) menu->ItemState(i, 0);
    menu->SetOnPopup(nullptr);
    script = nullptr;
  }

  std::vector<WPARAM> Commands() const {
    std::vector<WPARAM> ids;
    for (const auto& r : field.received) {
      if (r.message == WM_COMMAND) ids.push_back(r.wParam);
    }
    return ids;
  }

  int Widest() const {
    HDC dc = GetDC(owner.hwnd());
    int widest = 0;
    for (const MenuItem& item : menu->Items()) {
      SIZE extent{};
      GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
      widest = std::max<int>(widest, extent.cx);
    }
    ReleaseDC(owner.hwnd(), dc);
    return widest;
  }

  std::optional<test::ModalWatchdog> watchdog;
  test::TestWindow owner{200, 150, 400, 300};
  HostWindow host;
  test::RecordingControl field;
  PopupMenu* menu = nullptr;
};

TEST_F(EditMenu, IsFiftyPixelsWiderThanItsWidestCaptionAnd107High) {
  ASSERT_EQ(menu->Items().size(), 5u);
  script = [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  ASSERT_NE(openMenu, nullptr);
  EXPECT_FALSE(IsWindow(openMenu)) << "the modal loop ends with the menu window";
  EXPECT_EQ(openRect.right - openRect.left, Widest() + 50);
  EXPECT_EQ(openRect.bottom - openRect.top, 4 * 22 + 3 + 16);
  EXPECT_EQ(openRect.left, 300);
  EXPECT_EQ(openRect.top, 200);
  EXPECT_TRUE(propertiesWhileOpen);
  EXPECT_EQ(GetPropW(owner.hwnd(), kPropSub), nullptr) << "the owner forgets the closed menu";
  EXPECT_TRUE(Commands().empty());
}

TEST_F(EditMenu, OpensLeftOfAndAboveAPointNearTheWorkAreasEdges) {
  RectF work{};
  ASSERT_TRUE(GetWorkArea(work));
  const int x = static_cast<int>(work.Right()) - 20, y = static_cast<int>(work.Bottom()) - 20;
  script = [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); };
  menu->PopupAt(owner.hwnd(), x, y);
  const int width = openRect.right - openRect.left, height = openRect.bottom - openRect.top;
  EXPECT_EQ(openRect.left, x - width);
  EXPECT_EQ(openRect.top, y - height + 5);
}

TEST_F(EditMenu, ChosenEntrySendsItsIdToTheOwnersFocusControl) {
  script = [](HWND window) { Click(window, 1); };  // 复制(&C)
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 67);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{67});
  EXPECT_FALSE(IsWindow(openMenu));
}

TEST_F(EditMenu, GreyedEntryAndSeparatorSendNothing) {
  menu->ItemState(1, -1);
  script = [](HWND window) {
    Click(window, 0);  // greyed cut
    Click(window, 3);  // separator
    PostMessageW(window, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(EditMenu, AccessLetterChoosesAndEscapeCloses) {
  script = [](HWND window) { PostMessageW(window, WM_KEYDOWN, 'A', 0); };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 65);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{65});

  script = [](HWND window) { PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0); };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_EQ(Commands().size(), 1u);

  menu->ItemState(5, -1);
  script = [](HWND window) {
    PostMessageW(window, WM_KEYDOWN, 'A', 0);  // greyed: nothing
    PostMessageW(window, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_EQ(Commands().size(), 1u);
}

// A real left click at a point of the screen.
void ClickAt(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535 + width / 2) / (width - 1);
    input.mi.dy = (y * 65535 + height / 2) / (height - 1);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, inputs, sizeof(INPUT));
}

TEST_F(EditMenu, ClosesWhenAnotherWindowIsActivated) {
  script = [this](HWND) { SetForegroundWindow(owner.hwnd()); };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_FALSE(IsWindow(openMenu)) << "deactivated: closed";
  EXPECT_TRUE(Commands().empty());
}

TEST_F(EditMenu, ClosesOnAPressOrEscapeElsewhereEvenWhenItIsNotActive) {
  // The system may refuse the menu the foreground: the owner stays active.
  script = [this](HWND) {
    SetForegroundWindow(owner.hwnd());
    PostMessageW(owner.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 70));  // on the field
  };
  test::RecordingControl* beside = &field;
  const int pressesBefore = beside->Count(WM_LBUTTONDOWN);
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_FALSE(IsWindow(openMenu));
  EXPECT_EQ(beside->Count(WM_LBUTTONDOWN), pressesBefore) << "the press that closes the menu does nothing else";
  script = [this](HWND) { PostMessageW(owner.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0); };
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  EXPECT_FALSE(IsWindow(openMenu));
}

TEST_F(EditMenu, ClosesWhenTheUserClicksOutsideIt) {
  script = [](HWND) { ClickAt(560, 420); };  // on the owner, beside the menu
  EXPECT_EQ(menu->PopupAt(owner.hwnd(), 300, 200), 0);
  ASSERT_NE(openMenu, nullptr);
  EXPECT_FALSE(IsWindow(openMenu)) << "a click outside: closed";
  EXPECT_TRUE(Commands().empty());
}

TEST_F(EditMenu, CascadeOpensBesideTheOwnersFocusControl) {
  script = [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); };
  menu->Popup(owner.hwnd());
  EXPECT_EQ(openRect.left, 200 + 400 - 10);
  EXPECT_EQ(openRect.top, 150 + 60 - 7);

  host.TakeFocusFrom(host.FocusControl());
  openMenu = nullptr;
  EXPECT_EQ(menu->Popup(owner.hwnd()), 0);
  EXPECT_EQ(openMenu, nullptr) << "without a focus control nothing is shown";
}

TEST(PopupMenuItems, AccessorsTakeOneBasedIndexesAndIgnoreOthers) {
  PopupMenu menu;
  menu.AddItem("甲(&J)", {}, 0, 0, 1, 7);
  menu.AddItem("乙", {}, 0, 0, 1, 8, 0xFF112233);
  EXPECT_TRUE(menu.IsValidIndex(1));
  EXPECT_TRUE(menu.IsValidIndex(2));
  EXPECT_FALSE(menu.IsValidIndex(0));
  EXPECT_FALSE(menu.IsValidIndex(3));
  EXPECT_EQ(menu.ItemText(1), "甲(&J)");
  EXPECT_EQ(menu.ItemTextBytes(1), L"\u7532(&J)");
  EXPECT_EQ(menu.Items()[0].textColor, ArgbFromRgb(0, 210)) << "default: black at alpha 210";
  EXPECT_EQ(menu.Items()[1].textColor, 0xFF112233u);
  EXPECT_EQ(menu.ItemState(2, -1), -1);
  EXPECT_EQ(menu.ItemState(9, -1), 0);
  EXPECT_EQ(menu.ItemText(0, std::string("x")), "");
  EXPECT_FALSE(menu.RemoveItem(3));
  EXPECT_TRUE(menu.RemoveItem(1));
  EXPECT_EQ(menu.ItemText(1), "乙");
  menu.Clear();
  EXPECT_FALSE(menu.IsValidIndex(1));
}

}  // namespace
}  // namespace ui
