#include "Primitives.h"

#include <cmath>

#include "EdgeFade.h"
#include "NineSlice.h"
#include "engine/core/ImageLoader.h"

namespace ui {
namespace {

ImageAttributesPtr OpacityAttributes(int opacity) {
  GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  ImageAttributesPtr owner(attributes);
  Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
  matrix.m[3][3] = static_cast<Gdiplus::REAL>(opacity) / 255.0f;
  gp::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                        Gdiplus::ColorMatrixFlagsDefault);
  return owner;
}

}  // namespace

void DrawImageStretched(GpGraphics* graphics, GpImage* image, const RectF& rect) {
  if (image == nullptr) return;
  gp::GdipDrawImageRect(graphics, image, rect.left, rect.top, rect.width, rect.height);
}

void DrawImageFiltered(GpGraphics* graphics, GpImage* image, const RectF& rect) {
  if (image == nullptr) return;
  Gdiplus::InterpolationMode interpolation = Gdiplus::InterpolationModeDefault;
  Gdiplus::PixelOffsetMode offset = Gdiplus::PixelOffsetModeDefault;
  gp::GdipGetInterpolationMode(graphics, &interpolation);
  gp::GdipGetPixelOffsetMode(graphics, &offset);
  gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
  gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
  Gdiplus::GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  ImageAttributesPtr owner(attributes);
  gp::GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
  gp::GdipDrawImageRectRect(graphics, image, rect.left, rect.top, rect.width, rect.height, 0, 0,
                            static_cast<float>(ImageWidth(image)), static_cast<float>(ImageHeight(image)),
                            Gdiplus::UnitPixel, attributes, nullptr, nullptr);
  gp::GdipSetInterpolationMode(graphics, interpolation);
  gp::GdipSetPixelOffsetMode(graphics, offset);
}

void DrawImageOnDevicePixels(GpGraphics* graphics, GpImage* image, float left, float top) {
  if (image == nullptr) return;
  Gdiplus::GpMatrix* matrix = nullptr;
  gp::GdipCreateMatrix(&matrix);
  gp::GdipGetWorldTransform(graphics, matrix);
  Gdiplus::PointF corner(left, top);
  gp::GdipTransformMatrixPoints(matrix, &corner, 1);
  Gdiplus::InterpolationMode interpolation = Gdiplus::InterpolationModeDefault;
  Gdiplus::PixelOffsetMode offset = Gdiplus::PixelOffsetModeDefault;
  gp::GdipGetInterpolationMode(graphics, &interpolation);
  gp::GdipGetPixelOffsetMode(graphics, &offset);
  gp::GdipResetWorldTransform(graphics);
  gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
  gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
  gp::GdipDrawImageRectI(graphics, image, static_cast<INT>(std::lround(corner.X)),
                         static_cast<INT>(std::lround(corner.Y)), ImageWidth(image), ImageHeight(image));
  gp::GdipSetWorldTransform(graphics, matrix);
  gp::GdipSetInterpolationMode(graphics, interpolation);
  gp::GdipSetPixelOffsetMode(graphics, offset);
  gp::GdipDeleteMatrix(matrix);
}

void DrawImageWithOpacity(GpGraphics* graphics, GpImage* image, const RectF& rect, int opacity) {
  if (image == nullptr) return;
  if (opacity == 255) {
    DrawImageStretched(graphics, image, rect);
    return;
  }
  ImageAttributesPtr attributes = OpacityAttributes(opacity);
  gp::GdipDrawImageRectRect(graphics, image, rect.left, rect.top, rect.width, rect.height, 0, 0, rect.width,
                            rect.height, Gdiplus::UnitPixel, attributes.get(), nullptr, nullptr);
}

void DrawImageNatural(GpGraphics* graphics, GpImage* image, const RectF& rect, bool centre, int percent) {
  if (image == nullptr) return;
  UINT pixelWidth = 0, pixelHeight = 0;
  gp::GdipGetImageWidth(image, &pixelWidth);
  gp::GdipGetImageHeight(image, &pixelHeight);
  if (percent != 100 && !centre) {
    Gdiplus::GpMatrix* matrix = nullptr;
    gp::GdipCreateMatrix(&matrix);
    gp::GdipGetWorldTransform(graphics, matrix);
    float elements[6] = {};
    gp::GdipGetMatrixElements(matrix, elements);
    gp::GdipDeleteMatrix(matrix);
    // The graphics draws at the picture's scale (within the rounding of a
    // control's edges): its pixels go to the device as they are.
    const float scale = percent / 100.0f;
    if (std::fabs(elements[0] - scale) < 0.01f && std::fabs(elements[3] - scale) < 0.01f) {
      DrawImageOnDevicePixels(graphics, image, rect.left, rect.top);
      return;
    }
  }
  const float width = percent == 100 ? static_cast<float>(pixelWidth) : std::nearbyint(pixelWidth * 100.0f / percent);
  const float height =
      percent == 100 ? static_cast<float>(pixelHeight) : std::nearbyint(pixelHeight * 100.0f / percent);
  float left = rect.left, top = rect.top;
  if (centre) {
    left = std::nearbyint(rect.left - (width - rect.width) / 2);
    top = std::nearbyint(rect.top - (height - rect.height) / 2);
  }
  gp::GdipDrawImageRect(graphics, image, left, top, width, height);
}

