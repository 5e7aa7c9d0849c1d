// Document types, the document manager and the file commands of documents in an MDI frame:
// untitled numbering, failed opens, files open twice, save questions, the file-name prompt
// taken over by a derived manager, failed saves; the scroll view's bars and centring; the
// status bar's panes, layout and progress bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

std::vector<std::string> g_saves;

class CPicDoc : public CDocument {
 public:
  BOOL OnOpenDocument(LPCSTR path) override {
    if (std::string(path).find("bad") != std::string::npos) return FALSE;
    return CDocument::OnOpenDocument(path);
  }
  BOOL OnSaveDocument(LPCSTR path) override {
    g_saves.push_back(path);
    if (failSave) return FALSE;
    return CDocument::OnSaveDocument(path);
  }
  void DeleteContents() override { ++deleted; }
  BOOL failSave = FALSE;
  int deleted = 0;
};

class CPicView : public CScrollView {
 public:
  void OnDraw(HDC hDC) override {
    RECT content{0, 0, contentSize.cx, contentSize.cy};
    UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    ::FillRect(hDC, &content, red.get());
  }
  void OnInitialUpdate() override {
    SetScrollSizes(MM_TEXT, contentSize);
    CScrollView::OnInitialUpdate();
  }
  SIZE contentSize{60, 40};
};

class CPicChild : public CMDIChildWnd {};

class CPromptManager : public CDocManager {
 public:
  BOOL DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD, BOOL bOpen, CDocTemplate*) override {
    offered.push_back(fileName);
    titles.push_back(nIDSTitle);
    opens.push_back(bOpen);
    if (answer.empty()) return FALSE;
    fileName = answer;
    return TRUE;
  }
  std::string answer;
  std::vector<std::string> offered;
  std::vector<UINT> titles;
  std::vector<BOOL> opens;
};

class CPicApp : public CWinApp {
 public:
  CPicApp() : CWinApp("Doc View Test") {}
};

class CPicFrame : public CMDIFrameWnd {
 public:
  CStatusBar statusBar;

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    static const UINT panes[] = {ID_SEPARATOR, IDS_TEST_PANE, IDS_TEST_PLAIN};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(panes, 3)) return -1;
    statusBar.SetPaneWidth(1, 100);
    statusBar.SetPaneWidth(2, 80);
    RecalcLayout();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPicFrame, CMDIFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

class DocViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_saves.clear();
    manager = new CPromptManager;
    app.m_pDocManager = manager;
    tmpl = new CMultiDocTemplate(IDR_TESTDOC, &AfxNewObject<CPicDoc, CDocument>, &AfxNewObject<CPicChild, CFrameWnd>,
                                 &AfxNewObject<CPicView, CView>);
    app.AddDocTemplate(tmpl);
    frame = new CPicFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    frame->MoveWindow(0, 0, 640, 480);
    frame->ShowWindow(SW_SHOW);
    app.m_pMainWnd = frame;
  }
  void TearDown() override {
    app.CloseAllDocuments(TRUE);
    if (app.m_pMainWnd) ::DestroyWindow(app.m_pMainWnd->m_hWnd);
    DrainQuit();
  }
  CPicDoc* Open(const char* path) {
    auto* doc = dynamic_cast<CPicDoc*>(app.OpenDocumentFile(path));
    PumpMessages();
    return doc;
  }
  CPicDoc* New() {
    app.OnFileNew();
    PumpMessages();
    return dynamic_cast<CPicDoc*>(tmpl->GetDocuments().empty() ? nullptr : tmpl->GetDocuments().back());
  }

  CPicApp app;
  CPromptManager* manager = nullptr;
  CMultiDocTemplate* tmpl = nullptr;
  CPicFrame* frame = nullptr;
  MessageBoxRecorder boxes{IDNO};
};

