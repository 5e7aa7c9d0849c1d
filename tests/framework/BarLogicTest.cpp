// The control bars' logic without a screen: reading TOOLBAR resources, taking bar rectangles
// off a layout, the prompt and tip parts of command strings, and the image list holder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

std::vector<BYTE> Words(std::initializer_list<unsigned> words) {
  std::vector<BYTE> bytes;
  for (unsigned w : words) {
    bytes.push_back(static_cast<BYTE>(w & 0xFF));
    bytes.push_back(static_cast<BYTE>(w >> 8));
  }
  return bytes;
}

struct ParseCase {
  const char* name;
  std::vector<BYTE> data;
  bool ok;
  std::vector<UINT> ids;
};

}  // namespace

TEST(ToolBarResource, ParsesOrRefuses) {
  std::vector<BYTE> padded = Words({1, 16, 15, 2, 7, 0});
  padded.push_back(0);  // resources are padded: trailing bytes are fine
  padded.push_back(0);
  const ParseCase cases[] = {
      {"two buttons and a separator", Words({1, 16, 15, 3, 100, 0, 101}), true, {100, 0, 101}},
      {"no buttons", Words({1, 16, 16, 0}), true, {}},
      {"padding after the ids", padded, true, {7, 0}},
      {"largest image", Words({1, 256, 256, 1, 5}), true, {5}},
      {"empty", {}, false, {}},
      {"shorter than the header", Words({1, 16, 15}), false, {}},
      {"odd byte short", std::vector<BYTE>{1, 0, 16, 0, 15, 0, 1, 0, 9}, false, {}},
      {"count beyond the data", Words({1, 16, 15, 4, 100, 101, 102}), false, {}},
      {"count far beyond the data", Words({1, 16, 15, 0xFFFF, 1}), false, {}},
      {"version 0", Words({0, 16, 15, 1, 100}), false, {}},
      {"version 2", Words({2, 16, 15, 1, 100}), false, {}},
      {"zero width", Words({1, 0, 15, 1, 100}), false, {}},
      {"zero height", Words({1, 16, 0, 1, 100}), false, {}},
      {"huge image", Words({1, 257, 15, 1, 100}), false, {}},
  };
  for (const ParseCase& c : cases) {
    CToolBarResource res;
    res.ids = {999};  // a failed read leaves it as it was
    BOOL ok = AfxParseToolBarResource(c.data.empty() ? nullptr : c.data.data(), c.data.size(), res);
    EXPECT_EQ(ok != FALSE, c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(res.ids, c.ids) << c.name;
      EXPECT_EQ(res.cxImage, c.data[2] | (c.data[3] << 8)) << c.name;
    } else {
      EXPECT_EQ(res.ids, std::vector<UINT>{999}) << c.name;
    }
  }
}

TEST(ToolBarResource, LoadsFromTheModule) {
  CToolBarResource res;
  ASSERT_TRUE(AfxLoadToolBarResource(IDR_TESTTOOLBAR, res));
  EXPECT_EQ(res.cxImage, 16);
  EXPECT_EQ(res.cyImage, 15);
  const std::vector<UINT> expected = {ID_TEST_TB_RUN, ID_TEST_TB_DISABLED, 0, ID_TEST_TB_CHECK, ID_TEST_TB_NOHANDLER};
  EXPECT_EQ(res.ids, expected);
  EXPECT_EQ(res.ImageCount(), 4);
  const UINT refused[] = {IDR_TB_BADVERSION, IDR_TB_TRUNCATED, IDR_TB_ZEROSIZE, IDR_TB_MISSING, IDR_TESTFRAME};
  for (UINT id : refused) EXPECT_FALSE(AfxLoadToolBarResource(id, res)) << id;
}

TEST(BarLayout, BarsAreStackedInwardFromEachSide) {
  struct Step {
    DWORD side;
    CSize size;
    CRect expected;
  };
  // A 400 x 300 client: two bars on top, one at the bottom, left, right, a too-large one.
  const Step steps[] = {
      {CBRS_ALIGN_BOTTOM, CSize(32767, 20), CRect(0, 280, 400, 300)},
      {CBRS_ALIGN_TOP, CSize(32767, 30), CRect(0, 0, 400, 30)},
      {CBRS_ALIGN_TOP, CSize(120, 25), CRect(0, 30, 120, 55)},
      {CBRS_ALIGN_LEFT, CSize(40, 32767), CRect(0, 55, 40, 280)},
      {CBRS_ALIGN_RIGHT, CSize(50, 100), CRect(350, 55, 400, 155)},
      {CBRS_ALIGN_BOTTOM, CSize(32767, 10), CRect(40, 270, 350, 280)},
      {0, CSize(10, 10), CRect()},                                      // no side: nothing taken
      {CBRS_ALIGN_TOP, CSize(32767, 1000), CRect(40, 55, 350, 270)},    // clipped to what is free
      {CBRS_ALIGN_LEFT, CSize(20, 32767), CRect(40, 270, 60, 270)},     // no height left
  };
  AFX_SIZEPARENTPARAMS layout{};
  layout.rect = CRect(0, 0, 400, 300);
  for (size_t i = 0; i < std::size(steps); ++i) {
    CRect got = AfxAllotBarRect(layout, steps[i].side, steps[i].size);
    EXPECT_EQ(got, steps[i].expected) << "step " << i << ": " << got.left << "," << got.top << "," << got.right << ","
                                      << got.bottom;
  }
  EXPECT_EQ(CRect(layout.rect), CRect(60, 270, 350, 270));
}

