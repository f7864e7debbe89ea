#include "PictureVariants.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ui {
namespace {

struct Variant {
  Bytes picture;
  int percent;
  Bytes bytes;
};

std::vector<Variant>& Variants() {
  static auto* const variants = new std::vector<Variant>;
  return *variants;
}

bool SameBytes(Bytes a, Bytes b) {
  return a.size() == b.size() && (a.data() == b.data() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

}  // namespace

void AddPictureVariant(Bytes picture, int percent, Bytes variant) {
  if (picture.empty() || variant.empty() || percent <= 100) return;
  Variants().push_back({picture, percent, variant});
}

void ClearPictureVariants() { Variants().clear(); }

PictureChoice PictureForScale(Bytes picture, int dpi) {
  PictureChoice best{picture, 100};
  // The scale in percent, rounded up: 120 dpi is 125 %.
  const int wanted = (std::max(dpi, 1) * 100 + 95) / 96;
  if (wanted <= 100 || picture.empty()) return best;
  for (const Variant& variant : Variants()) {
    if (!SameBytes(variant.picture, picture)) continue;
    const bool fits = variant.percent >= wanted;
    const bool bestFits = best.percent >= wanted;
    // Of those large enough the smallest; while none is, the largest.
    if ((fits && (!bestFits || variant.percent < best.percent)) ||
        (!fits && !bestFits && variant.percent > best.percent)) {
      best = {variant.bytes, variant.percent};
    }
  }
  return best;
}

}  // namespace ui
