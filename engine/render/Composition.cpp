// Drawing a chain of items onto a composition, their transitions, and
// putting a picture on the screen.
#include "Composition.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "FramePainter.h"
#include "PixelBlend.h"
#include "Primitives.h"
#include "Surface.h"
#include "engine/core/ImageLoader.h"

namespace ui {
namespace {

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

// The pixels a rectangle touches, rounded outwards.
RECT PixelBox(const RectF& rect) {
  return {static_cast<LONG>(std::floor(rect.left)), static_cast<LONG>(std::floor(rect.top)),
          static_cast<LONG>(std::ceil(rect.Right())), static_cast<LONG>(std::ceil(rect.Bottom()))};
}

}  // namespace

bool TransitionRunning(const TransitionState& transition) {
  // Without a snapshot there is nothing to blend from: a finished transition
  // leaves its frame counter at 0, which must not read as "running".
  return transition.interval != 0 && transition.frames != 0 && transition.frame != transition.frames &&
         transition.snapshot != nullptr;
}

void ComposeAllItems(Drawable* first, GpGraphics* graphics, bool refresh, const DisplayScale& scale) {
  for (Drawable* item = first; item != nullptr; item = item->NextItem()) {
    if (!item->IsShown()) continue;
    if (refresh) item->RefreshSurface();
    const RectF bounds = scale.ToDeviceRect(item->DrawBounds());
    DrawImageWithOpacity(graphics, item->DrawSurface(), bounds, item->DrawOpacity());
    if (Drawable* child = item->FirstChildItem()) {
      SavedClip saved(graphics);
      SetClipRect(graphics, bounds, ClipMode::Intersect);
      ComposeAllItems(child, graphics, refresh, scale);
    }
    item->OnComposed(graphics);
  }
}

void ComposeItems(HDC surfaceDC, Drawable* first, const RectF& dirty, GpGraphics* graphics, const DisplayScale& scale) {
  for (Drawable* item = first; item != nullptr; item = item->NextItem()) {
    if (!item->IsShown() || !RectsOverlap(item->DrawBounds(), dirty)) continue;
    const RectF bounds = scale.ToDeviceRect(item->DrawBounds());
    Surface& scratch = ScratchSurface();
    const TransitionState transition = item->DrawTransitionState();
    TransitionPaintRecord record{surfaceDC,
                                 graphics,
                                 scratch.dc(),
                                 scratch.graphics(),
                                 item->DrawSurface(),
                                 transition.snapshot,
                                 bounds,
                                 GetClipBounds(graphics),
                                 transition.frame,
                                 transition.frames};
    if (item->IsDisabled() || !TransitionRunning(transition)) {
      DrawImageWithOpacity(graphics, item->DrawSurface(), bounds, item->DrawOpacity());
    } else if (!item->PaintTransition(record)) {
      DrawTransition(transition.style, item->DrawOpacity(), record);
    }
    if (Drawable* child = item->FirstChildItem()) {
      SavedClip saved(graphics);
      SetClipRect(graphics, bounds, ClipMode::Intersect);
      ComposeItems(surfaceDC, child, dirty, graphics, scale);
    }
    item->OnComposed(graphics);
  }
}

void DrawTransition(int style, int opacity, const TransitionPaintRecord& record) {
  const RectF& rect = record.bounds;
  if (style == 0) {
    const RECT clip = PixelBox(record.clip);
    const int clipWidth = clip.right - clip.left, clipHeight = clip.bottom - clip.top;
    BitBlt(record.scratchDC, clip.left, clip.top, clipWidth, clipHeight, record.surfaceDC, clip.left, clip.top,
           SRCCOPY);
    DrawImageWithOpacity(record.surfaceGraphics, record.snapshot, rect, opacity);
    DrawImageWithOpacity(record.scratchGraphics, record.surface, rect, opacity);
    gp::GdipFlush(record.scratchGraphics, Gdiplus::FlushIntentionSync);
    gp::GdipFlush(record.surfaceGraphics, Gdiplus::FlushIntentionSync);
    const int frames = std::max(record.frames, 1);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacity * record.frame / frames), 0};
    GdiAlphaBlend(record.surfaceDC, clip.left, clip.top, clipWidth, clipHeight, record.scratchDC, clip.left, clip.top,
                  clipWidth, clipHeight, blend);
    return;
  }
  const bool vertical = style == 1 || style == 2;
  const float extent = vertical ? rect.height : rect.width;
  const int step = static_cast<int>(extent / std::max(record.frames, 1));
  const float offset = static_cast<float>(step * record.frame);
  RectF old = rect, next = rect;
  switch (style) {
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

void SetPresentObserver(std::function<void(const Presentation&)> observer) { PresentObserver() = std::move(observer); }

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

}  // namespace ui
