#include "StartUp.h"

#include "InstallAction.h"
#include "StartupTrace.h"
#include "InstallerAssets.h"
#include "InstallClosing.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/host/CaptionLayout.h"

namespace setup {
namespace {

// Close and minimise buttons; no icon, title or maximise button.
constexpr int kStartCaptionFlags = ui::kCaptionClose | ui::kCaptionMinimize;
constexpr int kStartWindowAlpha = 250;
constexpr int kShowGrow = 7;
constexpr int kCloseZoom = 2;
// The new background cross-fades over the old one.
constexpr int kCrossFade = ui::kPresentCrossFade;
constexpr int kHandCursor = ui::kHandCursor;

}  // namespace

void OnStartWindowCreated(HWND window) {
  startWindowHandle = window;
  MarkStartupStage("window created");

  ui::HostOptions options;
  options.backgroundImage = BackgroundImage1();
  options.backgroundColor = ui::ArgbFromRgb(ui::Rgb(245, 245, 245));
  options.captionFlags = kStartCaptionFlags;
  options.windowAlpha = kStartWindowAlpha;
  options.backgroundMode = 0;
  options.frameStyle = 7;
  options.dragAnywhere = 1;
  options.edgeFade = 0;
  options.blurBehind = 1;
  hostWindow->Create(startWindowHandle, options);
  hostWindow->SetMessageHook(&CancelInstallationOnClose);
  MarkStartupStage("host attached");
  // Only the low 24 bits count: a black shadow.
  hostWindow->SetShadowColor(ui::ArgbFromRgb(0));
  hostWindow->Show(kShowGrow);
  hostWindow->SetCloseEffect(kCloseZoom);
  MarkStartupStage("show effect over");

  ui::EditBoxOptions pathOptions;
  pathOptions.textColor = ui::ArgbFromRgb(ui::Rgb(255, 255, 255));
  pathOptions.backColor = 0;  // fully transparent
  pathOptions.fontName = "微软雅黑";
  pathOptions.fontSize = 16;
  pathOptions.borderColor = 0;
  pathBox->SetAccessibleName("安装位置");
  pathBox->Create(startWindowHandle, 20, 422, 200, 27, offeredInstallDir, pathOptions);

  // The button's three looks carry the caption themselves.
  installButton->NormalImage(ButtonImage1());
  installButton->HoverImage(ButtonImage2());
  installButton->PressedImage(ButtonImage3());
  // The caption is in the pictures: a screen reader gets it by name.
  installButton->SetAccessibleName("立即安装");
  installButton->Create(startWindowHandle, 315, 275, 193, 58, "");
  installButton->Cursor(kHandCursor, false);
  installButton->BindEvent(ui::kMsgClick, &OnInstallClick);

  backgroundPhase = 1;
  EndStartupTrace(startWindowHandle);
}

void OnBackgroundTimer() {
  if (backgroundPhase == 1) {
    hostWindow->Compose(BackgroundImage2(), std::nullopt, kCrossFade);
    backgroundPhase = 2;
  } else if (backgroundPhase == 2) {
    hostWindow->Compose(BackgroundImage1(), std::nullopt, kCrossFade);
    backgroundPhase = 1;
  }
}

}  // namespace setup
