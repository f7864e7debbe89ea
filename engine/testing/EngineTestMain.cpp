// Test entry point for the engine's Windows tests: the engine is initialised
// once, as the program does, before any test runs.
#include <gtest/gtest.h>
#include <ole2.h>

#include "engine/core/Engine.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  ui::InitEngine();
  return RUN_ALL_TESTS();
}