TEST_F(DocViewTest, TemplateReadsItsDocumentStrings) {
  std::string s;
  EXPECT_TRUE(tmpl->GetDocString(s, CDocTemplate::docName));
  EXPECT_EQ(s, "Pic");
  EXPECT_FALSE(tmpl->GetDocString(s, CDocTemplate::windowTitle));
  EXPECT_TRUE(tmpl->GetDocString(s, CDocTemplate::regFileTypeName));
  EXPECT_EQ(s, "Test Picture");
  EXPECT_NE(tmpl->m_hMenuShared, nullptr);
  CDocument* match = nullptr;
  EXPECT_EQ(tmpl->MatchDocType("C:\\x\\a.PIC", match), CDocTemplate::yesAttemptNative);
  EXPECT_EQ(tmpl->MatchDocType("C:\\x.pic\\a.txt", match), CDocTemplate::yesAttemptForeign);
}

TEST_F(DocViewTest, UntitledDocumentsAreNumberedAndGetTheirTypesMenu) {
  CPicDoc* first = New();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetTitle(), "Pic1");
  CPicDoc* second = New();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetTitle(), "Pic2");
  EXPECT_EQ(app.GetOpenDocumentCount(), 2);
  CMDIChildWnd* active = frame->MDIGetActive();
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(active->GetActiveDocument(), second);
  EXPECT_EQ(frame->GetMenu(), tmpl->m_hMenuShared);
  app.OnIdle(0);
  EXPECT_EQ(active->GetWindowText(), "Pic2");

  // The last window goes: the frame's own menu comes back.
  app.CloseAllDocuments(FALSE);
  PumpMessages();
  EXPECT_EQ(app.GetOpenDocumentCount(), 0);
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
  EXPECT_EQ(frame->GetMenu(), frame->m_hMenuDefault);
}

TEST_F(DocViewTest, FailedOpenDiscardsTheDocumentAndItsFrame) {
  EXPECT_EQ(Open("C:\\pictures\\bad.pic"), nullptr);
  EXPECT_EQ(app.GetOpenDocumentCount(), 0);
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
  EXPECT_EQ(::GetWindow(frame->m_hWndMDIClient, GW_CHILD), nullptr);
}

TEST_F(DocViewTest, AFileOpenTwiceIsOneDocument) {
  CPicDoc* doc = Open("C:\\pictures\\one.pic");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetTitle(), "one.pic");
  EXPECT_EQ(doc->GetPathName(), "C:\\pictures\\one.pic");
  CPicDoc* other = Open("C:\\pictures\\two.pic");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), other);
  EXPECT_EQ(Open("c:\\PICTURES\\ONE.pic"), doc);
  EXPECT_EQ(app.GetOpenDocumentCount(), 2);
  EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), doc);
}

TEST_F(DocViewTest, FileOpenAsksTheManagerForAName) {
  manager->answer = "C:\\pictures\\asked.pic";
  app.OnFileOpen();
  PumpMessages();
  ASSERT_EQ(manager->opens.size(), 1u);
  EXPECT_TRUE(manager->opens[0]);
  EXPECT_EQ(manager->titles[0], static_cast<UINT>(AFX_IDS_OPENFILE));
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);
  manager->answer.clear();
  app.OnFileOpen();  // cancelled
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);
}

TEST_F(DocViewTest, SaveOfAnUntitledDocumentOffersItsTitleAndTakesTheName) {
  CPicDoc* doc = New();
  ASSERT_NE(doc, nullptr);
  doc->SetModifiedFlag(TRUE);
  manager->answer = "C:\\pictures\\saved.pic";
  frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
  ASSERT_EQ(manager->offered.size(), 1u);
  EXPECT_EQ(manager->offered[0], "Pic1.pic");
  EXPECT_FALSE(manager->opens[0]);
  EXPECT_EQ(manager->titles[0], static_cast<UINT>(AFX_IDS_SAVEFILE));
  ASSERT_EQ(g_saves.size(), 1u);
  EXPECT_EQ(g_saves[0], "C:\\pictures\\saved.pic");
  EXPECT_EQ(doc->GetPathName(), "C:\\pictures\\saved.pic");
  EXPECT_EQ(doc->GetTitle(), "saved.pic");
  EXPECT_FALSE(doc->IsModified());

  // With a name, Save asks nothing.
  doc->SetModifiedFlag(TRUE);
  frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
  EXPECT_EQ(manager->offered.size(), 1u);
  EXPECT_EQ(g_saves.size(), 2u);
}

