#pragma once

#include <oleacc.h>

namespace ui::test {

// The VARIANT by which IAccessible calls name a child (or CHILDID_SELF).
inline VARIANT AccessibleChild(long id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

}  // namespace ui::test
