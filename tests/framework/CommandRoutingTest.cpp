// Command routing view -> document -> frame -> application, update-UI of menu items when a
// popup opens, refusal of disabled commands, accelerators, and closing the main frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

std::vector<std::string> g_log;

class CRouteApp : public CWinApp {
 public:
  CRouteApp() : CWinApp("Route Test") {}
  BOOL undoEnabled = FALSE;
  BOOL allowClose = TRUE;
  int saveAllCalls = 0;

  BOOL SaveAllModified() override {
    ++saveAllCalls;
    return allowClose;
  }

 private:
  void OnAppOnly() { g_log.push_back("app:apponly"); }
  void OnEditUndo() { g_log.push_back("app:undo"); }
  void OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(undoEnabled); }
  void OnEditCopy() { g_log.push_back("app:copy"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteApp, CWinApp)
  ON_COMMAND(ID_TEST_APPONLY, OnAppOnly)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
END_MESSAGE_MAP()

class CRouteDoc : public CDocument {
 public:
  CRouteDoc() { m_bAutoDelete = FALSE; }

 private:
  void OnEditPaste() { g_log.push_back("doc:paste"); }
  void OnEditCopy() { g_log.push_back("doc:copy"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteDoc, CDocument)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
END_MESSAGE_MAP()

class CRouteView : public CView {
 public:
  void OnDraw(HDC) override {}

 private:
  void OnEditCopy() { g_log.push_back("view:copy"); }
  void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }
  void OnUpdateRotate(CCmdUI* ui) { ui->ContinueRouting(); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteView, CView)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
  ON_UPDATE_COMMAND_UI(ID_TEST_ROTATE, OnUpdateRotate)
END_MESSAGE_MAP()

class CRouteFrame : public CFrameWnd {
 public:
  static int destroyed;
  ~CRouteFrame() override { ++destroyed; }

 private:
  void OnEditCopy() { g_log.push_back("frame:copy"); }
  void OnEditPaste() { g_log.push_back("frame:paste"); }
  void OnRotate() { g_log.push_back("frame:rotate"); }
  void OnUpdateRotate(CCmdUI* ui) { ui->Enable(FALSE); }
  DECLARE_MESSAGE_MAP()
};
int CRouteFrame::destroyed = 0;

BEGIN_MESSAGE_MAP(CRouteFrame, CFrameWnd)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_TEST_ROTATE, OnRotate)
  ON_UPDATE_COMMAND_UI(ID_TEST_ROTATE, OnUpdateRotate)
END_MESSAGE_MAP()

class RoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    frame = new CRouteFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW));
    view = new CRouteView;
    ASSERT_TRUE(view->CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), frame, AFX_IDW_PANE_FIRST));
    doc.AddView(view);
    frame->SetActiveView(view, FALSE);
    app.m_pMainWnd = frame;
  }
  void TearDown() override {
    if (app.m_pMainWnd) {
      HWND h = app.m_pMainWnd->m_hWnd;
      app.m_pMainWnd = nullptr;
      ::DestroyWindow(h);
    }
    DrainQuit();
  }

  void Command(UINT id) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  UINT ItemState(HMENU popup, UINT id) { return ::GetMenuState(popup, id, MF_BYCOMMAND); }

  HMENU EditPopupAfterOpening() {
    HMENU edit = ::GetSubMenu(frame->GetMenu(), 1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, FALSE));
    return edit;
  }

  CRouteApp app;
  CRouteDoc doc;
  CRouteFrame* frame = nullptr;
  CRouteView* view = nullptr;
};

}  // namespace

TEST_F(RoutingTest, LoadFrameTakesTitleAndMenuFromTheResource) {
  EXPECT_EQ(frame->m_strTitle, "Test Frame");
  EXPECT_EQ(frame->GetWindowText(), "Test Frame");
  ASSERT_NE(frame->m_hMenuDefault, nullptr);
  EXPECT_EQ(frame->GetMenu(), frame->m_hMenuDefault);
  EXPECT_EQ(::GetMenuItemCount(frame->m_hMenuDefault), 3);
  EXPECT_NE(frame->m_hAccelTable, nullptr);
}

TEST_F(RoutingTest, ViewFirstThenDocumentThenFrameThenApplication) {
  Command(ID_EDIT_COPY);  // view, document, frame and application all handle it
  Command(ID_EDIT_PASTE);  // document and frame
  Command(ID_TEST_APPONLY);
  std::vector<std::string> expected = {"view:copy", "doc:paste", "app:apponly"};
  EXPECT_EQ(g_log, expected);

  // Without an active view the frame comes first.
  frame->SetActiveView(nullptr, FALSE);
  g_log.clear();
  Command(ID_EDIT_COPY);
  Command(ID_EDIT_PASTE);
  expected = {"frame:copy", "frame:paste"};
  EXPECT_EQ(g_log, expected);
}

