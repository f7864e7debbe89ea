#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Control.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/ImageLoader.h"

namespace ui {

enum PictureSizeMode { kPictureNatural = 0, kPictureStretched = 1, kPictureCentred = 2, kPictureNineGrid = 3 };

// Options of PictureBox::Create beyond the rectangle and the image.
struct PictureOptions {
  int animate = 0;
  ArgbColor backgroundColor = 0;
  int fixZeroDelays = 0;
  std::optional<int> sizeMode;  // default 1: stretched
  RECT nineGrid{};
  std::uint32_t frameStyle = 0;
  std::optional<int> visible;  // default 1
};

// An image from encoded bytes (animated GIFs play with each frame's own
// delay) or from an icon, placed by one of four size modes over an
// optional background and inside an optional frame.
class PictureBox : public Control {
 public:
  ~PictureBox() override;

  Control* Create(ControlParent parent, int left, int top, int width, int height, Bytes bytes,
                  const PictureOptions& options = {});
  Control* CreateFromIcon(ControlParent parent, int left, int top, int width, int height, HICON icon,
                          ArgbColor background = 0, std::optional<int> mode = std::nullopt, std::uint32_t frame = 0,
                          std::optional<int> shown = std::nullopt);
  int Animate(std::optional<int> value = std::nullopt);
  std::vector<std::uint8_t> Image(std::optional<Bytes> bytes = std::nullopt, std::optional<int> style = std::nullopt,
                                  std::optional<int> frames = std::nullopt, std::optional<int> interval = std::nullopt,
                                  bool redraw = true);
  ArgbColor BackgroundColor(std::optional<ArgbColor> value = std::nullopt);
  void Draw();

  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  std::vector<std::uint8_t> imageBytes;
  KeptImage image;  // the decoder's own image: every frame of an animation
  int animate = 0;
  std::uint32_t frameStyle = 0;
  int currentFrame = 0;
  int frameCount = 0;
  ArgbColor backgroundColor = 0;
  std::vector<int> frameDelays;  // hundredths of a second
  int sizeMode = kPictureStretched;
  int fixZeroDelays = 0;
  RECT nineGrid{};
  int imageWidth = 0, imageHeight = 0;
  int pendingTransitionStyle = -1;
  // The interval of the last scheduled frame timer; for tests.
  int scheduledIntervalMs = -1;

  void LoadBytes(Bytes bytes);
  void ReadFrames();
  void ScheduleNextFrame();
  void StopTimer();
};

}  // namespace ui
