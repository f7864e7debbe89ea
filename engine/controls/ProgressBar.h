#pragma once

#include <atomic>
#include <optional>

#include "Control.h"
#include "engine/core/ArgbColor.h"

namespace ui {

using ProgressMessageHook = int (*)(Control* bar, unsigned message, WPARAM wParam, LPARAM lParam);

// Options of ProgressBar::Create beyond the rectangle and the position.
struct ProgressOptions {
  int minimum = 0;
  std::optional<int> maximum;  // default 100
  int vertical = 0;
  int reserved = 0;
  std::optional<ArgbColor> fillStartColor;  // default 0xE60088FF
  std::optional<ArgbColor> fillEndColor;    // default 0xE600E080
  std::optional<ArgbColor> borderColor;     // default black at alpha 80
  std::optional<ArgbColor> trackColor;      // default white at alpha 210; 0: no track fill
  std::optional<int> rounded;               // default the host's frame style
  std::optional<int> visible;               // default 1
};

// A position within a range shown as a filled bar: a translucent track with
// an inner shadow, a two-colour gradient fill that spans the whole track (a
// growing fill uncovers it), a gloss and a thin border. It takes no input.
//
// A position outside the range is drawn as the nearest end of the range, and
// a range whose ends are equal as an empty bar: the fill never leaves the
// track. The position itself is kept as given.
class ProgressBar : public Control {
 public:
  Control* Create(ControlParent parent, int left, int top, int width, int height, int startPosition,
                  const ProgressOptions& options = {});
  void FillColors(std::optional<ArgbColor> start, std::optional<ArgbColor> end = std::nullopt);
  ArgbColor TrackColor(std::optional<ArgbColor> value = std::nullopt);
  // Sets the position when given (from any thread: the redraw runs on the
  // window's thread and this call waits for it) and returns it.
  int Position(std::optional<int> value = std::nullopt);
  void Draw();
  void SetOnMessage(ProgressMessageHook hook) { onMessage_ = hook; }

  // --- overridables: answer non-zero when the hook drew that part itself
  virtual int DrawTrackHook(PaintContext&) { return 0; }
  virtual int DrawFillHook(PaintContext&, const RectF&) { return 0; }
  virtual void AdjustRectHook(PaintContext&, RectF&, int) {}
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
  AccessibleDescription Describe() const override;

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  std::atomic<int> position{0};  // written by the installing thread, read by the window's
  int minimum = 0;
  int maximum = 100;
  int vertical = 0;
  int reserved = 0;
  ArgbColor fillStartColor = 0;
  ArgbColor fillEndColor = 0;
  ArgbColor borderColor = 0;
  int rounded = 0;
  ArgbColor trackColor = 0;
  int fillLength = 0;

  int announcedPosition_ = 0;  // the position screen readers were last told of
  ProgressMessageHook onMessage_ = nullptr;
};

}  // namespace ui
