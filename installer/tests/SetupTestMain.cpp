// Test entry point for the installer's Windows tests: COM and the engine are
// initialised as the program's start sequence does.
#include <gtest/gtest.h>
#include <ole2.h>

#include "engine/core/Engine.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  ui::InitEngine();
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
