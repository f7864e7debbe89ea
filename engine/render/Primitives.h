#pragma once

#include <optional>

#include "engine/core/ArgbColor.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

// Stateless drawing helpers over GDI+. Each creates the pens, brushes,
// paths and image attributes it needs and deletes them before it returns.

// The whole image scaled into the rectangle.
void DrawImageStretched(GpGraphics* graphics, GpImage* image, const RectF& rect);

// The whole image scaled into the rectangle with high-quality filtering,
// its edges not darkened by what lies outside it: a picture made for one
// scale drawn at another.
void DrawImageFiltered(GpGraphics* graphics, GpImage* image, const RectF& rect);

// The image pixel for pixel with its top-left corner on the device pixel
// nearest to the (logical) point, whatever the graphics' scale.
void DrawImageOnDevicePixels(GpGraphics* graphics, GpImage* image, float left, float top);

// At opacity 255 the image is scaled into the rectangle. Below, it is drawn
// through an alpha-scaling colour matrix and not scaled: the top-left part
// of the rectangle's size is drawn.
void DrawImageWithOpacity(GpGraphics* graphics, GpImage* image, const RectF& rect, int opacity);

// The image at its own size, at the rectangle's corner or centred on it; a
// picture drawn at `percent` of its logical size at that logical size, and
// where the graphics draws at that same scale, pixel for pixel (a drawing
// made for the display's scale is not filtered again).
void DrawImageNatural(GpGraphics* graphics, GpImage* image, const RectF& rect, bool centre = false, int percent = 100);

// The image in nine cells around the stretchable centre `grid` {left, top,
// right, bottom}; an opacity of 0..254 draws through the colour matrix.
void DrawImageNineSlice(GpGraphics* graphics, GpImage* image, const RectF& dest, const RECT& grid,
                        std::optional<int> opacity = std::nullopt);

// A GDI round-rect region {inset, inset, width - inset + 1, height - inset + 1}.
HRGN MakeFrameRegion(int width, int height, int inset, int corner, bool rounded);
RegionPtr ToGdipRegion(HRGN region);

enum class GradientMode { Horizontal = 0, Vertical = 1 };

// Fills (x, y, width - 1, height - 1) with a two-colour linear gradient.
void FillLinearGradient(GpGraphics* graphics, const RectF& rect, ArgbColor first, ArgbColor second,
                        GradientMode mode = GradientMode::Vertical);

// Fades the chosen edges (EdgeFadeSide bits) of the rectangle from the
// solid RGB colour at the outside to transparent inside.
void FillEdgeFade(GpGraphics* graphics, const RectF& rect, std::uint32_t rgb, int limit, int sides, int inset = 6);

// Rectangle outlines: 0 none, 1 sunken, 2 raised, 3 flat, 4 dashed; any other
// value is itself the ArgbColor of a solid outline.
enum OutlineStyle : std::uint32_t {
  kOutlineNone = 0,
  kOutlineSunken = 1,
  kOutlineRaised = 2,
  kOutlineFlat = 3,
  kOutlineDashed = 4
};
void DrawRectOutline(GpGraphics* graphics, const RectF& rect, std::uint32_t style,
                     std::optional<ArgbColor> colour = std::nullopt, std::optional<float> penWidth = std::nullopt);

PenPtr CreatePenOf(ArgbColor colour, float width = 1.0f);

// A closed rounded-rectangle path; `corner` is the corner ellipse's diameter.
PathPtr MakeRoundRectPath(const RectF& rect, float corner);
void DrawRoundRectOutline(GpGraphics* graphics, const RectF& rect, float corner, ArgbColor colour, int dashStyle = 0,
                          float penWidth = 1.0f);
void FillRoundRect(GpGraphics* graphics, const RectF& rect, float corner, ArgbColor colour);

enum class ClipMode { Replace = 0, Intersect = 1 };
void SetClipRegion(GpGraphics* graphics, GpRegion* region, ClipMode mode);
void SetClipRect(GpGraphics* graphics, const RectF& rect, ClipMode mode);
RectF GetClipBounds(GpGraphics* graphics);
void ResetClip(GpGraphics* graphics);

// Window styles: add only when none of the bits is set yet; remove when any is.
void AddWindowStyle(HWND window, LONG bits, bool extended);
bool HasWindowStyle(HWND window, LONG bits, bool extended);
void RemoveWindowStyle(HWND window, LONG bits, bool extended);

// The work area as {left, top, width, height}; false when it cannot be read.
bool GetWorkArea(RectF& area);

// Arms TrackMouseEvent with the flags; returns its result.
bool TrackMouse(HWND window, DWORD flags);

}  // namespace ui