void DrawImageNineSlice(GpGraphics* graphics, GpImage* image, const RectF& dest, const RECT& grid,
                        std::optional<int> opacity) {
  if (image == nullptr) return;
  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  ImageAttributesPtr attributes;
  if (opacity && *opacity >= 0 && *opacity <= 254) attributes = OpacityAttributes(*opacity);
  for (const NineSliceCell& cell : NineSliceCells(static_cast<int>(width), static_cast<int>(height), dest, grid.left,
                                                  grid.top, grid.right, grid.bottom)) {
    gp::GdipDrawImageRectRectI(graphics, image, cell.destination.x, cell.destination.y, cell.destination.width,
                               cell.destination.height, cell.source.x, cell.source.y, cell.source.width,
                               cell.source.height, Gdiplus::UnitPixel, attributes.get(), nullptr, nullptr);
  }
}

HRGN MakeFrameRegion(int width, int height, int inset, int corner, bool rounded) {
  if (!rounded) corner = 0;
  return CreateRoundRectRgn(inset, inset, width - inset + 1, height - inset + 1, corner, corner);
}

RegionPtr ToGdipRegion(HRGN region) {
  GpRegion* result = nullptr;
  gp::GdipCreateRegionHrgn(region, &result);
  return RegionPtr(result);
}

void FillLinearGradient(GpGraphics* graphics, const RectF& rect, ArgbColor first, ArgbColor second, GradientMode mode) {
  const Gdiplus::RectF area(rect.left, rect.top, rect.width, rect.height);
  Gdiplus::GpLineGradient* brush = nullptr;
  gp::GdipCreateLineBrushFromRect(&area, first, second, static_cast<Gdiplus::LinearGradientMode>(mode),
                                  Gdiplus::WrapModeTileFlipXY, &brush);
  BrushPtr owner(brush);
  gp::GdipFillRectangle(graphics, brush, rect.left, rect.top, rect.width - 1, rect.height - 1);
}

void FillEdgeFade(GpGraphics* graphics, const RectF& rect, std::uint32_t rgb, int limit, int sides, int inset) {
  const ArgbColor opaque = ArgbFromRgb(rgb, 255);
  const ArgbColor clear = ArgbFromRgb(rgb, 0);
  for (const EdgeFadeBand& band : EdgeFadeBands(rect, sides, limit, inset)) {
    FillLinearGradient(graphics, band.rect, band.opaqueFirst ? opaque : clear, band.opaqueFirst ? clear : opaque,
                       band.vertical ? GradientMode::Vertical : GradientMode::Horizontal);
  }
}

PenPtr CreatePenOf(ArgbColor colour, float width) {
  GpPen* pen = nullptr;
  gp::GdipCreatePen1(colour, width, Gdiplus::UnitWorld, &pen);
  return PenPtr(pen);
}

void DrawRectOutline(GpGraphics* graphics, const RectF& rect, std::uint32_t style, std::optional<ArgbColor> colour,
                     std::optional<float> penWidth) {
  const float d = penWidth.value_or(1.0f);
  const float x = rect.left, y = rect.top, w = rect.width, h = rect.height;
  auto line = [graphics](GpPen* pen, float x1, float y1, float x2, float y2) {
    gp::GdipDrawLine(graphics, pen, x1, y1, x2, y2);
  };
  switch (style) {
    case kOutlineNone:
      return;
    case kOutlineSunken: {
      PenPtr dark = CreatePenOf(ArgbFromRgb(Rgb(0, 0, 0), 160), d);
      line(dark.get(), x, y, x + w - 1, y);
      line(dark.get(), x, y, x, y + h - 1);
      PenPtr light = CreatePenOf(ArgbFromRgb(Rgb(255, 255, 255), 245), d / 2);
      line(light.get(), x, y + h - 1, x + w - 1, y + h - 1);
      line(light.get(), x + w - 1, y, x + w - 1, y + h - 1);
      return;
    }
    case kOutlineRaised: {
      PenPtr light = CreatePenOf(ArgbFromRgb(Rgb(255, 255, 255), 245), d / 2);
      line(light.get(), x, y, x + w - 2, y);
      line(light.get(), x, y, x, y + h - 2);
      PenPtr dark = CreatePenOf(ArgbFromRgb(Rgb(0, 0, 0), 168), d);
      line(dark.get(), x, y + h - 1, x + w - 1, y + h - 1);
      line(dark.get(), x + w - 1, y, x + w - 1, y + h - 2);
      return;
    }
    default:
      break;
  }
  ArgbColor penColour = style;  // a colour passed as the style
  int dash = Gdiplus::DashStyleSolid;
  if (style == kOutlineFlat) penColour = colour.value_or(ArgbFromRgb(Rgb(100, 100, 100), 255));
  if (style == kOutlineDashed) {
    penColour = colour.value_or(ArgbFromRgb(Rgb(0, 0, 0), 120));
    dash = Gdiplus::DashStyleDash;
  }
  PenPtr pen = CreatePenOf(penColour, d);
  gp::GdipSetPenDashStyle(pen.get(), static_cast<Gdiplus::DashStyle>(dash));
  gp::GdipDrawRectangle(graphics, pen.get(), x, y, w - 1, h - 1);
}

