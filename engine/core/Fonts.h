#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "GdiPlus.h"

namespace ui {

// Which font of the system's non-client metrics GetSystemUiFontName reads.
enum class SystemUiFont { Menu = 1, Caption = 2, Message = 3 };

// A font of the engine's default size (12 pixels) and style (regular) in
// the family; empty when GDI+ has no such family. The default font is this,
// of the family ChooseDefaultFontFamily takes ("宋体" where it is installed).
FontPtr CreateFontOfFamily(std::string_view family);

// The face name of a system UI font (the caption font when none is named).
// A face GDI+ cannot create, and "Tahoma", come out as the default font's
// family.
std::string GetSystemUiFontName(std::optional<SystemUiFont> which = std::nullopt);

// The rule GetSystemUiFontName applies to a face name read from the system.
std::string ResolveUiFontName(std::string_view faceName);

// A font of the named family, size in pixels and GDI+ style bits. A family
// GDI+ does not know is replaced by the default font's family.
FontPtr CreateFontByName(std::string_view name, float sizePixels, int style);

// The family name of a font, as text.
std::string GetFontFamilyName(GpFont* font);

}  // namespace ui
