// The window list's button rule and its closing loop.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ui/WindowListRules.h"

namespace {

HWND Window(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x2000 + n)); }

TEST(WindowListRules, ButtonsFollowTheNumberOfSelectedWindows) {
  struct Case {
    int selected;
    bool close, arrange, activate;
  } cases[] = {{0, false, false, false}, {1, true, false, true}, {2, true, true, false}, {5, true, true, false}};
  for (const Case& c : cases) {
    const WindowListButtons b = WindowListEnableRule(c.selected);
    EXPECT_EQ(b.close, c.close) << c.selected;
    EXPECT_EQ(b.save, c.close) << c.selected;
    EXPECT_EQ(b.minimize, c.close) << c.selected;
    EXPECT_EQ(b.arrange, c.arrange) << c.selected;
    EXPECT_EQ(b.activate, c.activate) << c.selected;
  }
}

TEST(WindowListRules, ClosingStopsAtTheFirstWindowThatStays) {
  struct Case {
    std::set<int> refusing;  // windows whose save question is cancelled
    std::vector<int> asked;  // in the order they are asked
    int closed;
  } cases[] = {
      {{}, {4, 3, 2, 1}, 4},
      {{3}, {4, 3}, 1},  // 1 and 2 are never asked
      {{4}, {4}, 0},
      {{1}, {4, 3, 2, 1}, 3},
  };
  const std::vector<HWND> selected = {Window(1), Window(2), Window(3), Window(4)};
  for (const Case& c : cases) {
    std::vector<int> asked;
    std::set<HWND> open(selected.begin(), selected.end());
    const int closed = CloseWindowsFromLast(
        selected,
        [&](HWND w) {
          const int n = static_cast<int>(reinterpret_cast<INT_PTR>(w) - 0x2000);
          asked.push_back(n);
          if (!c.refusing.count(n)) open.erase(w);
        },
        [&](HWND w) { return open.count(w) != 0; });
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(closed, c.closed);
  }
  EXPECT_EQ(CloseWindowsFromLast({}, [](HWND) {}, [](HWND) { return true; }), 0);
}

}  // namespace
