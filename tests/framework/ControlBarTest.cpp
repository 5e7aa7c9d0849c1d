// Control bars on a real MDI frame: loading a toolbar, the layout of bars docked on every side
// and of the pane they leave, hiding, floating and docking back, update-UI at idle, clicks
// (real input) docked and floating, tool tips and fly-by help, menu prompts, image lists on
// the toolbar, and the tab control.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "E2EDriver.h"
#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace e2e = lumatre::e2e;

namespace {

constexpr UINT kSecondBarID = AFX_IDW_TOOLBAR + 3;  // clear of the status bar's and preview bar's ids

class CBarTestFrame : public CMDIFrameWnd {
 public:
  int runs = 0;
  BOOL checked = FALSE;
  CStatusBar statusBar;

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, IDS_TEST_PANE};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 2)) return -1;
    return 0;
  }
  void OnRun() { ++runs; }
  void OnDisabled() { ++runs; }
  void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
  void OnCheck() {}
  void OnUpdateCheck(CCmdUI* ui) { ui->SetCheck(checked); }
  void OnUpdatePane(CCmdUI* ui) { ui->SetText(checked ? "  Marked" : "  Clear"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_TEST_TB_RUN, OnRun)
  ON_COMMAND(ID_TEST_TB_DISABLED, OnDisabled)
  ON_UPDATE_COMMAND_UI(ID_TEST_TB_DISABLED, OnUpdateDisabled)
  ON_COMMAND(ID_TEST_TB_CHECK, OnCheck)
  ON_UPDATE_COMMAND_UI(ID_TEST_TB_CHECK, OnUpdateCheck)
  ON_UPDATE_COMMAND_UI(IDS_TEST_PANE, OnUpdatePane)
END_MESSAGE_MAP()

// A bar of a fixed size that draws itself (as the tabs bar does).
class CFixedBar : public CControlBar {
 public:
  explicit CFixedBar(CSize size) : m_size(size) {}
  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override {
    CSize s = m_size + GetNonClientSize(bHorz);
    if (bStretch) (bHorz ? s.cx : s.cy) = 32767;
    return s;
  }
  CSize m_size;
};

// Runs injected input on a worker thread while this thread keeps dispatching.
void RunInput(const std::function<void()>& input, DWORD settleMs = 150) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    input();
    ::Sleep(settleMs);
    done = true;
  });
  while (!done) {
    PumpMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  worker.join();
  PumpMessages(20);
}

bool WaitFor(const std::function<bool()>& ok, DWORD ms = 5000) {
  const DWORD start = ::GetTickCount();
  while (!ok()) {
    if (::GetTickCount() - start > ms) return false;
    PumpMessages(10);
  }
  return true;
}

class ControlBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CBarTestFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW));
    frame->SetWindowPos(nullptr, 60, 40, 640, 480, SWP_NOZORDER);
    frame->ShowWindow(SW_SHOW);
    app.m_pMainWnd = frame;
    PumpMessages();
  }
  void TearDown() override {
    if (app.m_pMainWnd) ::DestroyWindow(app.m_pMainWnd->m_hWnd);
    DrainQuit();
    e2e::MouseMove(1010, 700);
  }

  void MakeToolBar(CToolBar& bar, UINT nID = AFX_IDW_TOOLBAR, DWORD extra = 0) {
    ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | extra, CRect(0, 0, 0, 0), nID));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TESTTOOLBAR));
    bar.SetWindowText("Test Toolbar");
  }
  // A window's rectangle in the frame's client coordinates.
  CRect InFrame(HWND hWnd) const {
    CRect r;
    ::GetWindowRect(hWnd, &r);
    ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
    return r;
  }
  CRect Pane() const { return InFrame(frame->m_hWndMDIClient); }
  void Idle() { app.OnIdle(0); }
  POINT ScreenCentre(CToolBar& bar, int index) {
    CRect r;
    EXPECT_TRUE(bar.GetItemRect(index, &r));
    POINT p = r.CenterPoint();
    ::ClientToScreen(bar.m_hWnd, &p);
    return p;
  }
  std::string Message() const { return frame->statusBar.GetPaneText(0); }

  CWinApp app{"Bar Test"};
  CBarTestFrame* frame = nullptr;
  CToolBar top1, top2, left;
};

