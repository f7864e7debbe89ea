// Full and partial composition of a host window, presentation and the
// cross-fade between two compositions.
#include "Composition.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "FramePainter.h"
#include "PixelBlend.h"
#include "Primitives.h"
#include "Surface.h"
#include "engine/controls/Control.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/core/ImageLoader.h"
#include "engine/host/HostWindow.h"

namespace ui {
namespace {

constexpr UINT kFadeInterval = 50;
constexpr int kFadeStep = 51;
constexpr std::uint32_t kNoColour = 0xFFFFFFFF;

// Saves a graphics' clip and puts it back when the scope ends.
class SavedClip {
 public:
  explicit SavedClip(GpGraphics* graphics) : graphics_(graphics) {
    GpRegion* region = nullptr;
    gp::GdipCreateRegion(&region);
    region_.reset(region);
    gp::GdipGetClip(graphics_, region);
  }
  ~SavedClip() { gp::GdipSetClipRegion(graphics_, region_.get(), Gdiplus::CombineModeReplace); }

 private:
  GpGraphics* graphics_;
  RegionPtr region_;
};

RectF WholeWindow(const HostWindow& host) {
  return MakeRectF(0, 0, host.width, host.height);
}

// The pixels a rectangle touches, rounded outwards.
RECT PixelBox(const RectF& rect) {
  return {static_cast<LONG>(std::floor(rect.left)), static_cast<LONG>(std::floor(rect.top)),
          static_cast<LONG>(std::ceil(rect.Right())), static_cast<LONG>(std::ceil(rect.Bottom()))};
}

}  // namespace

int ComposedOpacity(Control& control) {
  int alpha = control.opacity;
  if (control.disabled != 0 && DeliverMessage(&control, kMsgDisabledLook, 0, 1) == kUnhandled) alpha /= 2;
  return alpha;
}

bool TransitionRunning(const Control& control) {
  // Without a snapshot there is nothing to blend from: a finished transition
  // leaves its frame counter at 0, which must not read as "running".
  return control.transitionInterval != 0 && control.transitionFrames != 0 &&
         control.transitionFrame != control.transitionFrames && control.snapshot != nullptr;
}

void ComposeAllControls(Control* first, GpGraphics* graphics, bool refresh) {
  for (Control* control = first; control != nullptr; control = control->nextSibling) {
    if (control->visible != 1) continue;
    if (refresh) DeliverMessage(control, kMsgRefresh, 0, 0);
    DrawImageWithOpacity(graphics, control->surface.get(), control->bounds, ComposedOpacity(*control));
    if (control->firstChild != nullptr) {
      SavedClip saved(graphics);
      SetClipRect(graphics, control->bounds, ClipMode::Intersect);
      ComposeAllControls(control->firstChild, graphics, refresh);
    }
    control->OnComposed(graphics);
  }
}

void ComposeControls(HostWindow& host, Control* first, const RectF& dirty, GpGraphics* graphics) {
  for (Control* control = first; control != nullptr; control = control->nextSibling) {
    if (control->visible != 1 || !RectsOverlap(control->bounds, dirty)) continue;
    Surface& scratch = ScratchSurface();
    TransitionPaintRecord record{host.surface.dc(),      graphics,
                                 scratch.dc(),           scratch.graphics(),
                                 control->surface.get(), control->snapshot.get(),
                                 control->bounds,        GetClipBounds(graphics),
                                 control->transitionFrame, control->transitionFrames};
    if (control->disabled != 0 || !TransitionRunning(*control)) {
      DrawImageWithOpacity(graphics, control->surface.get(), control->bounds, ComposedOpacity(*control));
    } else if (DeliverMessage(control, kMsgDrawTransition, 0, reinterpret_cast<LPARAM>(&record)) < 1) {
      DrawTransition(*control, record);
    }
    if (control->firstChild != nullptr) {
      SavedClip saved(graphics);
      SetClipRect(graphics, control->bounds, ClipMode::Intersect);
      ComposeControls(host, control->firstChild, dirty, graphics);
    }
    control->OnComposed(graphics);
  }
}

void DrawTransition(Control& control, const TransitionPaintRecord& record) {
  const RectF& rect = record.bounds;
  if (control.transitionStyle == 0) {
    const RECT clip = PixelBox(record.clip);
    const int clipWidth = clip.right - clip.left, clipHeight = clip.bottom - clip.top;
    BitBlt(record.scratchDC, clip.left, clip.top, clipWidth, clipHeight, record.surfaceDC, clip.left, clip.top,
           SRCCOPY);
    DrawImageWithOpacity(record.surfaceGraphics, record.snapshot, rect, control.opacity);
    DrawImageWithOpacity(record.scratchGraphics, record.surface, rect, control.opacity);
    gp::GdipFlush(record.scratchGraphics, Gdiplus::FlushIntentionSync);
    gp::GdipFlush(record.surfaceGraphics, Gdiplus::FlushIntentionSync);
    const int frames = std::max(record.frames, 1);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(control.opacity * record.frame / frames), 0};
    GdiAlphaBlend(record.surfaceDC, clip.left, clip.top, clipWidth, clipHeight, record.scratchDC, clip.left,
                  clip.top, clipWidth, clipHeight, blend);
    return;
  }
  const bool vertical = control.transitionStyle == 1 || control.transitionStyle == 2;
  const float extent = vertical ? rect.height : rect.width;
  const int step = static_cast<int>(extent / std::max(record.frames, 1));
  const float offset = static_cast<float>(step * record.frame);
  RectF old = rect, next = rect;
  switch (control.transitionStyle) {
    case 1:
      old.top += offset;
      next.top = old.top - rect.height;
      break;
    case 2:
      old.top -= offset;
      next.top = old.top + rect.height;
      break;
    case 3:
      old.left += offset;
      next.left = old.left - rect.width;
      break;
    default:
      old.left -= offset;
      next.left = old.left + rect.width;
      break;
  }
  DrawImageNatural(record.surfaceGraphics, record.snapshot, old);
  DrawImageNatural(record.surfaceGraphics, record.surface, next);
}

