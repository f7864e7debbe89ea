#pragma once

#include <functional>

#include "Drawable.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

// What the compositor hands an item in the middle of a transition
// (kMsgDrawTransition) and uses for its own transition drawing.
struct TransitionPaintRecord {
  HDC surfaceDC;
  GpGraphics* surfaceGraphics;
  HDC scratchDC;
  GpGraphics* scratchGraphics;
  GpImage* surface;   // the control's new look
  GpImage* snapshot;  // its previous look
  RectF bounds;
  RectF clip;
  int frame;
  int frames;
};

// Draws every shown item of the chain (and their children, clipped to
// their parent) for a full composition; `refresh` first asks each item to
// bring its surface up to date. Items are placed in logical pixels and
// drawn at the scale, each onto the device pixels its bounds cover.
void ComposeAllItems(Drawable* first, GpGraphics* graphics, bool refresh, const DisplayScale& scale = {});

// Draws the shown items of the chain that overlap the dirty rectangle
// (logical) onto the composition surface (its DC and graphics), blending
// those in the middle of a transition. The transition record's bounds and
// clip are in device pixels.
void ComposeItems(HDC surfaceDC, Drawable* first, const RectF& dirty, GpGraphics* graphics,
                  const DisplayScale& scale = {});

// The engine's own drawing of an item between its two looks at its
// opacity: style 0 cross-fades through the scratch surface, 1 to 4 slide.
void DrawTransition(int style, int opacity, const TransitionPaintRecord& record);

// True when the item is in the middle of a transition.
bool TransitionRunning(const TransitionState& transition);

// The mean colour of an image as an RGB value (red in the low byte).
std::uint32_t AverageColor(HDC dc, GpImage* image);

// Puts the whole source on a layered window at its position; `dirty`, when
// given, is the part that changed since the last presentation.
void PresentLayered(HWND window, HDC source, int width, int height, const RECT* dirty = nullptr);

// Copies a rectangle of the source into a window that is not layered.
void PresentByCopy(HWND window, HDC windowDC, HDC source, const RECT& area);

// One picture put on the screen: the part of the window it updated (the
// whole window for a layered presentation without a dirty rectangle) and
// the surface it came from.
struct Presentation {
  HWND window = nullptr;
  HDC source = nullptr;
  RECT area{};
  bool layered = false;
};

// Sees every presentation from now on; an empty function stops observing.
// For tests and benchmarks.
void SetPresentObserver(std::function<void(const Presentation&)> observer);

}  // namespace ui
