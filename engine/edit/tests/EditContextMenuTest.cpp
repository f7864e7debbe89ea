#include "engine/edit/EditContextMenu.h"

#include <gtest/gtest.h>

#include "engine/host/PopupMenu.h"

namespace ui {
namespace {

TEST(EditContextMenu, HoldsItsFiveEntriesInOrder) {
  const std::vector<MenuEntry>& entries = EditMenuEntries();
  ASSERT_EQ(entries.size(), 5u);
  const MenuEntry expected[] = {
      {"剪切(&T)", 88}, {"复制(&C)", 67}, {"粘贴(&P)", 86}, {"", 0}, {"全部选择(&A)", 65},
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].text, expected[i].text) << i;
    EXPECT_EQ(entries[i].id, expected[i].id) << i;
  }
}

TEST(EditContextMenu, IsOneMenuForEveryBoxFilledWithTheEntries) {
  PopupMenu& menu = EditContextMenu();
  EXPECT_EQ(&EditContextMenu(), &menu) << "made once";
  ASSERT_EQ(menu.Items().size(), 5u);
  EXPECT_EQ(menu.ItemText(1), "剪切(&T)");
  EXPECT_EQ(menu.ItemText(5), "全部选择(&A)");
}

}  // namespace
}  // namespace ui