PathPtr MakeRoundRectPath(const RectF& rect, float corner) {
  GpPath* path = nullptr;
  gp::GdipCreatePath(Gdiplus::FillModeAlternate, &path);
  const float a = corner;
  const float right = rect.left + rect.width - a - 1;
  const float bottom = rect.top + rect.height - a - 1;
  gp::GdipAddPathArc(path, rect.left, rect.top, a, a, 180, 90);
  gp::GdipAddPathArc(path, right, rect.top, a, a, 270, 90);
  gp::GdipAddPathArc(path, right, bottom, a, a, 0, 90);
  gp::GdipAddPathArc(path, rect.left, bottom, a, a, 90, 90);
  gp::GdipClosePathFigure(path);
  return PathPtr(path);
}

void DrawRoundRectOutline(GpGraphics* graphics, const RectF& rect, float corner, ArgbColor colour, int dashStyle,
                          float penWidth) {
  PathPtr path = MakeRoundRectPath(rect, corner);
  PenPtr pen = CreatePenOf(colour, penWidth);
  gp::GdipSetPenDashStyle(pen.get(), static_cast<Gdiplus::DashStyle>(dashStyle));
  gp::GdipDrawPath(graphics, pen.get(), path.get());
}

void FillRoundRect(GpGraphics* graphics, const RectF& rect, float corner, ArgbColor colour) {
  PathPtr path = MakeRoundRectPath(rect, corner);
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(colour, &brush);
  BrushPtr owner(brush);
  gp::GdipFillPath(graphics, brush, path.get());
}

void SetClipRegion(GpGraphics* graphics, GpRegion* region, ClipMode mode) {
  gp::GdipSetClipRegion(graphics, region,
                        mode == ClipMode::Replace ? Gdiplus::CombineModeReplace : Gdiplus::CombineModeIntersect);
}

void SetClipRect(GpGraphics* graphics, const RectF& rect, ClipMode mode) {
  gp::GdipSetClipRect(graphics, rect.left, rect.top, rect.width, rect.height,
                      mode == ClipMode::Replace ? Gdiplus::CombineModeReplace : Gdiplus::CombineModeIntersect);
}

RectF GetClipBounds(GpGraphics* graphics) {
  Gdiplus::RectF bounds;
  gp::GdipGetVisibleClipBounds(graphics, &bounds);
  return {bounds.X, bounds.Y, bounds.Width, bounds.Height};
}

void ResetClip(GpGraphics* graphics) { gp::GdipResetClip(graphics); }

void AddWindowStyle(HWND window, LONG bits, bool extended) {
  const int index = extended ? GWL_EXSTYLE : GWL_STYLE;
  const LONG style = GetWindowLongW(window, index);
  if ((style & bits) == 0) SetWindowLongW(window, index, style | bits);
}

bool HasWindowStyle(HWND window, LONG bits, bool extended) {
  return (GetWindowLongW(window, extended ? GWL_EXSTYLE : GWL_STYLE) & bits) != 0;
}

void RemoveWindowStyle(HWND window, LONG bits, bool extended) {
  const int index = extended ? GWL_EXSTYLE : GWL_STYLE;
  const LONG style = GetWindowLongW(window, index);
  if ((style & bits) != 0) SetWindowLongW(window, index, style & ~bits);
}

bool GetWorkArea(RectF& area) {
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return false;
  area = MakeRectF(work.left, work.top, work.right - work.left, work.bottom - work.top);
  return true;
}

bool TrackMouse(HWND window, DWORD flags) {
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), flags, window, 0};
  return TrackMouseEvent(&track) != FALSE;
}

}  // namespace ui
