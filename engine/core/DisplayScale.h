#pragma once

#include "RectF.h"

namespace ui {

// A whole pixel rectangle in device pixels: left, top inclusive; right,
// bottom exclusive.
struct DeviceBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const DeviceBox&) const = default;
};

// The scale of one window: its display's dots per inch against the 96 the
// engine's coordinates are written in. Everything the engine and its
// applications place (rectangles, font sizes, bands, steps) stays in those
// logical pixels; the window's surfaces and its place on the screen are in
// device pixels, logical times dpi / 96.
//
// Edges are mapped, not sizes: a device edge is the logical edge scaled and
// rounded to the nearest pixel (halves away from zero), so rectangles that
// touch in logical pixels touch on the device, and a size is the distance
// between its two mapped edges. At 96 dpi every mapping is the identity.
class DisplayScale {
 public:
  static constexpr int kBaseDpi = 96;

  constexpr DisplayScale() = default;
  // A dpi of 0 or less (not known) is taken as 96.
  explicit constexpr DisplayScale(int dpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

  int Dpi() const { return dpi_; }
  bool IsIdentity() const { return dpi_ == kBaseDpi; }
  float Factor() const { return static_cast<float>(dpi_) / kBaseDpi; }

  // A logical edge or position on the device.
  int ToDevice(int logical) const;
  float ToDevice(float logical) const { return logical * Factor(); }
  // A logical size, as the distance between the mapped edges of a span that
  // starts at `from` (0: a size of its own, such as a window's).
  int SizeToDevice(int logical, int from = 0) const { return ToDevice(from + logical) - ToDevice(from); }
  // The device pixels a logical rectangle covers, its edges rounded to the
  // nearest device edge.
  DeviceBox ToDevice(const RectF& logical) const;
  // The device pixels a logical rectangle touches, rounded outwards: what
  // must be redrawn or presented when it changes.
  DeviceBox CoveringBox(const RectF& logical) const;

  // The same two as rectangles to draw or clip with on a device surface;
  // at 96 dpi the rectangle itself, fractions and all.
  RectF ToDeviceRect(const RectF& logical) const;
  RectF CoveringRect(const RectF& logical) const;

  // A device position (a pointer's) in logical pixels: the logical pixel
  // that holds it.
  int ToLogical(int device) const;
  // A device rectangle in logical pixels, exactly.
  RectF ToLogical(const DeviceBox& device) const;

  bool operator==(const DisplayScale&) const = default;

 private:
  int dpi_ = kBaseDpi;
};

// A window placed at a new scale: its size scaled, and its top-left corner
// scaled from the top-left corner of its monitor, so that a window made at
// (50, 50) of a 150 % monitor sits at (75, 75) from that corner.
DeviceBox ScaleWindowPlacement(const DeviceBox& logicalPlacement, int monitorLeft, int monitorTop,
                               const DisplayScale& scale);

}  // namespace ui
