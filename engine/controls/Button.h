#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Control.h"
#include "ControlFont.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/GdiPlus.h"
#include "engine/render/StringFormat.h"

namespace ui {

// Button states as drawn.
enum ButtonState { kButtonDisabled = -1, kButtonNormal = 0, kButtonHover = 1, kButtonPressed = 2, kButtonFocused = 3 };

// How the state image is placed: natural size at the corner, stretched, or
// as a nine-grid.
enum ButtonImageMode { kImageNatural = 0, kImageStretched = 1, kImageNineGrid = 3 };

using ButtonMessageHook = int (*)(Control* button, unsigned message, WPARAM wParam, LPARAM lParam);

// Options of Button::Create beyond the rectangle and the caption.
struct ButtonOptions {
  std::optional<ArgbColor> textColor;   // default black at alpha 210
  std::optional<std::string> fontName;  // with size and style absent: the shared default font
  std::optional<float> fontSize;        // default 12
  std::optional<int> fontStyle;         // default regular
  int textEffect = 0;                   // 0 none, 3 glow, 4 outline
  std::optional<ArgbColor> effectColor;
  std::optional<int> cornerStyle;  // default the host's frame style
  std::optional<int> visible;      // default 1
};

// The engine's image button: one image per state (normal, hover, pressed,
// disabled), an optional icon and caption; entering and leaving cross-fade
// over four frames, pressing and releasing switch at once. Its click is the
// base click message, bound with BindEvent.
class Button : public Control {
 public:
  Button();
  ~Button() override;

  // --- fields
  // --- operations
  Control* Create(ControlParent parent, int left, int top, int width, int height, std::string_view caption,
                  const ButtonOptions& options = {});
  std::string Text(std::optional<std::string> value = std::nullopt);
  std::wstring TextBytes(std::optional<std::wstring> value = std::nullopt);
  ArgbColor TextColor(std::optional<ArgbColor> value = std::nullopt);
  int TextEffect(std::optional<int> value = std::nullopt);
  std::string FontName(std::optional<std::string> value = std::nullopt);
  int FontStyle(std::optional<int> value = std::nullopt);
  float FontSize(std::optional<float> value = std::nullopt);
  GpFont* Font(std::optional<GpFont*> value = std::nullopt);
  // Takes the given format (the old one is deleted) and redraws.
  GpStringFormat* StringFormat(std::optional<GpStringFormat*> value = std::nullopt);
  ArgbColor EffectColor(std::optional<ArgbColor> value = std::nullopt);
  int CornerStyle(std::optional<int> value = std::nullopt);
  int AutoTextColor(std::optional<int> value = std::nullopt);
  std::vector<std::uint8_t> IconBytes(std::optional<Bytes> value = std::nullopt);
  int IconLayout(std::optional<int> value = std::nullopt);
  int ContentOffsetX(std::optional<int> value = std::nullopt);
  int ContentOffsetY(std::optional<int> value = std::nullopt);
  int IconGap(std::optional<int> value = std::nullopt);
  void ReleaseFont();
  void Draw(std::optional<int> drawState = std::nullopt, bool clearAndAnimate = true);
  void SetImages(std::optional<Bytes> normal, std::optional<Bytes> hover = std::nullopt,
                 std::optional<Bytes> pressed = std::nullopt, std::optional<Bytes> disabledLook = std::nullopt,
                 std::optional<int> mode = std::nullopt, std::optional<RECT> centre = std::nullopt);
  std::vector<std::uint8_t> NormalImage(std::optional<Bytes> value = std::nullopt);
  std::vector<std::uint8_t> HoverImage(std::optional<Bytes> value = std::nullopt);
  std::vector<std::uint8_t> PressedImage(std::optional<Bytes> value = std::nullopt);
  std::vector<std::uint8_t> DisabledImage(std::optional<Bytes> value = std::nullopt);
  int ImageMode(std::optional<int> value = std::nullopt);
  RECT ImageCenter(std::optional<RECT> value = std::nullopt);
  void SetOnMessage(ButtonMessageHook hook) { onMessage_ = hook; }

  // --- overridables
  virtual int DrawStateImage(PaintContext& context, int drawState);
  virtual int DrawContentHook(PaintContext&, int, const RectF&, const RectF&) { return 1; }
  virtual int FilterMessage(unsigned message, WPARAM wParam, LPARAM lParam);
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
  AccessibleDescription Describe() const override;

  // The mnemonic character of a caption: the one after the first "&", 0 when none.
  static int MnemonicOf(std::wstring_view caption);

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  int state = kButtonNormal;
  // Whether the last drawing showed the keyboard focus (the hover look and
  // a dashed frame), so that losing that focus draws the button again.
  bool focusShown = false;
  std::wstring text;
  ControlFont font;
  int textEffect = 0;
  ArgbColor textColor = 0;
  int cornerStyle = 0;
  ui::StringFormat stringFormat;
  ArgbColor effectColor = 0;
  int autoTextColor = 0;
  std::vector<std::uint8_t> iconBytes;
  int iconLayout = 0;
  int contentOffsetX = 0;
  int contentOffsetY = 0;
  int iconGap = 0;
  std::vector<std::uint8_t> normalImage, hoverImage, pressedImage, disabledImage;
  int imageMode = kImageNatural;
  RectF imageCenter;

  void RegisterMnemonic();
  bool SetBytes(std::vector<std::uint8_t>& field, std::optional<Bytes> value);

  ButtonMessageHook onMessage_ = nullptr;
};

}  // namespace ui