std::string Str(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof(text), "(%ld,%ld,%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return text;
}

}  // namespace

TEST_F(ControlBarTest, LoadToolBarMakesTheButtonsOrFailsCleanly) {
  MakeToolBar(top1);
  ASSERT_EQ(top1.GetCount(), 5);
  const UINT ids[] = {ID_TEST_TB_RUN, ID_TEST_TB_DISABLED, ID_SEPARATOR, ID_TEST_TB_CHECK, ID_TEST_TB_NOHANDLER};
  int image = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(top1.GetItemID(i), ids[i]) << i;
    UINT id, style;
    int iImage;
    top1.GetButtonInfo(i, id, style, iImage);
    EXPECT_EQ((style & TBBS_SEPARATOR) != 0, ids[i] == ID_SEPARATOR) << i;
    if (ids[i] != ID_SEPARATOR) {
      EXPECT_EQ(iImage, image++) << i;
    }
  }
  EXPECT_EQ(top1.CommandToIndex(ID_TEST_TB_CHECK), 3);
  EXPECT_EQ(top1.CommandToIndex(ID_TEST_TB_LONGTIP), -1);
  EXPECT_EQ(top1.GetItemID(5), static_cast<UINT>(ID_SEPARATOR));
  EXPECT_EQ(ImageList_GetImageCount(top1.GetDefaultImageList()), 4);
  RECT r0, r1;
  ASSERT_TRUE(top1.GetItemRect(0, &r0));
  ASSERT_TRUE(top1.GetItemRect(1, &r1));
  EXPECT_EQ(r0.right - r0.left, 16 + 7);
  EXPECT_EQ(r1.left, r0.right);
  EXPECT_FALSE(top1.GetItemRect(5, &r0));

  // Every malformed or missing resource fails and leaves the buttons as they were.
  const UINT bad[] = {IDR_TB_BADVERSION, IDR_TB_TRUNCATED, IDR_TB_NOBITMAP, IDR_TB_FEWIMAGES, IDR_TB_ZEROSIZE,
                      IDR_TB_MISSING};
  for (UINT id : bad) {
    EXPECT_FALSE(top1.LoadToolBar(id)) << id;
    EXPECT_EQ(top1.GetCount(), 5) << id;
    EXPECT_EQ(top1.GetItemID(3), static_cast<UINT>(ID_TEST_TB_CHECK)) << id;
  }
  CToolBar unmade;
  EXPECT_FALSE(unmade.LoadToolBar(IDR_TESTTOOLBAR));

  // SetButtons replaces them; a null list makes separators.
  const UINT two[] = {ID_TEST_TB_CHECK, ID_TEST_TB_RUN};
  ASSERT_TRUE(top1.SetButtons(two, 2));
  EXPECT_EQ(top1.GetCount(), 2);
  EXPECT_EQ(top1.GetItemID(1), static_cast<UINT>(ID_TEST_TB_RUN));
  ASSERT_TRUE(top1.SetButtons(nullptr, 3));
  EXPECT_EQ(top1.GetCount(), 3);
  EXPECT_EQ(top1.GetButtonStyle(0) & TBBS_SEPARATOR, TBBS_SEPARATOR);
  EXPECT_FALSE(top1.SetButtons(two, -1));
}

