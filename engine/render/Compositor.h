#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "BackgroundImages.h"
#include "Drawable.h"
#include "FrameCache.h"
#include "FrameSettings.h"
#include "RedrawQueue.h"
#include "Surface.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

// How a full composition is put on the screen (Compose's presentMode; any
// value but these two presents nothing).
enum PresentMode : int { kPresentAtOnce = 0, kPresentCrossFade = 1, kPresentNothing = -1 };

// What a composition needs from the window it composes for, asked for at
// each composition.
struct CompositionClient {
  // Draws over the painted background, under the border; none: nothing.
  std::function<void(GpGraphics* graphics, int width, int height)> paintBackground;
  // Places the items whose position follows the window's size.
  std::function<void()> layout;
  // The first item of the window's top-level chain.
  std::function<Drawable*()> firstItem;
};

// Composes one window: it owns the composition surface, the frame layer
// (the background without items), the snapshot a cross-fade starts from, the
// frames painted before, the decoded background pictures, the redraw queue
// and the part changed since the last presentation, and puts the picture on
// the screen: a layered window through UpdateLayeredWindow, another by
// copying into its DC. While busy (a full composition, a fade, a show or
// close effect) redraws wait and nothing is presented.
class Compositor : public RedrawTarget {
 public:
  Compositor();
  Compositor(const Compositor&) = delete;
  Compositor& operator=(const Compositor&) = delete;
  ~Compositor() override;

  // Starts composing for the window at its size in logical pixels and at
  // its display's scale; its DC stays the compositor's until Detach.
  void Attach(HWND window, int width, int height, CompositionClient client, DisplayScale scale = {});
  void Detach();
  // A new size takes two steps: SetSize takes it (false when it did not
  // change), ResizeSurfaces then makes the surfaces of that size.
  bool SetSize(int width, int height);
  void ResizeSurfaces();
  // A new scale (the window went to a display of another dpi); the surfaces
  // follow with ResizeSurfaces. False when it did not change.
  bool SetScale(DisplayScale scale);
  // What draws over the painted background; none: nothing. A window with
  // one never copies a frame painted before.
  void SetBackgroundPainter(std::function<void(GpGraphics* graphics, int width, int height)> painter) {
    client_.paintBackground = std::move(painter);
  }

  FrameSettings& Settings() { return settings_; }
  const FrameSettings& Settings() const { return settings_; }
  HWND Window() const { return window_; }
  HDC WindowDC() const { return windowDC_; }
  // The window's size in logical pixels, what its items are placed in.
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Its scale, and its size on the screen: the size of every surface here.
  const DisplayScale& Scale() const { return scale_; }
  int DeviceWidth() const { return scale_.SizeToDevice(width_); }
  int DeviceHeight() const { return scale_.SizeToDevice(height_); }
  Surface& CompositionSurface() { return surface_; }
  const Surface& CompositionSurface() const { return surface_; }
  // The frame alone, what a redraw starts from.
  const Surface& FrameLayer() const { return back_; }

  // --- the background
  // The picture shown: kept by the decoded pictures, or by another window's
  // compositor; never disposed through this pointer.
  GpImage* BackgroundImage() const { return backgroundImage_; }
  std::uint64_t BackgroundGeneration() const { return backgroundGeneration_; }
  std::uint32_t BackgroundColor() const { return backgroundColor_; }  // RGB; -1 none
  void SetBackgroundColor(std::uint32_t rgb) { backgroundColor_ = rgb; }

  // --- composition
  // Full composition on a picture (decoded once), a colour, or those of
  // `owner`, whose background is shared. presentMode 0 presents at once, 1
  // cross-fades from the previous picture, any other value presents nothing.
  void Compose(Bytes image, std::optional<ArgbColor> colour, int presentMode, bool keepItemSurfaces,
               const Compositor* owner = nullptr);
  void Invalidate(const RectF& rect, RedrawMode mode) { redrawQueue_.Add(rect, mode); }
  RedrawQueue& Queue() { return redrawQueue_; }
  void RedrawRect(const RectF& rect, bool present) override;
  // A redraw for when the window is no longer busy.
  void DeferRedraw(const RectF& rect) { deferredRedraws_.push_back(rect); }

