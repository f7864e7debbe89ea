#include "Label.h"

#include <cmath>

#include <oleacc.h>

#include "TextEffects.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

const ArgbColor kDefaultTextColor = ArgbFromRgb(Rgb(0, 0, 0), 210);
constexpr int kOneLineFlags = Gdiplus::StringFormatFlagsNoWrap;  // 0x1000
// No font fallback, measure trailing spaces, line limit, no clip.
constexpr int kWrapFlags = 0x6C00;
constexpr int kDefaultTextFrames = 5;
constexpr int kDefaultTextInterval = 60;

float FontHeight(GpFont* font, GpGraphics* graphics) {
  Gdiplus::REAL height = 0;
  if (font != nullptr) gp::GdipGetFontHeight(font, graphics, &height);
  return height;
}

}  // namespace

float LabelTextTop(float areaTop, float areaHeight, float measuredHeight, int verticalAlign) {
  switch (verticalAlign) {
    case kAlignTop:
      return areaTop + 2;
    case kAlignBottom:
      return areaTop + areaHeight - measuredHeight - 2;
    default:
      return areaTop + (areaHeight - measuredHeight) / 2;
  }
}

Label::~Label() {
  if (GetHandle() != nullptr) Destroy();
}

Control* Label::Create(ControlParent parentArgument, int left, int top, int width, int height, std::string_view value,
                       const LabelOptions& options) {
  textColor = options.textColor.value_or(kDefaultTextColor);
  font.Create(options.fontName, options.fontSize, options.fontStyle);
  stringFormat.Create(kOneLineFlags);
  stringFormat.Alignment(options.alignment);
  stringFormat.Trimming(options.trimming);
  stringFormat.HotkeyPrefix(Gdiplus::HotkeyPrefixNone);
  wordWrap = options.wordWrap;
  if (wordWrap) stringFormat.FormatFlags(kWrapFlags);
  verticalAlign = kAlignMiddle;
  backgroundMode = options.backgroundMode;
  backgroundColor1 = options.backgroundColor1;
  backgroundColor2 = options.backgroundColor2;
  autoTextColor = options.autoTextColor;
  textEffect = options.textEffect;
  effectColor = options.effectColor;
  frameStyle = options.frameStyle;
  text = AnsiToWide(value);
  ControlOptions base;
  base.interactive = 0;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindLabel,
                         options.visible.value_or(1) != 0, base);
}

void Label::Measure() {
  GpGraphics* measuring = Graphics();
  if (measuring == nullptr || font.get() == nullptr) {
    measuredWidth = measuredHeight = 0;
    return;
  }
  Gdiplus::RectF layout(0, 0, 0, 0);
  if (!wordWrap) layout = Gdiplus::RectF(0, 0, Bounds().width, FontHeight(font.get(), measuring));
  Gdiplus::RectF box;
  gp::GdipMeasureString(measuring, text.c_str(), static_cast<INT>(text.size()), font.get(), &layout,
                        stringFormat.Handle(), &box, nullptr, nullptr);
  measuredWidth = static_cast<int>(std::lround(box.Width));
  measuredHeight = static_cast<int>(std::lround(box.Height));
}

std::wstring Label::TextBytes(std::optional<std::wstring> value, std::optional<int> animate, std::optional<int> style,
                              std::optional<int> frames, std::optional<int> interval) {
  if (!value) return text;
  if (animate) {
    textTransitionPending = 1;
    TransitionStyle(style.value_or(TransitionStyle()));
    textTransitionFrames = frames.value_or(kDefaultTextFrames);
    textTransitionInterval = interval.value_or(kDefaultTextInterval);
  } else {
    textTransitionPending = 0;
    if (*value == text) return text;
  }
  text = *value;
  Measure();
  Repaint();
  return text;
}

std::string Label::Text(std::optional<std::string> value, std::optional<int> animate, std::optional<int> style,
                        std::optional<int> frames, std::optional<int> interval) {
  if (value) TextBytes(AnsiToWide(*value), animate, style, frames, interval);
  return WideToAnsi(text);
}

template <typename T>
T Label::SetAndRepaint(T& field, std::optional<T> value) {
  if (value) {
    field = *value;
    Repaint();
  }
  return field;
}

ArgbColor Label::TextColor(std::optional<ArgbColor> value) { return SetAndRepaint(textColor, value); }
ArgbColor Label::EffectColor(std::optional<ArgbColor> value) { return SetAndRepaint(effectColor, value); }
ArgbColor Label::BackgroundColor1(std::optional<ArgbColor> value) { return SetAndRepaint(backgroundColor1, value); }
ArgbColor Label::BackgroundColor2(std::optional<ArgbColor> value) { return SetAndRepaint(backgroundColor2, value); }
int Label::BackgroundMode(std::optional<int> value) { return SetAndRepaint(backgroundMode, value); }
int Label::VerticalAlign(std::optional<int> value) { return SetAndRepaint(verticalAlign, value); }
int Label::TextEffect(std::optional<int> value) { return SetAndRepaint(textEffect, value); }
std::uint32_t Label::FrameStyle(std::optional<std::uint32_t> value) { return SetAndRepaint(frameStyle, value); }
int Label::AutoTextColor(std::optional<int> value) { return SetAndRepaint(autoTextColor, value); }

