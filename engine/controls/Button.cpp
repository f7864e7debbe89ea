#include "Button.h"

#include "engine/core/PictureVariants.h"

#include "ButtonLayout.h"
#include "TextEffects.h"
#include <oleacc.h>

#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/ImageLoader.h"
#include "engine/core/TextConversion.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr int kButtonTransitionInterval = 60;
constexpr int kHoverFadeFrames = 4;
// The kind a button reports once it is created.
constexpr int kCreatedButtonKind = 6;
const ArgbColor kDefaultTextColor = ArgbFromRgb(Rgb(0, 0, 0), 210);

struct CaptionSize {
  float width = 0;
  float height = 0;
};

// The size of the whole caption as laid out in the rectangle. Measured as
// a string rather than as a character range: with the hot-key prefix shown
// the "&" is not drawn, and a range over the stored text then comes out one
// character short.
CaptionSize MeasureCaption(GpGraphics* graphics, const std::wstring& text, GpFont* font, GpStringFormat* format,
                           const RectF& layout) {
  CaptionSize size;
  if (text.empty() || graphics == nullptr || font == nullptr) return size;
  const Gdiplus::RectF area(layout.left, layout.top, layout.width, layout.height);
  Gdiplus::RectF box;
  gp::GdipMeasureString(graphics, text.c_str(), static_cast<INT>(text.size()), font, &area, format, &box, nullptr,
                        nullptr);
  size.width = box.Width;
  size.height = box.Height;
  return size;
}

}  // namespace

Button::Button() = default;

Button::~Button() {
  // Destroy here, while this is still a Button, so that its own handler
  // releases the font and the string format.
  if (GetHandle() != nullptr) Destroy();
}

Control* Button::Create(ControlParent parentArgument, int left, int top, int width, int height,
                        std::string_view caption, const ButtonOptions& options) {
  textColor = options.textColor.value_or(kDefaultTextColor);
  font.Create(options.fontName, options.fontSize, options.fontStyle);
  stringFormat.Create(Gdiplus::StringFormatFlagsNoWrap);
  stringFormat.Alignment(Gdiplus::StringAlignmentNear);
  stringFormat.Trimming(Gdiplus::StringTrimmingNone);
  stringFormat.HotkeyPrefix(Gdiplus::HotkeyPrefixShow);
  text = AnsiToWide(caption);
  textEffect = options.textEffect;
  effectColor = options.effectColor.value_or(0);
  ControlHost* hostWindow = parentArgument.window ? ControlHost::Of(parentArgument.window)
                                                  : (parentArgument.control ? parentArgument.control->Host() : nullptr);
  cornerStyle = options.cornerStyle.value_or(hostWindow != nullptr ? hostWindow->WindowFrameStyle() : 0);

  ControlOptions base;
  base.interactive = 1;
  base.transitionInterval = kButtonTransitionInterval;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindButton,
                         options.visible.value_or(1) != 0, base);
}

int Button::MnemonicOf(std::wstring_view caption) {
  const std::size_t amp = caption.find(L'&');
  if (amp == std::wstring_view::npos || amp + 1 >= caption.size()) return 0;
  return static_cast<int>(caption[amp + 1]);
}

void Button::RegisterMnemonic() {
  if (GetWindow() != nullptr) {
    SendMessageW(GetWindow(), kMsgSetMnemonic, reinterpret_cast<WPARAM>(GetHandle()), MnemonicOf(text));
  }
}

std::wstring Button::TextBytes(std::optional<std::wstring> value) {
  if (value && *value != text) {
    text = *value;
    RegisterMnemonic();
    Repaint();
  }
  return text;
}

std::string Button::Text(std::optional<std::string> value) {
  if (value) TextBytes(AnsiToWide(*value));
  return WideToAnsi(text);
}

ArgbColor Button::TextColor(std::optional<ArgbColor> value) {
  if (value) {
    textColor = *value;
    Repaint();
  }
  return textColor;
}

int Button::TextEffect(std::optional<int> value) {
  if (value) {
    textEffect = *value;
    Repaint();
  }
  return textEffect;
}

void Button::ReleaseFont() { font.Release(); }

std::string Button::FontName(std::optional<std::string> value) {
  if (value) {
    font.SetFamily(*value);
    Repaint();
  }
  return font.Family();
}

int Button::FontStyle(std::optional<int> value) {
  if (value) {
    font.SetStyle(*value);
    Repaint();
  }
  return font.Style();
}

float Button::FontSize(std::optional<float> value) {
  if (value) {
    font.SetSize(*value);
    Repaint();
  }
  return font.Size();
}

GpFont* Button::Font(std::optional<GpFont*> value) {
  if (value && *value != font.get()) {
    font.Take(*value);
    Repaint();
  }
  return font.get();
}

