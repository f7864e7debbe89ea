#include "Compositor.h"

#include <algorithm>
#include <cmath>

#include "Composition.h"
#include "FramePainter.h"
#include "PixelBlend.h"
#include "Primitives.h"
#include "engine/core/PictureVariants.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"

namespace ui {
namespace {

constexpr UINT kFadeInterval = 50;
constexpr int kFadeStep = 51;
constexpr std::uint32_t kNoColour = 0xFFFFFFFF;

RECT AsRect(const DeviceBox& box) { return {box.left, box.top, box.right, box.bottom}; }

// The compositors that exist: a fade timer names its compositor by address,
// and a timer that outlived it must not reach it. Never freed, so that a
// compositor ending during the process's exit still finds it.
std::vector<Compositor*>& LiveCompositors() {
  static auto* const live = new std::vector<Compositor*>;
  return *live;
}

}  // namespace

Compositor::Compositor() { LiveCompositors().push_back(this); }

Compositor::~Compositor() {
  Detach();
  std::vector<Compositor*>& live = LiveCompositors();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void Compositor::Attach(HWND window, int width, int height, CompositionClient client, DisplayScale scale) {
  window_ = window;
  client_ = std::move(client);
  width_ = width;
  height_ = height;
  scale_ = scale;
  windowDC_ = GetDC(window);
  surface_.CreateWithGraphics(DeviceWidth(), DeviceHeight());
  back_.Create(windowDC_, DeviceWidth(), DeviceHeight());
  backFrame_.reset();
  GrowScratchSurface(DeviceWidth(), DeviceHeight());
  redrawQueue_.Bind(this);
}

void Compositor::Detach() {
  redrawQueue_.Clear();
  deferredRedraws_.clear();
  clipRegion_.reset();
  ReleaseBackgroundImage();
  backgroundImages_.Clear();
  frameCache_.Clear();
  backFrame_.reset();
  if (window_ != nullptr) EndFade();
  surface_.Release();
  back_.Release();
  if (windowDC_ != nullptr) ReleaseDC(window_, windowDC_);
  windowDC_ = nullptr;
  window_ = nullptr;
  client_ = {};
}

bool Compositor::SetSize(int width, int height) {
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  return true;
}

bool Compositor::SetScale(DisplayScale scale) {
  if (scale == scale_) return false;
  scale_ = scale;
  // The clip and the frames painted before were made at the old scale.
  clipRegion_.reset();
  frameCache_.Clear();
  backgroundForOtherScale_ = !backgroundBase_.empty();
  return true;
}

void Compositor::ResizeSurfaces() {
  surface_.CreateWithGraphics(DeviceWidth(), DeviceHeight());
  back_.Create(windowDC_, DeviceWidth(), DeviceHeight());
  backFrame_.reset();
  GrowScratchSurface(DeviceWidth(), DeviceHeight());
}

void Compositor::ReleaseBackgroundImage() {
  backgroundImage_ = nullptr;
  backgroundGeneration_ = 0;
}

void Compositor::Compose(Bytes image, std::optional<ArgbColor> colour, int presentMode, bool keepItemSurfaces,
                         const Compositor* owner) {
  busy_ = true;
  if (owner != nullptr && owner != this) {
    ReleaseBackgroundImage();
    backgroundImage_ = owner->backgroundImage_;  // shared, not copied
    backgroundGeneration_ = owner->backgroundGeneration_;
    backgroundColor_ = owner->backgroundColor_;
  } else {
    // After a change of scale the picture is chosen again for the new one.
    std::vector<std::uint8_t> base;
    if (image.empty() && backgroundForOtherScale_) {
      base.swap(backgroundBase_);
      image = base;
    }
    if (!image.empty()) {
      ReleaseBackgroundImage();
      // The drawing of the picture made for the scale (the picture itself
      // at 96 dpi), decoded once: a picture shown again is taken as it was.
      const PictureChoice choice = PictureForScale(image, scale_.Dpi());
      backgroundPercent_ = choice.percent;
      backgroundBase_.assign(image.begin(), image.end());
      backgroundForOtherScale_ = false;
      if (const BackgroundImages::Picture* picture = backgroundImages_.Get(choice.bytes, surface_.dc())) {
        backgroundImage_ = picture->image.get();
        backgroundGeneration_ = picture->generation;
        backgroundColor_ = picture->averageColour;
      } else {
        backgroundColor_ = 0;
      }
    }
    if (colour && *colour != kNoColour) backgroundColor_ = *colour;
  }

  // While a show or close effect runs it alone puts pictures on the screen:
  // the new composition shows when the effect is over, without a fade.
  const bool crossFade = presentMode == kPresentCrossFade && !effectRunning_;
  const int deviceWidth = DeviceWidth(), deviceHeight = DeviceHeight();
  if (crossFade && IsLayered()) {
    fade_.Create(nullptr, deviceWidth, deviceHeight);
    BitBlt(fade_.dc(), 0, 0, deviceWidth, deviceHeight, surface_.dc(), 0, 0, SRCCOPY);
  }

  GpGraphics* graphics = surface_.graphics();
  ComposeFrameLayer();

  const int frameStyle = settings_.frameStyle;
  if (frameStyle != 1) {
    // The items' clip depends on the size and the corners alone.
    const ClipKey clip{deviceWidth, deviceHeight, frameStyle != 0};
    if (!clipRegion_ || !(clip == clipKey_)) {
      HRGN inner = MakeFrameRegion(deviceWidth, deviceHeight, scale_.ToDevice(7), scale_.ToDevice(3), frameStyle != 0);
      clipRegion_ = ToGdipRegion(inner);
      DeleteObject(inner);
      clipKey_ = clip;
    }
    SetClipRegion(graphics, clipRegion_.get(), ClipMode::Replace);
  } else {
    clipRegion_.reset();  // a frameless window clips nothing
  }
  redrawQueue_.Bind(this);
  if (client_.layout) client_.layout();
  ComposeAllItems(client_.firstItem ? client_.firstItem() : nullptr, graphics, !keepItemSurfaces, scale_);
  if (frameStyle != 1) ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  busy_ = effectRunning_;
  // Everything is drawn now, including what waited while the window was busy.
  deferredRedraws_.clear();
  AddDirty(MakeRectF(0, 0, width_, height_));

  if (settings_.blurBehind == 1 && IsLayered()) {
    EnableBlur(window_, scale_.ToDevice(6), scale_.ToDevice(6), deviceWidth - scale_.ToDevice(5),
               deviceHeight - scale_.ToDevice(5), scale_.ToDevice(6), frameStyle, settings_.windowAlpha);
  }

  if (presentMode == kPresentAtOnce) {
    PresentRect(MakeRectF(0, 0, width_, height_));
  } else if (crossFade) {
    busy_ = true;
    fadeAlpha_ = 0;
    fading_ = true;
    StartTimer(window_, FadeTimerId(), kFadeInterval, &Compositor::FadeTimerProc);
  }
}

FrameKey Compositor::CurrentFrameKey() const {
  return FrameKeyOf(settings_, DeviceWidth(), DeviceHeight(), backgroundColor_,
                    backgroundImage_ != nullptr ? backgroundGeneration_ : 0, scale_.Dpi());
}

void Compositor::ComposeFrameLayer() {
  // A background hook may draw something else each time: no copies then.
  const bool copies = !client_.paintBackground;
  const FrameKey key = CurrentFrameKey();
  const bool backHoldsIt = copies && backFrame_ && *backFrame_ == key;
  if (backHoldsIt || (copies && frameCache_.CopyTo(key, back_.dc()))) {
    BitBlt(surface_.dc(), 0, 0, DeviceWidth(), DeviceHeight(), back_.dc(), 0, 0, SRCCOPY);
    backFrame_ = key;
    // The window region is the window's, not the picture's: set it again.
    if (!IsLayered() && settings_.frameStyle != 1) {
      SetWindowFrameRegion(window_, DeviceWidth(), DeviceHeight(), scale_.ToDevice(6), scale_.ToDevice(5),
                           settings_.frameStyle);
    }
    ++framesCopied_;
    return;
  }
  surface_.Clear();
  PaintFrameLayer();
  BitBlt(back_.dc(), 0, 0, DeviceWidth(), DeviceHeight(), surface_.dc(), 0, 0, SRCCOPY);
  if (copies) {
    frameCache_.Keep(key, surface_.dc());
    backFrame_ = key;
  } else {
    backFrame_.reset();
  }
}

void Compositor::PaintFrameLayer() {
  PaintFrame(FramePicture{surface_, window_, DeviceWidth(), DeviceHeight(), settings_, backgroundImage_,
                          backgroundColor_, client_.paintBackground ? &client_.paintBackground : nullptr, scale_,
                          width_, height_, backgroundPercent_});
}

void CALLBACK Compositor::FadeTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
  const std::vector<Compositor*>& live = LiveCompositors();
  const auto found = std::find_if(live.begin(), live.end(), [&](const Compositor* compositor) {
    return compositor->window_ == window && compositor->FadeTimerId() == id;
  });
  if (found == live.end() || !(*found)->fading_) {
    KillTimer(window, id);
    return;
  }
  (*found)->FadeTick();
}

void Compositor::FadeTick() {
  HDC destination = windowDC_;
  if (IsLayered()) {
    // Each tick shows the blend of the tick before.
    ui::PresentLayered(window_, fade_.dc(), DeviceWidth(), DeviceHeight());
    destination = fade_.dc();
  }
  fadeAlpha_ = std::min(fadeAlpha_ + kFadeStep, 255);
  if (IsLayered()) {
    // Both pictures are surfaces of the window's size: blended in memory.
    BlendConstant(fade_.Pixels(), surface_.Pixels(), surface_.PixelCount(), fadeAlpha_);
  } else {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(fadeAlpha_), 0};
    GdiAlphaBlend(destination, 0, 0, DeviceWidth(), DeviceHeight(), surface_.dc(), 0, 0, DeviceWidth(), DeviceHeight(),
                  blend);
  }
  if (fadeAlpha_ < 255) return;
  EndFade();
  if (IsLayered()) PresentChanges();
  EndBusy();
}

