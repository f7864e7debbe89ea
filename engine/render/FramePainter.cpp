#include "FramePainter.h"

#include <algorithm>

#include "EdgeFade.h"
#include "EdgeOutlineLayer.h"
#include "LockedPicture.h"
#include "PixelBlend.h"
#include "Primitives.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/Engine.h"
#include "engine/core/ImageLoader.h"
#include "engine/core/SystemLibraries.h"

namespace ui {
namespace {

constexpr std::uint32_t kNoColour = 0xFFFFFFFF;
const std::uint32_t kOuterBorderRgb = Rgb(96, 96, 96);
constexpr int kOuterBorderAlpha = 204;
constexpr int kInnerBorderAlpha = 102;

bool Rounded(int frameStyle) { return frameStyle != 0; }

// The edge band the frame's outlines keep within, at the scale.
int FrameBand(const DisplayScale& scale) {
  return std::max(EdgeOutlineLayer::kEdgeBand, scale.ToDevice(EdgeOutlineLayer::kEdgeBand));
}

std::uint32_t RgbOf(std::uint32_t colour) { return colour & 0x00FFFFFF; }

// The image at its own size, its top-left corner at (x, y), within the
// body: laid over the surface in memory when its pixels can be read there,
// drawn through the graphics (clipped to the body) when not.
// The logical size of a picture drawn at `percent`.
int LogicalSide(int pixels, int percent) { return percent == 100 ? pixels : (pixels * 100 + percent / 2) / percent; }

// The picture pixel for pixel with its top-left corner at (x, y) of the
// surface, within the body: laid over the surface in memory when its pixels
// can be read there, drawn through the graphics (clipped to the body) when
// not.
void LayPictureOver(Surface& surface, GpGraphics* graphics, HRGN body, GpImage* image, int x, int y) {
  const LockedPicture picture(image);
  if (!picture) {
    gp::GdipDrawImageRectI(graphics, image, x, y, ImageWidth(image), ImageHeight(image));
    return;
  }
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  surface.LayOver(body, picture.rows(), x, y);
}

void DrawImageAtOwnSize(Surface& surface, GpGraphics* graphics, HRGN body, GpImage* image, int x, int y,
                        const DisplayScale& scale, int percent) {
  if (!scale.IsIdentity() || percent != 100) {
    const int left = scale.ToDevice(x), top = scale.ToDevice(y);
    // Drawn for this very scale: pixel for pixel; else its logical size on
    // the device, filtered (the graphics is clipped to the body).
    if (percent * 96 == scale.Dpi() * 100) {
      LayPictureOver(surface, graphics, body, image, left, top);
      return;
    }
    DrawImageFiltered(graphics, image,
                      RectF{static_cast<float>(left), static_cast<float>(top),
                            static_cast<float>(scale.SizeToDevice(LogicalSide(ImageWidth(image), percent), x)),
                            static_cast<float>(scale.SizeToDevice(LogicalSide(ImageHeight(image), percent), y))});
    return;
  }
  const LockedPicture picture(image);
  if (!picture) {
    gp::GdipDrawImageRect(graphics, image, static_cast<float>(x), static_cast<float>(y),
                          static_cast<float>(ImageWidth(image)), static_cast<float>(ImageHeight(image)));
    return;
  }
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  surface.LayOver(body, picture.rows(), x, y);
}

// Under the image, the body is the background colour, opaque; it is set in
// memory, as a clear within the body's clip would set it.
void PaintBackgroundImage(const FramePicture& frame, GpGraphics* graphics, HRGN body) {
  GpImage* image = frame.backgroundImage;
  const int imageWidth = LogicalSide(ImageWidth(image), frame.picturePercent);
  const int imageHeight = LogicalSide(ImageHeight(image), frame.picturePercent);
  const float w = static_cast<float>(imageWidth), h = static_cast<float>(imageHeight);
  frame.surface.FillRegion(body, ArgbFromRgb(RgbOf(frame.backgroundColor), 255));

  const DisplayScale& scale = frame.scale;
  const auto device = [&scale](const RectF& rect) { return scale.ToDeviceRect(rect); };
  switch (frame.settings.backgroundMode) {
    case 0:
      DrawImageAtOwnSize(frame.surface, graphics, body, image, kShadowBand, kShadowBand, scale, frame.picturePercent);
      if (frame.settings.edgeFade == 1) {
        FillEdgeFade(graphics, device({0, 0, w, h}), RgbOf(frame.backgroundColor), 100, kFadeBottom | kFadeRight,
                     scale.ToDevice(6));
      }
      break;
    case 1: {
      const int band = scale.ToDevice(kShadowBand);
      const RectF area{static_cast<float>(band), static_cast<float>(band), static_cast<float>(frame.width - 2 * band),
                       static_cast<float>(frame.height - 2 * band)};
      if (scale.IsIdentity()) gp::GdipDrawImageRect(graphics, image, area.left, area.top, area.width, area.height);
      else DrawImageFiltered(graphics, image, area);
      break;
    }
    case 2: {
      const int x = static_cast<int>((frame.logicalWidth - w) * 0.5f);
      const int y = static_cast<int>((frame.logicalHeight - h) * 0.5f);
      DrawImageAtOwnSize(frame.surface, graphics, body, image, x, y, scale, frame.picturePercent);
      if (frame.settings.edgeFade == 1) {
        FillEdgeFade(graphics, device({static_cast<float>(x - 1), static_cast<float>(y - 1), w + 1, h + 1}),
                     RgbOf(frame.backgroundColor), 100, kFadeTop | kFadeLeft | kFadeBottom | kFadeRight,
                     scale.ToDevice(6));
      }
      break;
    }
    default:
      break;
  }

  if ((frame.settings.windowAlpha != -1)) {
    // The background layer of a layered window is windowAlpha/255 opaque:
    // what is painted so far is scaled in place, in one pass.
    gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    if (std::uint32_t* pixels = frame.surface.Pixels())
      ScalePremultiplied(pixels, frame.surface.PixelCount(), frame.settings.windowAlpha);
  }
}

// The application's background hook draws as part of the background: over
// the colour or image, under the border and the shadow.
void CallBackgroundHook(const FramePicture& frame, GpGraphics* graphics) {
  if (frame.paintBackground == nullptr || !*frame.paintBackground) return;
  // The application draws in logical pixels: through the scale.
  if (!frame.scale.IsIdentity()) {
    gp::GdipScaleWorldTransform(graphics, frame.scale.Factor(), frame.scale.Factor(), Gdiplus::MatrixOrderPrepend);
  }
  (*frame.paintBackground)(graphics, frame.logicalWidth, frame.logicalHeight);
  if (!frame.scale.IsIdentity()) gp::GdipResetWorldTransform(graphics);
}

void PaintFramelessBackground(const FramePicture& frame, GpGraphics* graphics) {
  if (frame.backgroundImage == nullptr) return;
  const RectF whole = MakeRectF(0, 0, frame.width, frame.height);
  if (IsRectEmpty(&frame.settings.nineGrid)) DrawImageNatural(graphics, frame.backgroundImage, whole);
  else DrawImageNineSlice(graphics, frame.backgroundImage, whole, frame.settings.nineGrid);
}

}  // namespace

void PaintFrame(const FramePicture& frame) {
  GpGraphics* graphics = frame.surface.graphics();
  if (frame.settings.frameStyle == 1) {
    PaintFramelessBackground(frame, graphics);
    CallBackgroundHook(frame, graphics);
    gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    return;
  }
  const DisplayScale& scale = frame.scale;
  HRGN body = MakeFrameRegion(frame.width, frame.height, scale.ToDevice(6), scale.ToDevice(4),
                              Rounded(frame.settings.frameStyle));
  // The body region is (6, 6, width - 5, height - 5), scaled.
  RegionPtr clip = ToGdipRegion(body);
  SetClipRegion(graphics, clip.get(), ClipMode::Replace);
  if (frame.backgroundImage != nullptr) {
    PaintBackgroundImage(frame, graphics, body);
  } else {
    const int alpha = frame.settings.windowAlpha == -1 ? 255 : frame.settings.windowAlpha;
    gp::GdipGraphicsClear(graphics, ArgbFromRgb(RgbOf(frame.backgroundColor), alpha));
  }
  DeleteObject(body);
  CallBackgroundHook(frame, graphics);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);

