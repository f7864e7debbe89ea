#include "engine/render/NineSlice.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(NineSlice, CornersKeepTheirSizeEdgesAndCentreStretch) {
  // A 30 x 20 image with borders 5 (left), 4 (top), 7 (right), 3 (bottom).
  const auto cells = NineSliceCells(30, 20, RectF{100, 50, 200, 80}, 5, 4, 23, 17);
  const RectI sources[9] = {{0, 0, 5, 4},   {5, 0, 18, 4}, {23, 0, 7, 4},  {0, 4, 5, 13}, {5, 4, 18, 13},
                            {23, 4, 7, 13}, {0, 17, 5, 3}, {5, 17, 18, 3}, {23, 17, 7, 3}};
  const RectI destinations[9] = {{100, 50, 5, 4},  {105, 50, 188, 4},  {293, 50, 7, 4},
                                 {100, 54, 5, 73}, {105, 54, 188, 73}, {293, 54, 7, 73},
                                 {100, 127, 5, 3}, {105, 127, 188, 3}, {293, 127, 7, 3}};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(cells[i].source, sources[i]) << "cell " << i;
    EXPECT_EQ(cells[i].destination, destinations[i]) << "cell " << i;
  }
}

TEST(NineSlice, DestinationCoordinatesAreTruncated) {
  const auto cells = NineSliceCells(10, 10, RectF{1.9f, 2.7f, 20.6f, 30.2f}, 2, 2, 8, 8);
  EXPECT_EQ(cells[0].destination, (RectI{1, 2, 2, 2}));
  EXPECT_EQ(cells[8].destination, (RectI{19, 30, 2, 2}));
}

}  // namespace
}  // namespace ui
