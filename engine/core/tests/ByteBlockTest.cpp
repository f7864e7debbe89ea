#include "engine/core/ByteBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace ui {
namespace {

TEST(ByteBlock, EmbeddedBlockIsReadFromItsLengthHeader) {
  alignas(4) const std::uint8_t block[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 'X'};
  const Bytes bytes = EmbeddedBytes(block);
  ASSERT_EQ(bytes.size(), 3u);
  EXPECT_EQ(bytes.data(), block + 8);
  EXPECT_EQ(bytes[2], 'c');
  EXPECT_TRUE(EmbeddedBytes(nullptr).empty());
}

TEST(ByteBlock, CopyBytesToCopiesTheCountOnlyWhenItIsInsideTheBlock) {
  const std::array<std::uint8_t, 5> source = {1, 2, 3, 4, 5};
  struct Case {
    std::optional<int> count;
    std::size_t copied;
  };
  const Case cases[] = {
      {std::nullopt, 5}, {0, 5}, {-3, 5}, {1, 1}, {4, 4}, {5, 5}, {6, 5}, {1000, 5},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> target(8, 0xEE);
    EXPECT_EQ(CopyBytesTo(target.data(), source, c.count), c.copied);
    for (std::size_t i = 0; i < target.size(); ++i) {
      const std::uint8_t expected = i < c.copied ? source[i] : 0xEE;
      EXPECT_EQ(target[i], expected) << "count " << c.count.value_or(-999) << " byte " << i;
    }
  }
}

TEST(ByteBlock, CopyingAnEmptyBlockWritesNothing) {
  std::uint8_t target = 0x5A;
  EXPECT_EQ(CopyBytesTo(&target, Bytes{}, 1), 0u);
  EXPECT_EQ(target, 0x5A);
}

}  // namespace
}  // namespace ui
