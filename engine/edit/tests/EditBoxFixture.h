#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "engine/core/EngineMessages.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/TestWindows.h"

namespace ui::test {

// An edit box on a plain host window, driven as a user drives it: messages
// into the host window, which routes them to the box.
class EditBoxes : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), PlainHost()));
    host.Show();
  }
  void TearDown() override { ReleaseKeys(); }

  // Creates the box and gives it the focus by a click at its left end.
  void Make(RectF bounds, std::string_view initial, const EditBoxOptions& options = {}) {
    ASSERT_NE(box.Create(window.hwnd(), static_cast<int>(bounds.left), static_cast<int>(bounds.top),
                         static_cast<int>(bounds.width), static_cast<int>(bounds.height), initial, options),
              nullptr);
    Pump();
    host.SetFocusControl(&box, false);
    Pump();
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(window.hwnd(), message, wParam, lParam);
  }
  // Typed characters (ASCII), one WM_CHAR each.
  void Type(std::string_view characters) {
    for (char c : characters) Send(WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  // A key pressed with the given modifiers held.
  void Key(unsigned virtualKey, bool shift = false, bool control = false) {
    HoldKeys(shift, control);
    Send(WM_KEYDOWN, virtualKey, 1);
    Send(WM_KEYUP, virtualKey, 0xC0000001);
    ReleaseKeys();
  }
  void HoldKeys(bool shift, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void ReleaseKeys() { HoldKeys(false, false); }
  // A left click (and, with a second press marked as the double click,
  // a double click) at a point of the window.
  void Click(int x, int y) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void DoubleClick(int x, int y) {
    Click(x, y);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  TestWindow window{100, 100, 400, 300};
  HostWindow host;
  EditBox box;
};

}  // namespace ui::test
