#pragma once

#include "TestWindow.h"
#include "engine/host/HostWindow.h"

namespace ui::test {

// A plain host for control tests: layered, frameless (nothing clips the
// controls), no caption buttons, and a press on empty space moves nothing.
HostOptions PlainHost();

}  // namespace ui::test
