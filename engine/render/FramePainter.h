#pragma once

#include <cstdint>
#include <functional>

#include "FrameSettings.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"
#include "engine/render/Surface.h"

namespace ui {

// One window's frame as it is to be painted, onto its composition surface.
// The surface and the sizes are in device pixels; the frame's geometry is
// written in logical pixels and painted at the scale.
struct FramePicture {
  Surface& surface;
  HWND window;
  int width, height;
  const FrameSettings& settings;
  GpImage* backgroundImage;       // none: the colour alone
  std::uint32_t backgroundColor;  // RGB
  // Draws over the background, under the border, in logical pixels (the
  // window's logical size); may be null.
  const std::function<void(GpGraphics*, int, int)>* paintBackground;
  DisplayScale scale = {};
  int logicalWidth = 0, logicalHeight = 0;
  // The scale in percent the background picture was drawn at: its logical
  // size is its pixel size times 100 / percent.
  int picturePercent = 100;
};

// Paints everything of a host window that is not a control onto its
// composition surface: background colour and image, the two-tone border,
// the shadow rings of a layered window or the window region of one that is
// not layered. A frameless window (frame style 1) gets its image alone.
void PaintFrame(const FramePicture& frame);

// The two-tone border inside the body (clipped to the body region): grey
// outside, white inside, each outline blended on its own, as drawing them
// one after the other does.
// At a scale each outline stays one device pixel thin, the inner one just
// inside the outer.
void DrawBorder(Surface& target, int frameStyle, const DisplayScale& scale = {});

// Four rings around the window's content rectangle (the surface less its
// 5-pixel shadow band), fading outwards into the band. `rgb` is the ring
// colour (red in the low byte).
// At a scale the band is as wide as the scaled five pixels, in rings one
// device pixel apart, each with the fade of the logical ring it falls in.
void DrawShadow(Surface& target, int frameStyle, std::uint32_t rgb, const DisplayScale& scale = {});

// The window region of a window that is not layered.
void SetWindowFrameRegion(HWND window, int width, int height, int inset, int corner, int frameStyle);

// DWM blur behind the region (left, top, right, bottom) with round corners;
// only on Windows 6.x, for framed layered windows. True when requested.
bool EnableBlur(HWND window, int left, int top, int right, int bottom, int corner, int frameStyle, int windowAlpha);

// The frame's constant colours and geometry.
inline constexpr int kShadowBand = 5;
inline constexpr int kShadowAlphas[4] = {45, 25, 10, 5};
inline constexpr int kSquareShadowCorners[4] = {1, 4, 7, 11};
inline constexpr int kRoundShadowCorners[4] = {10, 12, 15, 18};

}  // namespace ui
