#pragma once

#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

class Control;
class HostWindow;

// What the compositor hands a control in the middle of a transition
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

// Draws every visible control of the chain (and their children, clipped to
// their parent) for a full composition; `refresh` first asks each control
// to bring its surface up to date.
void ComposeAllControls(Control* first, GpGraphics* graphics, bool refresh);

// Draws the visible controls of the chain that overlap the dirty
// rectangle, blending those in the middle of a transition.
void ComposeControls(HostWindow& host, Control* first, const RectF& dirty, GpGraphics* graphics);

// The engine's own drawing of a control between its two looks: style 0
// cross-fades through the scratch surface, 1 to 4 slide.
void DrawTransition(Control& control, const TransitionPaintRecord& record);

// True when the control is in the middle of a transition.
bool TransitionRunning(const Control& control);

// The opacity a control is composed at: its own, halved when it is
// disabled and does not answer for its disabled look itself.
int ComposedOpacity(Control& control);

// The mean colour of an image as an RGB value (red in the low byte).
std::uint32_t AverageColor(HDC dc, GpImage* image);

// Puts the whole source on a layered window at its position; `dirty`, when
// given, is the part that changed since the last presentation.
void PresentLayered(HWND window, HDC source, int width, int height, const RECT* dirty = nullptr);

}  // namespace ui