TEST_F(RoutingTest, DisabledCommandsAreRefused) {
  Command(ID_EDIT_UNDO);
  EXPECT_TRUE(g_log.empty());
  app.undoEnabled = TRUE;
  Command(ID_EDIT_UNDO);
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "app:undo");
  // ID_TEST_ROTATE: the view passes the update on, the frame disables it.
  g_log.clear();
  Command(ID_TEST_ROTATE);
  EXPECT_TRUE(g_log.empty());
}

TEST_F(RoutingTest, OpeningAPopupUpdatesItsItems) {
  HMENU edit = EditPopupAfterOpening();
  EXPECT_TRUE(ItemState(edit, ID_EDIT_UNDO) & MF_GRAYED);       // update handler says no
  EXPECT_FALSE(ItemState(edit, ID_EDIT_COPY) & MF_GRAYED);      // has handlers
  EXPECT_FALSE(ItemState(edit, ID_EDIT_PASTE) & MF_GRAYED);
  EXPECT_FALSE(ItemState(edit, ID_TEST_APPONLY) & MF_GRAYED);   // the application handles it
  EXPECT_TRUE(ItemState(edit, ID_TEST_NOHANDLER) & MF_GRAYED);  // nobody handles it
  EXPECT_TRUE(ItemState(edit, ID_TEST_CHECKED) & MF_CHECKED);
  EXPECT_FALSE(ItemState(edit, ID_TEST_CHECKED) & MF_GRAYED);   // an update handler ran

  app.undoEnabled = TRUE;
  edit = EditPopupAfterOpening();
  EXPECT_FALSE(ItemState(edit, ID_EDIT_UNDO) & MF_GRAYED);

  // The automatic disabling can be turned off: the item keeps the state it has.
  frame->m_bAutoMenuEnable = FALSE;
  ::EnableMenuItem(edit, ID_TEST_NOHANDLER, MF_BYCOMMAND | MF_ENABLED);
  edit = EditPopupAfterOpening();
  EXPECT_FALSE(ItemState(edit, ID_TEST_NOHANDLER) & MF_GRAYED);
}

TEST_F(RoutingTest, UpdateTextAndRadioOnMenuItems) {
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, ID_TEST_CHECKED, "Before");
  CCmdUI ui;
  ui.m_pMenu = &popup;
  ui.m_nIndex = 0;
  ui.m_nIndexMax = 1;
  ui.m_nID = ID_TEST_CHECKED;
  ui.SetText("After");
  EXPECT_EQ(popup.GetMenuString(0, MF_BYPOSITION), "After");
  ui.SetRadio(TRUE);
  EXPECT_TRUE(popup.GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
  ui.SetRadio(FALSE);
  EXPECT_FALSE(popup.GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
  ui.Enable(FALSE);
  EXPECT_TRUE(popup.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(ui.m_bEnableChanged);
}

TEST_F(RoutingTest, AcceleratorsAreTranslatedThroughTheWindowTree) {
  MSG msg{};
  msg.hwnd = view->m_hWnd;  // the key arrives at the view; the frame's table applies
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F5;
  msg.lParam = 1;
  EXPECT_TRUE(app.PreTranslateMessage(&msg));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "view:copy");

  // F6 is bound to Undo, which is disabled now: nothing runs.
  g_log.clear();
  msg.wParam = VK_F6;
  app.PreTranslateMessage(&msg);
  EXPECT_TRUE(g_log.empty());

  msg.wParam = VK_F7;  // no accelerator
  EXPECT_FALSE(app.PreTranslateMessage(&msg));
}

TEST_F(RoutingTest, ClosingTheMainFrameAsksTheApplicationFirst) {
  CRouteFrame::destroyed = 0;
  app.allowClose = FALSE;
  Command(ID_APP_EXIT);  // the application's exit closes the main window
  EXPECT_EQ(app.saveAllCalls, 1);
  EXPECT_TRUE(frame->IsWindow());
  EXPECT_EQ(CRouteFrame::destroyed, 0);

  app.allowClose = TRUE;
  HWND h = frame->m_hWnd;
  frame->SendMessage(WM_CLOSE);
  EXPECT_EQ(app.saveAllCalls, 2);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(CRouteFrame::destroyed, 1);  // frames delete themselves
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG quit;
  EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program would end
}

namespace {

class CRefusingFrame : public CFrameWnd {
 public:
  static int deleted;
  ~CRefusingFrame() override { ++deleted; }

 private:
  int OnCreate(LPCREATESTRUCT) { return -1; }
  DECLARE_MESSAGE_MAP()
};
int CRefusingFrame::deleted = 0;

BEGIN_MESSAGE_MAP(CRefusingFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

}  // namespace

TEST(FrameCreation, AFrameThatRefusesCreationStaysWithItsCreator) {
  CRefusingFrame::deleted = 0;
  auto* frame = new CRefusingFrame;
  EXPECT_FALSE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW));
  EXPECT_EQ(CRefusingFrame::deleted, 0);  // not deleted behind the caller's back
  EXPECT_EQ(frame->m_hWnd, nullptr);
  EXPECT_EQ(frame->m_hMenuDefault, nullptr);
  delete frame;  // the usual start-up code does this
  EXPECT_EQ(CRefusingFrame::deleted, 1);
}
