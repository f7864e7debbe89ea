// A host window moved to a display of another scale (WM_DPICHANGED, as the
// system sends it when the window is dragged onto such a monitor): it takes
// the place suggested, its surfaces follow the scale, the pointer and a
// screen reader's locations are mapped between device and logical pixels,
// and going back to 96 dpi gives back the same picture.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <vector>

#include "engine/controls/Button.h"
#include "engine/core/EngineMessages.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/AccessibleChild.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

int clicks = 0;
int CountClick(Control*, unsigned, WPARAM, LPARAM) { return ++clicks; }

UINT ImageSide(GpImage* image, bool width) {
  UINT side = 0;
  if (width) gp::GdipGetImageWidth(image, &side);
  else gp::GdipGetImageHeight(image, &side);
  return side;
}

std::vector<std::uint32_t> Picture(Compositor& composition) {
  Surface& surface = composition.CompositionSurface();
  const std::uint32_t* pixels = surface.Pixels();
  return {pixels, pixels + surface.PixelCount()};
}

class ScaledHost : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
    ASSERT_NE(button.Create(window.hwnd(), 10, 10, 80, 24, "Go"), nullptr);
    button.BindEvent(kMsgClick, &CountClick);
    ASSERT_NE(path.Create(window.hwnd(), 10, 50, 200, 27, "D:\\Nimbo\\", {}), nullptr);
    test::Pump();
    clicks = 0;
  }
  // What the system sends when the window reaches a monitor of `dpi`.
  void MoveToDpi(int dpi, RECT suggested) {
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    test::Pump();
  }
  void Click(int deviceX, int deviceY) {
    SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(deviceX, deviceY));
    SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(deviceX, deviceY));
    test::Pump();
  }

  test::TestWindow window{100, 100, 400, 300};
  HostWindow host;
  Button button;
  EditBox path;
};

TEST_F(ScaledHost, TakesTheSuggestedPlaceAndMakesItsSurfacesAtTheNewScale) {
  MoveToDpi(144, RECT{100, 100, 700, 550});
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 450);
  // The layout stays in logical pixels; the surfaces are in device ones.
  EXPECT_EQ(host.Width(), 400);
  EXPECT_EQ(host.Height(), 300);
  EXPECT_EQ(host.Composition().Scale().Dpi(), 144);
  EXPECT_EQ(host.Composition().CompositionSurface().width(), 600);
  EXPECT_EQ(host.Composition().CompositionSurface().height(), 450);
  // The button at (10, 10, 80, 24) covers (15, 15) to (135, 51).
  EXPECT_EQ(ImageSide(button.DrawSurface(), true), 120u);
  EXPECT_EQ(ImageSide(button.DrawSurface(), false), 36u);
  EXPECT_EQ(button.Bounds().width, 80);
  // The path box at (10, 50, 200, 27): (15, 75) to (315, 116).
  EXPECT_EQ(ImageSide(path.DrawSurface(), true), 300u);
  EXPECT_EQ(ImageSide(path.DrawSurface(), false), 41u);
}

TEST_F(ScaledHost, ThePointerIsMappedToLogicalPixels) {
  MoveToDpi(192, RECT{100, 100, 900, 700});
  Click(30, 30);  // logical (15, 15): on the button
  EXPECT_EQ(clicks, 1);
  Click(185, 40);  // logical (92, 20): right of it
  EXPECT_EQ(clicks, 1);
  Click(178, 66);  // logical (89, 33): its last pixel
  EXPECT_EQ(clicks, 2);
}

TEST_F(ScaledHost, AScreenReaderGetsDevicePixels) {
  MoveToDpi(144, RECT{100, 100, 700, 550});
  IAccessible* object = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(window.hwnd(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)),
            S_OK);
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, test::AccessibleChild(1)), S_OK);
  EXPECT_EQ(left, 115);
  EXPECT_EQ(top, 115);
  EXPECT_EQ(width, 120);
  EXPECT_EQ(height, 36);
  VARIANT found{};
  ASSERT_EQ(object->accHitTest(100 + 200, 100 + 90, &found), S_OK);  // logical (133, 60): the path box
  EXPECT_EQ(found.vt, VT_I4);
  EXPECT_EQ(found.lVal, 2);
  object->Release();
}

TEST_F(ScaledHost, BackAtNinetySixTheWindowLooksAsItDidBefore) {
  host.Compose();
  const std::vector<std::uint32_t> before = Picture(host.Composition());
  MoveToDpi(120, RECT{100, 100, 600, 475});
  EXPECT_EQ(host.Composition().CompositionSurface().width(), 500);
  MoveToDpi(96, RECT{100, 100, 500, 400});
  host.Compose();
  EXPECT_EQ(host.Composition().CompositionSurface().width(), 400);
  EXPECT_EQ(ImageSide(button.DrawSurface(), true), 80u);
  EXPECT_TRUE(Picture(host.Composition()) == before);
}

}  // namespace
}  // namespace ui