TEST_F(ControlBarTest, BarsTakeTheirSidesInDockingOrderAndThePaneTheRest) {
  MakeToolBar(top1);
  MakeToolBar(top2, kSecondBarID);
  CFixedBar bottom(CSize(0, 20)), leftBar(CSize(30, 0)), rightBar(CSize(40, 0));
  ASSERT_TRUE(bottom.Create("Bottom", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM, frame, 32100));
  ASSERT_TRUE(leftBar.Create("Left", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT, frame, 32101));
  ASSERT_TRUE(rightBar.Create("Right", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_RIGHT, frame, 32102));
  for (CControlBar* bar : std::vector<CControlBar*>{&top1, &top2, &bottom, &leftBar, &rightBar}) {
    bar->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(bar));  // each on the side it was made for
  }
  EXPECT_EQ(top1.GetDockBarID(), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
  EXPECT_EQ(rightBar.GetDockBarID(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
  EXPECT_EQ(frame->GetControlBar(kSecondBarID), &top2);
  EXPECT_EQ(frame->GetControlBar(AFX_IDW_STATUS_BAR), &frame->statusBar);
  EXPECT_EQ(frame->GetControlBar(12345), nullptr);

  const CRect client = frame->GetClientRect();
  const int W = client.right, H = client.bottom;
  const int h1 = top1.CalcFixedLayout(TRUE, TRUE).cy, h2 = top2.CalcFixedLayout(TRUE, TRUE).cy;
  const int hs = frame->statusBar.GetWindowRect().Height();
  EXPECT_EQ(h1, 15 + 7);  // a button: the image and 7 pixels
  EXPECT_GT(hs, 10);
  struct Expect {
    const char* name;
    HWND hWnd;
    CRect rect;
  };
  const Expect expected[] = {
      {"status bar", frame->statusBar.m_hWnd, CRect(0, H - hs, W, H)},  // outermost at the bottom
      {"first toolbar", top1.m_hWnd, CRect(0, 0, W, h1)},
      {"second toolbar", top2.m_hWnd, CRect(0, h1, W, h1 + h2)},
      {"bottom bar", bottom.m_hWnd, CRect(0, H - hs - 20, W, H - hs)},
      {"left bar", leftBar.m_hWnd, CRect(0, h1 + h2, 30, H - hs - 20)},
      {"right bar", rightBar.m_hWnd, CRect(W - 40, h1 + h2, W, H - hs - 20)},
      {"pane", frame->m_hWndMDIClient, CRect(30, h1 + h2, W - 40, H - hs - 20)},
  };
  for (const Expect& e : expected) EXPECT_EQ(InFrame(e.hWnd), e.rect) << e.name << " " << Str(InFrame(e.hWnd));

  // Hidden: the pane grows into its place; shown again: back. A delayed hide waits for idle.
  frame->ShowControlBar(&top2, FALSE, FALSE);
  EXPECT_FALSE(top2.IsVisible());
  EXPECT_EQ(Pane(), CRect(30, h1, W - 40, H - hs - 20)) << Str(Pane());
  frame->ShowControlBar(&top2, TRUE, FALSE);
  EXPECT_EQ(Pane().top, h1 + h2);
  frame->ShowControlBar(&leftBar, FALSE, TRUE);
  EXPECT_FALSE(leftBar.IsVisible());
  EXPECT_TRUE(leftBar.IsWindowVisible());
  EXPECT_EQ(Pane().left, 30);
  Idle();
  EXPECT_FALSE(leftBar.IsWindowVisible());
  EXPECT_EQ(Pane(), CRect(0, h1 + h2, W - 40, H - hs - 20)) << Str(Pane());

  // Docking again moves a bar inward of its side; a side it may not take is refused.
  ASSERT_TRUE(frame->DockControlBar(&top1, AFX_IDW_DOCKBAR_TOP));
  EXPECT_EQ(InFrame(top2.m_hWnd), CRect(0, 0, W, h2));
  EXPECT_EQ(InFrame(top1.m_hWnd).top, h2);
  bottom.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
  EXPECT_FALSE(frame->DockControlBar(&bottom, AFX_IDW_DOCKBAR_LEFT));
  EXPECT_EQ(bottom.GetDockBarID(), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
  frame->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
  EXPECT_FALSE(frame->DockControlBar(&top1, AFX_IDW_DOCKBAR_RIGHT));
  EXPECT_FALSE(frame->DockControlBar(&bottom, AFX_IDW_DOCKBAR_BOTTOM));

  // A toolbar docked at the left stands in one column inside the left bars.
  ASSERT_TRUE(frame->DockControlBar(&top1, AFX_IDW_DOCKBAR_LEFT));
  EXPECT_FALSE(top1.IsHorz());
  const CSize column = top1.CalcFixedLayout(FALSE, FALSE);
  EXPECT_GT(column.cy, column.cx);
  EXPECT_EQ(InFrame(top1.m_hWnd), CRect(0, h2, column.cx, H - hs - 20)) << Str(InFrame(top1.m_hWnd));
  RECT b0, b1;
  ASSERT_TRUE(top1.GetItemRect(0, &b0));
  ASSERT_TRUE(top1.GetItemRect(1, &b1));
  EXPECT_EQ(b1.left, b0.left);
  EXPECT_GE(b1.top, b0.bottom);
  EXPECT_EQ(Pane(), CRect(column.cx, h2, W - 40, H - hs - 20)) << Str(Pane());
}

TEST_F(ControlBarTest, AFloatingBarLivesInAToolWindowAndDocksBack) {
  MakeToolBar(top1);
  MakeToolBar(top2, kSecondBarID);
  top1.EnableDocking(CBRS_ALIGN_ANY);
  ASSERT_TRUE(frame->DockControlBar(&top1));
  ASSERT_TRUE(frame->DockControlBar(&top2));
  const int h1 = top1.CalcFixedLayout(TRUE, TRUE).cy, h2 = top2.CalcFixedLayout(TRUE, TRUE).cy;
  ASSERT_EQ(Pane().top, h1 + h2);

  ASSERT_TRUE(frame->FloatControlBar(&top1, CPoint(200, 300)));
  EXPECT_TRUE(top1.IsFloating());
  EXPECT_EQ(top1.GetDockBarID(), static_cast<UINT>(AFX_IDW_DOCKBAR_FLOAT));
  EXPECT_EQ(top1.GetDockingFrame(), frame);
  CMiniDockFrameWnd* mini = top1.GetMiniFrame();
  ASSERT_NE(mini, nullptr);
  HWND hMini = mini->m_hWnd;
  EXPECT_EQ(::GetParent(top1.m_hWnd), hMini);
  EXPECT_TRUE(mini->GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(mini->GetStyle() & (WS_POPUP | WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(::GetWindow(hMini, GW_OWNER), frame->m_hWnd);
  EXPECT_EQ(mini->GetWindowText(), "Test Toolbar");
  EXPECT_TRUE(mini->IsWindowVisible());
  EXPECT_EQ(mini->GetWindowRect().TopLeft(), CPoint(200, 300));
  // Its client area is the toolbar's own size, still one row.
  const CSize row = top1.CalcFixedLayout(FALSE, TRUE);
  EXPECT_EQ(mini->GetClientRect().Size(), row);
  EXPECT_EQ(top1.GetWindowRect().Size(), row);
  EXPECT_GT(row.cx, 3 * row.cy);
  // The frame gave the space back.
  EXPECT_EQ(InFrame(top2.m_hWnd).top, 0);
  EXPECT_EQ(Pane().top, h2);
  EXPECT_EQ(frame->GetControlBar(AFX_IDW_TOOLBAR), &top1);

  // The close box hides the bar; the view command shows it again, still floating.
  mini->SendMessage(WM_CLOSE);
  EXPECT_FALSE(top1.IsVisible());
  EXPECT_FALSE(::IsWindowVisible(hMini));
  frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR, 0);
  EXPECT_TRUE(top1.IsVisible());
  EXPECT_TRUE(::IsWindowVisible(hMini));
  EXPECT_TRUE(top1.IsFloating());

  // Docked back: inside the frame again, below the other top bar; the tool window is gone.
  ASSERT_TRUE(frame->DockControlBar(&top1));
  EXPECT_FALSE(top1.IsFloating());
  EXPECT_EQ(::GetParent(top1.m_hWnd), frame->m_hWnd);
  EXPECT_FALSE(::IsWindow(hMini));
  EXPECT_EQ(InFrame(top1.m_hWnd), CRect(0, h2, frame->GetClientRect().right, h2 + h1));
  EXPECT_EQ(Pane().top, h1 + h2);

  // Floated vertical; a bar that goes while floating takes its window with it.
  ASSERT_TRUE(frame->FloatControlBar(&top1, CPoint(300, 200), CBRS_ALIGN_LEFT));
  const CSize column = top1.CalcFixedLayout(FALSE, FALSE);
  EXPECT_EQ(top1.GetMiniFrame()->GetClientRect().Size(), column);
  EXPECT_GT(column.cy, column.cx);
  hMini = top1.GetMiniFrame()->m_hWnd;
  top1.DestroyWindow();
  PumpMessages(50);
  EXPECT_FALSE(::IsWindow(hMini));
  EXPECT_EQ(frame->GetControlBar(AFX_IDW_TOOLBAR), nullptr);
}

TEST_F(ControlBarTest, GripAndEdgesLieOutsideTheClientArea) {
  MakeToolBar(top1, AFX_IDW_TOOLBAR, CBRS_GRIPPER | CBRS_BORDER_BOTTOM);
  top1.SetBorders(1, 2, 3, 4);
  top1.EnableDocking(CBRS_ALIGN_ANY);
  ASSERT_TRUE(frame->DockControlBar(&top1));
  struct Case {
    const char* name;
    UINT side;  // 0: floating
    CRect insets;
  };
  const Case cases[] = {
      {"top", AFX_IDW_DOCKBAR_TOP, CRect(1 + AFX_CX_GRIPPER_AREA, 2, 3, 4 + AFX_CX_BAR_BORDER)},
      {"left", AFX_IDW_DOCKBAR_LEFT, CRect(1, 2 + AFX_CX_GRIPPER_AREA, 3, 4 + AFX_CX_BAR_BORDER)},
      {"floating", 0, CRect(1, 2, 3, 4)},  // the caption replaces grip and edges
  };
  for (const Case& c : cases) {
    if (c.side) {
      ASSERT_TRUE(frame->DockControlBar(&top1, c.side)) << c.name;
    } else {
      ASSERT_TRUE(frame->FloatControlBar(&top1, CPoint(400, 500), CBRS_ALIGN_TOP)) << c.name;
    }
    CRect window = top1.GetWindowRect();
    CRect client = top1.GetClientRect();
    top1.ClientToScreen(&client);
    EXPECT_EQ(CRect(client.left - window.left, client.top - window.top, window.right - client.right,
                    window.bottom - client.bottom),
              c.insets)
        << c.name;
    const CSize natural = top1.CalcFixedLayout(FALSE, c.side != AFX_IDW_DOCKBAR_LEFT);
    // Docked bars stretch along their edge; across it, and floating, they keep their own size.
    if (c.side != AFX_IDW_DOCKBAR_LEFT) {
      EXPECT_EQ(window.Height(), natural.cy) << c.name;
    }
    if (c.side != AFX_IDW_DOCKBAR_TOP) {
      EXPECT_EQ(window.Width(), natural.cx) << c.name;
    }
  }
  // Docked at the top: the grip's raised line on the screen, three pixels wide, two pixels in.
  ASSERT_TRUE(frame->DockControlBar(&top1, AFX_IDW_DOCKBAR_TOP));
  top1.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
  PumpMessages(50);
  CRect window = top1.GetWindowRect();
  WindowDC screen(nullptr);
  const int y = window.top + window.Height() / 2;
  EXPECT_EQ(::GetPixel(screen.get(), window.left + 2, y), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(::GetPixel(screen.get(), window.left + 4, y), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(::GetPixel(screen.get(), window.left + 6, y), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ControlBarTest, IdleUpdatesButtonsDockedAndFloating) {
  MakeToolBar(top1);
  ASSERT_TRUE(frame->DockControlBar(&top1));
  HWND tb = top1.GetToolBarCtrl();
  auto enabled = [&](UINT id) { return ::SendMessageA(tb, TB_ISBUTTONENABLED, id, 0) != 0; };
  auto checked = [&](UINT id) { return ::SendMessageA(tb, TB_ISBUTTONCHECKED, id, 0) != 0; };
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass ? "floating" : "docked");
    frame->checked = TRUE;
    Idle();
    EXPECT_TRUE(enabled(ID_TEST_TB_RUN));
    EXPECT_FALSE(enabled(ID_TEST_TB_DISABLED));   // its update handler says so
    EXPECT_FALSE(enabled(ID_TEST_TB_NOHANDLER));  // nobody handles it
    EXPECT_TRUE(enabled(ID_TEST_TB_CHECK));
    EXPECT_TRUE(checked(ID_TEST_TB_CHECK));
    EXPECT_EQ(top1.GetButtonStyle(3) & (TBBS_CHECKBOX | TBBS_CHECKED), TBBS_CHECKBOX | TBBS_CHECKED);
    EXPECT_EQ(top1.GetButtonStyle(1) & TBBS_DISABLED, TBBS_DISABLED);
    EXPECT_EQ(frame->statusBar.GetPaneText(1), "  Marked");  // panes with update handlers too
    frame->checked = FALSE;
    Idle();
    EXPECT_FALSE(checked(ID_TEST_TB_CHECK));
    EXPECT_EQ(frame->statusBar.GetPaneText(1), "  Clear");
    ASSERT_TRUE(frame->FloatControlBar(&top1, CPoint(100, 500)));
  }
  // The view command's menu item is checked while the bar is visible.
  struct Check : CCmdUI {
    int value = -1;
    void SetCheck(int n) override { value = n; }
  } ui;
  ui.m_nID = ID_VIEW_TOOLBAR;
  ui.DoUpdate(frame, TRUE);
  EXPECT_EQ(ui.value, 1);
  frame->ShowControlBar(&top1, FALSE, FALSE);
  ui.DoUpdate(frame, TRUE);
  EXPECT_EQ(ui.value, 0);
  ui.m_nID = ID_VIEW_STATUS_BAR;
  ui.DoUpdate(frame, TRUE);
  EXPECT_EQ(ui.value, 1);
  frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  EXPECT_FALSE(frame->statusBar.IsWindowVisible());
  EXPECT_EQ(Pane().bottom, frame->GetClientRect().bottom);
}

TEST_F(ControlBarTest, ClickingAButtonRunsTheFramesCommandDockedAndFloating) {
  MakeToolBar(top1);
  ASSERT_TRUE(frame->DockControlBar(&top1));
  e2e::ForceForeground(frame->m_hWnd);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass ? "floating" : "docked");
    Idle();
    const int before = frame->runs;
    const POINT run = ScreenCentre(top1, 0), disabled = ScreenCentre(top1, 1);
    RunInput([&] { e2e::MouseClick(disabled.x, disabled.y); });  // disabled: nothing happens
    EXPECT_EQ(frame->runs, before);
    RunInput([&] { e2e::MouseClick(run.x, run.y); });
    EXPECT_TRUE(WaitFor([&] { return frame->runs == before + 1; }));
    ASSERT_TRUE(frame->FloatControlBar(&top1, CPoint(150, 560)));
    PumpMessages(50);
  }
}

TEST_F(ControlBarTest, ToolTipsAndFlyByHelpComeFromTheCommandStrings) {
  MakeToolBar(top1, AFX_IDW_TOOLBAR, CBRS_TOOLTIPS | CBRS_FLYBY);
  ASSERT_TRUE(frame->DockControlBar(&top1));
  HWND tips = top1.GetToolTips();
  ASSERT_NE(tips, nullptr);

  // The tool tip control asks the toolbar, which asks the frame; the text after the first "\n".
  auto tipOf = [&](UINT id) {
    char text[256] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = top1.m_hWnd;
    ti.uId = id;
    ti.lpszText = text;
    ::SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    return std::string(text);
  };
  // What the frame answers when the tip control asks it directly.
  auto frameTipOf = [&](UINT id, bool wide) {
    LRESULT result = 0;
    if (wide) {
      NMTTDISPINFOW info{};
      info.hdr = NMHDR{tips, id, TTN_GETDISPINFOW};
      result = frame->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
      char narrow[256] = {};
      const wchar_t* text = info.lpszText ? info.lpszText : info.szText;
      ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
      return std::string(narrow);
    }
    NMTTDISPINFOA info{};
    info.hdr = NMHDR{tips, id, TTN_GETDISPINFOA};
    result = frame->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    (void)result;
    return std::string(info.lpszText ? info.lpszText : info.szText);
  };
  struct TipCase {
    UINT id;
    const char* tip;
  };
  const TipCase tipCases[] = {
      {ID_TEST_TB_RUN, "Run"},
      {ID_TEST_TB_DISABLED, "Disabled"},  // up to the next "\n"
      {ID_TEST_TB_NOHANDLER, ""},         // no string: no tip
      {ID_TEST_TB_LONGTIP, "A tool tip longer than the eighty characters that the notification's own buffer would hold"},
  };
  for (const TipCase& c : tipCases) {
    EXPECT_EQ(frameTipOf(c.id, false), c.tip) << c.id;
    EXPECT_EQ(frameTipOf(c.id, true), c.tip) << c.id;
  }
  EXPECT_EQ(tipOf(ID_TEST_TB_RUN), "Run");
  EXPECT_EQ(tipOf(ID_TEST_TB_CHECK), "Mark");
  top1.SetBarStyle(top1.GetBarStyle() & ~CBRS_TOOLTIPS);
  EXPECT_EQ(frameTipOf(ID_TEST_TB_RUN, false), "");
  EXPECT_EQ(tipOf(ID_TEST_TB_RUN), "");
  EXPECT_EQ(top1.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);  // the side stays

  // Fly-by help: the prompt while the pointer is over a button, "Ready" once it leaves.
  e2e::ForceForeground(frame->m_hWnd);
  frame->SetMessageText("Something else");
  const POINT over = ScreenCentre(top1, 0), check = ScreenCentre(top1, 3);
  RunInput([&] { e2e::MouseMove(over.x, over.y); });
  EXPECT_TRUE(WaitFor([&] { return Message() == "Runs the test command"; })) << Message();
  RunInput([&] { e2e::MouseMove(check.x, check.y + 150); });
  EXPECT_TRUE(WaitFor([&] { return Message() == "Ready"; })) << Message();
  RunInput([&] { e2e::MouseMove(check.x, check.y); });
  EXPECT_TRUE(WaitFor([&] { return Message() == "Toggles the mark"; })) << Message();
  RunInput([&] { e2e::MouseMove(check.x, check.y + 150); });
  EXPECT_TRUE(WaitFor([&] { return Message() == "Ready"; })) << Message();
  // Without CBRS_FLYBY the pane stays as it is.
  top1.SetBarStyle(top1.GetBarStyle() & ~CBRS_FLYBY);
  frame->SetMessageText("Kept");
  RunInput([&] { e2e::MouseMove(over.x, over.y); });
  PumpMessages(100);
  EXPECT_EQ(Message(), "Kept");
}

TEST_F(ControlBarTest, MenuPromptsShowInTheMessagePane) {
  HMENU menu = frame->GetMenu();
  ASSERT_NE(menu, nullptr);
  HMENU edit = ::GetSubMenu(menu, 1);
  struct Step {
    UINT item;
    UINT flags;
    HMENU menu;
    UINT message;
    const char* expected;
  };
  const Step steps[] = {
      {ID_EDIT_COPY, MF_HILITE, edit, WM_MENUSELECT, "Copies the selection"},
      {ID_EDIT_UNDO, MF_HILITE, edit, WM_MENUSELECT, "Undoes the last action"},  // no "\n"
      {ID_TEST_NOHANDLER, MF_HILITE, edit, WM_MENUSELECT, ""},                 // no string
      {1, MF_POPUP | MF_HILITE, menu, WM_MENUSELECT, ""},                       // a submenu
      {ID_EDIT_COPY, MF_HILITE, edit, WM_MENUSELECT, "Copies the selection"},
      {0, 0xFFFF, nullptr, WM_MENUSELECT, "Ready"},                            // the menu closed
      {ID_EDIT_COPY, MF_HILITE, edit, WM_MENUSELECT, "Copies the selection"},
      {0, 0, nullptr, WM_EXITMENULOOP, "Ready"},
  };
  for (const Step& s : steps) {
    if (s.message == WM_MENUSELECT)
      frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(s.item, s.flags), reinterpret_cast<LPARAM>(s.menu));
    else
      frame->SendMessage(s.message, 0, 0);
    EXPECT_EQ(Message(), s.expected) << s.item << "/" << s.flags;
  }
  frame->SetMessageText(ID_TEST_TB_RUN);
  EXPECT_EQ(Message(), "Runs the test command");
  frame->SetMessageText("Plain");
  EXPECT_EQ(Message(), "Plain");
  EXPECT_EQ(frame->GetMessageBar(), &frame->statusBar);
}

TEST_F(ControlBarTest, ImageListsHandedToTheToolBarStayTheCallers) {
  MakeToolBar(top1);
  CImageList normal, hot, disabled;
  for (CImageList* list : {&normal, &hot, &disabled}) {
    ASSERT_TRUE(list->Create(16, 15, ILC_COLOR24 | ILC_MASK, 4, 4));
    for (int i = 0; i < 4; ++i) list->AddIcon(::LoadIcon(nullptr, IDI_APPLICATION));
  }
  top1.SetImageLists(normal.GetSafeHandle(), hot.GetSafeHandle(), disabled.GetSafeHandle());
  HWND tb = top1.GetToolBarCtrl();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(tb, TB_GETIMAGELIST, 0, 0)), normal.GetSafeHandle());
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(tb, TB_GETHOTIMAGELIST, 0, 0)), hot.GetSafeHandle());
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(tb, TB_GETDISABLEDIMAGELIST, 0, 0)), disabled.GetSafeHandle());
  top1.RedrawWindow();
  top1.DestroyWindow();
  EXPECT_EQ(normal.GetImageCount(), 4);
  EXPECT_EQ(hot.GetImageCount(), 4);
  EXPECT_EQ(disabled.GetImageCount(), 4);
}

