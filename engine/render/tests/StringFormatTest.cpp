#include "engine/render/StringFormat.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(StringFormat, AccessorsSetWhenGivenAndReadBack) {
  StringFormat format;
  ASSERT_TRUE(format.Create());
  ASSERT_NE(format.Handle(), nullptr);
  EXPECT_EQ(format.Alignment(Gdiplus::StringAlignmentCenter), Gdiplus::StringAlignmentCenter);
  EXPECT_EQ(format.Alignment(), Gdiplus::StringAlignmentCenter);
  EXPECT_EQ(format.Trimming(Gdiplus::StringTrimmingEllipsisCharacter), Gdiplus::StringTrimmingEllipsisCharacter);
  EXPECT_EQ(format.HotkeyPrefix(Gdiplus::HotkeyPrefixShow), Gdiplus::HotkeyPrefixShow);
  EXPECT_EQ(format.FormatFlags(Gdiplus::StringFormatFlagsNoWrap), Gdiplus::StringFormatFlagsNoWrap);
  EXPECT_EQ(format.LineAlignment(Gdiplus::StringAlignmentFar), Gdiplus::StringAlignmentFar);
  // A second Create replaces the format.
  ASSERT_TRUE(format.Create(Gdiplus::StringFormatFlagsDirectionVertical));
  EXPECT_EQ(format.FormatFlags(), Gdiplus::StringFormatFlagsDirectionVertical);
  EXPECT_EQ(format.Alignment(), Gdiplus::StringAlignmentNear);
}

}  // namespace
}  // namespace ui
