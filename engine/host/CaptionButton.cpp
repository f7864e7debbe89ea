#include "CaptionButton.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <oleacc.h>

#include "CaptionSprite.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineAssets.h"
#include "engine/core/ImageLoader.h"
#include "engine/core/PictureVariants.h"
#include "engine/core/EngineMessages.h"

namespace ui {
namespace {

constexpr int kCaptionTransitionInterval = 60;
// The strip has 20 rows, so a sprite's 19 rows from row 2 end one row below
// it. The rows that exist are drawn one to one and the last of them once
// more for the row that does not, so the sprite covers the whole button.
constexpr int kStripRows = 20;

// `factor`: the strip's pixels per logical pixel (the strip drawn for a
// scaled display is larger; the sprites are placed on it in logical pixels).
void DrawSprite(GpGraphics* graphics, GpImage* strip, const RectF& sprite, float width, float height, float factor) {
  const float present = std::min(sprite.height, kStripRows - sprite.top);
  gp::GdipDrawImageRectRect(graphics, strip, 0, 0, width, present, sprite.left * factor, sprite.top * factor,
                            sprite.width * factor, present * factor, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  for (float row = present; row < height; ++row) {
    gp::GdipDrawImageRectRect(graphics, strip, 0, row, width, 1, sprite.left * factor, (kStripRows - 1) * factor,
                              sprite.width * factor, factor, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  }
}

// The strip drawn for the window's scale, decoded once per drawing, and its
// pixels per logical pixel.
struct Strip {
  GpImage* image;
  float factor;
};

Strip StripForScale(const DisplayScale& scale) {
  const PictureChoice choice = PictureForScale(CaptionButtonStrip(), scale.Dpi());
  if (choice.percent == 100) return {Engine().captionButtonImage.get(), 1.0f};
  static std::vector<std::pair<const std::uint8_t*, ImagePtr>>* decoded =
      new std::vector<std::pair<const std::uint8_t*, ImagePtr>>;
  for (const auto& [bytes, image] : *decoded) {
    if (bytes == choice.bytes.data()) return {image.get(), choice.percent / 100.0f};
  }
  decoded->emplace_back(choice.bytes.data(), LoadImageFromBytes(choice.bytes, /*addPngSignature=*/true));
  return {decoded->back().second.get(), choice.percent / 100.0f};
}

}  // namespace

Control* CaptionButton::Create(ControlParent parentArgument, int left, int top, int width, int height, int type,
                               bool shown) {
  buttonType = type;
  ControlOptions options;
  options.interactive = 0;
  options.transitionInterval = kCaptionTransitionInterval;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindCaptionButton, shown, options);
}

void CaptionButton::DrawState(int state, bool force, int style) {
  if (state == drawnState && !force) return;
  TransitionStyle(style);
  PaintContext context;
  if (!BeginControlPaint(*this, context)) return;
  const RectF sprite = CaptionSpriteRect(buttonType, state, GetWindow() != nullptr && IsZoomed(GetWindow()));
  const Strip strip = StripForScale(Scale());
  if (strip.image != nullptr && context.graphics != nullptr && sprite.width > 0) {
    DrawSprite(context.graphics, strip.image, sprite, context.rect.width, context.rect.height, strip.factor);
  }
  EndControlPaint(*this, context);
  drawnState = state;
}

void CaptionButton::OnClick() {
  if (Disabled() != 0 || GetWindow() == nullptr) return;
  switch (buttonType) {
    case 4:
      PostMessageW(GetWindow(), WM_CLOSE, 0, 0);
      break;
    case 8:
      PostMessageW(GetWindow(), WM_SYSCOMMAND, IsZoomed(GetWindow()) ? SC_RESTORE : SC_MAXIMIZE, 0);
      break;
    case 16:
      if (!IsIconic(GetWindow())) PostMessageW(GetWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    default:
      break;  // spare buttons act only through the application's bindings
  }
}

int CaptionButton::HandleMessage(unsigned message, WPARAM, LPARAM) {
  switch (message) {
    case WM_DESTROY:
      buttonType = 0;
      drawnState = 0;
      break;
    case WM_PAINT:
      DrawState(kCaptionNormal, true, 0);
      break;
    case WM_LBUTTONDOWN:
      DrawState(kCaptionPressed, false, 0);
      break;
    case WM_LBUTTONUP:
      DrawState(kCaptionHot, false, 0);
      break;
    case kMsgMouseEntered:
      DrawState(kCaptionHot, false, 3);
      break;
    case kMsgMouseLeft:
      DrawState(kCaptionNormal, false, 4);
      break;
    case kMsgClick:
      OnClick();
      break;
    case kMsgTakesPress:
      return 0;
    case kMsgMoved:
      if (buttonType == 8) DrawState(kCaptionNormal, true, 0);
      break;
    default:
      break;
  }
  return kUnhandled;
}

AccessibleDescription CaptionButton::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_PUSHBUTTON;
  const char* name = buttonType == 4 ? "关闭" : buttonType == 8 ? "最大化" : buttonType == 16 ? "最小化" : "";
  description.name = AccessibleName(name);
  description.defaultAction = "按下";
  return description;
}

}  // namespace ui