TEST_F(ControlBarTest, TabControlWrapsItsItems) {
  CFixedBar bar(CSize(0, 32));
  ASSERT_TRUE(bar.Create("Tabs", WS_CHILD | WS_VISIBLE | CBRS_TOP, frame, 32771));
  frame->RecalcLayout();
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_VISIBLE | TCS_TOOLTIPS | TCS_FIXEDWIDTH, CRect(0, 0, 400, 26), &bar, 1005));
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
  images.AddIcon(::LoadIcon(nullptr, IDI_APPLICATION));
  EXPECT_EQ(tabs.SetImageList(images.GetSafeHandle()), nullptr);
  const std::string longText(300, 'x');
  EXPECT_EQ(tabs.InsertItem(0, "First", 0, 11), 0);
  EXPECT_EQ(tabs.InsertItem(1, "Second", -1, 22), 1);
  EXPECT_EQ(tabs.InsertItem(1, "Between", 0, 33), 1);
  EXPECT_EQ(tabs.InsertItem(-1, "Bad"), -1);
  ASSERT_EQ(tabs.GetItemCount(), 3);
  const char* texts[] = {"First", "Between", "Second"};
  const LPARAM data[] = {11, 33, 22};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tabs.GetItemText(i), texts[i]);
    EXPECT_EQ(tabs.GetItemData(i), data[i]);
  }
  EXPECT_TRUE(tabs.SetItemText(2, longText.c_str()));
  EXPECT_EQ(tabs.GetItemText(2), longText);
  EXPECT_FALSE(tabs.SetItemText(3, "none"));
  EXPECT_EQ(tabs.GetItemText(3), "");
  EXPECT_EQ(tabs.GetItemData(7), 0);

  EXPECT_EQ(tabs.SetCurSel(1), 0);
  EXPECT_EQ(tabs.GetCurSel(), 1);
  tabs.SetItemSize(CSize(90, 24));
  EXPECT_EQ(tabs.SetItemSize(CSize(100, 24)), CSize(90, 24));
  tabs.SetPadding(CSize(6, 3));
  RECT r;
  ASSERT_TRUE(tabs.GetItemRect(1, &r));
  EXPECT_EQ(r.right - r.left, 100);
  UINT flags = 0;
  EXPECT_EQ(tabs.HitTest(CRect(r).CenterPoint(), &flags), 1);
  EXPECT_NE(flags & TCHT_ONITEM, 0u);
  EXPECT_EQ(tabs.HitTest(POINT{399, 25}), -1);
  EXPECT_EQ(tabs.GetRowCount(), 1);
  CRect area(0, 0, 400, 200);
  tabs.AdjustRect(FALSE, &area);
  EXPECT_GT(area.top, 0);
  tabs.AdjustRect(TRUE, &area);
  EXPECT_EQ(area, CRect(0, 0, 400, 200));

  EXPECT_TRUE(tabs.DeleteItem(0));
  EXPECT_FALSE(tabs.DeleteItem(5));
  EXPECT_EQ(tabs.GetItemText(0), "Between");
  EXPECT_TRUE(tabs.DeleteAllItems());
  EXPECT_EQ(tabs.GetItemCount(), 0);
  EXPECT_EQ(tabs.GetCurSel(), -1);
}
