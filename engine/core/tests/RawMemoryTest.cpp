#include "engine/core/RawMemory.h"

#include <gtest/gtest.h>

#include "engine/core/Win32.h"

namespace ui {
namespace {

TEST(RawMemory, BlocksAreZeroedReadWriteAndNeverExecutable) {
  auto* block = static_cast<std::uint8_t*>(AllocRaw(100));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(block[i], 0) << i;

  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(block, &info, sizeof info), 0u);
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READWRITE));

  WriteInt(block + 4, -123456789);
  EXPECT_EQ(ReadInt(block + 4), -123456789);
  WriteInt(block + 1, 0x11223344);  // unaligned addresses are fine
  EXPECT_EQ(ReadInt(block + 1), 0x11223344);

  FreeRaw(block);
  ASSERT_NE(VirtualQuery(block, &info, sizeof info), 0u);
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE));
}

TEST(RawMemory, ZeroSizeAndNullAreHarmless) {
  EXPECT_EQ(AllocRaw(0), nullptr);
  FreeRaw(nullptr);
}

}  // namespace
}  // namespace ui
