// Test entry point for the engine's Windows tests: COM (OLE) and the engine
// are initialised once on the tests' thread, as the installer's start does
// on its window's thread, before any test runs.
#include <gtest/gtest.h>
#include <ole2.h>

#include "engine/core/Engine.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  ui::InitEngine();
  return RUN_ALL_TESTS();
}
