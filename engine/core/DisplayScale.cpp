#include "DisplayScale.h"

#include <cmath>

namespace ui {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero, without
// the rounding of floating point for whole numbers.
int ScaleRounded(long long a, long long b, long long c) {
  const long long product = a * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

// a * b / c rounded down (towards minus infinity).
int ScaleFloor(long long a, long long b, long long c) {
  const long long product = a * b;
  return static_cast<int>(product >= 0 ? product / c : -((-product + c - 1) / c));
}

}  // namespace

int DisplayScale::ToDevice(int logical) const { return ScaleRounded(logical, dpi_, kBaseDpi); }

DeviceBox DisplayScale::ToDevice(const RectF& logical) const {
  const auto edge = [this](float value) { return static_cast<int>(std::lround(value * Factor())); };
  return {edge(logical.left), edge(logical.top), edge(logical.Right()), edge(logical.Bottom())};
}

DeviceBox DisplayScale::CoveringBox(const RectF& logical) const {
  // A little float noise in the product must not widen the box by a whole
  // pixel; unscaled, the rectangle's own fractions count.
  const float kNoise = IsIdentity() ? 0.0f : 1e-3f;
  const float factor = Factor();
  return {static_cast<int>(std::floor(logical.left * factor + kNoise)),
          static_cast<int>(std::floor(logical.top * factor + kNoise)),
          static_cast<int>(std::ceil(logical.Right() * factor - kNoise)),
          static_cast<int>(std::ceil(logical.Bottom() * factor - kNoise))};
}

namespace {

RectF AsRect(const DeviceBox& box) {
  return {static_cast<float>(box.left), static_cast<float>(box.top), static_cast<float>(box.Width()),
          static_cast<float>(box.Height())};
}

}  // namespace

RectF DisplayScale::ToDeviceRect(const RectF& logical) const {
  return IsIdentity() ? logical : AsRect(ToDevice(logical));
}

RectF DisplayScale::CoveringRect(const RectF& logical) const {
  return IsIdentity() ? logical : AsRect(CoveringBox(logical));
}

int DisplayScale::ToLogical(int device) const { return ScaleFloor(device, kBaseDpi, dpi_); }

RectF DisplayScale::ToLogical(const DeviceBox& device) const {
  const float factor = Factor();
  return {device.left / factor, device.top / factor, device.Width() / factor, device.Height() / factor};
}

DeviceBox ScaleWindowPlacement(const DeviceBox& logicalPlacement, int monitorLeft, int monitorTop,
                               const DisplayScale& scale) {
  const int left = monitorLeft + scale.ToDevice(logicalPlacement.left - monitorLeft);
  const int top = monitorTop + scale.ToDevice(logicalPlacement.top - monitorTop);
  return {left, top, left + scale.ToDevice(logicalPlacement.Width()), top + scale.ToDevice(logicalPlacement.Height())};
}

}  // namespace ui
