#include "PictureBox.h"

#include <cstring>

#include "FrameSchedule.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/render/Primitives.h"
#include "engine/render/Surface.h"

namespace ui {
namespace {

// The time dimension of a multi-frame image, {6AEDBD6D-3FB5-418A-83A6-7F45229DC872}.
constexpr GUID kTimeDimension = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
constexpr PROPID kFrameDelayProperty = 0x5100;

std::vector<int> ReadFrameDelays(GpImage* image) {
  std::vector<int> delays;
  UINT size = 0;
  if (gp::GdipGetPropertyItemSize(image, kFrameDelayProperty, &size) != Gdiplus::Ok || size == 0) return delays;
  std::vector<std::uint8_t> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (gp::GdipGetPropertyItem(image, kFrameDelayProperty, size, item) != Gdiplus::Ok) return delays;
  if ((item->type != 4 && item->type != 9) || item->value == nullptr) return delays;
  const std::size_t count = item->length / 4;
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t delay = 0;
    std::memcpy(&delay, static_cast<const std::uint8_t*>(item->value) + 4 * i, 4);
    delays.push_back(delay);
  }
  return delays;
}

// A 32bpp ARGB bitmap of an icon, keeping its alpha channel when it has one.
ImagePtr BitmapFromIcon(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return nullptr;
  GdiBitmapPtr colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  const int width = bitmap.bmWidth, height = bitmap.bmHeight;
  ImagePtr source;
  std::vector<std::uint8_t> pixels;
  if (bitmap.bmBitsPixel == 32 && width > 0 && height > 0) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;  // top-down rows
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    pixels.resize(static_cast<std::size_t>(width) * height * 4);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    bool hasAlpha = false;
    for (std::size_t i = 3; i < pixels.size() && !hasAlpha; i += 4) hasAlpha = pixels[i] != 0;
    if (hasAlpha) {
      GpBitmap* wrapped = nullptr;
      gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB, pixels.data(), &wrapped);
      source.reset(wrapped);
    }
  }
  if (!source) {
    GpBitmap* fromIcon = nullptr;
    gp::GdipCreateBitmapFromHICON(icon, &fromIcon);
    source.reset(fromIcon);
  }
  if (!source) return nullptr;
  UINT w = 0, h = 0;
  gp::GdipGetImageWidth(source.get(), &w);
  gp::GdipGetImageHeight(source.get(), &h);
  GpBitmap* copy = nullptr;
  gp::GdipCreateBitmapFromScan0(static_cast<INT>(w), static_cast<INT>(h), 0, PixelFormat32bppARGB, nullptr, &copy);
  ImagePtr result(copy);
  GraphicsPtr graphics(CreateConfiguredGraphics(copy));
  if (graphics) {
    gp::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBilinear);
    gp::GdipDrawImage(graphics.get(), source.get(), 0, 0);
  }
  return result;
}

}  // namespace

PictureBox::~PictureBox() {
  if (GetHandle() != nullptr) Destroy();
}

void PictureBox::ReadFrames() {
  GpImage* decoded = image.image.get();
  imageWidth = ImageWidth(decoded);
  imageHeight = ImageHeight(decoded);
  UINT count = 0;
  if (decoded != nullptr) gp::GdipImageGetFrameCount(decoded, &kTimeDimension, &count);
  frameCount = static_cast<int>(count);
  if (frameCount == 0 && decoded != nullptr) frameCount = 1;
  currentFrame = frameCount > 0 ? 1 : 0;
  frameDelays.clear();
  if (decoded != nullptr) frameDelays = NormaliseFrameDelays(ReadFrameDelays(decoded), fixZeroDelays != 0);
}

void PictureBox::LoadBytes(Bytes bytes) {
  imageBytes.assign(bytes.begin(), bytes.end());
  image = KeptImage{};
  image = LoadImageFromBytes(imageBytes, false, kKeepOriginal);
  ReadFrames();
}

Control* PictureBox::Create(ControlParent parentArgument, int left, int top, int width, int height, Bytes bytes,
                            const PictureOptions& options) {
  animate = options.animate;
  backgroundColor = options.backgroundColor;
  fixZeroDelays = options.fixZeroDelays;
  sizeMode = options.sizeMode.value_or(kPictureStretched);
  nineGrid = options.nineGrid;
  frameStyle = options.frameStyle;
  pendingTransitionStyle = -1;
  LoadBytes(bytes);
  ControlOptions base;
  base.interactive = 1;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindPictureBox,
                         options.visible.value_or(1) != 0, base);
}