void Compositor::EndFade() {
  KillTimer(window_, FadeTimerId());
  fade_.Release();
  fading_ = false;
}

void Compositor::BeginEffect() {
  // A cross-fade still running ends here: its new picture is composed
  // already, and the effect plays from it.
  if (fading_) EndFade();
  effectRunning_ = true;
  closed_ = false;
  busy_ = true;
}

void Compositor::EndEffect(bool closed) {
  effectRunning_ = false;
  // After a close effect the window stays transparent until it is hidden.
  closed_ = closed;
  EndBusy();
}

void Compositor::EndBusy() {
  busy_ = false;
  if (deferredRedraws_.empty()) return;
  std::vector<RectF> pending;
  pending.swap(deferredRedraws_);
  for (const RectF& rect : pending) redrawQueue_.Enqueue(rect);
  if (redrawQueue_.IsIdle()) redrawQueue_.Flush();
}

void Compositor::RedrawRect(const RectF& rect, bool present) {
  if (busy_) {
    // Drawn when the window is done with what keeps it busy.
    deferredRedraws_.push_back(rect);
    return;
  }
  GpGraphics* graphics = surface_.graphics();
  if (clipRegion_) SetClipRegion(graphics, clipRegion_.get(), ClipMode::Replace);
  SetClipRect(graphics, scale_.CoveringRect(rect), ClipMode::Intersect);
  const RECT box = AsRect(scale_.CoveringBox(rect));
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  BitBlt(surface_.dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, back_.dc(), box.left, box.top,
         SRCCOPY);
  ComposeItems(surface_.dc(), client_.firstItem ? client_.firstItem() : nullptr, rect, graphics, scale_);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  AddDirty(rect);
  if (present) PresentRect(rect);
}