TEST_F(DocViewTest, FailedSaveKeepsTheNameAndTheModifiedFlag) {
  CPicDoc* doc = Open("C:\\pictures\\keep.pic");
  ASSERT_NE(doc, nullptr);
  doc->SetModifiedFlag(TRUE);
  doc->failSave = TRUE;
  manager->answer = "C:\\pictures\\elsewhere.pic";
  frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  ASSERT_EQ(g_saves.size(), 1u);
  EXPECT_EQ(doc->GetPathName(), "C:\\pictures\\keep.pic");
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocViewTest, ClosingAsksAboutUnsavedChanges) {
  CPicDoc* clean = Open("C:\\pictures\\clean.pic");
  CPicDoc* dirty = Open("C:\\pictures\\dirty.pic");
  ASSERT_NE(clean, nullptr);
  ASSERT_NE(dirty, nullptr);
  dirty->SetModifiedFlag(TRUE);

  boxes.set_answer(IDCANCEL);
  EXPECT_FALSE(app.SaveAllModified());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Save changes to dirty.pic?");
  EXPECT_EQ(boxes.boxes()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));

  // Yes saves; a failed save keeps the program running.
  dirty->failSave = TRUE;
  boxes.set_answer(IDYES);
  EXPECT_FALSE(app.SaveAllModified());
  dirty->failSave = FALSE;
  EXPECT_TRUE(app.SaveAllModified());
  EXPECT_FALSE(dirty->IsModified());

  dirty->SetModifiedFlag(TRUE);
  boxes.set_answer(IDNO);
  frame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);  // the active document: dirty
  PumpMessages();
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);
  EXPECT_EQ(tmpl->GetDocuments().front(), clean);
}

TEST_F(DocViewTest, ScrollViewCentresSmallContentAndScrollsLargeContent) {
  CPicDoc* doc = New();
  ASSERT_NE(doc, nullptr);
  CMDIChildWnd* child = frame->MDIGetActive();
  ASSERT_NE(child, nullptr);
  child->MoveWindow(0, 0, 400, 300);
  PumpMessages();
  auto* view = dynamic_cast<CPicView*>(child->GetActiveView());
  ASSERT_NE(view, nullptr);
  CRect client = view->GetClientRect();

  // 60 x 40 in a larger window: centred, no bars.
  BOOL h = TRUE, v = TRUE;
  view->CheckScrollBars(h, v);
  EXPECT_FALSE(h);
  EXPECT_FALSE(v);
  POINT origin = view->GetContentOrigin();
  EXPECT_EQ(origin.x, (client.Width() - 60) / 2);
  EXPECT_EQ(origin.y, (client.Height() - 40) / 2);
  POINT pt{origin.x + 5, origin.y + 7};
  view->DeviceToLogical(&pt);
  EXPECT_EQ(pt.x, 5);
  EXPECT_EQ(pt.y, 7);

  // The content is painted where the origin says.
  view->RedrawWindow();
  {
    WindowDC dc(view->m_hWnd);
    EXPECT_EQ(::GetPixel(dc.get(), origin.x + 30, origin.y + 20), RGB(255, 0, 0));
    EXPECT_NE(::GetPixel(dc.get(), 2, 2), RGB(255, 0, 0));
  }

  // 2000 x 50: a horizontal bar, still centred vertically.
  view->SetScrollSizes(MM_TEXT, SIZE{2000, 50});
  PumpMessages();
  view->CheckScrollBars(h, v);
  EXPECT_TRUE(h);
  EXPECT_FALSE(v);
  client = view->GetClientRect();
  origin = view->GetContentOrigin();
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, (client.Height() - 50) / 2);
  view->ScrollToDevicePosition(POINT{5000, 0});
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 2000 - client.Width());
  EXPECT_EQ(view->GetContentOrigin().x, -(2000 - client.Width()));
  EXPECT_TRUE(view->OnScroll(SB_HORZ, SB_PAGEUP, 0));
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 2000 - client.Width() - 200);
  EXPECT_FALSE(view->OnScroll(SB_VERT, SB_LINEDOWN, 0));  // no vertical bar

  // Both directions too large; shrinking the content again resets the position.
  view->SetScrollSizes(MM_TEXT, SIZE{3000, 3000});
  PumpMessages();
  view->CheckScrollBars(h, v);
  EXPECT_TRUE(h);
  EXPECT_TRUE(v);
  view->SetScrollSizes(MM_TEXT, SIZE{10, 10});
  PumpMessages();
  view->CheckScrollBars(h, v);
  EXPECT_FALSE(h);
  EXPECT_FALSE(v);
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 0);
}

