// An MDI frame with two children: creation inside the client, activation, the Window menu,
// the document menu of the active child, routing through the active child, and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

std::vector<std::string> g_log;

class CTestChild : public CMDIChildWnd {
 public:
  explicit CTestChild(std::string name) : m_name(std::move(name)) {}
  ~CTestChild() override { g_log.push_back(m_name + ":deleted"); }
  int activations = 0, deactivations = 0;

 private:
  void OnMDIActivate(BOOL bActivate, HWND hActivate, HWND hDeactivate) {
    CMDIChildWnd::OnMDIActivate(bActivate, hActivate, hDeactivate);
    (bActivate ? activations : deactivations)++;
  }
  void OnRotate() { g_log.push_back(m_name + ":rotate"); }
  std::string m_name;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWnd)
  ON_WM_MDIACTIVATE()
  ON_COMMAND(ID_TEST_ROTATE, OnRotate)
END_MESSAGE_MAP()

class CTestMDIFrame : public CMDIFrameWnd {
 private:
  void OnRotate() { g_log.push_back("frame:rotate"); }
  void OnCopy() { g_log.push_back("frame:copy"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestMDIFrame, CMDIFrameWnd)
  ON_COMMAND(ID_TEST_ROTATE, OnRotate)
  ON_COMMAND(ID_EDIT_COPY, OnCopy)
END_MESSAGE_MAP()

class MDITest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    docMenu.LoadMenu(IDR_TESTDOC);
    frame = new CTestMDIFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    frame->ShowWindow(SW_SHOW);
    app.m_pMainWnd = frame;
  }
  void TearDown() override {
    if (app.m_pMainWnd) {
      HWND h = app.m_pMainWnd->m_hWnd;
      ::DestroyWindow(h);
    }
    DrainQuit();
  }

  CTestChild* MakeChild(const char* name) {
    auto* child = new CTestChild(name);
    child->m_hMenuShared = docMenu.m_hMenu;
    if (!child->Create(nullptr, name, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, frame)) {
      delete child;
      return nullptr;
    }
    return child;
  }

  CWinApp app{"MDI Test"};
  CMenu docMenu;
  CTestMDIFrame* frame = nullptr;
};

}  // namespace

TEST_F(MDITest, TheClientIsMadeAndFillsTheFrame) {
  ASSERT_NE(frame->m_hWndMDIClient, nullptr);
  char cls[32] = {};
  ::GetClassNameA(frame->m_hWndMDIClient, cls, sizeof(cls));
  EXPECT_STREQ(cls, "MDIClient");
  EXPECT_EQ(::GetDlgCtrlID(frame->m_hWndMDIClient), AFX_IDW_PANE_FIRST);
  RECT client, mdi;
  ::GetClientRect(frame->m_hWnd, &client);
  ::GetWindowRect(frame->m_hWndMDIClient, &mdi);
  EXPECT_EQ(mdi.right - mdi.left, client.right - client.left);
  EXPECT_EQ(mdi.bottom - mdi.top, client.bottom - client.top);
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
  EXPECT_EQ(frame->GetActiveFrame(), frame);
}

TEST_F(MDITest, TwoChildrenAreCreatedAndActivated) {
  CTestChild* first = MakeChild("first");
  ASSERT_NE(first, nullptr);
  CTestChild* second = MakeChild("second");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(::GetParent(first->m_hWnd), frame->m_hWndMDIClient);
  EXPECT_EQ(first->GetMDIFrame(), frame);

  BOOL maximized = TRUE;
  EXPECT_EQ(frame->MDIGetActive(&maximized), second);
  EXPECT_FALSE(maximized);
  EXPECT_EQ(frame->GetActiveFrame(), second);
  EXPECT_GE(second->activations, 1);

  first->MDIActivate();
  EXPECT_EQ(frame->MDIGetActive(), first);
  EXPECT_GE(second->deactivations, 1);
  frame->MDIActivate(second);
  EXPECT_EQ(frame->MDIGetActive(), second);

  frame->MDIMaximize(second);
  EXPECT_EQ(frame->MDIGetActive(&maximized), second);
  EXPECT_TRUE(maximized);
  frame->MDIRestore(second);
  frame->MDIGetActive(&maximized);
  EXPECT_FALSE(maximized);

  // The Window menu of the document menu lists the two children.
  HMENU windowMenu = frame->GetWindowMenuPopup(docMenu.m_hMenu);
  ASSERT_NE(windowMenu, nullptr);
  int items = ::GetMenuItemCount(windowMenu);
  int children = 0;
  for (int i = 0; i < items; ++i)
    if (::GetMenuItemID(windowMenu, i) >= AFX_IDM_FIRST_MDICHILD) ++children;
  EXPECT_EQ(children, 2);
}

TEST_F(MDITest, TheActiveChildsMenuIsTheFramesMenu) {
  EXPECT_EQ(frame->GetMenu(), frame->m_hMenuDefault);
  CTestChild* first = MakeChild("first");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(frame->GetMenu(), docMenu.m_hMenu);
  CTestChild* second = MakeChild("second");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(frame->GetMenu(), docMenu.m_hMenu);

  second->DestroyWindow();
  EXPECT_EQ(frame->MDIGetActive(), first);
  EXPECT_EQ(frame->GetMenu(), docMenu.m_hMenu);
  first->DestroyWindow();
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
  EXPECT_EQ(frame->GetMenu(), frame->m_hMenuDefault);  // back to the no-document menu
  std::vector<std::string> expected = {"second:deleted", "first:deleted"};
  EXPECT_EQ(g_log, expected);
  EXPECT_TRUE(::IsMenu(docMenu.m_hMenu));  // the shared menu is not the frame's to destroy
}

