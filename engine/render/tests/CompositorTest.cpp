// The compositor on its own: a window and a chain of items, no host.
#include "engine/render/Compositor.h"

#include <gtest/gtest.h>

#include "engine/render/Surface.h"
#include "engine/testing/PresentationLog.h"
#include "engine/testing/TestWindow.h"

namespace ui {
namespace {

using test::Unpack;

// An item of one colour; counts what the compositor asks of it.
class Square : public Drawable {
 public:
  Square(RectF bounds, ArgbColor colour) : bounds_(bounds) {
    GpBitmap* bitmap = nullptr;
    gp::GdipCreateBitmapFromScan0(static_cast<int>(bounds.width), static_cast<int>(bounds.height), 0,
                                  PixelFormat32bppARGB, nullptr, &bitmap);
    surface_.reset(bitmap);
    Fill(colour);
  }
  void Fill(ArgbColor colour) {
    GraphicsPtr graphics(CreateConfiguredGraphics(surface_.get()));
    gp::GdipGraphicsClear(graphics.get(), colour);
  }

  bool IsShown() const override { return shown; }
  RectF DrawBounds() const override { return bounds_; }
  GpImage* DrawSurface() const override { return surface_.get(); }
  int DrawOpacity() override { return 255; }
  bool IsDisabled() const override { return false; }
  TransitionState DrawTransitionState() const override { return {}; }
  Drawable* FirstChildItem() const override { return child; }
  Drawable* NextItem() const override { return next; }
  void RefreshSurface() override { ++refreshes; }
  bool PaintTransition(const TransitionPaintRecord&) override { return false; }
  void OnComposed(GpGraphics*) override { ++composed; }

  bool shown = true;
  Square* next = nullptr;
  Square* child = nullptr;
  int refreshes = 0;
  int composed = 0;

 private:
  RectF bounds_;
  ImagePtr surface_;
};

constexpr ArgbColor kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

class ComposedChain : public testing::Test {
 protected:
  void SetUp() override {
    a.next = &b;
    b.next = &c;
    c.child = &d;
    b.shown = false;
    compositor.Settings().frameStyle = 1;  // frameless: no frame, nothing clipped
    CompositionClient client;
    client.firstItem = [this]() -> Drawable* { return &a; };
    compositor.Attach(window.hwnd(), 200, 150, std::move(client));
  }
  void TearDown() override { compositor.Detach(); }

  std::uint32_t At(int x, int y) const { return compositor.CompositionSurface().PixelAt(x, y); }

  test::TestWindow window{100, 100, 200, 150, WS_POPUP};
  Compositor compositor;
  // a under everything, b hidden, c over a with d inside, clipped to c.
  Square a{MakeRectF(10, 10, 50, 50), kRed};
  Square b{MakeRectF(100, 100, 50, 40), kGreen};
  Square c{MakeRectF(30, 30, 20, 20), kBlue};
  Square d{MakeRectF(45, 45, 20, 20), kWhite};
};

TEST_F(ComposedChain, DrawsShownItemsInOrderWithChildrenClippedToTheirParent) {
  compositor.Compose({}, std::nullopt, -1, false);
  EXPECT_EQ(At(15, 15), kRed);
  EXPECT_EQ(At(35, 35), kBlue) << "c is drawn over a";
  EXPECT_EQ(At(47, 47), kWhite) << "d inside c";
  EXPECT_EQ(At(55, 55), kRed) << "d beyond c is clipped away";
  EXPECT_EQ(At(120, 120), 0u) << "b is hidden";
  EXPECT_EQ(At(5, 5), 0u) << "a frameless window without a picture is transparent";
  EXPECT_EQ(a.refreshes, 1);
  EXPECT_EQ(b.refreshes, 0);
  EXPECT_EQ(d.refreshes, 1);
  EXPECT_EQ(c.composed, 1);
  EXPECT_EQ(b.composed, 0);

  compositor.Compose({}, std::nullopt, -1, /*keepItemSurfaces=*/true);
  EXPECT_EQ(a.refreshes, 1) << "kept surfaces are not refreshed";
  EXPECT_EQ(a.composed, 2);
}

TEST_F(ComposedChain, RedrawsWaitWhileBusyAndAreDrawnWhenItEnds) {
  compositor.Compose({}, std::nullopt, -1, false);
  compositor.SetBusy(true);
  a.Fill(kGreen);
  compositor.RedrawRect(MakeRectF(10, 10, 50, 50), false);
  EXPECT_EQ(At(15, 15), kRed) << "nothing is drawn while busy";
  compositor.EndBusy();
  EXPECT_EQ(At(15, 15), kGreen);
  EXPECT_EQ(At(35, 35), kBlue) << "what lies over the redrawn part is drawn again";
}

TEST_F(ComposedChain, PresentsOnlyWhenNotBusyNorClosed) {
  compositor.Compose({}, std::nullopt, kPresentNothing, false);
  test::PresentationLog presented(compositor.Window(), POINT{0, 0});
  compositor.SetBusy(true);
  compositor.PresentRect(MakeRectF(0, 0, 200, 150));
  EXPECT_EQ(presented.entries.size(), 0u);
  compositor.SetBusy(false);
  compositor.BeginEffect();
  compositor.EndEffect(/*closed=*/true);
  compositor.PresentRect(MakeRectF(0, 0, 200, 150));
  EXPECT_EQ(presented.entries.size(), 0u) << "after a close effect nothing is presented";
  compositor.Reopen();
  compositor.PresentRect(MakeRectF(0, 0, 200, 150));
  EXPECT_EQ(presented.entries.size(), 1u);
}

}  // namespace
}  // namespace ui
