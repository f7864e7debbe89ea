#include "TextEffects.h"

#include "ControlHost.h"
#include "engine/render/Surface.h"

namespace ui {
namespace {

// Where the effect's five copies of the text go inside the scratch bitmap:
// around (4, 4), one pixel out in each direction.
constexpr float kEffectOffsets[5][2] = {{5, 4}, {3, 4}, {4, 3}, {4, 5}, {4, 4}};

void DrawString(GpGraphics* graphics, std::wstring_view text, GpFont* font, const Gdiplus::RectF& layout,
                GpStringFormat* format, ArgbColor colour) {
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(colour, &brush);
  BrushPtr owner(brush);
  gp::GdipDrawString(graphics, text.data(), static_cast<INT>(text.size()), font, &layout, format, brush);
}

void DrawEffect(GpGraphics* graphics, const RectF& rect, std::wstring_view text, GpFont* font, GpStringFormat* format,
                int effect, ArgbColor effectColour) {
  const int scratchWidth = static_cast<int>(rect.width) + 7, scratchHeight = static_cast<int>(rect.height) + 7;
  GpBitmap* copies = nullptr;
  gp::GdipCreateBitmapFromScan0(scratchWidth, scratchHeight, 0, PixelFormat32bppARGB, nullptr, &copies);
  ImagePtr copiesOwner(copies);
  GraphicsPtr copiesGraphics(CreateConfiguredGraphics(copies));
  if (!copiesGraphics) return;
  for (const auto& offset : kEffectOffsets) {
    DrawString(copiesGraphics.get(), text, font, Gdiplus::RectF(offset[0], offset[1], rect.width, rect.height), format,
               effectColour);
  }
  // A glow is scaled down by three and up again, which blurs it; an outline
  // keeps its sharp edge.
  const int scale = effect == kTextGlow ? 3 : 1;
  const int smallWidth = std::max(1, scratchWidth / scale), smallHeight = std::max(1, scratchHeight / scale);
  GpBitmap* small = nullptr;
  gp::GdipCreateBitmapFromScan0(smallWidth, smallHeight, 0, PixelFormat32bppARGB, nullptr, &small);
  ImagePtr smallOwner(small);
  GraphicsPtr smallGraphics(CreateConfiguredGraphics(small));
  if (!smallGraphics) return;
  gp::GdipSetCompositingQuality(smallGraphics.get(), Gdiplus::CompositingQualityGammaCorrected);
  gp::GdipSetInterpolationMode(smallGraphics.get(), Gdiplus::InterpolationModeHighQualityBilinear);
  gp::GdipDrawImageRectRect(smallGraphics.get(), copies, 0, 0, static_cast<float>(smallWidth),
                            static_cast<float>(smallHeight), 0, 0, static_cast<float>(scratchWidth),
                            static_cast<float>(scratchHeight), Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  gp::GdipDrawImageRectRect(graphics, small, rect.left - 4, rect.top - 4, static_cast<float>(scratchWidth),
                            static_cast<float>(scratchHeight), 0, 0, static_cast<float>(smallWidth),
                            static_cast<float>(smallHeight), Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}

}  // namespace

void DrawTextWithEffect(GpGraphics* graphics, const RectF& rect, std::wstring_view text, GpFont* font, ArgbColor colour,
                        GpStringFormat* format, int effect, std::optional<ArgbColor> effectColour) {
  if (graphics == nullptr || text.empty()) return;
  const ArgbColor halo =
      effectColour.value_or(IsDarkColor(colour) ? ArgbFromRgb(Rgb(255, 255, 255), 85) : ArgbFromRgb(Rgb(0, 0, 0), 75));
  const RectF whole{static_cast<float>(static_cast<int>(rect.left)), static_cast<float>(static_cast<int>(rect.top)),
                    static_cast<float>(static_cast<int>(rect.width)),
                    static_cast<float>(static_cast<int>(rect.height))};
  if (effect == kTextGlow || effect == kTextOutline) DrawEffect(graphics, whole, text, font, format, effect, halo);
  DrawString(graphics, text, font, Gdiplus::RectF(whole.left, whole.top, whole.width, whole.height), format, colour);
}

bool BackgroundIsDark(HWND window, const RectF& rect) {
  ControlHost* host = ControlHost::Of(window);
  if (host == nullptr) return false;
  GpImage* picture = host->BackgroundImage();
  if (picture == nullptr) return IsDarkColor(ArgbFromRgb(host->BackgroundColor() & 0x00FFFFFF));
  int dark = 0;
  for (float fy : {0.2f, 0.5f, 0.8f}) {
    for (float fx : {0.2f, 0.5f, 0.8f}) {
      Gdiplus::ARGB sample = 0;
      gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(picture), static_cast<INT>(rect.left + fx * rect.width),
                             static_cast<INT>(rect.top + fy * rect.height), &sample);
      dark += IsDarkColor(sample) ? 1 : 0;
    }
  }
  return dark > 4;
}

ArgbColor ReadableTextColor(HWND window, const RectF& rect, ArgbColor colour) {
  const ArgbColor rgb = BackgroundIsDark(window, rect) ? 0x00FFFFFF : 0x00000000;
  return rgb | (colour & 0xFF000000);
}

}  // namespace ui
