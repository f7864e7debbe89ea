#pragma once

#include <cstddef>
#include <cstdint>

namespace ui {

// Whole-surface pixel arithmetic on 32-bit BGRA pixels, done directly on a
// surface's memory instead of through a drawing call: the composition's
// hottest steps.

// Every channel of premultiplied pixels scaled by alpha / 255, rounded: the
// whole picture made alpha / 255 as opaque.
void ScalePremultiplied(std::uint32_t* pixels, std::size_t count, int alpha);

// The source laid over the destination at a constant alpha, each channel
// (the pixel's own alpha included) as (source x alpha + destination x
// (255 - alpha)) / 255, rounded: what an alpha blend with a constant alpha
// and no per-pixel alpha gives.
void BlendConstant(std::uint32_t* destination, const std::uint32_t* source, std::size_t count, int alpha);

// Premultiplied source pixels laid over the destination by their own alpha,
// each channel as source + destination x (255 - source alpha) / 255,
// rounded: what an alpha blend with per-pixel alpha gives. A channel that
// would pass 255 (only a source that is not premultiplied has one) is 255.
void BlendOver(std::uint32_t* destination, const std::uint32_t* source, std::size_t count);

}  // namespace ui
