// Print preview on the screen: the page in the printer's proportions with the image where it
// prints, page buttons for a tiled layout, and Escape closing the preview.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "document/ViewPrinting.h"
#include "framework/FrameWnd.h"
#include "framework/FrameworkRes.h"
#include "framework/PrintInfo.h"
#include "framework/PrintPreviewWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "win/DisplayBitmap.h"

namespace {

CWinApp g_app("Print Preview Test");

class CPictureView : public CView {
 public:
  PrintLayoutSettings layout;
  CDisplayBitmap* image = nullptr;
  void OnDraw(HDC) override {}
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return viewprinting::PreparePrinting(*this, pInfo, 0); }
  void OnBeginPrinting(HDC hDC, CPrintInfo* pInfo) override { viewprinting::BeginPrinting(hDC, pInfo, layout); }
  void OnPrint(HDC hDC, CPrintInfo* pInfo) override { viewprinting::PrintPage(hDC, pInfo, layout, image); }
};

void Pump(int rounds = 20) {
  for (int i = 0; i < rounds; ++i) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!AfxPumpMessage()) return;
    }
    ::Sleep(10);
  }
}

COLORREF PixelAt(HWND wnd, int x, int y) {
  HDC dc = ::GetDC(wnd);
  COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(wnd, dc);
  return c;
}

class PrintPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("CUPS_SERVER")) GTEST_SKIP() << "no print session";
    m_picture = std::make_unique<CDisplayBitmap>();
    m_picture->Create(400, 200, 32, false);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 400; ++x)
        m_picture->SetPixel(x, y, y < 100 ? PLMakePixel(255, 0, 0) : PLMakePixel(0, 0, 255));
    m_frame = new CFrameWnd;
    ASSERT_TRUE(m_frame->Create(nullptr, "Preview Test", WS_OVERLAPPEDWINDOW, RECT{20, 20, 660, 720}));
    m_view = new CPictureView;
    m_view->image = m_picture.get();
    m_view->layout.margins = RECT{120, 120, 120, 120};
    RECT client;
    ::GetClientRect(m_frame->GetSafeHwnd(), &client);
    ASSERT_TRUE(m_view->Create(nullptr, "", WS_VISIBLE, client, m_frame, AFX_IDW_PANE_FIRST));
    g_app.m_pMainWnd = m_frame;
    m_frame->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_frame->GetSafeHwnd());
    Pump();
  }
  void TearDown() override {
    if (m_frame && ::IsWindow(m_frame->GetSafeHwnd())) ::DestroyWindow(m_frame->GetSafeHwnd());
    g_app.m_pMainWnd = nullptr;
    Pump(5);
  }
  CPrintPreviewWnd* Preview() {
    return static_cast<CPrintPreviewWnd*>(CWnd::FromHandlePermanent(m_frame->m_hWndPrintPreview));
  }

  std::unique_ptr<CDisplayBitmap> m_picture;
  CFrameWnd* m_frame = nullptr;
  CPictureView* m_view = nullptr;
};

TEST_F(PrintPreview, ShowsThePageWithTheImageAndEscapeClosesIt) {
  m_view->OnFilePrintPreview();
  HWND preview = m_frame->m_hWndPrintPreview;
  ASSERT_NE(preview, nullptr);
  ::UpdateWindow(preview);
  Pump();
  CPrintPreviewWnd* wnd = Preview();
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd->GetPageCount(), 1u);
  RECT page = wnd->PageRect(0);
  const int w = page.right - page.left, h = page.bottom - page.top;
  ASSERT_GT(w, 100);
  // A4's proportions.
  EXPECT_NEAR(static_cast<double>(h) / w, 297.0 / 210.0, 0.02);
  // Fitted and centred: 186 x 93 mm from (12, 102) mm; red above blue.
  const int cx = page.left + w / 2;
  EXPECT_EQ(PixelAt(preview, cx, page.top + h * 1250 / 2970), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(preview, cx, page.top + h * 1700 / 2970), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(preview, cx, page.top + h * 500 / 2970), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(preview, page.left + w * 60 / 2100, page.top + h * 1250 / 2970), RGB(255, 255, 255));

  ::PostMessageA(preview, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(::IsWindow(preview));
  EXPECT_EQ(m_frame->m_hWndPrintPreview, nullptr);
}

TEST_F(PrintPreview, PagesOfATiledLayout) {
  m_view->layout.printMode = 3;
  m_view->layout.printSize = SIZE{4000, 2000};
  m_view->OnFilePrintPreview();
  HWND preview = m_frame->m_hWndPrintPreview;
  ASSERT_NE(preview, nullptr);
  CPrintPreviewWnd* wnd = Preview();
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd->GetPageCount(), 3u);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(preview, AFX_ID_PREVIEW_PREV)));
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);  // past the last page: stays
  EXPECT_EQ(wnd->GetCurrentPage(), 3u);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(preview, AFX_ID_PREVIEW_NEXT)));
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_NUMPAGE, 0);
  EXPECT_EQ(wnd->GetPagesShown(), 2u);
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_ZOOMIN, 0);
  EXPECT_EQ(wnd->GetZoom(), 1);
  ::UpdateWindow(preview);
  // The last page shows the rightmost part (blue at the bottom of its narrow strip).
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_ZOOMOUT, 0);
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_NUMPAGE, 0);
  ::UpdateWindow(preview);
  Pump();
  RECT page = wnd->PageRect(0);
  const int w = page.right - page.left, h = page.bottom - page.top;
  EXPECT_EQ(PixelAt(preview, page.left + w * 200 / 2100, page.top + h * 1500 / 2970), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(preview, page.left + w * 1000 / 2100, page.top + h * 1500 / 2970), RGB(255, 255, 255));
  ::SendMessageA(preview, WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
  EXPECT_FALSE(::IsWindow(preview));
}

}  // namespace
