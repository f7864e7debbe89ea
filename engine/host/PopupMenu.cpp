#include "PopupMenu.h"

#include <memory>

#include "HostWindow.h"
#include "MenuGeometry.h"
#include "MenuItemControl.h"
#include "engine/controls/Control.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "engine/core/WindowClass.h"
#include "engine/core/WindowDpi.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

const ArgbColor kDefaultTextColor = ArgbFromRgb(Rgb(0, 0, 0), 210);
constexpr int kCascadeDuration = 100;

const wchar_t* const kMenuProperties[] = {kPropHost,       kPropSub,        kPropActive, kPropEvent,
                                          kPropParentMenu, kPropMessageBox, kPropFlags};

// Whether a message of the menu's modal loop ends the menu without being
// handled: a press on any other window, or Escape wherever the keyboard is.
// Deactivation closes the menu too, but a menu that never became the
// active window (the system may refuse it the foreground) is closed by this.
bool EndsMenu(const MSG& message, HWND menuWindow) {
  if (message.hwnd == menuWindow) return false;
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return true;
    case WM_KEYDOWN:
      return message.wParam == VK_ESCAPE;
    default:
      return false;
  }
}

// The owner whose host gives the menu its accent colour.
ArgbColor AccentOf(HWND menuWindow) {
  HWND source = static_cast<HWND>(GetPropW(menuWindow, kPropParentMenu));
  if (source == nullptr) source = static_cast<HWND>(GetPropW(menuWindow, kPropHost));
  const HostWindow* host = HostWindow::FromWindow(source);
  const std::uint32_t rgb = host != nullptr && host->Composition().BackgroundColor() != 0xFFFFFFFF
                                ? host->Composition().BackgroundColor()
                                : Rgb(0, 120, 215);
  return ArgbFromRgb(rgb & 0x00FFFFFF);
}

// The menu's panel: translucent white with a soft shadow and an accent
// strip behind the icon column.
int PaintMenuBackground(HWND menuWindow, GpGraphics* graphics, int width, int height) {
  gp::GdipGraphicsClear(graphics, ArgbFromRgb(Rgb(255, 255, 255), 0));
  RectF panel = MakeRectF(6, 6, width - 12, height - 12);
  FillRoundRect(graphics, panel, 4, ArgbFromRgb(Rgb(255, 255, 255), 234));
  DrawRoundRectOutline(graphics, panel, 4, ArgbFromRgb(Rgb(0, 0, 0), 125));
  const int shadow[3][2] = {{7, 35}, {10, 15}, {13, 5}};
  for (const auto& ring : shadow) {
    panel = OffsetRectF(-1, -1, 2, 2, panel);
    DrawRoundRectOutline(graphics, panel, static_cast<float>(ring[0]), ArgbFromRgb(Rgb(0, 0, 0), ring[1]));
  }
  const ArgbColor accent = AccentOf(menuWindow) & 0x00FFFFFF;
  const RectF strip = MakeRectF(9, 9, 20, height - 18);
  FillRoundRect(graphics, strip, 3, accent | (102u << 24));
  DrawRoundRectOutline(graphics, strip, 3, accent | (51u << 24));
  return 0;
}

LRESULT MenuMessageHook(HWND menuWindow, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_ACTIVATE:
      // Another window became active, or the user clicked outside.
      if (LOWORD(wParam) == WA_INACTIVE) PostMessageW(menuWindow, WM_CLOSE, 0, 0);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        SendMessageW(menuWindow, WM_CLOSE, 0, 0);
        return 0;
      }
      // An access letter chooses its item through the host's mnemonics.
      SendMessageW(menuWindow, WM_SYSCHAR, wParam, 0);
      return 0;
    case WM_DESTROY:
      for (const wchar_t* property : kMenuProperties) RemovePropW(menuWindow, property);
      break;
    default:
      break;
  }
  return kUnhandled;
}

int AccessLetter(const std::wstring& text) {
  const std::size_t amp = text.find(L'&');
  if (amp == std::wstring::npos || amp + 1 >= text.size()) return 0;
  return static_cast<int>(text[amp + 1]);
}

}  // namespace

void PopupMenu::AddItem(std::string_view text, Bytes icon, int state, int kind, int enabled, int id,
                        std::optional<ArgbColor> textColor, int option1, int option2, int option3) {
  MenuItem item;
  item.text = AnsiToWide(text);
  item.icon.assign(icon.begin(), icon.end());
  item.state = state;
  item.kind = kind;
  item.enabled = enabled;
  item.id = id;
  item.textColor = textColor.value_or(kDefaultTextColor);
  item.options[0] = option1;
  item.options[1] = option2;
  item.options[2] = option3;
  items_.push_back(std::move(item));
}

bool PopupMenu::RemoveItem(int index) {
  if (!IsValidIndex(index)) return false;
  items_.erase(items_.begin() + (index - 1));
  return true;
}

int PopupMenu::ItemState(int index, std::optional<int> value) {
  if (!IsValidIndex(index)) return 0;
  if (value) items_[index - 1].state = *value;
  return items_[index - 1].state;
}

