#include "StartupTrace.h"

#include <cstdio>
#include <string>

#include "engine/core/ProcessClock.h"
#include "engine/render/Composition.h"

namespace setup {
namespace {

std::FILE* trace = nullptr;
bool firstFrameSeen = false;

// Whether the middle of a presented picture shows anything.
bool ShowsSomething(HDC source) {
  DIBSECTION dib{};
  auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(source, OBJ_BITMAP));
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBits == nullptr) {
    return false;
  }
  GdiFlush();
  const int x = dib.dsBm.bmWidth / 2, y = dib.dsBm.bmHeight / 2;
  const auto* row =
      static_cast<const unsigned char*>(dib.dsBm.bmBits) + static_cast<std::size_t>(y) * dib.dsBm.bmWidthBytes;
  return row[x * 4 + 3] != 0;
}

}  // namespace

void BeginStartupTrace() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"NIMBO_STARTUP_TRACE", path, MAX_PATH) == 0) return;
  trace = _wfopen(path, L"a");
  if (trace == nullptr) return;
  MarkStartupStage("main");
  ui::SetPresentObserver([](const ui::Presentation& presentation) {
    if (firstFrameSeen || !ShowsSomething(presentation.source)) return;
    firstFrameSeen = true;
    MarkStartupStage("first frame");
  });
}

void MarkStartupStage(const char* stage) {
  if (trace == nullptr) return;
  std::fprintf(trace, "%s\t%.3f\t%.3f\n", stage, ui::MillisecondsSinceProcessStart(), ui::UnixMilliseconds());
  std::fflush(trace);
}

void EndStartupTrace(HWND window) {
  if (trace == nullptr) return;
  MarkStartupStage("shown");
  ui::SetPresentObserver(nullptr);
  std::fclose(trace);
  trace = nullptr;
  PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace setup
