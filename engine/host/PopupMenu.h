#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// One entry of a popup menu.
struct MenuItem {
  std::wstring text;               // "&" marks the access letter
  std::vector<std::uint8_t> icon;  // image bytes, optional
  int state = 0;                   // 0 normal, -1 greyed
  int kind = 0;                    // 0 entry, 1 separator, 2 opens a sub-menu
  int enabled = 1;
  int id = 0;  // sent with WM_COMMAND
  ArgbColor textColor = 0;
  int options[3] = {0, 0, 0};  // kept for the application
};

// Called with the menu window just before it shows (atPoint: 1 for
// PopupAt, 0 for Popup), and with the menu window and the item's id when an
// item is chosen.
using MenuPopupHook = int (*)(HWND menuWindow, int atPoint);
using MenuChooseHook = int (*)(HWND menuWindow, int itemId);

// The engine's own context menu: a top-most engine window next to the
// pointer (or beside its owner) with one drawn control per item, run in a
// modal loop until it closes. Choosing an enabled entry sends WM_COMMAND
// with its id to the owner window. Item indexes are 1-based.
class PopupMenu {
 public:
  // Opens beside the owner's focus control; nothing without one. Returns the
  // chosen item's id, 0 when none was chosen.
  int Popup(HWND owner);
  // Opens at the screen point, or at the pointer when both are 0.
  int PopupAt(HWND owner, int x = 0, int y = 0);

  void AddItem(std::string_view text, Bytes icon = {}, int state = 0, int kind = 0, int enabled = 1, int id = 0,
               std::optional<ArgbColor> textColor = std::nullopt, int option1 = 0, int option2 = 0, int option3 = 0);
  bool RemoveItem(int index);
  void Clear() { items_.clear(); }
  int ItemState(int index, std::optional<int> value = std::nullopt);
  std::string ItemText(int index, std::optional<std::string> text = std::nullopt);
  std::wstring ItemTextBytes(int index, std::optional<std::wstring> text = std::nullopt);
  std::vector<std::uint8_t> ItemIcon(int index, std::optional<Bytes> icon = std::nullopt);
  void SetDefaultFont(GpFont* font) { defaultFont_ = font; }
  bool IsValidIndex(int index) const { return index >= 1 && index <= static_cast<int>(items_.size()); }
  void SetStyle(int style) { style_ = style; }
  PopupMenu* Self() { return this; }
  void SetOnPopup(MenuPopupHook hook) { onPopup_ = hook; }
  void SetOnChoose(MenuChooseHook hook) { onChoose_ = hook; }

  const std::vector<MenuItem>& Items() const { return items_; }
  GpFont* DefaultFont() const { return defaultFont_; }
  MenuChooseHook OnChoose() const { return onChoose_; }

 private:
  int Open(HWND owner, bool atPoint, int x, int y);

  std::vector<MenuItem> items_;
  int style_ = 0;
  MenuPopupHook onPopup_ = nullptr;
  MenuChooseHook onChoose_ = nullptr;
  GpFont* defaultFont_ = nullptr;
};

// The window properties by which the engine's menu windows find each other.
inline constexpr wchar_t kMenuTitle[] = L"Ex_DirectUI_Menu";
inline constexpr wchar_t kPropFlags[] = L"Ex_Wnd_Flags";
inline constexpr wchar_t kPropHost[] = L"Ex_DirectUI_Host";
inline constexpr wchar_t kPropEvent[] = L"Ex_DirectUI_Event";
inline constexpr wchar_t kPropSub[] = L"Ex_DirectUI_Sub";
inline constexpr wchar_t kPropParentMenu[] = L"Ex_DirectUI_pWnd";
inline constexpr wchar_t kPropActive[] = L"Ex_DirectUI_Act";
inline constexpr wchar_t kPropMessageBox[] = L"Ex_DirectUI_MsgBox";

}  // namespace ui
