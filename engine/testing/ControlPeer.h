#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/controls/Button.h"
#include "engine/controls/Control.h"
#include "engine/controls/Label.h"
#include "engine/controls/PictureBox.h"
#include "engine/controls/ProgressBar.h"
#include "engine/edit/EditBox.h"
#include "engine/edit/ScrollBar.h"

namespace ui::test {

// Reaches the fields of a control (and of the engine's own controls) as they are, for a test that puts a control in
// a state without what the operations that normally set it do besides
// (repaint, announce, post), or reads what no accessor shows.
class ControlPeer {
 public:
  static int& Visible(Control& control) { return control.visible; }
  static int& Disabled(Control& control) { return control.disabled; }
  static int& Interactive(Control& control) { return control.interactive; }
  static int& Opacity(Control& control) { return control.opacity; }
  static HWND& Window(Control& control) { return control.window; }
  static Control*& Handle(Control& control) { return control.handle; }
  static int& TransitionFrame(Control& control) { return control.transitionFrame; }
  static int& TransitionFrames(Control& control) { return control.transitionFrames; }
  static int& TransitionInterval(Control& control) { return control.transitionInterval; }
  static ImagePtr& Snapshot(Control& control) { return control.snapshot; }
  static GpGraphics* Graphics(Control& control) { return control.graphics.get(); }

  // EditBox
  static int& DoubleClickPending(EditBox& box) { return box.doubleClickPending; }
  static DWORD& DoubleClickTime(EditBox& box) { return box.doubleClickTime; }
  static EditText& Text(EditBox& box) { return box.text; }
  static RectF& CaretRect(EditBox& box) { return box.caretRect; }
  static RectF& TextArea(EditBox& box) { return box.textArea; }
  static int& ScrollY(EditBox& box) { return box.scrollY; }
  static ScrollBar& VerticalBar(EditBox& box) { return box.verticalBar; }
  static ControlFont& Font(EditBox& box) { return box.font; }
  static int& MultiLine(EditBox& box) { return box.multiLine; }
  static int& InputMode(EditBox& box) { return box.inputMode; }
  static int& ScrollBars(EditBox& box) { return box.scrollBars; }
  static ArgbColor& BackColor(EditBox& box) { return box.backColor; }
  static std::uint32_t& BorderColor(EditBox& box) { return box.borderColor; }
  // ScrollBar
  static int& Position(ScrollBar& bar) { return bar.position; }
  static int& ThumbLength(ScrollBar& bar) { return bar.thumbLength; }
  static int& PressedPart(ScrollBar& bar) { return bar.pressedPart; }
  static int& GrabOffset(ScrollBar& bar) { return bar.grabOffset; }
  static int& HoverPart(ScrollBar& bar) { return bar.hoverPart; }
  static int& Maximum(ScrollBar& bar) { return bar.maximum; }
  static RectF& TrackRect(ScrollBar& bar) { return bar.trackRect; }
  // PictureBox
  static int& CurrentFrame(PictureBox& picture) { return picture.currentFrame; }
  static int& FrameCount(PictureBox& picture) { return picture.frameCount; }
  static int& ScheduledIntervalMs(PictureBox& picture) { return picture.scheduledIntervalMs; }
  static int& ImageWidth(PictureBox& picture) { return picture.imageWidth; }
  static int& Animate(PictureBox& picture) { return picture.animate; }
  static std::vector<int>& FrameDelays(PictureBox& picture) { return picture.frameDelays; }
  static KeptImage& Image(PictureBox& picture) { return picture.image; }
  // Label
  static int& MeasuredHeight(Label& label) { return label.measuredHeight; }
  static int& MeasuredWidth(Label& label) { return label.measuredWidth; }
  static int& TextTransitionPending(Label& label) { return label.textTransitionPending; }
  static std::wstring& Text(Label& label) { return label.text; }
  // Button
  static ControlFont& Font(Button& button) { return button.font; }
  static std::vector<std::uint8_t>& NormalImage(Button& button) { return button.normalImage; }
  static std::vector<std::uint8_t>& HoverImage(Button& button) { return button.hoverImage; }
  static std::vector<std::uint8_t>& PressedImage(Button& button) { return button.pressedImage; }
  static std::vector<std::uint8_t>& DisabledImage(Button& button) { return button.disabledImage; }
  static std::wstring& Text(Button& button) { return button.text; }
  // ProgressBar
  static int& FillLength(ProgressBar& bar) { return bar.fillLength; }
};

}  // namespace ui::test