Control* PictureBox::CreateFromIcon(ControlParent parentArgument, int left, int top, int width, int height, HICON icon,
                                    ArgbColor background, std::optional<int> mode, std::uint32_t frame,
                                    std::optional<int> shown) {
  backgroundColor = background;
  sizeMode = mode.value_or(kPictureStretched);
  frameStyle = frame;
  pendingTransitionStyle = -1;
  animate = 0;
  imageBytes.clear();
  image = KeptImage{};
  image.image = BitmapFromIcon(icon);
  imageWidth = ImageWidth(image.image.get());
  imageHeight = ImageHeight(image.image.get());
  frameCount = image.image ? 1 : 0;
  currentFrame = frameCount > 0 ? 1 : 0;
  frameDelays = {10};
  ControlOptions base;
  base.interactive = 1;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindPictureBox, shown.value_or(1) != 0,
                         base);
}

int PictureBox::Animate(std::optional<int> value) {
  if (value) {
    animate = *value;
    currentFrame = frameCount > 0 ? 1 : 0;
    Repaint();
  }
  return animate;
}

std::vector<std::uint8_t> PictureBox::Image(std::optional<Bytes> bytes, std::optional<int> style,
                                            std::optional<int> frames, std::optional<int> interval, bool redraw) {
  if (!bytes) return imageBytes;
  pendingTransitionStyle = style.value_or(-1);
  TransitionStyle(pendingTransitionStyle);
  LoadBytes(*bytes);
  if (redraw) {
    if (style) {
      Transition(frames.value_or(5), interval.value_or(60));
    }
    Repaint();
  }
  return imageBytes;
}

ArgbColor PictureBox::BackgroundColor(std::optional<ArgbColor> value) {
  if (value) {
    backgroundColor = *value;
    Repaint();
  }
  return backgroundColor;
}

void PictureBox::StopTimer() {
  if (GetWindow() != nullptr) KillTimer(GetWindow(), HandleValue());
}

void PictureBox::ScheduleNextFrame() {
  if (frameCount < 2) {
    currentFrame += 1;
    return;
  }
  StopTimer();
  // The frame just drawn stays for its own delay.
  scheduledIntervalMs = FrameIntervalMs(frameDelays, currentFrame);
  currentFrame += 1;
  if (currentFrame > frameCount || animate == 0) currentFrame = 1;
  // The host hands the timer (id = this control's handle) back as WM_TIMER.
  if (GetWindow() != nullptr) StartTimer(GetWindow(), HandleValue(), static_cast<UINT>(scheduledIntervalMs));
}

void PictureBox::Draw() {
  if (Disabled() != 0) {
    currentFrame += 1;
    return;
  }
  if (currentFrame != 0 && (currentFrame > frameCount || animate == 0)) currentFrame = 1;
  PaintContext context;
  if (!BeginControlPaint(*this, context) || context.graphics == nullptr) return;
  GpGraphics* g = context.graphics;
  const RectF paint = context.rect;
  if (backgroundColor != 0) {
    Gdiplus::GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(backgroundColor, &brush);
    BrushPtr owner(brush);
    gp::GdipFillRectangle(g, brush, paint.left, paint.top, paint.width - 1, paint.height - 1);
  }
  GpImage* picture = image.image.get();
  if (picture != nullptr) {
    if (frameCount > 1) gp::GdipImageSelectActiveFrame(picture, &kTimeDimension, static_cast<UINT>(currentFrame - 1));
    switch (sizeMode) {
      case kPictureNatural:
        DrawImageNatural(g, picture, paint);
        break;
      case kPictureStretched:
        DrawImageStretched(g, picture, paint);
        break;
      case kPictureCentred:
        DrawImageNatural(g, picture, paint, true);
        break;
      case kPictureNineGrid:
        if (IsRectEmpty(&nineGrid)) DrawImageNatural(g, picture, paint);
        else DrawImageNineSlice(g, picture, paint, nineGrid);
        break;
      default:
        break;
    }
  }
  if (frameStyle != 0) DrawRectOutline(g, paint, frameStyle);
  if (Host() != nullptr && Host()->HasKeyboardFocus(this)) DrawRectOutline(g, paint, kOutlineDashed);
  EndControlPaint(*this, context);
  ScheduleNextFrame();
}

int PictureBox::HandleMessage(unsigned message, WPARAM, LPARAM) {
  switch (message) {
    case WM_DESTROY:
      // A frame timer may be pending even after Animate(0): stop it always.
      StopTimer();
      if (animate) currentFrame = frameCount = animate = fixZeroDelays = 0;
      image = KeptImage{};
      frameDelays.clear();
      imageBytes.clear();
      break;
    case WM_TIMER:
      if (pendingTransitionStyle != -1) break;
      if (animate == 0 || frameCount == 0) StopTimer();
      else Draw();
      break;
    case WM_PAINT:
    case kMsgShown:
      Draw();
      break;
    case kMsgTransitionFinished:
      Transition(0);
      pendingTransitionStyle = -1;
      break;
    default:
      break;
  }
  return kUnhandled;
}

}  // namespace ui
