// Controls destroyed while messages, timers and queued deliveries for them
// are still on their way: a button in the middle of its cross-fade, a
// picture playing, an edit box with its caret blinking, deliveries posted
// to each, a menu open over the box. Each control lives in pages of its own
// that are made inaccessible once it is destroyed, so that anything that
// still touches it ends the program at once (and says which control it
// was) instead of reading what is left.
#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <vector>

#include "engine/core/QueuedBlock.h"
#include "engine/controls/Button.h"
#include "engine/edit/EditContextMenu.h"
#include "engine/controls/PictureBox.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/host/PopupMenu.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/GifWriter.h"
#include "engine/testing/ModalWatchdog.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

struct FencedRange {
  const char* what;
  std::uintptr_t begin, end;
};
std::vector<FencedRange>& Fences() {
  static std::vector<FencedRange> fences;
  return fences;
}

LONG CALLBACK ReportTouchOfADeadControl(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const std::uintptr_t address = record.ExceptionInformation[1];
  for (const FencedRange& fence : Fences()) {
    if (address >= fence.begin && address < fence.end) {
      std::fprintf(stderr, "FAILED: the destroyed %s was touched at offset %u\n", fence.what,
                   static_cast<unsigned>(address - fence.begin));
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// A control in memory of its own. Kill destroys it (as its owner deleting
// it would) and fences the memory off until the end of the test.
template <class T>
class Fenced {
 public:
  explicit Fenced(const char* what) : what_(what) {
    static PVOID handler = AddVectoredExceptionHandler(1, &ReportTouchOfADeadControl);
    (void)handler;
    memory_ = VirtualAlloc(nullptr, sizeof(T), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    object_ = new (memory_) T;
  }
  ~Fenced() {
    if (object_ != nullptr) object_->~T();
    std::erase_if(Fences(), [&](const FencedRange& f) { return f.begin == reinterpret_cast<std::uintptr_t>(memory_); });
    VirtualFree(memory_, 0, MEM_RELEASE);
  }
  Fenced(const Fenced&) = delete;
  Fenced& operator=(const Fenced&) = delete;

  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }

  void Kill() {
    object_->~T();
    object_ = nullptr;
    DWORD previous = 0;
    VirtualProtect(memory_, sizeof(T), PAGE_NOACCESS, &previous);
    const auto begin = reinterpret_cast<std::uintptr_t>(memory_);
    Fences().push_back({what_, begin, begin + sizeof(T)});
  }

 private:
  const char* what_;
  void* memory_ = nullptr;
  T* object_ = nullptr;
};

// A delivery queued for the control, as its own posts queue them.
void PostDelivery(HWND window, Control& control, unsigned message) {
  ASSERT_TRUE(QueuedBlock<PackedMessage>::Post(window, kMsgDeliver, reinterpret_cast<WPARAM>(control.GetHandle()),
                                               {message, 0, 0}));
}

// Long enough for every timer of a dead control to come at least twice:
// the caret blinks every 500 ms, transitions and pictures tick faster.
constexpr int kTimersComeMs = 1200;
void LetEverythingArrive() {
  test::PumpUntil([] { return false; }, kTimersComeMs);
}

class StaleHandles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
  }
  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
};

TEST_F(StaleHandles, ButtonDestroyedInItsCrossFadeWithDeliveriesQueued) {
  Fenced<Button> button("button");
  button->SetImages(test::SolidPng(40, 20, 0xFFFF0000), test::SolidPng(40, 20, 0xFF00FF00), {});
  ASSERT_NE(button->Create(window.hwnd(), 10, 10, 40, 20, "&Go"), nullptr);
  test::Pump();
  DeliverMessage(&*button, kMsgMouseEntered, 0, 0);
  ASSERT_GT(button->TransitionFrames(), 0) << "the cross-fade runs";
  PostDelivery(window.hwnd(), *button, WM_PAINT);
  PostDelivery(window.hwnd(), *button, kMsgMouseLeft);
  PostMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
  button.Kill();
  LetEverythingArrive();
  // Its access letter went with it.
  SendMessageW(window.hwnd(), WM_SYSKEYDOWN, 'G', 1 << 29);
  SendMessageW(window.hwnd(), WM_SYSCHAR, 'g', 1 << 29);
  test::Pump();
  EXPECT_EQ(host.Input().HoverControl(), nullptr);
}

TEST_F(StaleHandles, PictureDestroyedWhilePlaying) {
  Fenced<PictureBox> picture("picture");
  PictureOptions options;
  options.animate = 1;
  const std::vector<std::uint8_t> gif = test::MakeAnimatedGif(8, 8, {{0xFF0000, 1}, {0x00FF00, 1}, {0x0000FF, 1}});
  ASSERT_NE(picture->Create(window.hwnd(), 10, 10, 8, 8, gif, options), nullptr);
  const int frame = test::ControlPeer::CurrentFrame(*picture);
  ASSERT_TRUE(test::PumpUntil([&] { return test::ControlPeer::CurrentFrame(*picture) != frame; }, 3000)) << "it plays";
  PostDelivery(window.hwnd(), *picture, WM_PAINT);
  picture.Kill();
  LetEverythingArrive();
}

TEST_F(StaleHandles, FocusedEditBoxDestroyedWithItsCaretBlinkingAndKeysQueued) {
  Fenced<EditBox> box("edit box");
  ASSERT_NE(box->Create(window.hwnd(), 10, 10, 200, 27, "D:\\Nimbo\\", {}), nullptr);
  test::Pump();
  host.SetFocusControl(&*box, false);
  test::Pump();
  PostMessageW(window.hwnd(), WM_CHAR, 'a', 1);
  PostMessageW(window.hwnd(), WM_KEYDOWN, VK_LEFT, 1);
  PostDelivery(window.hwnd(), *box, kMsgFocusLost);
  box.Kill();
  EXPECT_EQ(host.FocusControl(), nullptr) << "the host forgets its focus";
  LetEverythingArrive();
}

// The box is destroyed from inside its own context menu's modal loop.
Fenced<EditBox>* boxUnderTheMenu = nullptr;
int DestroyTheBoxAndClose(HWND menuWindow, int) {
  boxUnderTheMenu->Kill();
  PostMessageW(menuWindow, WM_KEYDOWN, 'A', 0);  // "select all", for a box that is gone
  return 0;
}

TEST_F(StaleHandles, EditBoxDestroyedWhileItsContextMenuIsOpen) {
  test::ModalWatchdog watchdog(5000);
  Fenced<EditBox> box("edit box under its menu");
  ASSERT_NE(box->Create(window.hwnd(), 10, 10, 200, 27, "D:\\Nimbo\\", {}), nullptr);
  test::Pump();
  boxUnderTheMenu = &box;
  EditContextMenu().SetOnPopup(&DestroyTheBoxAndClose);
  SendMessageW(window.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 20));
  SendMessageW(window.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(30, 20));
  EditContextMenu().SetOnPopup(nullptr);
  boxUnderTheMenu = nullptr;
  EXPECT_FALSE(watchdog.Fired()) << "the menu closed";
  LetEverythingArrive();
}

}  // namespace
}  // namespace ui
