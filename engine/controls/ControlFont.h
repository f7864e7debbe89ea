#pragma once

#include <optional>
#include <string>

#include "engine/core/GdiPlus.h"

namespace ui {

// The font of a text-drawing control: either the engine's shared default
// font, which the control never deletes, or a font of its own.
class ControlFont {
 public:
  ControlFont() = default;
  ControlFont(const ControlFont&) = delete;
  ControlFont& operator=(const ControlFont&) = delete;
  ~ControlFont() { Release(); }

  // The shared default font is asked for only when the font is used, so
  // that creating a control does not wait for it.
  GpFont* get() const;

  // The shared default font when family, size and style are all absent;
  // else a new font (family absent: the default font's, size 12, style 0).
  void Create(const std::optional<std::string>& family, std::optional<float> size, std::optional<int> style);
  // A new font with one property changed and the others kept.
  void SetFamily(const std::string& family) { Recreate(family, Size(), Style()); }
  void SetSize(float size) { Recreate(Family(), size, Style()); }
  void SetStyle(int style) { Recreate(Family(), Size(), style); }
  // Takes the given font object.
  void Take(GpFont* font);
  // Deletes the font unless it is the shared default font.
  void Release();

  std::string Family() const;
  float Size() const;
  int Style() const;

 private:
  void Recreate(const std::string& family, float size, int style);
  GpFont* font_ = nullptr;  // a font of the control's own
  bool sharedDefault_ = false;
};

}  // namespace ui
