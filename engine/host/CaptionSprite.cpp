#include "CaptionSprite.h"

namespace ui {
namespace {

struct SpriteColumns {
  int type;
  int normal, hot, pressed;
};

constexpr SpriteColumns kSprites[] = {
    {4, 0, 40, 80},       // close
    {8, 120, 149, 178},   // maximise
    {16, 294, 323, 352},  // minimise
    {32, 381, 410, 439}, {64, 468, 497, 526}, {128, 555, 584, 613}, {256, 642, 671, 700},
};
constexpr SpriteColumns kRestore = {8, 207, 236, 265};

}  // namespace

RectF CaptionSpriteRect(int buttonType, int state, bool zoomed) {
  const SpriteColumns* columns = nullptr;
  if (buttonType == 8 && zoomed) columns = &kRestore;
  for (const SpriteColumns& sprite : kSprites) {
    if (columns == nullptr && sprite.type == buttonType) columns = &sprite;
  }
  if (columns == nullptr) return {};
  const int left = state == kCaptionHot ? columns->hot : state == kCaptionPressed ? columns->pressed : columns->normal;
  return MakeRectF(left, 2, buttonType == 4 ? 39 : 28, 19);
}

}  // namespace ui