void Label::ReleaseFont() { font.Release(); }

void Label::LayoutChanged() {
  Measure();
  Repaint();
}

std::string Label::FontName(std::optional<std::string> value) {
  if (value) {
    font.SetFamily(*value);
    LayoutChanged();
  }
  return font.Family();
}

int Label::FontStyle(std::optional<int> value) {
  if (value) {
    font.SetStyle(*value);
    LayoutChanged();
  }
  return font.Style();
}

float Label::FontSize(std::optional<float> value) {
  if (value) {
    font.SetSize(*value);
    LayoutChanged();
  }
  return font.Size();
}

GpFont* Label::Font(std::optional<GpFont*> value) {
  if (value && *value != font.get()) {
    font.Take(*value);
    LayoutChanged();
  }
  return font.get();
}

GpStringFormat* Label::StringFormat(std::optional<GpStringFormat*> value) {
  if (value && *value != stringFormat.Handle()) {
    stringFormat.Take(*value);
    LayoutChanged();
  }
  return stringFormat.Handle();
}

int Label::Trimming(std::optional<int> value) { return stringFormat.Trimming(value); }
int Label::FormatFlags(std::optional<int> value) { return stringFormat.FormatFlags(value); }
int Label::Alignment(std::optional<int> value) { return stringFormat.Alignment(value); }

int Label::WordWrap(std::optional<int> value) {
  if (value) {
    wordWrap = *value;
    stringFormat.FormatFlags(wordWrap ? kWrapFlags : kOneLineFlags);
    Measure();
    Repaint();
  }
  return wordWrap;
}

void Label::Draw() {
  if (textTransitionPending) {
    Transition(textTransitionFrames, textTransitionInterval);
  }
  PaintContext context;
  if (!BeginControlPaint(*this, context) || context.graphics == nullptr) return;
  GpGraphics* g = context.graphics;
  const RectF paint = context.rect;
  if (frameStyle != 0) DrawRectOutline(g, paint, frameStyle);
  if (backgroundMode != -1) {
    const Gdiplus::RectF area(paint.left, paint.top, paint.width, paint.height);
    Gdiplus::GpLineGradient* brush = nullptr;
    gp::GdipCreateLineBrushFromRect(&area, backgroundColor1, backgroundColor2,
                                    static_cast<Gdiplus::LinearGradientMode>(backgroundMode),
                                    Gdiplus::WrapModeTileFlipXY, &brush);
    BrushPtr owner(brush);
    gp::GdipFillRectangle(g, brush, paint.left, paint.top, paint.width, paint.height);
  }
  if (!text.empty()) {
    const RectF area = OffsetRectF(2, 2, -4, -4, paint);
    SetClipRect(g, area, ClipMode::Replace);
    const ArgbColor colour = autoTextColor ? ReadableTextColor(GetWindow(), Bounds(), textColor) : textColor;
    RectF layout = area;
    if (wordWrap) {
      layout.height = paint.height + FontHeight(font.get(), g) + 3;
    } else {
      layout.height = static_cast<float>(measuredHeight);
      layout.top = LabelTextTop(area.top, area.height, static_cast<float>(measuredHeight), verticalAlign);
    }
    AdjustTextRectHook(layout, 0);
    lastLayout = layout;
    DrawTextWithEffect(g, layout, text, font.get(), colour, stringFormat.Handle(), textEffect, effectColor);
    ResetClip(g);
    if (Host() != nullptr && Host()->HasKeyboardFocus(this)) DrawRectOutline(g, paint, kOutlineDashed);
  }
  EndControlPaint(*this, context);
}

int Label::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (onMessage_ != nullptr) {
    const int answer = onMessage_(this, message, wParam, lParam);
    if (answer != kUnhandled) return answer;
  }
  switch (message) {
    case WM_CREATE:
      Measure();
      if (onCreated_ != nullptr) onCreated_(this);
      break;
    case WM_DESTROY:
      text.clear();
      effectColor = 0;
      ReleaseFont();
      stringFormat.Delete();
      break;
    case WM_PAINT:
      Draw();
      break;
    case kMsgFocusGained:
    case kMsgFocusLost:
      if (Interactive()) Draw();
      break;
    case kMsgSurfaceResized:
      Measure();
      break;
    case kMsgRefresh:
      if (autoTextColor) Draw();
      break;
    case kMsgTransitionFinished:
      textTransitionPending = textTransitionInterval = textTransitionFrames = 0;
      Transition(0, 0);
      break;
    default:
      break;
  }
  return kUnhandled;
}

AccessibleDescription Label::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_STATICTEXT;
  description.name = AccessibleName(WideToAnsi(text));
  description.state = STATE_SYSTEM_READONLY;
  return description;
}

}  // namespace ui