  // --- busy periods
  bool IsBusy() const override { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }
  // Ends a busy period: redraws what was asked for meanwhile.
  void EndBusy();
  // A show or close effect owns the screen from BeginEffect to EndEffect: a
  // running cross-fade is finished first, and no composition or redraw is
  // presented meanwhile. After a close effect nothing is presented until the
  // window is shown again.
  void BeginEffect();
  void EndEffect(bool closed);
  void Reopen() { closed_ = false; }

  // --- the cross-fade
  // One step of it; the compositor's window timer calls it.
  void FadeTick();
  bool IsFading() const { return fading_; }
  int FadeAlpha() const { return fadeAlpha_; }
  bool HoldsFadeSnapshot() const { return fade_.IsValid(); }
  // The id of the cross-fade's window timer.
  UINT_PTR FadeTimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  // --- presentation
  bool IsLayered() const override { return settings_.windowAlpha != -1; }
  // Presents the rectangle (a layered window: the whole picture, telling
  // the system the part that changed).
  void PresentRect(const RectF& rect);
  // Presents what changed since the last presentation (nothing while busy).
  void PresentLayered() override;
  // Presents the whole composition of a layered window.
  void PresentWhole();
  // Puts another picture of the window's size on a layered window.
  void PresentLayeredSurface(HDC source);
  // Draws over the composition surface and presents the rectangle (a
  // layered window: through its present message, as a redraw does).
  void PresentOverlay(const std::function<void(GpGraphics* graphics)>& draw, const RectF& rect);

  // Whether items are clipped to the frame's body (not for a frameless window).
  bool ClipsItems() const { return clipRegion_ != nullptr; }
  // How often a composition copied a frame painted before; for tests and
  // benchmarks.
  int FramesCopied() const { return framesCopied_; }
  // Paints the frame onto the composition surface as a composition does
  // when no frame painted before fits; for benchmarks.
  void PaintFrameLayer();

 private:
  static void CALLBACK FadeTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
  void ReleaseBackgroundImage();
  // Puts the frame layer into the composition surface and the back layer:
  // painted, or copied when this frame was painted before.
  void ComposeFrameLayer();
  // Marks a part of the surface as changed since the last presentation.
  void AddDirty(const RectF& rect);
  void PresentChanges();
  void EndFade();
  FrameKey CurrentFrameKey() const;

  struct ClipKey {
    int width = 0, height = 0;
    bool rounded = false;
    bool operator==(const ClipKey&) const = default;
  };

  HWND window_ = nullptr;
  HDC windowDC_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  DisplayScale scale_;
  FrameSettings settings_;
  CompositionClient client_;
  Surface surface_;  // the composition surface, with graphics
  Surface back_;     // the frame layer without items
  Surface fade_;     // the previous picture during a cross-fade
  GpImage* backgroundImage_ = nullptr;
  // The picture as the application gave it, and the scale in percent of
  // the drawing of it that is shown; chosen again after a change of scale.
  std::vector<std::uint8_t> backgroundBase_;
  int backgroundPercent_ = 100;
  bool backgroundForOtherScale_ = false;
  std::uint64_t backgroundGeneration_ = 0;  // which picture backgroundImage_ is
  std::uint32_t backgroundColor_ = 0xFFFFFFFF;
  BackgroundImages backgroundImages_;
  FrameCache frameCache_;
  std::optional<FrameKey> backFrame_;  // the frame the back layer holds
  RegionPtr clipRegion_;
  ClipKey clipKey_;  // what clipRegion_ was made for
  RedrawQueue redrawQueue_;
  std::vector<RectF> deferredRedraws_;
  RECT dirty_{};  // changed since the last presentation
  bool busy_ = false;
  int fadeAlpha_ = 0;
  bool fading_ = false;         // a cross-fade runs
  bool effectRunning_ = false;  // a show or close effect runs
  bool closed_ = false;         // the close effect has ended
  int framesCopied_ = 0;
};

}  // namespace ui
