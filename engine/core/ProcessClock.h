#pragma once

namespace ui {

// Milliseconds since this process was created, by the system's clock: what
// a start-up takes, as seen from outside the program.
double MillisecondsSinceProcessStart();

}  // namespace ui
