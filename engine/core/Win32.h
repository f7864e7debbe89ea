#pragma once

// The one place that includes the Windows headers, with the same settings for
// every translation unit of the engine and the installer's platform glue.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