std::uint32_t AverageColor(HDC dc, GpImage* image) {
  if (image == nullptr) return 0;
  HBITMAP bitmap = nullptr;
  if (gp::GdipCreateHBITMAPFromBitmap(static_cast<GpBitmap*>(image), &bitmap, 0) != Gdiplus::Ok) return 0;
  GdiBitmapPtr owner(bitmap);
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  const int w = info.bmWidth, h = info.bmHeight;
  if (w <= 0 || h <= 0) return 0;

  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = w;
  header.bmiHeader.biHeight = h;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
  SelectObject(memory, previous);  // GetDIBits wants the bitmap unselected
  const int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), &header, DIB_RGB_COLORS);
  DeleteDC(memory);
  if (lines <= 0) return 0;

  std::uint64_t blue = 0, green = 0, red = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 4) {
    blue += pixels[i];
    green += pixels[i + 1];
    red += pixels[i + 2];
  }
  const std::uint64_t count = static_cast<std::uint64_t>(w) * h;
  return static_cast<std::uint32_t>(red / count) | (static_cast<std::uint32_t>(green / count) << 8) |
         (static_cast<std::uint32_t>(blue / count) << 16);
}

namespace {

std::function<void(const Presentation&)>& PresentObserver() {
  static std::function<void(const Presentation&)> observer;
  return observer;
}

void Notify(HWND window, HDC source, const RECT& area, bool layered) {
  if (PresentObserver()) PresentObserver()(Presentation{window, source, area, layered});
}

}  // namespace

void SetPresentObserver(std::function<void(const Presentation&)> observer) {
  PresentObserver() = std::move(observer);
}