TEST_F(DocViewTest, StatusBarSitsAtTheBottomWithItsPanesAndProgress) {
  CStatusBar& bar = frame->statusBar;
  EXPECT_EQ(AfxGetStatusBar(frame), &bar);
  ASSERT_EQ(bar.GetCount(), 3);
  EXPECT_EQ(bar.GetItemID(1), static_cast<UINT>(IDS_TEST_PANE));
  EXPECT_EQ(bar.GetPaneText(1), "  Pane:");
  EXPECT_EQ(bar.CommandToIndex(IDS_TEST_PLAIN), 2);

  // Below the MDI client, across the frame.
  CRect client = frame->GetClientRect();
  CRect barRect = bar.GetWindowRect();
  frame->ScreenToClient(&barRect);
  CRect mdi;
  ::GetWindowRect(frame->m_hWndMDIClient, &mdi);
  frame->ScreenToClient(&mdi);
  EXPECT_EQ(barRect.bottom, client.bottom);
  EXPECT_EQ(mdi.bottom, barRect.top);
  EXPECT_GT(barRect.Height(), 10);

  // Fixed panes keep their widths at the right; the message pane stretches.
  RECT pane1, pane2, pane0;
  ASSERT_TRUE(bar.GetItemRect(0, &pane0));
  ASSERT_TRUE(bar.GetItemRect(1, &pane1));
  ASSERT_TRUE(bar.GetItemRect(2, &pane2));
  EXPECT_NEAR(pane1.right - pane1.left, 100, 4);
  EXPECT_GT(pane0.right - pane0.left, 200);

  EXPECT_TRUE(bar.SetPaneText(0, "Last command : test"));
  char text[64] = {};
  bar.SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Last command : test");

  bar.ShowProgress(40);
  ASSERT_TRUE(bar.HasProgressBar());
  EXPECT_EQ(::SendMessageA(bar.GetProgressBar(), PBM_GETPOS, 0, 0), 40);
  RECT progress;
  ::GetWindowRect(bar.GetProgressBar(), &progress);
  bar.ScreenToClient(&progress);
  EXPECT_EQ(progress.left, pane0.left);
  EXPECT_EQ(progress.right, pane0.right);
  bar.ShowProgress(99);
  EXPECT_TRUE(bar.HasProgressBar());
  bar.ShowProgress(100);
  EXPECT_FALSE(bar.HasProgressBar());
  bar.SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Last command : test");  // the pane shows its text again
  bar.ShowProgress(-5);                        // taken as unsigned: at least 100
  EXPECT_FALSE(bar.HasProgressBar());
}

}  // namespace