TEST(BarLayout, DockSidesAndAlignmentsMatch) {
  const std::pair<DWORD, UINT> sides[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                                          {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                                          {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                                          {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};
  for (auto [align, id] : sides) {
    EXPECT_EQ(AfxDockBarIDFromAlign(align), id);
    EXPECT_EQ(AfxAlignFromDockBarID(id), align);
  }
  EXPECT_EQ(AfxDockBarIDFromAlign(CBRS_ALIGN_ANY), 0u);
  EXPECT_EQ(AfxDockBarIDFromAlign(0), 0u);
  EXPECT_EQ(AfxAlignFromDockBarID(AFX_IDW_DOCKBAR_FLOAT), 0u);
  // Bar styles never reach the window styles a bar's window is made with.
  EXPECT_EQ(CBRS_ALL & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED), 0u);
  EXPECT_EQ(CBRS_ALL & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC),
            CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC);
}

TEST(CommandStrings, PromptAndTipParts) {
  struct Case {
    const char* full;
    const char* prompt;
    const char* tip;
  };
  const Case cases[] = {
      {"Opens a file\nOpen", "Opens a file", "Open"},
      {"Only a prompt", "Only a prompt", ""},
      {"\nOnly a tip", "", "Only a tip"},
      {"Prompt\nTip\nThird part", "Prompt", "Tip"},
      {"Prompt\n", "Prompt", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AfxPromptPart(c.full), c.prompt) << c.full;
    EXPECT_EQ(AfxToolTipPart(c.full), c.tip) << c.full;
  }
  EXPECT_EQ(AfxCommandPrompt(ID_TEST_TB_RUN), "Runs the test command");
  EXPECT_EQ(AfxCommandToolTip(ID_TEST_TB_RUN), "Run");
  EXPECT_EQ(AfxCommandToolTip(ID_TEST_TB_DISABLED), "Disabled");
  EXPECT_EQ(AfxCommandToolTip(ID_EDIT_UNDO), "");  // no "\n": no tip
  EXPECT_EQ(AfxCommandPrompt(ID_TEST_TB_NOHANDLER), "");  // no string at all
  EXPECT_EQ(AfxCommandToolTip(ID_TEST_TB_NOHANDLER), "");
  EXPECT_EQ(AfxCommandPrompt(0), "");
  EXPECT_EQ(AfxCommandPrompt(AFX_IDS_IDLEMESSAGE), "Ready");
}

namespace {

// A strip of `count` 16 x 16 images, image k filled with colour k + 1 of a small table.
UniqueBitmap MakeStrip(int count) {
  WindowDC screen(nullptr);
  UniqueBitmap bmp(::CreateCompatibleBitmap(screen.get(), 16 * count, 16));
  UniqueDC dc(::CreateCompatibleDC(screen.get()));
  SelectObjectGuard select(dc.get(), bmp.get());
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  for (int k = 0; k < count; ++k) {
    UniqueBrush brush(::CreateSolidBrush(colours[k % 4]));
    RECT r{16 * k, 0, 16 * k + 16, 16};
    ::FillRect(dc.get(), &r, brush.get());
  }
  return bmp;
}

}  // namespace

TEST(ImageList, AddsCountsDrawsAndOwns) {
  CImageList list;
  EXPECT_EQ(list.GetImageCount(), 0);
  EXPECT_EQ(list.Add(nullptr, RGB(0, 0, 0)), -1);  // no list yet
  EXPECT_FALSE(list.Create(0, 16, ILC_COLOR24, 1, 1));
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4));
  EXPECT_EQ(list.GetImageSize(), CSize(16, 16));

  UniqueBitmap strip = MakeStrip(3);
  EXPECT_EQ(list.Add(strip.get(), static_cast<HBITMAP>(nullptr)), 0);
  EXPECT_EQ(list.GetImageCount(), 3);
  EXPECT_EQ(list.Add(strip.get(), RGB(0, 0, 255)), 3);  // the blue image becomes transparent
  EXPECT_EQ(list.GetImageCount(), 6);
  EXPECT_EQ(list.Add(nullptr, RGB(0, 0, 0)), -1);
  HICON icon = ::LoadIcon(nullptr, IDI_APPLICATION);
  EXPECT_EQ(list.AddIcon(icon), 6);
  EXPECT_EQ(list.GetImageCount(), 7);
  EXPECT_TRUE(list.ReplaceIcon(6, icon));
  EXPECT_FALSE(list.ReplaceIcon(7, icon));

  // Drawing: image 1 is green; image 5 (blue, masked) leaves the background.
  WindowDC screen(nullptr);
  UniqueDC dc(::CreateCompatibleDC(screen.get()));
  UniqueBitmap target(::CreateCompatibleBitmap(screen.get(), 40, 20));
  SelectObjectGuard select(dc.get(), target.get());
  RECT all{0, 0, 40, 20};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(list.Draw(dc.get(), 1, POINT{0, 0}));
  EXPECT_TRUE(list.Draw(dc.get(), 5, POINT{20, 0}, ILD_TRANSPARENT));
  EXPECT_FALSE(list.Draw(dc.get(), 7, POINT{0, 0}));
  EXPECT_EQ(::GetPixel(dc.get(), 8, 8), RGB(0, 255, 0));
  EXPECT_EQ(::GetPixel(dc.get(), 28, 8), RGB(255, 255, 255));

  // Moving hands the list over; Detach gives it up; destroying the holder frees it.
  CImageList moved(std::move(list));
  EXPECT_EQ(list.GetSafeHandle(), nullptr);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(moved.GetImageCount(), 7);
  HIMAGELIST raw = moved.Detach();
  EXPECT_FALSE(moved);
  EXPECT_EQ(::ImageList_GetImageCount(raw), 7);
  {
    CImageList owner(raw);
    EXPECT_EQ(owner.GetImageCount(), 7);
  }
  EXPECT_EQ(::ImageList_GetImageCount(raw), 0);  // gone with its holder
}
