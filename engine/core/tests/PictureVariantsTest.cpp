#include "engine/core/PictureVariants.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

class PictureVariants : public testing::Test {
 protected:
  void SetUp() override {
    ClearPictureVariants();
    AddPictureVariant(picture, 200, at200);
    AddPictureVariant(picture, 150, at150);
  }
  void TearDown() override { ClearPictureVariants(); }
  const std::vector<std::uint8_t> picture{1, 2, 3}, at150{4, 5}, at200{6};
};

TEST_F(PictureVariants, TheNextLargerDrawingIsTaken) {
  struct Case {
    int dpi, percent;
  };
  for (const Case& c : {Case{96, 100}, Case{72, 100}, Case{97, 150}, Case{120, 150}, Case{144, 150}, Case{145, 200},
                        Case{168, 200}, Case{192, 200}, Case{288, 200}}) {
    const PictureChoice choice = PictureForScale(picture, c.dpi);
    EXPECT_EQ(choice.percent, c.percent) << c.dpi;
    const std::vector<std::uint8_t>& expected = c.percent == 100 ? picture : c.percent == 150 ? at150 : at200;
    EXPECT_EQ(choice.bytes.data(), expected.data()) << c.dpi;
  }
}

TEST_F(PictureVariants, APictureIsKnownByItsBytesAndOthersHaveNone) {
  const std::vector<std::uint8_t> copy = picture;
  EXPECT_EQ(PictureForScale(copy, 144).bytes.data(), at150.data());
  const std::vector<std::uint8_t> other{1, 2, 4};
  const PictureChoice none = PictureForScale(other, 192);
  EXPECT_EQ(none.percent, 100);
  EXPECT_EQ(none.bytes.data(), other.data());
  EXPECT_EQ(PictureForScale({}, 192).percent, 100);
  AddPictureVariant(other, 100, at150);  // not larger: ignored
  AddPictureVariant(other, 175, {});     // nothing: ignored
  EXPECT_EQ(PictureForScale(other, 192).percent, 100);
}

}  // namespace
}  // namespace ui