std::string PopupMenu::ItemText(int index, std::optional<std::string> text) {
  if (!IsValidIndex(index)) return {};
  if (text) items_[index - 1].text = AnsiToWide(*text);
  return WideToAnsi(items_[index - 1].text);
}

std::wstring PopupMenu::ItemTextBytes(int index, std::optional<std::wstring> text) {
  if (!IsValidIndex(index)) return {};
  if (text) items_[index - 1].text = *text;
  return items_[index - 1].text;
}

std::vector<std::uint8_t> PopupMenu::ItemIcon(int index, std::optional<Bytes> icon) {
  if (!IsValidIndex(index)) return {};
  if (icon) items_[index - 1].icon.assign(icon->begin(), icon->end());
  return items_[index - 1].icon;
}

int PopupMenu::Popup(HWND owner) { return Open(owner, false, 0, 0); }

int PopupMenu::PopupAt(HWND owner, int x, int y) { return Open(owner, true, x, y); }

int PopupMenu::Open(HWND owner, bool atPoint, int x, int y) {
  HostWindow* ownerHost = HostWindow::FromWindow(owner);
  if (!atPoint && (ownerHost == nullptr || ownerHost->FocusControl() == nullptr)) return 0;

  // Measure the captions with the owner's device context.
  std::vector<int> kinds, widths;
  HDC dc = GetDC(owner);
  for (const MenuItem& item : items_) {
    kinds.push_back(item.kind);
    SIZE extent{};
    if (item.kind != kMenuSeparator && !item.text.empty()) {
      GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
    }
    widths.push_back(extent.cx);
  }
  ReleaseDC(owner, dc);
  const MenuSize size = MeasureMenu(kinds, widths);
  // The menu is made at its logical size and drawn at the owner's scale:
  // it is placed on the screen by its size there.
  const DisplayScale scale(WindowDpi(owner));
  const MenuSize onScreen{scale.SizeToDevice(size.width), scale.SizeToDevice(size.height)};

  RectF work{};
  GetWorkArea(work);
  MenuPlacement placement;
  if (atPoint) {
    if (x == 0 && y == 0) {
      POINT cursor{};
      GetCursorPos(&cursor);
      x = cursor.x;
      y = cursor.y;
    }
    placement = PlaceMenuAtPoint(x, y, onScreen, work);
  } else {
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    const RectF ownerBounds =
        MakeRectF(ownerRect.left, ownerRect.top, ownerRect.right - ownerRect.left, ownerRect.bottom - ownerRect.top);
    placement =
        PlaceMenuBesideOwner(ownerBounds, scale.ToDevice(ownerHost->FocusControl()->Bounds().top), onScreen, work);
  }

  HWND menuWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, AnsiToWide(kEngineClassName).c_str(), kMenuTitle,
                                    WS_POPUP, placement.x, placement.y, size.width, size.height, owner, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  if (menuWindow == nullptr) return 0;
  SetPropW(menuWindow, kPropFlags, reinterpret_cast<HANDLE>(1));
  SetPropW(menuWindow, kPropHost, owner);
  SetPropW(menuWindow, kPropEvent, reinterpret_cast<HANDLE>(onChoose_));
  SetPropW(owner, kPropSub, menuWindow);

  auto host = std::make_unique<HostWindow>();
  HostOptions options;
  options.captionFlags = 0;
  options.windowAlpha = 255;
  options.frameStyle = 1;
  options.dragAnywhere = 0;
  options.blurBehind = 0;
  host->SetOnPaintBackground(&PaintMenuBackground);
  host->Create(menuWindow, options);
  host->SetCloseEffect(placement.closeEffect);
  host->SetMessageHook(&MenuMessageHook);

  MenuItemControl::Menu menu{this, owner, AccentOf(menuWindow), 0};
  std::vector<std::unique_ptr<MenuItemControl>> controls;
  const std::vector<RectF> rects = MenuItemRects(kinds, size.width);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    auto control = std::make_unique<MenuItemControl>(items_[i], menu);
    control->Create(menuWindow, rects[i]);
    if (const int letter = AccessLetter(items_[i].text)) host->SetMnemonic(control.get(), letter);
    controls.push_back(std::move(control));
  }
  host->Compose({}, std::nullopt, kPresentNothing);

  if (onPopup_ != nullptr) onPopup_(menuWindow, atPoint ? 1 : 0);
  if (atPoint) host->Show();
  else host->Show(placement.openEffect, kCascadeDuration);

  SetForegroundWindow(menuWindow);
  MSG message;
  while (IsWindow(menuWindow)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The quit request belongs to the program's own loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (EndsMenu(message, menuWindow)) {
      PostMessageW(menuWindow, WM_CLOSE, 0, 0);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (IsWindow(menuWindow)) DestroyWindow(menuWindow);
  if (GetPropW(owner, kPropSub) == menuWindow) RemovePropW(owner, kPropSub);
  controls.clear();
  host.reset();
  return menu.chosenId;
}

}  // namespace ui