GpStringFormat* Button::StringFormat(std::optional<GpStringFormat*> value) {
  if (value && *value != stringFormat.Handle()) {
    stringFormat.Take(*value);
    Repaint();
  }
  return stringFormat.Handle();
}

ArgbColor Button::EffectColor(std::optional<ArgbColor> value) {
  if (value) {
    effectColor = *value;
    Repaint();
  }
  return effectColor;
}

int Button::CornerStyle(std::optional<int> value) {
  if (value) cornerStyle = *value;
  return cornerStyle;
}

int Button::AutoTextColor(std::optional<int> value) {
  if (value) {
    autoTextColor = *value;
    Repaint();
  }
  return autoTextColor;
}

bool Button::SetBytes(std::vector<std::uint8_t>& field, std::optional<Bytes> value) {
  if (!value) return false;
  field.assign(value->begin(), value->end());
  return true;
}

std::vector<std::uint8_t> Button::IconBytes(std::optional<Bytes> value) {
  if (SetBytes(iconBytes, value)) Repaint();
  return iconBytes;
}

int Button::IconLayout(std::optional<int> value) {
  if (value) {
    iconLayout = *value;
    Repaint();
  }
  return iconLayout;
}

int Button::ContentOffsetX(std::optional<int> value) {
  if (value) {
    contentOffsetX = *value;
    Repaint();
  }
  return contentOffsetX;
}

int Button::ContentOffsetY(std::optional<int> value) {
  if (value) {
    contentOffsetY = *value;
    Repaint();
  }
  return contentOffsetY;
}

int Button::IconGap(std::optional<int> value) {
  if (value) {
    iconGap = *value;
    Repaint();
  }
  return iconGap;
}

void Button::SetImages(std::optional<Bytes> normal, std::optional<Bytes> hover, std::optional<Bytes> pressed,
                       std::optional<Bytes> disabledLook, std::optional<int> mode, std::optional<RECT> centre) {
  SetBytes(normalImage, normal);
  SetBytes(hoverImage, hover);
  SetBytes(pressedImage, pressed);
  SetBytes(disabledImage, disabledLook);
  if (mode) imageMode = *mode;
  if (centre) {
    imageCenter = MakeRectF(centre->left, centre->top, centre->right - centre->left, centre->bottom - centre->top);
  }
  Repaint();
}

std::vector<std::uint8_t> Button::NormalImage(std::optional<Bytes> value) {
  if (SetBytes(normalImage, value)) Repaint();
  return normalImage;
}

std::vector<std::uint8_t> Button::HoverImage(std::optional<Bytes> value) {
  if (SetBytes(hoverImage, value)) Repaint();
  return hoverImage;
}

std::vector<std::uint8_t> Button::PressedImage(std::optional<Bytes> value) {
  if (SetBytes(pressedImage, value)) Repaint();
  return pressedImage;
}

std::vector<std::uint8_t> Button::DisabledImage(std::optional<Bytes> value) {
  if (SetBytes(disabledImage, value)) Repaint();
  return disabledImage;
}

int Button::ImageMode(std::optional<int> value) {
  if (value) {
    imageMode = *value;
    Repaint();
  }
  return imageMode;
}

RECT Button::ImageCenter(std::optional<RECT> value) {
  if (value) {
    imageCenter = MakeRectF(value->left, value->top, value->right - value->left, value->bottom - value->top);
    if (imageMode == kImageNineGrid) Repaint();
  }
  return RECT{static_cast<LONG>(imageCenter.left), static_cast<LONG>(imageCenter.top),
              static_cast<LONG>(imageCenter.Right()), static_cast<LONG>(imageCenter.Bottom())};
}

int Button::DrawStateImage(PaintContext& context, int drawState) {
  if (Disabled() != 0) drawState = disabledImage.empty() ? kButtonNormal : kButtonDisabled;
  const std::vector<std::uint8_t>* bytes = &normalImage;
  if (drawState == kButtonHover || drawState == kButtonFocused) bytes = &hoverImage;
  else if (drawState == kButtonPressed) bytes = &pressedImage;
  else if (drawState == kButtonDisabled) bytes = &disabledImage;
  // A state without its own image shows the normal one.
  if (bytes->empty()) bytes = &normalImage;
  // On a scaled window the drawing made for its scale, when there is one,
  // at the picture's logical size (a nine-grid picture keeps its own, whose
  // grid is in its pixels).
  const PictureChoice choice =
      imageMode == kImageNineGrid ? PictureChoice{*bytes, 100} : PictureForScale(*bytes, Scale().Dpi());
  ImagePtr image = LoadImageFromBytes(choice.bytes);
  if (!image) return 1;
  switch (imageMode) {
    case kImageNatural:
      DrawImageNatural(context.graphics, image.get(), context.rect, false, choice.percent);
      break;
    case kImageStretched:
      DrawImageStretched(context.graphics, image.get(), context.rect);
      break;
    case kImageNineGrid:
      DrawImageNineSlice(context.graphics, image.get(), context.rect, ImageCenter());
      break;
    default:
      break;
  }
  return 1;
}

