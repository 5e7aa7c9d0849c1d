// The tab row of the open-file tabs bar against a stand-in strip: adding, renaming, removing,
// and the rebuild with the newest windows when the tabs no longer fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ViewTabRow.h"

namespace {

class FakeStrip : public ITabStrip {
 public:
  std::vector<std::string> items;
  int selected = -1;
  int tabWidth = 100;
  int width = 450;  // four tabs fit

  int GetItemCount() const override { return static_cast<int>(items.size()); }
  void InsertItem(int index, const std::string& text) override {
    items.insert(items.begin() + std::min(index, GetItemCount()), text);
  }
  void DeleteItem(int index) override {
    items.erase(items.begin() + index);
    if (selected >= GetItemCount()) selected = GetItemCount() - 1;
  }
  void SetItemText(int index, const std::string& text) override { items[static_cast<size_t>(index)] = text; }
  int GetCurSel() const override { return selected; }
  void SetCurSel(int index) override { selected = index; }
  int GetFirstItemWidth() const override { return items.empty() ? 0 : tabWidth; }
  int GetStripWidth() const override { return width; }
};

HWND View(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000 + n)); }

std::vector<std::string> Names(int first, int last) {
  std::vector<std::string> names;
  for (int i = first; i <= last; ++i) names.push_back("Capture" + std::to_string(i));
  return names;
}

TEST(ViewTabRow, AddsRenamesAndRemovesTabsInOpeningOrder) {
  FakeStrip strip;
  CViewTabRow row(strip);
  row.Add(View(1), "");
  row.Add(View(2), "");
  row.Add(View(2), "twice");  // one tab per view
  EXPECT_EQ(strip.items, (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(row.Rename(View(1), "Capture1"));
  EXPECT_FALSE(row.Rename(View(1), "Capture1"));  // unchanged: nothing to do
  EXPECT_TRUE(row.Rename(View(2), "shot.bmp"));
  EXPECT_FALSE(row.Rename(View(9), "unknown"));
  EXPECT_EQ(strip.items, (std::vector<std::string>{"Capture1", "shot.bmp"}));
  EXPECT_EQ(row.TabOf(View(2)), 1);
  EXPECT_EQ(row.ViewAt(1), View(2));
  EXPECT_EQ(row.ViewAt(2), nullptr);
  EXPECT_EQ(row.ViewAt(-1), nullptr);
  EXPECT_TRUE(row.Remove(View(1)));
  EXPECT_FALSE(row.Remove(View(1)));
  EXPECT_EQ(strip.items, (std::vector<std::string>{"shot.bmp"}));
  EXPECT_EQ(row.TabOf(View(2)), 0);
  EXPECT_TRUE(row.Remove(View(2)));
  EXPECT_EQ(row.Count(), 0);
  EXPECT_TRUE(strip.items.empty());
}

TEST(ViewTabRow, AfterACloseOnlyTheNewestWindowsThatFitKeepTabs) {
  FakeStrip strip;  // four tabs fit
  CViewTabRow row(strip);
  for (int i = 1; i <= 7; ++i) row.Add(View(i), "Capture" + std::to_string(i));
  EXPECT_EQ(row.TabCount(), 7);  // while opening, the strip scrolls
  strip.selected = 2;
  ASSERT_TRUE(row.Remove(View(3)));  // six left, four fit: the four newest
  EXPECT_EQ(strip.items, (std::vector<std::string>{"Capture4", "Capture5", "Capture6", "Capture7"}));
  EXPECT_EQ(row.FirstShown(), 2);
  EXPECT_EQ(row.Count(), 6);
  EXPECT_EQ(strip.selected, 2);  // the selected index stays
  EXPECT_EQ(row.TabOf(View(1)), -1);
  EXPECT_EQ(row.TabOf(View(5)), 1);
  EXPECT_EQ(row.ViewAt(0), View(4));
  // Titles still follow, also of the windows without a tab.
  EXPECT_TRUE(row.Rename(View(1), "old.bmp"));
  EXPECT_TRUE(row.Rename(View(4), "four.bmp"));
  EXPECT_EQ(strip.items.front(), "four.bmp");
  // A window without a tab goes: the row stays the newest four.
  ASSERT_TRUE(row.Remove(View(1)));
  EXPECT_EQ(strip.items, (std::vector<std::string>{"four.bmp", "Capture5", "Capture6", "Capture7"}));
  // Once they all fit again, every window has its tab back.
  ASSERT_TRUE(row.Remove(View(7)));
  EXPECT_EQ(strip.items, (std::vector<std::string>{"Capture2", "four.bmp", "Capture5", "Capture6"}));
  EXPECT_EQ(row.FirstShown(), 0);
}

TEST(ViewTabRow, TabsThatFitFollowTheFirstTabWidth) {
  struct Case {
    int tabWidth, width, expected;
  } cases[] = {
      {100, 450, 4}, {150, 1000, 6}, {100, 50, 1},  // never fewer than one
      {0, 450, CViewTabRow::kDefaultTabsThatFit},   // not laid out yet
  };
  for (const Case& c : cases) {
    FakeStrip strip;
    strip.tabWidth = c.tabWidth;
    strip.width = c.width;
    CViewTabRow row(strip);
    row.Add(View(1), "a");
    EXPECT_EQ(row.TabsThatFit(), c.expected) << c.tabWidth << " " << c.width;
  }
}

TEST(ViewTabRow, ANarrowStripKeepsTheNewestAfterEveryClose) {
  FakeStrip strip;
  strip.width = 250;  // two fit
  CViewTabRow row(strip);
  const std::vector<std::string> names = Names(1, 5);
  for (int i = 1; i <= 5; ++i) row.Add(View(i), names[static_cast<size_t>(i - 1)]);
  row.Remove(View(5));
  EXPECT_EQ(strip.items, Names(3, 4));
  row.Remove(View(4));
  EXPECT_EQ(strip.items, Names(2, 3));
  row.Remove(View(3));
  EXPECT_EQ(strip.items, Names(1, 2));
  EXPECT_EQ(strip.selected, -1);  // nothing was selected
}

}  // namespace
