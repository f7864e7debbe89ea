#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "engine/controls/Control.h"

namespace ui::test {

// A control for tests: paints itself in one colour and records every
// message its class handler receives. Answers can be set per message.
class RecordingControl : public Control {
 public:
  struct Received {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
  };

  std::uint32_t colour = 0xFFFF0000;  // ARGB
  std::vector<Received> received;
  std::map<unsigned, int> answers;  // message -> answer (default -1)
  DWORD lastThread = 0;             // the thread that handled the last message

  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

  // How often a message arrived.
  int Count(unsigned message) const;
  // Paints the whole surface in `colour` through the paint protocol.
  void PaintSolid();
};

}  // namespace ui::test
