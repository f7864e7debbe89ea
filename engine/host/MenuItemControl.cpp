#include "MenuItemControl.h"

#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/ImageLoader.h"
#include "MenuGeometry.h"
#include "engine/host/HostWindow.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr float kTextLeft = 26;
constexpr int kIconSize = 16;
const ArgbColor kGreyedText = ArgbFromRgb(Rgb(128, 128, 128), 170);
const ArgbColor kSeparatorColour = ArgbFromRgb(Rgb(0, 0, 0), 40);

}  // namespace

MenuItemControl::MenuItemControl(const MenuItem& item, Menu& menu) : item_(item), menu_(menu) {
  format_.Create();
  format_.HotkeyPrefix(Gdiplus::HotkeyPrefixShow);
  format_.LineAlignment(Gdiplus::StringAlignmentCenter);
  format_.FormatFlags(Gdiplus::StringFormatFlagsNoWrap);
}

Control* MenuItemControl::Create(HWND menuWindow, const RectF& rect) {
  Control* created = Control::Create(menuWindow, rect, kKindButton, true);
  if (created != nullptr && item_.state == -1) SetDisabledSilently(1);
  return created;
}

void MenuItemControl::Draw() {
  PaintContext context;
  if (!BeginControlPaint(*this, context) || context.graphics == nullptr) return;
  GpGraphics* canvas = context.graphics;
  const float w = Bounds().width, h = Bounds().height;
  if (item_.kind == kMenuSeparator) {
    PenPtr pen = CreatePenOf(kSeparatorColour);
    gp::GdipDrawLine(canvas, pen.get(), 0, h / 2, w, h / 2);
  } else {
    if (highlighted_ && Disabled() == 0) {
      FillRoundRect(canvas, {0, 0, w, h}, 4, (menu_.accent & 0x00FFFFFF) | 0x40000000);
      DrawRoundRectOutline(canvas, {0, 0, w, h}, 4, (menu_.accent & 0x00FFFFFF) | 0x90000000);
    }
    if (!item_.icon.empty()) {
      ImagePtr icon = LoadImageFromBytes(item_.icon);
      DrawImageStretched(canvas, icon.get(), {4, (h - kIconSize) / 2, kIconSize, kIconSize});
    }
    GpFont* font = menu_.menu->DefaultFont() ? menu_.menu->DefaultFont() : DefaultFont();
    Gdiplus::GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(Disabled() ? kGreyedText : item_.textColor, &brush);
    BrushPtr owner(brush);
    const Gdiplus::RectF layout(kTextLeft, 0, w - kTextLeft, h);
    gp::GdipDrawString(canvas, item_.text.c_str(), static_cast<INT>(item_.text.size()), font, &layout, format_.Handle(),
                       brush);
    if (item_.kind == kMenuSubmenu) {
      // The arrow of an item that opens a sub-menu.
      PenPtr pen = CreatePenOf(Disabled() ? kGreyedText : item_.textColor, 1.5f);
      gp::GdipDrawLine(canvas, pen.get(), w - 12, h / 2 - 4, w - 8, h / 2);
      gp::GdipDrawLine(canvas, pen.get(), w - 8, h / 2, w - 12, h / 2 + 4);
    }
  }
  EndControlPaint(*this, context);
}

void MenuItemControl::Choose() {
  if (Disabled() != 0 || item_.kind == kMenuSeparator) return;
  if (item_.kind == kMenuSubmenu) {
    // This program builds no second level of menus: the item only stays lit.
    if (HostWindow* hostWindow = HostWindow::FromWindow(GetWindow())) hostWindow->Input().SetHover(this);
    return;
  }
  HWND menuWindow = GetWindow();
  ShowWindow(menuWindow, SW_HIDE);
  SetForegroundWindow(menu_.owner);
  // Posted: the menu window must not go away under this very message.
  PostMessageW(menuWindow, WM_CLOSE, 0, 0);
  menu_.chosenId = item_.id;
  if (MenuChooseHook choose = menu_.menu->OnChoose()) choose(menuWindow, item_.id);
  SendMessageW(menu_.owner, WM_COMMAND, static_cast<WPARAM>(item_.id), 0);
}

int MenuItemControl::HandleMessage(unsigned message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_PAINT:
      Draw();
      break;
    case kMsgMouseEntered:
      highlighted_ = true;
      Draw();
      break;
    case kMsgMouseLeft:
      highlighted_ = false;
      Draw();
      break;
    case kMsgClick:
      Choose();
      break;
    case WM_TIMER:
      KillTimer(GetWindow(), wParam);
      break;
    default:
      break;
  }
  return kUnhandled;
}

}  // namespace ui
