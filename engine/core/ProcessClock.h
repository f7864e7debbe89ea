#pragma once

namespace ui {

// Milliseconds since this process was created, by the system's clock: what
// a start-up takes, as seen from outside the program.
double MillisecondsSinceProcessStart();

// Milliseconds since 1 January 1970 by the same clock, so that a script
// that started the process can tell how long after its own start a stage
// came, Wine's loading included.
double UnixMilliseconds();

}  // namespace ui