  DrawBorder(frame.surface, frame.settings.frameStyle, scale);
  if (!(frame.settings.windowAlpha != -1)) {
    SetWindowFrameRegion(frame.window, frame.width, frame.height, scale.ToDevice(6), scale.ToDevice(5),
                         frame.settings.frameStyle);
  } else if (frame.settings.shadow) {
    const std::uint32_t colour =
        frame.settings.shadowColor == kNoColour ? Rgb(0, 0, 0) : RgbOf(frame.settings.shadowColor);
    DrawShadow(frame.surface, frame.settings.frameStyle, colour, scale);
  }
}

void DrawBorder(Surface& target, int frameStyle, const DisplayScale& scale) {
  const ArgbColor outerColour = ArgbFromRgb(kOuterBorderRgb, kOuterBorderAlpha);
  const ArgbColor innerColour = ArgbFromRgb(Rgb(255, 255, 255), kInnerBorderAlpha);
  const bool rounded = Rounded(frameStyle);
  const int inset = scale.ToDevice(6), corner = scale.ToDevice(7);
  const int band = FrameBand(scale);
  // Each outline is clipped to the body of the window it is drawn for.
  const auto withinBody = [rounded, &scale](GpGraphics* graphics, int width, int height) {
    HRGN body = MakeFrameRegion(width, height, scale.ToDevice(6), scale.ToDevice(4), rounded);
    RegionPtr clip = ToGdipRegion(body);
    DeleteObject(body);
    SetClipRegion(graphics, clip.get(), ClipMode::Replace);
  };
  EdgeOutlineLayer::Draw(
      target,
      [&](GpGraphics* graphics, int width, int height) {
        withinBody(graphics, width, height);
        const RectF outer = MakeRectF(inset, inset, width - 2 * inset, height - 2 * inset);
        if (rounded) DrawRoundRectOutline(graphics, outer, static_cast<float>(corner), outerColour);
        else DrawRectOutline(graphics, outer, outerColour);
      },
      band);
  EdgeOutlineLayer::Draw(
      target,
      [&](GpGraphics* graphics, int width, int height) {
        withinBody(graphics, width, height);
        const RectF inner = MakeRectF(inset + 1, inset + 1, width - 2 * inset - 2, height - 2 * inset - 2);
        if (rounded) DrawRoundRectOutline(graphics, inner, static_cast<float>(corner - 1), innerColour);
        else DrawRectOutline(graphics, inner, innerColour);
      },
      band);
}