void PresentLayered(HWND window, HDC source, int width, int height, const RECT* dirty) {
  SIZE size{width, height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.psize = &size;
  info.hdcSrc = source;
  info.pptSrc = &origin;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  // Only the changed part of the picture needs to travel to the screen.
  info.prcDirty = dirty;
  UpdateLayeredWindowIndirect(window, &info);
  Notify(window, source, dirty != nullptr ? *dirty : RECT{0, 0, width, height}, true);
}

void PresentByCopy(HWND window, HDC windowDC, HDC source, const RECT& area) {
  BitBlt(windowDC, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left, area.top,
         SRCCOPY);
  Notify(window, source, area, false);
}

// --- HostWindow: composition --------------------------------------------------

int HostWindow::Compose(Bytes image, std::optional<ArgbColor> colour, int presentMode, bool keepControlSurfaces) {
  busy = 1;
  HostWindow* owner = IsWindow(backgroundOwner) ? FromWindow(backgroundOwner) : nullptr;
  if (owner != nullptr && owner != this) {
    ReleaseBackgroundImage();
    backgroundImage = owner->backgroundImage;  // shared, not copied
    backgroundGeneration = owner->backgroundGeneration;
    backgroundColor = owner->backgroundColor;
  } else {
    if (!image.empty()) {
      ReleaseBackgroundImage();
      // Decoded once: a picture shown again is taken as it was.
      if (const BackgroundImages::Picture* picture = backgroundImages_.Get(image, surface.dc())) {
        backgroundImage = picture->image.get();
        backgroundGeneration = picture->generation;
        backgroundColor = picture->averageColour;
      } else {
        backgroundColor = 0;
      }
    }
    if (colour && *colour != kNoColour) backgroundColor = *colour;
  }

  // While a show or close effect runs it alone puts pictures on the screen:
  // the new composition shows when the effect is over, without a fade.
  const bool crossFade = presentMode == 1 && !effectRunning_;
  if (crossFade && IsLayered()) {
    fade.Create(nullptr, width, height);
    BitBlt(fade.dc(), 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
  }

  GpGraphics* graphics = surface.graphics();
  ComposeFrameLayer();

  if (frameStyle != 1) {
    // The controls' clip depends on the size and the corners alone.
    const ClipKey clip{width, height, frameStyle != 0};
    if (!clipRegion || !(clip == clipKey_)) {
      HRGN inner = MakeFrameRegion(width, height, 7, 3, frameStyle != 0);
      clipRegion = ToGdipRegion(inner);
      DeleteObject(inner);
      clipKey_ = clip;
    }
    SetClipRegion(graphics, clipRegion.get(), ClipMode::Replace);
  } else {
    clipRegion.reset();  // a frameless window clips nothing
  }
  redrawQueue.Bind(this);
  LayoutCaption();
  ComposeAllControls(firstControl, graphics, !keepControlSurfaces);
  if (frameStyle != 1) ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  busy = effectRunning_ ? 1 : 0;
  // Everything is drawn now, including what waited while the window was busy.
  deferredRedraws_.clear();
  AddDirty(WholeWindow(*this));

  if (blurBehind == 1 && IsLayered()) EnableBlur(hwnd, 6, 6, width - 5, height - 5, 6, frameStyle, windowAlpha);

  if (presentMode == 0) {
    PresentRect(WholeWindow(*this));
  } else if (crossFade) {
    busy = 1;
    fadeAlpha = 0;
    fading_ = true;
    StartTimer(hwnd, FadeTimerId(), kFadeInterval, &HostWindow::FadeTimerProc);
  }
  return 1;
}

void HostWindow::ComposeFrameLayer() {
  // A background hook may draw something else each time: no copies then.
  const bool copies = onPaintBackground == nullptr;
  const FrameKey key = FrameKeyOf(*this);
  const bool backHoldsIt = copies && backFrame_ && *backFrame_ == key;
  if (backHoldsIt || (copies && frameCache_.CopyTo(key, back.dc()))) {
    BitBlt(surface.dc(), 0, 0, width, height, back.dc(), 0, 0, SRCCOPY);
    backFrame_ = key;
    // The window region is the window's, not the picture's: set it again.
    if (!IsLayered() && frameStyle != 1) SetWindowFrameRegion(hwnd, width, height, 6, 5, frameStyle);
    ++framesCopied;
    return;
  }
  surface.Clear();
  PaintFrame(*this);
  BitBlt(back.dc(), 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
  if (copies) {
    frameCache_.Keep(key, surface.dc());
    backFrame_ = key;
  } else {
    backFrame_.reset();
  }
}

void CALLBACK HostWindow::FadeTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
  HostWindow* host = FromWindow(window);
  if (host == nullptr || host->FadeTimerId() != id || !host->fading_) {
    KillTimer(window, id);
    return;
  }
  host->FadeTick();
}

void HostWindow::FadeTick() {
  HDC destination = windowDC;
  if (IsLayered()) {
    // Each tick shows the blend of the tick before.
    ui::PresentLayered(hwnd, fade.dc(), width, height);
    destination = fade.dc();
  }
  fadeAlpha = std::min(fadeAlpha + kFadeStep, 255);
  if (IsLayered()) {
    // Both pictures are surfaces of the window's size: blended in memory.
    BlendConstant(fade.Pixels(), surface.Pixels(), surface.PixelCount(), fadeAlpha);
  } else {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(fadeAlpha), 0};
    GdiAlphaBlend(destination, 0, 0, width, height, surface.dc(), 0, 0, width, height, blend);
  }
  if (fadeAlpha < 255) return;
  EndFade();
  if (IsLayered()) PresentChanges();
  EndBusy();
}

void HostWindow::EndFade() {
  KillTimer(hwnd, FadeTimerId());
  fade.Release();
  fading_ = false;
}

void HostWindow::BeginEffect() {
  // A cross-fade still running ends here: its new picture is composed
  // already, and the effect plays from it.
  if (fading_) EndFade();
  effectRunning_ = true;
  closed_ = false;
  busy = 1;
}

void HostWindow::EndEffect(bool closed) {
  effectRunning_ = false;
  // After a close effect the window stays transparent until it is hidden.
  closed_ = closed;
  EndBusy();
}

void HostWindow::EndBusy() {
  busy = 0;
  if (deferredRedraws_.empty()) return;
  std::vector<RectF> pending;
  pending.swap(deferredRedraws_);
  for (const RectF& rect : pending) redrawQueue.Enqueue(rect);
  if (redrawQueue.IsIdle()) redrawQueue.Flush();
}

void HostWindow::OnSized(HWND window, int mode) {
  if (mode == SIZE_MINIMIZED) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  const int newWidth = rect.right - rect.left, newHeight = rect.bottom - rect.top;
  if (newWidth == width && newHeight == height) return;
  width = newWidth;
  height = newHeight;
  if (onResize != nullptr) onResize(window, width, height);
  surface.CreateWithGraphics(width, height);
  back.Create(windowDC, width, height);
  backFrame_.reset();
  GrowScratchSurface(width, height);
  Compose({}, backgroundColor, 0, true);
}

void HostWindow::Invalidate(const RectF& rect, RedrawMode mode) { redrawQueue.Add(rect, mode); }

void HostWindow::RedrawRect(const RectF& rect, bool present) {
  if (busy == 1) {
    // Drawn when the window is done with what keeps it busy.
    deferredRedraws_.push_back(rect);
    return;
  }
  GpGraphics* graphics = surface.graphics();
  if (clipRegion) SetClipRegion(graphics, clipRegion.get(), ClipMode::Replace);
  SetClipRect(graphics, rect, ClipMode::Intersect);
  const RECT box = PixelBox(rect);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  BitBlt(surface.dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, back.dc(), box.left, box.top,
         SRCCOPY);
  ComposeControls(*this, firstControl, rect, graphics);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  AddDirty(rect);
  if (present) PresentRect(rect);
}

void HostWindow::PresentRect(const RectF& rect) {
  if (busy == 1 || closed_) return;
  if (IsLayered()) {
    // A layered window always gets the whole picture; the dirty rectangle
    // only tells the system which part changed.
    AddDirty(rect);
    PresentChanges();
    return;
  }
  RECT box = PixelBox(rect);
  const RECT whole{0, 0, width, height};
  IntersectRect(&box, &box, &whole);
  ++presentations;
  PresentByCopy(hwnd, windowDC, surface.dc(), box);
}

void HostWindow::AddDirty(const RectF& rect) {
  RECT box = PixelBox(rect);
  RECT whole{0, 0, width, height};
  IntersectRect(&box, &box, &whole);
  if (IsRectEmpty(&box)) return;
  if (IsRectEmpty(&dirty_)) dirty_ = box;
  else UnionRect(&dirty_, &dirty_, &box);
}

void HostWindow::PresentLayered() {
  if (busy == 1 || closed_) return;
  PresentChanges();
}

void HostWindow::PresentWhole() {
  if (!IsLayered()) return;
  AddDirty(WholeWindow(*this));
  PresentLayered();
}

void HostWindow::PresentChanges() {
  ++presentations;
  // Without a known change (a composition, a fade) the whole window goes.
  const RECT* dirty = IsRectEmpty(&dirty_) ? nullptr : &dirty_;
  ui::PresentLayered(hwnd, surface.dc(), width, height, dirty);
  dirty_ = RECT{};
}

void HostWindow::PresentLayeredSurface(HDC source) { ui::PresentLayered(hwnd, source, width, height); }

void HostWindow::Present(const RectF& rect, bool whole) { PresentRect(whole ? rect : WholeWindow(*this)); }

}  // namespace ui
