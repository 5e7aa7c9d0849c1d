// The hyperlink's decisions that need no window: its colour in each state and the rectangle an
// auto-sized link takes, and its style changes before it has a window.
#include <gtest/gtest.h>

#include "ui/HyperLink.h"

TEST(HyperLinkColor, TheFourColours) {
  EXPECT_EQ(CHyperLink::LinkColor, 0xFF0000u);
  EXPECT_EQ(CHyperLink::VisitedColor, 0x800080u);
  EXPECT_EQ(CHyperLink::HoverColor, 0x0000FFu);
  EXPECT_EQ(CHyperLink::FocusedColor, 0x808000u);
  EXPECT_EQ(CHyperLink::DefaultStyle, 0x15u);
}

TEST(HyperLinkColor, EachStateAndFlagCombination) {
  const DWORD hoverFlag = CHyperLink::StyleUseHover;
  const DWORD noActive = CHyperLink::StyleNoActiveColor;
  const COLORREF link = CHyperLink::LinkColor, visited = CHyperLink::VisitedColor;
  const COLORREF hover = CHyperLink::HoverColor, focused = CHyperLink::FocusedColor;
  struct Case {
    DWORD style;
    bool hovering, isFocused, isVisited;
    COLORREF expected;
  };
  const Case cases[] = {
      // style                  hover  focus  visit
      {0, false, false, false, link},
      {0, false, false, true, visited},
      {0, false, true, false, focused},
      {0, false, true, true, focused},
      {0, true, false, false, link},  // hovering shows only with the hover flag
      {0, true, true, true, focused},
      {hoverFlag, true, false, false, hover},
      {hoverFlag, true, true, true, hover},
      {hoverFlag, false, false, true, visited},
      {hoverFlag, false, true, false, focused},
      {noActive, false, true, false, link},
      {noActive, false, true, true, visited},
      {noActive, true, true, false, link},
      {noActive | hoverFlag, true, true, true, hover},
      {noActive | hoverFlag, false, true, true, visited},
      {CHyperLink::DefaultStyle, true, false, false, link},
      {CHyperLink::DefaultStyle, false, true, true, focused},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HyperLinkTextColor(c.style, c.hovering, c.isFocused, c.isVisited), c.expected)
        << "style " << c.style << " hover " << c.hovering << " focus " << c.isFocused << " visited " << c.isVisited;
  }
}

TEST(HyperLinkFit, KeepsTheEdgeOfItsAlignment) {
  struct Case {
    DWORD style;
    RECT window;
    SIZE extent;
    RECT expected;
  };
  const RECT w{10, 20, 110, 40};  // 100 x 20
  const Case cases[] = {
      {SS_LEFT, w, {40, 12}, {10, 20, 50, 32}},
      {SS_CENTER, w, {40, 12}, {40, 20, 80, 32}},
      {SS_RIGHT, w, {40, 12}, {70, 20, 110, 32}},
      {SS_LEFT | SS_CENTERIMAGE, w, {40, 12}, {10, 24, 50, 36}},
      {SS_CENTER | SS_CENTERIMAGE, w, {40, 12}, {40, 24, 80, 36}},
      {SS_RIGHT | SS_CENTERIMAGE, w, {41, 13}, {69, 23, 110, 36}},
      {SS_LEFTNOWORDWRAP | SS_NOPREFIX, w, {40, 12}, {10, 20, 50, 32}},
      // Text larger than the window grows it the same ways.
      {SS_LEFT, w, {140, 30}, {10, 20, 150, 50}},
      {SS_CENTER | SS_CENTERIMAGE, w, {140, 30}, {-10, 15, 130, 45}},
      {SS_RIGHT, w, {140, 30}, {-30, 20, 110, 50}},
      // An empty text keeps a line's height.
      {SS_LEFT, w, {0, 13}, {10, 20, 10, 33}},
  };
  for (const Case& c : cases) {
    RECT r = HyperLinkFitRect(c.window, c.extent, c.style | WS_CHILD | WS_VISIBLE);
    EXPECT_TRUE(::EqualRect(&r, &c.expected)) << "style " << c.style << " got " << r.left << "," << r.top << ","
                                               << r.right << "," << r.bottom;
  }
}

TEST(HyperLinkStyle, RemoveAndAddMustNotShareAFlag) {
  CHyperLink link;
  EXPECT_EQ(link.GetLinkStyle(), CHyperLink::DefaultStyle);
  EXPECT_FALSE(link.ModifyLinkStyle(CHyperLink::StyleUnderline, CHyperLink::StyleUnderline | CHyperLink::StyleUseHover));
  EXPECT_EQ(link.GetLinkStyle(), CHyperLink::DefaultStyle);
  EXPECT_TRUE(link.ModifyLinkStyle(CHyperLink::StyleUnderline, CHyperLink::StyleUseHover));
  EXPECT_EQ(link.GetLinkStyle(), 0x16u);
  EXPECT_TRUE(link.ModifyLinkStyle(0, 0));
  EXPECT_EQ(link.GetLinkStyle(), 0x16u);
  link.SetURL("http://a.example/");
  EXPECT_EQ(link.GetURL(), "http://a.example/");
  EXPECT_FALSE(link.IsVisited());
}