void DrawShadow(Surface& target, int frameStyle, std::uint32_t rgb, const DisplayScale& scale) {
  const int* corners = Rounded(frameStyle) ? kRoundShadowCorners : kSquareShadowCorners;
  const int shadowBand = scale.ToDevice(kShadowBand);
  // Device rings outwards from the content's edge, as many as the four
  // logical rings cover; unscaled, the four rings themselves.
  const int rings = scale.ToDevice(4);
  for (int j = 0; j < rings; ++j) {
    const int k = std::min(3, scale.ToLogical(j));
    const float corner =
        scale.IsIdentity() ? static_cast<float>(corners[k]) : scale.ToDevice(static_cast<float>(corners[k]));
    EdgeOutlineLayer::Draw(
        target,
        [&](GpGraphics* graphics, int width, int height) {
          const RectF ring = MakeRectF(shadowBand - j, shadowBand - j, width - 2 * shadowBand + 2 * j,
                                       height - 2 * shadowBand + 2 * j);
          DrawRoundRectOutline(graphics, ring, corner, ArgbFromRgb(rgb, kShadowAlphas[k]));
        },
        FrameBand(scale));
  }
}

void SetWindowFrameRegion(HWND window, int width, int height, int inset, int corner, int frameStyle) {
  if (!Rounded(frameStyle)) corner = 0;
  if (IsZoomed(window)) inset -= 1;
  HRGN region = CreateRoundRectRgn(inset, inset, width - inset + 1, height - inset + 1, corner, corner);
  // The window owns the region from here on.
  SetWindowRgn(window, region, TRUE);
}

bool EnableBlur(HWND window, int left, int top, int right, int bottom, int corner, int frameStyle, int windowAlpha) {
  if (Engine().windowsMajorVersion != 6 || frameStyle == 1 || windowAlpha == -1) return false;
  // dwmapi is loaded only on the systems that have the blur.
  static HMODULE dwm = LoadSystemLibrary(L"dwmapi.dll");
  if (dwm == nullptr) return false;
  using IsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
  using EnableBlurBehind = HRESULT(WINAPI*)(HWND, const void*);
  auto isEnabled =
      reinterpret_cast<IsCompositionEnabled>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
  auto enableBlur =
      reinterpret_cast<EnableBlurBehind>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmEnableBlurBehindWindow")));
  BOOL enabled = FALSE;
  if (isEnabled == nullptr || enableBlur == nullptr || FAILED(isEnabled(&enabled)) || !enabled) return false;

  struct BlurBehind {
    DWORD flags;
    BOOL enable;
    HRGN region;
    BOOL transitionOnMaximized;
  };
  HRGN region = CreateRoundRectRgn(left, top, right, bottom, corner, corner);
  const BlurBehind blur{0x1 | 0x2, TRUE, region, FALSE};  // DWM_BB_ENABLE | DWM_BB_BLURREGION
  enableBlur(window, &blur);
  DeleteObject(region);
  return true;
}

}  // namespace ui
