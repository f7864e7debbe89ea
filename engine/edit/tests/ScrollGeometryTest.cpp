// Window-free arithmetic of the scroll bar: parts, thumb length and the
// mapping between positions and thumb coordinates.
#include "engine/edit/ScrollGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace ui {
namespace {

TEST(ScrollGeometry, PartsOfBothOrientations) {
  const ScrollParts across = LayoutScrollParts(200, 10, true);
  EXPECT_EQ(across.firstArrow, (RectF{0, 0, 9, 10}));
  EXPECT_EQ(across.secondArrow, (RectF{191, 0, 9, 10}));
  EXPECT_EQ(across.track, (RectF{10, 1, 180, 8}));

  const ScrollParts down = LayoutScrollParts(10, 100, false);
  EXPECT_EQ(down.firstArrow, (RectF{0, 0, 10, 9}));
  EXPECT_EQ(down.secondArrow, (RectF{0, 91, 10, 9}));
  EXPECT_EQ(down.track, (RectF{1, 10, 8, 80})) << "a bar 100 high has an 80-pixel track";

  EXPECT_EQ(LayoutScrollParts(10, 15, false).track, (RectF{1, 10, 8, 0})) << "too short for a track: none";
}

TEST(ScrollGeometry, ThumbLengthFollowsTheRangeWithinItsLimits) {
  struct Case {
    float track;
    int maximum;
    int thumb;
  };
  const Case cases[] = {
      {80, 80, 40},                                 // 6400 / 160
      {80, 1000, 30},                               // 5.9: the smallest thumb
      {80, 0, 0},                                   // nothing to scroll: no thumb
      {80, -25, 0},         {80, 1, 79},            // 6400 / 81 = 79.01, truncated
      {180, 100, 115},                              // 32400 / 280 = 115.7
      {20, 10, 20},                                 // 30 would not fit: the whole track
      {0, 50, 0},           {50000, 50000, 25000},  // L x L beyond 32 bits
      {50000, INT_MAX, 30},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThumbLengthFor(c.track, c.maximum), c.thumb) << c.track << " / " << c.maximum;
  }
}

// A vertical bar 100 high: track from 10, 80 long.
ScrollTrack Track(int thumb, int minimum, int maximum) { return {10, 80, thumb, minimum, maximum, -minimum}; }

TEST(ScrollGeometry, ThumbOffsetSpreadsTheRangeOverTheTrack) {
  struct Case {
    ScrollTrack track;
    int position;
    float offset;
  };
  const Case cases[] = {
      {Track(40, 0, 80), 0, 10},  // travel 40 for 80 positions
      {Track(40, 0, 80), 20, 20},    {Track(40, 0, 80), 40, 30},
      {Track(40, 0, 80), 80, 50},   // the thumb ends where the track ends
      {Track(40, 0, 80), 120, 50},  // never past the track
      {Track(40, 0, 80), -5, 10},    {Track(30, 0, 1000), 500, 35},
      {Track(40, -50, 50), -50, 10}, {Track(40, -50, 50), 0, 30},  // the middle of a range around zero
      {Track(40, -50, 50), 50, 50},  {Track(0, 0, 0), 0, 10},      // an empty range: no division
      {Track(40, 7, 7), 7, 10},      {Track(80, 0, 10), 5, 10},    // a thumb as long as the track cannot move
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(ThumbOffset(c.track, c.position), c.offset)
        << c.track.minimum << ".." << c.track.maximum << " at " << c.position;
  }
}

TEST(ScrollGeometry, PixelsMapToPositionsAndTheEndsToTheLimits) {
  struct Case {
    ScrollTrack track;
    float coordinate;
    int position;
  };
  const Case cases[] = {
      {Track(40, 0, 80), 50, 80},                                   // the thumb at the track's end: exactly the maximum
      {Track(40, 0, 80), 400, 80},      {Track(40, 0, 80), 10, 0},  // at the start: exactly the minimum
      {Track(40, 0, 80), -100, 0},                                  // above the track
      {Track(40, 0, 80), 30, 40},                                   // 20 pixels of 40 for 80 positions
      {Track(40, 0, 80), 10.25f, 1},                                // 0.5 rounds up
      {Track(40, 0, 80), 10.2f, 0},                                 // 0.4 rounds down
      {Track(40, 0, 80), 49.75f, 80},                               // 79.5
      {Track(40, 0, 80), 49.5f, 79},    {Track(30, 0, 1000), 35, 500},  // 25 pixels of 50 for 1000 positions
      {Track(30, 0, 1000), 59.9f, 998}, {Track(40, -50, 50), 30, 0},   {Track(40, -50, 50), 0, -50},
      {Track(40, -50, 50), 60, 50},     {Track(0, 0, 0), 30, 0},  // nothing to scroll
      {Track(40, 10, 5), 30, 10},                                 // a range turned round keeps the minimum
      {Track(80, 0, 10), 11, 10},                                 // no room to move: past the start is the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PositionFromPixel(c.track, c.coordinate), c.position)
        << c.track.minimum << ".." << c.track.maximum << " at " << c.coordinate;
  }
}

// Random bars: the position a thumb is drawn at maps back to itself, and
// every pixel maps into the range, never backwards along the track.
TEST(ScrollGeometry, RandomBarsMapPositionsBackAndStayInTheRange) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 2000; ++round) {
    const float length = static_cast<float>(std::uniform_int_distribution<int>(1, 3000)(random));
    const int maximum = std::uniform_int_distribution<int>(1, 200000)(random);
    ScrollTrack track{10, length, ThumbLengthFor(length, maximum), 0, maximum, 0};
    const double travel = length - track.thumbLength;
    if (travel >= 1 && maximum / travel <= 1000) {
      for (int i = 0; i < 20; ++i) {
        const int position = std::uniform_int_distribution<int>(0, maximum)(random);
        ASSERT_EQ(PositionFromPixel(track, ThumbOffset(track, position)), position)
            << "track " << length << ", maximum " << maximum;
      }
    }
    // Extreme ranges as well.
    track.minimum = std::uniform_int_distribution<int>(INT_MIN, 0)(random);
    track.maximum = std::uniform_int_distribution<int>(INT_MIN, INT_MAX)(random);
    track.origin = std::uniform_int_distribution<int>(INT_MIN, INT_MAX)(random);
    int previous = INT_MIN;
    for (float c = -5; c < length + 15; c += std::max(0.75f, length / 400)) {
      const int position = PositionFromPixel(track, c);
      const int low = track.minimum, high = std::max(track.minimum, track.maximum);
      ASSERT_TRUE(position >= low && position <= high) << position;
      ASSERT_GE(position, previous);
      previous = position;
      const float offset = ThumbOffset(track, position);
      ASSERT_TRUE(offset >= 10 && offset <= 10 + std::max(0.0f, length - track.thumbLength)) << offset;
    }
  }
}

}  // namespace
}  // namespace ui
