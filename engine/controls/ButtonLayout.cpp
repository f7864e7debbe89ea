#include "ButtonLayout.h"

namespace ui {
namespace {

float Whole(float value) { return static_cast<float>(static_cast<int>(value)); }

}  // namespace

ButtonContent PlaceButtonContent(int layout, float W, float H, float iw, float ih, float tw, float th, float ox,
                                 float oy, float g, bool pressed) {
  ButtonContent content;
  RectF& icon = content.icon;
  RectF& caption = content.caption;
  icon.width = iw;
  icon.height = ih;
  caption.height = th + 2;
  caption.width = tw + 2;
  switch (layout) {
    case 0:
      icon.left = Whole(ox + (W - (iw + g + tw)) / 2);
      icon.top = Whole(oy + (H - ih) / 2);
      caption.left = Whole(icon.left + iw + g);
      caption.top = Whole(oy + (H - th) / 2);
      break;
    case 1:
      caption.left = Whole(ox + (W - (iw + g + tw)) / 2);
      caption.top = Whole(oy + (H - th) / 2);
      icon.left = Whole(caption.left + tw + g);
      icon.top = Whole(oy + (H - ih) / 2);
      break;
    case 2:
      icon.left = Whole(ox + (W - iw) / 2);
      icon.top = Whole(oy + (H - ih - g - th) / 2);
      caption.left = Whole(ox + (W - tw) / 2);
      caption.top = Whole(icon.top + ih + g);
      break;
    case 3:
      icon.left = Whole(ox + (W - iw) / 2);
      icon.top = Whole(oy + (H - ih) / 2);
      caption.left = Whole(ox + (W - tw) / 2);
      caption.top = Whole(oy + (H - th) / 2);
      break;
    case 4:
      icon.left = Whole(ox);
      icon.top = Whole(oy + (H - ih) / 2);
      caption.left = Whole(icon.left + iw + g);
      caption.top = Whole(oy + (H - th) / 2);
      caption.width = Whole(W - iw - g - ox);
      break;
    case 5:
      caption.left = Whole(ox);
      caption.top = Whole(oy + (H - th) / 2);
      caption.width = Whole(W - iw - g - ox);
      icon.left = Whole(caption.left + caption.width + g);
      icon.top = Whole(oy + (H - ih) / 2);
      break;
    case 6:
      icon.left = Whole(ox + (W - iw) / 2);
      icon.top = Whole(oy);
      caption.left = Whole(ox + (W - tw) / 2);
      caption.top = Whole(icon.top + ih + g);
      caption.width = tw + 5;
      break;
    default:
      content.placed = false;
      return content;
  }
  if (pressed) {
    icon.left += 1;
    icon.top += 1;
    caption.left += 1;
    caption.top += 1;
  }
  return content;
}

}  // namespace ui
