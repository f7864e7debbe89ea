#pragma once

#include <optional>
#include <string>

namespace ui {

// What a control tells a screen reader about itself, in the terms of
// Microsoft Active Accessibility. Texts are in the program's code page.
struct AccessibleDescription {
  long role = 0;  // a ROLE_SYSTEM_* value; 0 keeps the control out of the tree
  std::string name;
  std::optional<std::string> value;  // none: the control has no value
  long state = 0;                    // STATE_SYSTEM_* beyond focus, focusability and availability
  std::string defaultAction;         // empty: none
};

}  // namespace ui
