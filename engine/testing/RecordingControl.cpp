#include "RecordingControl.h"

namespace ui::test {

int RecordingControl::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  received.push_back({message, wParam, lParam});
  lastThread = GetCurrentThreadId();
  if (message == WM_PAINT) PaintSolid();
  const auto answer = answers.find(message);
  return answer == answers.end() ? -1 : answer->second;
}

int RecordingControl::Count(unsigned message) const {
  int count = 0;
  for (const Received& r : received) count += r.message == message ? 1 : 0;
  return count;
}

void RecordingControl::PaintSolid() {
  PaintContext context;
  if (!BeginControlPaint(*this, context)) return;
  if (context.graphics != nullptr) gp::GdipGraphicsClear(context.graphics, colour);
  EndControlPaint(*this, context);
}

}  // namespace ui::test
