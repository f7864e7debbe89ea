#include "engine/render/EdgeStamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ui {
namespace {

// A picture stored bottom row first, as a DIB section is.
struct BottomUpPicture {
  BottomUpPicture(int pictureWidth, int pictureHeight, std::uint32_t fill)
      : pixels(static_cast<std::size_t>(pictureWidth) * pictureHeight, fill),
        width(pictureWidth),
        height(pictureHeight) {}
  PixelRows Rows() { return {pixels.data() + static_cast<std::size_t>(height - 1) * width, -width, width, height}; }
  std::vector<std::uint32_t> pixels;
  int width, height;
};

// A stamp of opaque pixels that name their own place: x in the low byte,
// y in the next. Laid "over", an opaque pixel replaces what is under it.
BottomUpPicture NamedStamp(int width, int height) {
  BottomUpPicture stamp(width, height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) stamp.Rows().Row(y)[x] = 0xFF000000u | (y << 8) | x;
  }
  return stamp;
}

// The target's rows as the stamp places they came from, "xy", or ".." where
// the target kept its own.
std::vector<std::string> PlacesOf(BottomUpPicture& target) {
  std::vector<std::string> rows;
  for (int y = 0; y < target.height; ++y) {
    std::string row;
    for (int x = 0; x < target.width; ++x) {
      const std::uint32_t p = target.Rows().Row(y)[x];
      if (!row.empty()) row += ' ';
      row += p == 0x11111111u ? std::string("..") : std::to_string(p & 0xFF) + std::to_string((p >> 8) & 0xFF);
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(EdgeStamp, CornersComeFromTheStampsCornersAndEdgesRepeatItsMiddle) {
  // A band of 2: the stamp is 2 + 1 + 2 pixels along a side that is longer.
  EXPECT_EQ(EdgeStampSize(825, 32), 65);
  EXPECT_EQ(EdgeStampSize(65, 32), 65);
  EXPECT_EQ(EdgeStampSize(40, 32), 40);
  EXPECT_EQ(EdgeStampSize(0, 32), 0);

  BottomUpPicture target(8, 7, 0x11111111);
  BottomUpPicture stamp = NamedStamp(5, 5);
  LayEdgeStamp(target.Rows(), stamp.Rows(), 2);
  const std::vector<std::string> expected = {
      "00 10 20 20 20 20 30 40",  //
      "01 11 21 21 21 21 31 41",  //
      "02 12 .. .. .. .. 32 42",  //
      "02 12 .. .. .. .. 32 42",  //
      "02 12 .. .. .. .. 32 42",  //
      "03 13 23 23 23 23 33 43",  //
      "04 14 24 24 24 24 34 44",
  };
  EXPECT_EQ(PlacesOf(target), expected);
}

TEST(EdgeStamp, ShortSidesAreTheStampsOwnAndAWrongStampLaysNothing) {
  // Four wide, no inside across: every column is the stamp's own and every
  // row is laid whole. Six tall with a band of 2: rows 0-1 and 4-5 from the
  // stamp's ends, 2 and 3 from its middle row.
  BottomUpPicture narrow(4, 6, 0x11111111);
  BottomUpPicture stamp = NamedStamp(4, 5);
  LayEdgeStamp(narrow.Rows(), stamp.Rows(), 2);
  EXPECT_EQ(PlacesOf(narrow), (std::vector<std::string>{"00 10 20 30", "01 11 21 31", "02 12 22 32", "02 12 22 32",
                                                        "03 13 23 33", "04 14 24 34"}));

  BottomUpPicture untouched(8, 7, 0x11111111);
  LayEdgeStamp(untouched.Rows(), NamedStamp(4, 5).Rows(), 2);
  LayEdgeStamp(untouched.Rows(), NamedStamp(5, 5).Rows(), -1);
  EXPECT_EQ(untouched.pixels, std::vector<std::uint32_t>(56, 0x11111111));
}

}  // namespace
}  // namespace ui