void Compositor::PresentRect(const RectF& rect) {
  if (busy_ || closed_) return;
  if (IsLayered()) {
    // A layered window always gets the whole picture; the dirty rectangle
    // only tells the system which part changed.
    AddDirty(rect);
    PresentChanges();
    return;
  }
  RECT box = AsRect(scale_.CoveringBox(rect));
  const RECT whole{0, 0, DeviceWidth(), DeviceHeight()};
  IntersectRect(&box, &box, &whole);
  PresentByCopy(window_, windowDC_, surface_.dc(), box);
}

void Compositor::AddDirty(const RectF& rect) {
  RECT box = AsRect(scale_.CoveringBox(rect));
  RECT whole{0, 0, DeviceWidth(), DeviceHeight()};
  IntersectRect(&box, &box, &whole);
  if (IsRectEmpty(&box)) return;
  if (IsRectEmpty(&dirty_)) dirty_ = box;
  else UnionRect(&dirty_, &dirty_, &box);
}

void Compositor::PresentLayered() {
  if (busy_ || closed_) return;
  PresentChanges();
}

void Compositor::PresentWhole() {
  if (!IsLayered()) return;
  AddDirty(MakeRectF(0, 0, width_, height_));
  PresentLayered();
}

void Compositor::PresentChanges() {
  // Without a known change (a composition, a fade) the whole window goes.
  const RECT* dirty = IsRectEmpty(&dirty_) ? nullptr : &dirty_;
  ui::PresentLayered(window_, surface_.dc(), DeviceWidth(), DeviceHeight(), dirty);
  dirty_ = RECT{};
}

void Compositor::PresentLayeredSurface(HDC source) {
  ui::PresentLayered(window_, source, DeviceWidth(), DeviceHeight());
}

void Compositor::PresentOverlay(const std::function<void(GpGraphics* graphics)>& draw, const RectF& rect) {
  draw(surface_.graphics());
  gp::GdipFlush(surface_.graphics(), Gdiplus::FlushIntentionSync);
  if (IsLayered()) {
    SendMessageW(window_, kMsgPresentLayered, 0, 0);
  } else {
    PresentByCopy(window_, windowDC_, surface_.dc(), AsRect(scale_.CoveringBox(rect)));
  }
}

}  // namespace ui
