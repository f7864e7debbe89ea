#pragma once

#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"

namespace ui {

struct TransitionPaintRecord;

// Where an item stands in a transition between two of its looks.
struct TransitionState {
  GpImage* snapshot = nullptr;  // the previous look; none when no transition ran
  int frame = 0;
  int frames = 0;
  int interval = 0;  // ms per frame; 0: the item has no transition
  int style = 0;     // 0 cross-fade, 1 to 4 slides
};

// What a compositor composes: an item with an ARGB surface of its own the
// size of its bounds, drawn at an opacity, whose children are drawn after it
// and clipped to it. Items form chains: each knows its next sibling and its
// first child.
class Drawable {
 public:
  virtual ~Drawable() = default;

  virtual bool IsShown() const = 0;
  virtual RectF DrawBounds() const = 0;
  virtual GpImage* DrawSurface() const = 0;
  // The opacity it is drawn at (0..255), with its disabled look.
  virtual int DrawOpacity() = 0;
  // A disabled item is drawn as it is, never through a transition.
  virtual bool IsDisabled() const = 0;
  virtual TransitionState DrawTransitionState() const = 0;
  virtual Drawable* FirstChildItem() const = 0;
  virtual Drawable* NextItem() const = 0;

  // Asked before a full composition: bring the surface up to date.
  virtual void RefreshSurface() = 0;
  // Asked to draw itself between its two looks; false leaves the drawing to
  // the compositor.
  virtual bool PaintTransition(const TransitionPaintRecord& record) = 0;
  // After the item and its children were composed, with the composition's
  // graphics clipped to the part being composed: for what it keeps over the
  // composed window (a caret).
  virtual void OnComposed(GpGraphics* graphics) = 0;
};

}  // namespace ui
