// The edit box's editing: inserting and deleting, the keys, typed
// characters, the clipboard and the context menu.
#include <algorithm>

#include "EditBox.h"
#include "EditContextMenu.h"
#include "EditNavigation.h"
#include "GdiPlusMeasurer.h"
#include "InputFilter.h"
#include "engine/core/Clipboard.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "engine/host/PopupMenu.h"

namespace ui {
namespace {

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The shared edit menu's items, 1-based.
enum MenuItem { kMenuCut = 1, kMenuCopy = 2, kMenuPaste = 3, kMenuSelectAll = 5 };
constexpr int kItemEnabled = 0;
constexpr int kItemGreyed = -1;
constexpr int kItemAvailable = 1;

}  // namespace

std::string EditBox::SelectedText() const {
  return text.Substring(PositionOf(anchorLine, anchorColumn), PositionOf(caretLine, caretColumn));
}

void EditBox::CaretMoved(float extra) {
  caretRect = CaretRect(caretLine, caretColumn - 1, true, extra);
  previousCaretRect = caretRect;
  UpdateScrollBars(false, true);
  Paint(false);
  DrawCaret(Focused(), true);
}

void EditBox::Insert(std::string_view inserted) {
  if (inputMode == kEditReadOnly || inserted.empty()) return;
  DeleteSelection(true);
  text.InsertAt(PositionOf(caretLine, caretColumn), inserted, multiLine);
  const TextPoint caret = CaretAfterInsert(text, Caret(), inserted, multiLine != 0);
  caretLine = anchorLine = caret.line;
  caretColumn = anchorColumn = caret.column;
  Relayout();
  if (caretLine == text.LineCount()) ScrollToBottom();
  float extra = 0;
  if (multiLine != 0) {
    const GdiPlusMeasurer measurer(Graphics(), font.get(), format.Handle());
    const std::optional<RectF> box = measurer.Measure(inserted, textArea);
    extra = box ? box->height : static_cast<float>(text.LineHeight());
  }
  CaretMoved(extra);
  FireChange();
}

bool EditBox::DeleteSelection(bool suppressEvent) {
  if (inputMode == kEditReadOnly) return true;
  if (Anchor() == Caret()) return false;
  const int a = PositionOf(anchorLine, anchorColumn), b = PositionOf(caretLine, caretColumn);
  const TextPoint first = Before(Anchor(), Caret()) ? Anchor() : Caret();
  anchorLine = caretLine = first.line;
  anchorColumn = caretColumn = first.column;
  text.DeleteRange(a, b, multiLine);
  Relayout();
  CaretMoved();
  if (!suppressEvent) FireChange();
  return true;
}

void EditBox::OnCharacter(unsigned code) {
  // The host window is a Unicode window: a character beyond ASCII arrives
  // as UTF-16 and is taken only when code page 936 has it.
  const std::wstring wide(1, static_cast<wchar_t>(code));
  const std::optional<std::string> character =
      code < 0x80 ? std::string(1, static_cast<char>(code)) : ExactWideToAnsi(wide);
  if (!character || !AcceptsCharacter(inputMode, *character, text.Bytes())) return;
  Insert(*character);
}

std::string EditBox::TextAroundSelection() const {
  const int a = PositionOf(anchorLine, anchorColumn), b = PositionOf(caretLine, caretColumn);
  return text.Substring(1, std::min(a, b)) + text.Substring(std::max(a, b), text.Length() + 1);
}

void EditBox::SelectAll() {
  anchorLine = 1;
  anchorColumn = 0;
  caretLine = text.LineCount();
  caretColumn = text.LineLength(caretLine);
  ScrollToBottom();
  caretRect = CaretRect(caretLine, caretColumn - 1, true);
  previousCaretRect = caretRect;
  Paint(false);
}

void EditBox::CopySelection() {
  const std::string selected = SelectedText();
  if (!selected.empty()) WriteClipboardText(GetWindow(), selected);
}

int EditBox::KeyDown(unsigned key, bool fromMenu) {
  if (fromMenu || KeyIsDown(VK_CONTROL)) {
    // A password is never copied, cut or selected for copying.
    if (inputMode == kEditPassword) return 0;
    switch (key) {
      case 'A':
        SelectAll();
        return 0;
      case 'C':
        CopySelection();
        return 0;
      case 'V': {
        // A paste takes what typing would: one line in a single-line box,
        // and only the characters the input mode accepts.
        Insert(PastedText(inputMode, multiLine != 0, ReadClipboardText(), TextAroundSelection()));
        return 0;
      }
      case 'X':
        if (inputMode == kEditReadOnly) return kUnhandled;
        if (!SelectedText().empty()) {
          CopySelection();
          DeleteSelection();
        }
        return 0;
      default:
        return kUnhandled;
    }
  }
  switch (key) {
    case VK_BACK:
      if (DeleteSelection()) return 0;
      anchorLine = caretLine;
      anchorColumn = caretColumn;
      {
        const TextPoint left = MoveLeft(text, Caret(), multiLine != 0);
        caretLine = left.line;
        caretColumn = left.column;
      }
      DeleteSelection();
      return 0;
    case VK_RETURN:
      if (multiLine != 0) Insert("\r\n");
      return 0;
    case VK_DELETE:
      DeleteSelection();
      return 0;
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      Navigate(key);
      return 0;
    case VK_SPACE:
      return 0;  // the character follows as WM_CHAR
    default:
      return kUnhandled;
  }
}

bool EditBox::Navigate(unsigned key) {
  const bool extend = KeyIsDown(VK_SHIFT) && inputMode != kEditPassword;
  TextPoint caret = Caret();
  switch (key) {
    case VK_END:
      caret.column = text.LineLength(caret.line);
      break;
    case VK_HOME:
      caret.column = 0;
      break;
    case VK_LEFT:
      caret = MoveLeft(text, caret, multiLine != 0);
      break;
    case VK_RIGHT:
      caret = MoveRight(text, caret);
      break;
    case VK_UP:
      if (multiLine != 0) caret = MoveUp(text, caret);
      break;
    case VK_DOWN:
      if (multiLine != 0) caret = MoveDown(text, caret);
      break;
    default:
      return false;
  }
  caretLine = caret.line;
  caretColumn = caret.column;
  if (!extend) {
    anchorLine = caretLine;
    anchorColumn = caretColumn;
  }
  CaretMoved();
  return true;
}

void EditBox::ShowContextMenu() {
  if (GetWindow() == nullptr) return;
  PopupMenu* menu = &EditContextMenu();
  const bool selection = !SelectedText().empty();
  const bool readOnly = inputMode == kEditReadOnly;
  menu->ItemState(kMenuCut, selection && !readOnly ? kItemEnabled : kItemGreyed);
  menu->ItemState(kMenuCopy, selection ? kItemEnabled : kItemGreyed);
  menu->ItemState(kMenuPaste, readOnly || ReadClipboardText().empty() ? kItemGreyed : kItemEnabled);
  menu->ItemState(kMenuSelectAll, text.Length() > 0 ? kItemAvailable : kItemGreyed);
  // A chosen item comes back as WM_COMMAND and acts like its Ctrl key.
  menu->PopupAt(GetWindow(), 0, 0);
}

}  // namespace ui