TEST_F(MDITest, CommandsGoThroughTheActiveChildFirst) {
  CTestChild* first = MakeChild("first");
  CTestChild* second = MakeChild("second");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_ROTATE, 0), 0);
  first->MDIActivate();
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_ROTATE, 0), 0);
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_COPY, 0), 0);  // only the frame has it
  std::vector<std::string> expected = {"second:rotate", "first:rotate", "frame:copy"};
  EXPECT_EQ(g_log, expected);

  // Window commands act on the children; their items are enabled while there are some.
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_WINDOW_TILE_HORZ, 0), 0);
  RECT a, b;
  ::GetWindowRect(first->m_hWnd, &a);
  ::GetWindowRect(second->m_hWnd, &b);
  EXPECT_TRUE(a.bottom <= b.top || b.bottom <= a.top);  // stacked, not overlapping

  HMENU windowMenu = ::GetSubMenu(frame->GetMenu(), 2);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(windowMenu), 2);
  EXPECT_FALSE(::GetMenuState(windowMenu, ID_WINDOW_CASCADE, MF_BYCOMMAND) & MF_GRAYED);
  first->DestroyWindow();
  second->DestroyWindow();
  windowMenu = ::GetSubMenu(frame->GetMenu(), 2);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(windowMenu), 2);
  EXPECT_TRUE(::GetMenuState(windowMenu, ID_WINDOW_CASCADE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MDITest, ChildActivationFromTheWindowMenuReachesTheClient) {
  CTestChild* first = MakeChild("first");
  CTestChild* second = MakeChild("second");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // The first child's Window menu item: DefFrameProc activates it.
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(AFX_IDM_FIRST_MDICHILD, 0), 0);
  EXPECT_EQ(frame->MDIGetActive(), first);
}

TEST_F(MDITest, ClosingTheFrameTakesTheChildren) {
  CTestChild* first = MakeChild("first");
  ASSERT_NE(first, nullptr);
  HWND hFrame = frame->m_hWnd;
  frame->SendMessage(WM_CLOSE);
  EXPECT_FALSE(::IsWindow(hFrame));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "first:deleted");
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_TRUE(::IsMenu(docMenu.m_hMenu));
}

TEST_F(MDITest, MDIKeysAndAcceleratorsAreTranslated) {
  CTestChild* first = MakeChild("first");
  ASSERT_NE(first, nullptr);
  MSG msg{};
  msg.hwnd = first->m_hWnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F5;  // the frame's accelerator for Copy
  msg.lParam = 1;
  EXPECT_TRUE(app.PreTranslateMessage(&msg));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "frame:copy");
}

namespace {

class CPictureDoc : public CDocument {
 public:
  CPictureDoc() { m_bAutoDelete = FALSE; }

 private:
  void OnPaste() { g_log.push_back("doc:paste"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPictureDoc, CDocument)
  ON_COMMAND(ID_EDIT_PASTE, OnPaste)
END_MESSAGE_MAP()

class CPictureView : public CView {
 public:
  static CView* Make() { return new CPictureView; }
  static int deleted;
  ~CPictureView() override { ++deleted; }
  void OnDraw(HDC) override {}

 private:
  void OnUndo() { g_log.push_back("view:undo"); }
  DECLARE_MESSAGE_MAP()
};
int CPictureView::deleted = 0;

BEGIN_MESSAGE_MAP(CPictureView, CView)
  ON_COMMAND(ID_EDIT_UNDO, OnUndo)
END_MESSAGE_MAP()

}  // namespace

TEST_F(MDITest, AChildMakesItsViewFromTheContextAndRoutesThroughIt) {
  CPictureView::deleted = 0;
  CPictureDoc doc;
  CCreateContext context;
  context.m_pNewViewClass = &CPictureView::Make;
  context.m_pCurrentDoc = &doc;
  auto* child = new CTestChild("viewed");
  child->m_hMenuShared = docMenu.m_hMenu;
  ASSERT_TRUE(child->LoadFrame(IDR_TESTDOC, WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, frame, &context));
  child->InitialUpdateFrame(&doc, TRUE);

  CView* view = child->GetActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDocument(), &doc);
  ASSERT_EQ(doc.GetViews().size(), 1u);
  EXPECT_EQ(doc.GetViews()[0], view);
  EXPECT_EQ(::GetDlgCtrlID(view->m_hWnd), AFX_IDW_PANE_FIRST);
  RECT childClient, viewRect;
  ::GetClientRect(child->m_hWnd, &childClient);
  ::GetWindowRect(view->m_hWnd, &viewRect);
  EXPECT_EQ(viewRect.right - viewRect.left, childClient.right);
  EXPECT_EQ(frame->MDIGetActive(), child);
  EXPECT_EQ(frame->GetActiveFrame()->GetActiveDocument(), &doc);

  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_UNDO, 0), 0);
  frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_PASTE, 0), 0);
  std::vector<std::string> expected = {"view:undo", "doc:paste"};
  EXPECT_EQ(g_log, expected);

  // The document's title reaches the child's caption and the frame's title.
  doc.SetTitle("picture.png");
  child->OnUpdateFrameTitle(TRUE);
  EXPECT_EQ(child->GetWindowText(), "picture.png");
  EXPECT_EQ(frame->GetWindowText(), "Test Frame - picture.png");

  child->DestroyWindow();
  EXPECT_EQ(CPictureView::deleted, 1);
  EXPECT_TRUE(doc.GetViews().empty());
  EXPECT_EQ(frame->GetWindowText(), "Test Frame");
}