void Button::Draw(std::optional<int> drawState, bool clearAndAnimate) {
  if (drawState) state = *drawState;
  PaintContext context;
  if (!BeginControlPaint(*this, context, std::nullopt, clearAndAnimate) || context.graphics == nullptr) return;
  GpGraphics* canvas = context.graphics;
  // Focus that came from the keyboard is shown: a resting button takes its
  // hover look, and a dashed frame goes round it.
  focusShown = Host() != nullptr && Host()->HasKeyboardFocus(this);
  DrawStateImage(context, focusShown && state == kButtonNormal ? kButtonFocused : state);

  const RectF content = OffsetRectF(1, 1, -2, -2, context.rect);
  SetClipRect(canvas, content, ClipMode::Replace);
  ImagePtr icon = iconBytes.empty() ? nullptr : LoadImageFromBytes(iconBytes);
  // A button without a caption never asks for its font.
  const CaptionSize caption =
      MeasureCaption(canvas, text, text.empty() ? nullptr : font.get(), stringFormat.Handle(), content);
  const ButtonContent placed = PlaceButtonContent(
      iconLayout, context.rect.width, context.rect.height, static_cast<float>(ImageWidth(icon.get())),
      static_cast<float>(ImageHeight(icon.get())), caption.width, caption.height, static_cast<float>(contentOffsetX),
      static_cast<float>(contentOffsetY), static_cast<float>(iconGap), state == kButtonPressed);
  DrawContentHook(context, state, placed.caption, placed.icon);
  if (placed.placed) {
    if (icon) DrawImageNatural(canvas, icon.get(), placed.icon);
    if (!text.empty()) {
      const ArgbColor colour = autoTextColor ? ReadableTextColor(GetWindow(), Bounds(), textColor) : textColor;
      DrawTextWithEffect(canvas, placed.caption, text, font.get(), colour, stringFormat.Handle(), textEffect,
                         effectColor);
    }
  }
  ResetClip(canvas);
  if (focusShown) DrawRectOutline(canvas, context.rect, kOutlineDashed);
  EndControlPaint(*this, context);
}

int Button::FilterMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (onMessage_ != nullptr) {
    const int answer = onMessage_(this, message, wParam, lParam);
    if (answer != kUnhandled) return answer;
  }
  switch (message) {
    case WM_CREATE:
      SetKind(kCreatedButtonKind);
      break;
    case WM_DESTROY:
      normalImage.clear();
      hoverImage.clear();
      pressedImage.clear();
      disabledImage.clear();
      break;
    case kMsgFocusGained:
    case kMsgFocusLost:
      // Focus from a press does not change the look; focus from the
      // keyboard is shown, and its mark goes again when the focus leaves.
      if (message == kMsgFocusGained ? Host() != nullptr && Host()->HasKeyboardFocus(this) : focusShown) Draw();
      return 0;
    case kMsgDisabledLook:
      return disabledImage.empty() ? kUnhandled : 0;
    default:
      break;
  }
  return kUnhandled;
}

int Button::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  const int filtered = FilterMessage(message, wParam, lParam);
  if (filtered != kUnhandled) return filtered;
  switch (message) {
    case WM_CREATE:
      RegisterMnemonic();
      break;
    case WM_DESTROY:
      stringFormat.Delete();
      ReleaseFont();
      break;
    case WM_PAINT:
      Draw();
      break;
    case WM_LBUTTONDOWN:
      if (Interactive()) Draw(kButtonPressed);
      break;
    case WM_LBUTTONUP:
      if (Interactive()) Draw(kButtonHover);
      break;
    case kMsgMouseEntered:
      Transition(kHoverFadeFrames);
      Draw(kButtonHover);
      break;
    case kMsgMouseLeft:
      Transition(kHoverFadeFrames);
      Draw(kButtonNormal);
      break;
    case kMsgTransitionFinished:
      Transition(0);
      break;
    default:
      break;
  }
  return kUnhandled;
}

// A caption without its access-key marks ("&&" is one "&").
static std::string CaptionWithoutMarks(const std::wstring& caption) {
  std::wstring plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != L'&') {
      plain += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == L'&') {
      plain += L'&';
      ++i;
    }
  }
  return WideToAnsi(plain);
}

AccessibleDescription Button::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_PUSHBUTTON;
  description.name = AccessibleName(CaptionWithoutMarks(text));
  description.defaultAction = "按下";
  return description;
}

}  // namespace ui
