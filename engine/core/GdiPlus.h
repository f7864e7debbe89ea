#pragma once

// GDI+ flat API, and owners that release its objects. Every GDI+ object the
// engine creates is held by one of these, so "deleted before the primitive
// returns" is the end of a scope rather than a remembered call.
#include <algorithm>
#include <memory>
#include <type_traits>

#include "Win32.h"

#include <objidl.h>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace ui {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpPath;
using Gdiplus::GpPen;
using Gdiplus::GpRegion;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;

namespace detail {
struct FontDeleter {
  void operator()(GpFont* f) const { gp::GdipDeleteFont(f); }
};
struct FontFamilyDeleter {
  void operator()(GpFontFamily* f) const { gp::GdipDeleteFontFamily(f); }
};
struct ImageDeleter {
  void operator()(GpImage* i) const { gp::GdipDisposeImage(i); }
};
struct GraphicsDeleter {
  void operator()(GpGraphics* g) const { gp::GdipDeleteGraphics(g); }
};
struct BrushDeleter {
  void operator()(GpBrush* b) const { gp::GdipDeleteBrush(b); }
};
struct PenDeleter {
  void operator()(GpPen* p) const { gp::GdipDeletePen(p); }
};
struct PathDeleter {
  void operator()(GpPath* p) const { gp::GdipDeletePath(p); }
};
struct RegionDeleter {
  void operator()(GpRegion* r) const { gp::GdipDeleteRegion(r); }
};
struct ImageAttributesDeleter {
  void operator()(GpImageAttributes* a) const { gp::GdipDisposeImageAttributes(a); }
};
struct StringFormatDeleter {
  void operator()(GpStringFormat* f) const { gp::GdipDeleteStringFormat(f); }
};
}  // namespace detail

using FontPtr = std::unique_ptr<GpFont, detail::FontDeleter>;
using FontFamilyPtr = std::unique_ptr<GpFontFamily, detail::FontFamilyDeleter>;
using ImagePtr = std::unique_ptr<GpImage, detail::ImageDeleter>;
using GraphicsPtr = std::unique_ptr<GpGraphics, detail::GraphicsDeleter>;
using BrushPtr = std::unique_ptr<GpBrush, detail::BrushDeleter>;
using PenPtr = std::unique_ptr<GpPen, detail::PenDeleter>;
using PathPtr = std::unique_ptr<GpPath, detail::PathDeleter>;
using RegionPtr = std::unique_ptr<GpRegion, detail::RegionDeleter>;
using ImageAttributesPtr = std::unique_ptr<GpImageAttributes, detail::ImageAttributesDeleter>;
using StringFormatPtr = std::unique_ptr<GpStringFormat, detail::StringFormatDeleter>;

// A GDI object (bitmap, region, brush) deleted with DeleteObject.
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiRegionPtr = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;
using GdiBitmapPtr = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

}  // namespace ui
