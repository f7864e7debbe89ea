#pragma once

// GDI+ flat API, and owners that release its objects. Every GDI+ object the
// engine creates is held by one of these, so "deleted before the primitive
// returns" is the end of a scope rather than a remembered call.
#include <algorithm>
#include <memory>

#include "Win32.h"

#include <objidl.h>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace ui {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpBitmap;
using Gdiplus::GpStatus;

namespace detail {
struct FontDeleter { void operator()(GpFont* f) const { gp::GdipDeleteFont(f); } };
struct FontFamilyDeleter { void operator()(GpFontFamily* f) const { gp::GdipDeleteFontFamily(f); } };
struct ImageDeleter { void operator()(GpImage* i) const { gp::GdipDisposeImage(i); } };
struct GraphicsDeleter { void operator()(GpGraphics* g) const { gp::GdipDeleteGraphics(g); } };
}  // namespace detail

using FontPtr = std::unique_ptr<GpFont, detail::FontDeleter>;
using FontFamilyPtr = std::unique_ptr<GpFontFamily, detail::FontFamilyDeleter>;
using ImagePtr = std::unique_ptr<GpImage, detail::ImageDeleter>;
using GraphicsPtr = std::unique_ptr<GpGraphics, detail::GraphicsDeleter>;

}  // namespace ui
