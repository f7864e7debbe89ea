#pragma once

#include <optional>
#include <string>

#include "Control.h"
#include "ControlFont.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/GdiPlus.h"
#include "engine/render/StringFormat.h"

namespace ui {

using LabelMessageHook = int (*)(Control* label, unsigned message, WPARAM wParam, LPARAM lParam);
using LabelCreatedHook = void (*)(Control* label);

enum VerticalAlign { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2 };

// Options of Label::Create beyond the rectangle and the text.
struct LabelOptions {
  std::optional<ArgbColor> textColor;  // default black at alpha 210
  int backgroundMode = -1;             // -1 none, else a GDI+ linear gradient mode
  ArgbColor backgroundColor1 = 0;
  ArgbColor backgroundColor2 = 0;
  int wordWrap = 0;
  int autoTextColor = 0;
  std::optional<std::string> fontName;  // with size and style absent: the shared default font
  std::optional<float> fontSize;        // default 12
  std::optional<int> fontStyle;
  int alignment = 0;  // GDI+ string alignment: 0 near, 1 centre, 2 far
  int trimming = 0;
  int textEffect = 0;
  ArgbColor effectColor = 0;
  std::uint32_t frameStyle = 0;
  std::optional<int> visible;  // default 1
};

// The layout top of one line of text `measuredHeight` high in a text area:
// 2 below its top, centred, or 2 above its bottom.
float LabelTextTop(float areaTop, float areaHeight, float measuredHeight, int verticalAlign);

// A text over an optional gradient background and frame, with GDI+ layout,
// vertical placement, glow or outline, automatic black or white on images,
// and an optional animated transition when the text changes.
class Label : public Control {
 public:
  ~Label() override;

  Control* Create(ControlParent parent, int left, int top, int width, int height, std::string_view value,
                  const LabelOptions& options = {});
  void Measure();
  // Sets the text; with `animate` the change runs a transition of the given
  // style, even when the text is unchanged.
  std::string Text(std::optional<std::string> value = std::nullopt, std::optional<int> animate = std::nullopt,
                   std::optional<int> style = std::nullopt, std::optional<int> frames = std::nullopt,
                   std::optional<int> interval = std::nullopt);
  std::wstring TextBytes(std::optional<std::wstring> value = std::nullopt, std::optional<int> animate = std::nullopt,
                         std::optional<int> style = std::nullopt, std::optional<int> frames = std::nullopt,
                         std::optional<int> interval = std::nullopt);
  ArgbColor TextColor(std::optional<ArgbColor> value = std::nullopt);
  ArgbColor EffectColor(std::optional<ArgbColor> value = std::nullopt);
  ArgbColor BackgroundColor1(std::optional<ArgbColor> value = std::nullopt);
  ArgbColor BackgroundColor2(std::optional<ArgbColor> value = std::nullopt);
  int BackgroundMode(std::optional<int> value = std::nullopt);
  std::string FontName(std::optional<std::string> value = std::nullopt);
  int FontStyle(std::optional<int> value = std::nullopt);
  float FontSize(std::optional<float> value = std::nullopt);
  int Trimming(std::optional<int> value = std::nullopt);
  int FormatFlags(std::optional<int> value = std::nullopt);
  GpFont* Font(std::optional<GpFont*> value = std::nullopt);
  // Takes the given format (the old one is deleted), measures and redraws.
  GpStringFormat* StringFormat(std::optional<GpStringFormat*> value = std::nullopt);
  int Alignment(std::optional<int> value = std::nullopt);
  int WordWrap(std::optional<int> value = std::nullopt);
  int VerticalAlign(std::optional<int> value = std::nullopt);
  int TextEffect(std::optional<int> value = std::nullopt);
  std::uint32_t FrameStyle(std::optional<std::uint32_t> value = std::nullopt);
  int AutoTextColor(std::optional<int> value = std::nullopt);
  void ReleaseFont();
  void Draw();
  void SetOnMessage(LabelMessageHook hook) { onMessage_ = hook; }
  void SetOnCreated(LabelCreatedHook hook) { onCreated_ = hook; }

  // The layout rectangle of the last draw; for tests and hooks.
  const RectF& LastLayout() const { return lastLayout; }

  virtual void AdjustTextRectHook(RectF&, int) {}
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
  AccessibleDescription Describe() const override;

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  ControlFont font;
  std::wstring text;
  ArgbColor textColor = 0;
  int backgroundMode = -1;
  ArgbColor backgroundColor1 = 0, backgroundColor2 = 0;
  int wordWrap = 0;
  int verticalAlign = kAlignMiddle;
  int textEffect = 0;
  std::uint32_t frameStyle = 0;
  int autoTextColor = 0;
  ArgbColor effectColor = 0;
  ui::StringFormat stringFormat;
  int measuredWidth = 0, measuredHeight = 0;
  int textTransitionPending = 0;
  int textTransitionInterval = 0;
  int textTransitionFrames = 0;

  // After a font or format change: measure again and redraw.
  void LayoutChanged();
  template <typename T>
  T SetAndRepaint(T& field, std::optional<T> value);

  RectF lastLayout;
  LabelMessageHook onMessage_ = nullptr;
  LabelCreatedHook onCreated_ = nullptr;
};

}  // namespace ui
