#pragma once

#include <optional>
#include <string_view>

#include "engine/core/ArgbColor.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

enum TextEffect { kTextPlain = 0, kTextGlow = 3, kTextOutline = 4 };

// Draws UTF-16 text in the rectangle (cut to whole pixels), first with a
// soft glow or a sharp outline in the effect colour when asked. Without an
// effect colour: faint white around dark text, faint black around light.
void DrawTextWithEffect(GpGraphics* graphics, const RectF& rect, std::wstring_view text, GpFont* font, ArgbColor colour,
                        GpStringFormat* format, int effect, std::optional<ArgbColor> effectColour = std::nullopt);

// Whether the host window's background under the rectangle (host
// coordinates) is dark: most of nine sample points of its background image,
// or its background colour when it has no image.
bool BackgroundIsDark(HWND window, const RectF& rect);

// White on a dark background, black on a light one, keeping the colour's alpha.
ArgbColor ReadableTextColor(HWND window, const RectF& rect, ArgbColor colour);

}  // namespace ui
