// The zoomable image view on the screen, driven with real mouse and keyboard input: the red
// frame and the centring, zooming around the centre, the pointer position at every zoom, the
// rubber band, the blinking border, panning, moving and copying a region, the floating pasted
// picture, crop and cut, the cursors, the context menu, the status panes, the outputs of a new
// capture, and the timings of a 4000 x 3000 picture.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "EditOperations.h"
#include "ViewTestSupport.h"

BEGIN_MESSAGE_MAP(CViewTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_POSITION, OnUpdateImageStatusPane)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_COLOR, OnUpdateImageStatusPane)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_IMAGESIZE, OnUpdateImageStatusPane)
END_MESSAGE_MAP()

namespace e2e = lumatre::e2e;

namespace {

constexpr uint32_t kRed = 0xFF0000u;
constexpr uint32_t kViewBackground = 0x6699CCu;   // COLORREF 0xCC9966
constexpr uint32_t kImageBackground = 0xC0C0C0u;  // COLORREF 0xC0C0C0

class ImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.AddDocTemplate(new CMultiDocTemplate(IDR_LUMATRETYPE, &AfxNewObject<CQuorvaCaptureDoc, CDocument>,
                                             &AfxNewObject<CChildFrame, CFrameWnd>,
                                             &AfxNewObject<CQuorvaCaptureView, CView>));
    frame = new CViewTestFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    frame->MoveWindow(0, 0, 1000, 740);
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    app.m_pMainWnd = frame;
    e2e::ForceForeground(frame->m_hWnd);
    e2e::MouseMove(1010, 300);  // out of the way
    PumpMessages(50);
  }
  void TearDown() override {
    app.CloseAllDocuments(TRUE);
    if (app.m_pMainWnd) ::DestroyWindow(app.m_pMainWnd->m_hWnd);
    app.m_pMainWnd = nullptr;
    DrainQuit();
  }

  CQuorvaCaptureView* ActiveView() {
    CMDIChildWnd* child = frame->MDIGetActive();
    return child ? dynamic_cast<CQuorvaCaptureView*>(child->GetActiveView()) : nullptr;
  }
  // A new image window on picture; maximised, so that there is room around small pictures,
  // unless fitted is asked for (the window as the view fits it to the picture).
  CQuorvaCaptureView* Open(std::unique_ptr<CDisplayBitmap> picture, bool fitted = false) {
    app.pending = std::move(picture);
    app.OnFileNew();
    PumpMessages(80);
    if (!fitted) {
      if (CMDIChildWnd* child = frame->MDIGetActive()) child->MDIMaximize();
      PumpMessages(50);
    }
    CQuorvaCaptureView* view = ActiveView();
    if (view) view->UpdateWindow();
    return view;
  }
  CQuorvaCaptureDoc* Doc(CQuorvaCaptureView* view) { return view->GetImageDocument(); }
  // A status pane's text as the program shows it: the panes take their texts at idle time.
  std::string Pane(int index) {
    app.OnIdle(0);
    return frame->statusBar.GetPaneText(index);
  }
  void Command(UINT id) {
    frame->SendMessage(WM_COMMAND, id, 0);
    PumpMessages(30);
  }
  CommandState State(UINT id) {
    CommandState state;
    state.m_nID = id;
    state.DoUpdate(frame, TRUE);
    return state;
  }
  // A client point inside the drawn span of image pixel (x, y), in screen coordinates.
  POINT ScreenOfPixel(CQuorvaCaptureView* view, int x, int y) {
    zoomgeo::ZoomMapping m = view->GetMapping();
    RECT r = zoomgeo::LogicalToDevice(m, RECT{x, y, x + 1, y + 1});
    POINT p{(r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2};
    ::ClientToScreen(view->m_hWnd, &p);
    return p;
  }
  POINT ScreenOfClient(CQuorvaCaptureView* view, POINT p) {
    ::ClientToScreen(view->m_hWnd, &p);
    return p;
  }
  e2e::Image Screen(CQuorvaCaptureView* view) {
    view->UpdateWindow();
    PumpMessages(30);
    return e2e::CaptureWindow(view->m_hWnd, true);
  }
  // Moves the pointer to p until arrived() says the view has seen it. Under Wine an injected
  // move now and then never reaches the window; the pointer then goes a pixel away and back.
  bool MoveTo(POINT p, const std::function<bool()>& arrived) {
    for (int attempt = 0; attempt < 6; ++attempt) {
      RunInput([&] {
        if (attempt > 0) e2e::MouseMove(p.x + 1, p.y + 1);
        e2e::MouseMove(p.x, p.y);
      }, 80);
      if (e2e::WaitUntil(arrived, 200)) return true;
    }
    return false;
  }
  bool MoveToPixel(CQuorvaCaptureView* view, POINT screen, POINT pixel) {
    return MoveTo(screen, [=] { return view->pointerPixel.x == pixel.x && view->pointerPixel.y == pixel.y; });
  }
  // A drag with the left button; with ctrl, Ctrl is held from the press on. (Under Wine on X a
  // pointer move resets the modifier keys that were injected before it, so Ctrl goes down
  // after the move to the start.)
  void Drag(POINT from, POINT to, bool ctrl = false) {
    if (ctrl) e2e::ForceForeground(frame->m_hWnd);  // the keyboard state is the active thread's
    RunInput([&] {
      e2e::MouseMove(from.x, from.y);
      if (ctrl) {
        ::Sleep(50);
        e2e::KeyDown(VK_CONTROL);
        ::Sleep(50);
      }
      e2e::MouseDown();
      const int steps = 8;
      for (int i = 1; i <= steps; ++i)
        e2e::MouseMove(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
      e2e::MouseUp();
      if (ctrl) e2e::KeyUp(VK_CONTROL);
      e2e::MouseMove(1010, 300);
    });
  }
  void DragPixels(CQuorvaCaptureView* view, POINT from, POINT to, bool ctrl = false) {
    Drag(ScreenOfPixel(view, from.x, from.y), ScreenOfPixel(view, to.x, to.y), ctrl);
  }
  void ClickPixel(CQuorvaCaptureView* view, int x, int y) {
    POINT p = ScreenOfPixel(view, x, y);
    RunInput([&] {
      e2e::MouseClick(p.x, p.y);
      e2e::MouseMove(1010, 300);
    });
  }
  static bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }

  CViewTestApp app;
  CViewTestFrame* frame = nullptr;
  MessageBoxRecorder boxes{IDYES};
};

std::string RectText(const RECT& r) {
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "(%ld,%ld,%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return buffer;
}

TEST_F(ImageViewTest, SmallImageIsCentredWithARedFrameOverTheViewBackground) {
  CQuorvaCaptureView* view = Open(MakePatternImage(60, 40));
  ASSERT_NE(view, nullptr);
  char cls[64] = {};
  ::GetClassNameA(view->m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "LumatreImageViewClass");
  EXPECT_EQ(view->zoomScale, 1.0);
  EXPECT_EQ(view->mode, 0);

  SIZE client = view->GetClientSize();
  zoomgeo::ZoomMapping m = view->GetMapping();
  ASSERT_GT(client.cx, 60);
  EXPECT_EQ(m.origin.x, (client.cx - 60) / 2);
  EXPECT_EQ(m.origin.y, (client.cy - 40) / 2);

  e2e::Image shot = Screen(view);
  const int ox = m.origin.x, oy = m.origin.y;
  int wrong = e2e::CountPixelsNotMatching(shot, RECT{ox, oy, ox + 60, oy + 40},
                                          [&](int x, int y) { return PatternColor(x - ox, y - oy); });
  EXPECT_EQ(wrong, 0);
  // The frame hugs the picture; beyond it the view background.
  EXPECT_EQ(shot.Rgb(ox - 1, oy + 10), kRed);
  EXPECT_EQ(shot.Rgb(ox + 60, oy + 10), kRed);
  EXPECT_EQ(shot.Rgb(ox + 10, oy - 1), kRed);
  EXPECT_EQ(shot.Rgb(ox + 10, oy + 40), kRed);
  EXPECT_EQ(shot.Rgb(ox - 3, oy + 10), kViewBackground);
  EXPECT_EQ(shot.Rgb(2, 2), kViewBackground);

  // The status panes tell the image's depth and size.
  EXPECT_EQ(Pane(2), "  Color: 32 Bits");
  EXPECT_EQ(Pane(3), "  Image Size: (60,40)");
}

TEST_F(ImageViewTest, StatusPanesFollowTheActiveImageWindowAndShowTheirFirstTextsWithoutOne) {
  struct Expected {
    const char* when;
    const char* position;
    const char* color;
    const char* size;
  };
  auto check = [&](const Expected& e) {
    EXPECT_EQ(Pane(1), e.position) << e.when;
    EXPECT_EQ(Pane(2), e.color) << e.when;
    EXPECT_EQ(Pane(3), e.size) << e.when;
  };
  check({"no image window", "  Mouse Position:", "  Color:", "  Image Size:"});
  CQuorvaCaptureView* first = Open(MakePatternImage(60, 40));
  ASSERT_NE(first, nullptr);
  check({"first window", "  Mouse Position:", "  Color: 32 Bits", "  Image Size: (60,40)"});
  CQuorvaCaptureView* second = Open(MakePatternImage(30, 20));
  ASSERT_NE(second, nullptr);
  check({"second window", "  Mouse Position:", "  Color: 32 Bits", "  Image Size: (30,20)"});
  frame->MDIActivate(first->GetParentFrame());
  PumpMessages(30);
  check({"first window again", "  Mouse Position:", "  Color: 32 Bits", "  Image Size: (60,40)"});

  // A change made while the program has no idle time (inside a modal dialog) shows at once.
  ResizeImage(*Doc(first), ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{25, 15});
  EXPECT_EQ(frame->statusBar.GetPaneText(3), "  Image Size: (25,15)");

  app.CloseAllDocuments(TRUE);
  PumpMessages(30);
  check({"all windows closed", "  Mouse Position:", "  Color:", "  Image Size:"});
}

TEST_F(ImageViewTest, ImageWindowIsFittedToThePictureAndToTheWorkspace) {
  CQuorvaCaptureView* view = Open(MakePatternImage(300, 200), true);
  ASSERT_NE(view, nullptr);
  SIZE client = view->GetClientSize();
  EXPECT_EQ(client.cx, 300);
  EXPECT_EQ(client.cy, 200);
  BOOL h = TRUE, v = TRUE;
  view->CheckScrollBars(h, v);
  EXPECT_FALSE(h);
  EXPECT_FALSE(v);

  // Taller than the workspace: cut to it, with a vertical scroll bar and no horizontal one.
  CQuorvaCaptureView* tall = Open(MakePatternImage(300, 2000), true);
  ASSERT_NE(tall, nullptr);
  RECT ws;
  ::GetClientRect(frame->m_hWndMDIClient, &ws);
  RECT childRect;
  ::GetWindowRect(tall->GetParentFrame()->m_hWnd, &childRect);
  EXPECT_EQ(childRect.bottom - childRect.top, ws.bottom);
  tall->CheckScrollBars(h, v);
  EXPECT_FALSE(h);
  EXPECT_TRUE(v);
  EXPECT_EQ(tall->GetClientSize().cx, 300);
}

TEST_F(ImageViewTest, ZoomStepsAndTheZoomCommands) {
  CQuorvaCaptureView* view = Open(MakePatternImage(200, 100));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(State(ID_VIEW_ZOOMIN).enabled, 1);
  EXPECT_EQ(State(ID_VIEW_ZOOMOUT).enabled, 1);
  EXPECT_EQ(State(ID_VIEW_ZOOM100).checked, 1);
  EXPECT_EQ(State(ID_VIEW_ZOOM200).checked, 0);

  Command(ID_VIEW_ZOOMIN);
  EXPECT_DOUBLE_EQ(view->zoomStep, 2.0);
  EXPECT_DOUBLE_EQ(view->zoomScale, 2.0);
  EXPECT_EQ(view->GetZoomedSize().cx, 400);
  EXPECT_EQ(State(ID_VIEW_ZOOM200).checked, 1);
  Command(ID_VIEW_ZOOMIN);
  EXPECT_DOUBLE_EQ(view->zoomStep, 4.0);
  EXPECT_EQ(State(ID_VIEW_ZOOMIN).enabled, 0);
  Command(ID_VIEW_ZOOMIN);  // nothing above 400 %
  EXPECT_DOUBLE_EQ(view->zoomStep, 4.0);

  for (double expected : {2.0, 1.0, 0.5, 0.25}) {
    Command(ID_VIEW_ZOOMOUT);
    EXPECT_DOUBLE_EQ(view->zoomStep, expected);
  }
  EXPECT_EQ(State(ID_VIEW_ZOOMOUT).enabled, 0);
  EXPECT_EQ(view->GetZoomedSize().cx, 50);
  EXPECT_EQ(view->GetZoomedSize().cy, 25);

  Command(ID_VIEW_ZOOM400);
  EXPECT_DOUBLE_EQ(view->zoomScale, 4.0);
  EXPECT_EQ(State(ID_VIEW_ZOOM400).checked, 1);

  // Scales that cannot be shown are refused and change nothing.
  EXPECT_FALSE(view->SetZoom(81.0));
  EXPECT_FALSE(view->SetZoom(0.0));
  EXPECT_FALSE(view->SetZoom(-1.0));
  EXPECT_DOUBLE_EQ(view->zoomStep, 4.0);
  EXPECT_DOUBLE_EQ(view->zoomScale, 4.0);
}

TEST_F(ImageViewTest, AtQuarterZoomALargeImageIsSmallAndCentred) {
  CQuorvaCaptureView* view = Open(MakePatternImage(2000, 1200));
  ASSERT_NE(view, nullptr);
  BOOL h = FALSE, v = FALSE;
  view->CheckScrollBars(h, v);
  EXPECT_TRUE(h || v);

  Command(ID_VIEW_ZOOM25);
  EXPECT_EQ(view->GetZoomedSize().cx, 500);
  EXPECT_EQ(view->GetZoomedSize().cy, 300);
  view->CheckScrollBars(h, v);
  EXPECT_FALSE(h);
  EXPECT_FALSE(v);
  SIZE client = view->GetClientSize();
  ASSERT_GT(client.cx, 500);
  zoomgeo::ZoomMapping m = view->GetMapping();
  EXPECT_EQ(m.origin.x, (client.cx - 500) / 2);
  EXPECT_EQ(m.origin.y, (client.cy - 300) / 2);

  // 500 pixels between the two red frame lines.
  e2e::Image shot = Screen(view);
  const int y = m.origin.y + 150;
  EXPECT_EQ(shot.Rgb(m.origin.x - 1, y), kRed);
  EXPECT_EQ(shot.Rgb(m.origin.x + 500, y), kRed);
  EXPECT_NE(shot.Rgb(m.origin.x + 250, y), kRed);
  // Each client pixel shows a pixel of the picture from its 4 x 4 block.
  int wrong = 0;
  for (int d = 0; d < 500; d += 7) {
    uint32_t got = shot.Rgb(m.origin.x + d, y);
    bool found = false;
    for (int sy = 0; sy < 4 && !found; ++sy)
      for (int sx = 0; sx < 4 && !found; ++sx) found = got == PatternColor(4 * d + sx, 600 + sy);
    wrong += found ? 0 : 1;
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(ImageViewTest, ZoomingKeepsThePointAtTheCentre) {
  CQuorvaCaptureView* view = Open(MakePatternImage(1600, 1200));
  ASSERT_NE(view, nullptr);
  view->ScrollToDevicePosition(POINT{300, 200});
  SIZE client = view->GetClientSize();
  POINT before = zoomgeo::DeviceToPixel(view->GetMapping(), POINT{client.cx / 2, client.cy / 2});
  Command(ID_VIEW_ZOOMIN);
  POINT after = zoomgeo::DeviceToPixel(view->GetMapping(), POINT{client.cx / 2, client.cy / 2});
  EXPECT_NEAR(after.x, before.x, 1);
  EXPECT_NEAR(after.y, before.y, 1);
  Command(ID_VIEW_ZOOMOUT);
  after = zoomgeo::DeviceToPixel(view->GetMapping(), POINT{client.cx / 2, client.cy / 2});
  EXPECT_NEAR(after.x, before.x, 1);
  EXPECT_NEAR(after.y, before.y, 1);
  // At 50 % the whole picture fits and is centred: its middle is in the middle.
  Command(ID_VIEW_ZOOMOUT);
  client = view->GetClientSize();  // no scroll bars now
  after = zoomgeo::DeviceToPixel(view->GetMapping(), POINT{client.cx / 2, client.cy / 2});
  EXPECT_NEAR(after.x, 800, 2);
  EXPECT_NEAR(after.y, 600, 2);
}

TEST_F(ImageViewTest, PointerPositionIsInImagePixelsAtEveryZoom) {
  CQuorvaCaptureView* view = Open(MakePatternImage(50, 40));
  ASSERT_NE(view, nullptr);
  for (UINT zoom : {ID_VIEW_ZOOM100, ID_VIEW_ZOOM200, ID_VIEW_ZOOM400, ID_VIEW_ZOOM50, ID_VIEW_ZOOM25}) {
    Command(zoom);
    view->UpdateWindow();
    PumpMessages(100);
    // Below 100 % some pixels share a client pixel with a neighbour: take one that has its own.
    zoomgeo::ZoomMapping zm = view->GetMapping();
    int px = 13, py = 7;
    while (zoomgeo::LogicalToDeviceX(zm, px + 1) == zoomgeo::LogicalToDeviceX(zm, px)) ++px;
    while (zoomgeo::LogicalToDeviceY(zm, py + 1) == zoomgeo::LogicalToDeviceY(zm, py)) ++py;
    POINT p = ScreenOfPixel(view, px, py);
    const std::string expected = "  Mouse Position: (" + std::to_string(px) + "," + std::to_string(py) + ")";
    EXPECT_TRUE(MoveTo(p, [&] { return Pane(1) == expected; })) << zoom;
    EXPECT_EQ(Pane(1), "  Mouse Position: (" + std::to_string(px) + "," + std::to_string(py) + ")")
        << zoom;
    EXPECT_EQ(view->pointerPixel.x, px) << zoom;
    EXPECT_EQ(view->pointerPixel.y, py) << zoom;
  }
  // At 400 % every client pixel of an image pixel reports that pixel.
  Command(ID_VIEW_ZOOM400);
  zoomgeo::ZoomMapping m = view->GetMapping();
  LONG left = zoomgeo::LogicalToDeviceX(m, 13), top = zoomgeo::LogicalToDeviceY(m, 7);
  for (POINT c : {POINT{left, top}, POINT{left + 3, top + 3}, POINT{left + 4, top}}) {
    POINT s = ScreenOfClient(view, c);
    const POINT expected = c.x == left + 4 ? POINT{14, 7} : POINT{13, 7};
    EXPECT_TRUE(MoveToPixel(view, ScreenOfPixel(view, 1, 1), POINT{1, 1}));  // from elsewhere
    EXPECT_TRUE(MoveToPixel(view, s, expected)) << c.x << "," << c.y;
  }
  // Outside the picture: no pixel.
  Command(ID_VIEW_ZOOM100);
  m = view->GetMapping();
  POINT outside = ScreenOfClient(view, POINT{m.origin.x - 5, m.origin.y + 3});
  EXPECT_TRUE(MoveTo(outside, [&] { return Pane(1) == "  Mouse Position: (-5,3)"; }));
  EXPECT_EQ(view->pointerPixel.x, -1);
  EXPECT_EQ(view->pointerPixel.y, -1);
}

TEST_F(ImageViewTest, RubberBandIsClippedToTheImageAndAClickClearsIt) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(State(ID_VIEW_SELECTREGION).checked, 0);
  EXPECT_EQ(State(ID_VIEW_UNSELECTREGION).enabled, 0);
  Command(ID_VIEW_SELECTREGION);
  EXPECT_EQ(view->mode, 2);
  EXPECT_EQ(State(ID_VIEW_SELECTREGION).checked, 1);
  EXPECT_EQ(State(ID_VIEW_UNSELECTREGION).enabled, 1);

  // From inside the picture to well beyond its bottom-right corner.
  zoomgeo::ZoomMapping m = view->GetMapping();
  POINT from = ScreenOfPixel(view, 20, 15);
  POINT beyond = ScreenOfClient(view, POINT{m.origin.x + 80 + 40, m.origin.y + 60 + 30});
  Drag(from, beyond);
  EXPECT_TRUE(SameRect(view->selection, RECT{20, 15, 80, 60})) << RectText(view->selection);
  EXPECT_TRUE(SameRect(view->marchingRect, view->selection));
  EXPECT_TRUE(view->HasSelection());
  EXPECT_EQ(State(ID_EDIT_COPY).enabled, 1);
  EXPECT_EQ(State(ID_EDIT_CUT).enabled, 1);

  // Backwards, from bottom-right to top-left (starting outside the selection): normalised.
  DragPixels(view, POINT{18, 12}, POINT{5, 3});
  EXPECT_TRUE(SameRect(view->selection, RECT{5, 3, 18, 12})) << RectText(view->selection);

  // The border is drawn just outside the selection, in black and white dots.
  e2e::Image shot = Screen(view);
  int black = 0, white = 0, other = 0;
  for (int x = 5; x < 18; ++x) {
    uint32_t c = shot.Rgb(m.origin.x + x, m.origin.y + 2);
    black += c == 0 ? 1 : 0;
    white += c == 0xFFFFFF ? 1 : 0;
    other += (c != 0 && c != 0xFFFFFF) ? 1 : 0;
  }
  EXPECT_GT(black, 0);
  EXPECT_GT(white, 0);
  EXPECT_EQ(other, 0);

  // A click without dragging clears it.
  ClickPixel(view, 50, 45);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_TRUE(zoomgeo::IsEmptyRect(view->marchingRect));
  EXPECT_EQ(view->mode, 2);
  EXPECT_EQ(State(ID_EDIT_COPY).enabled, 0);
  // The picture shows no border any more.
  shot = Screen(view);
  EXPECT_EQ(shot.Rgb(m.origin.x + 10, m.origin.y + 2), PatternColor(10, 2));
}

TEST_F(ImageViewTest, SelectAllUnselectAndLeavingSelectMode) {
  CQuorvaCaptureView* view = Open(MakePatternImage(64, 48));
  ASSERT_NE(view, nullptr);
  Command(ID_VIEW_SELECTALL);
  EXPECT_EQ(view->mode, 2);
  EXPECT_TRUE(SameRect(view->selection, RECT{0, 0, 64, 48}));
  EXPECT_TRUE(SameRect(view->marchingRect, RECT{0, 0, 64, 48}));
  Command(ID_VIEW_UNSELECTREGION);
  EXPECT_EQ(view->mode, 0);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(State(ID_VIEW_UNSELECTREGION).enabled, 0);

  Command(ID_VIEW_SELECTALL);
  Command(ID_VIEW_SELECTREGION);  // toggles select mode off
  EXPECT_EQ(view->mode, 0);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_TRUE(zoomgeo::IsEmptyRect(view->marchingRect));
}

TEST_F(ImageViewTest, BlinkingInvertsTheBorderOnEveryTick) {
  CQuorvaCaptureView* view = Open(MakePatternImage(64, 48));
  ASSERT_NE(view, nullptr);
  Command(ID_VIEW_SELECTALL);
  zoomgeo::ZoomMapping m = view->GetMapping();
  const RECT topEdge{m.origin.x, m.origin.y, m.origin.x + 64, m.origin.y + 1};
  e2e::Image first = Screen(view).Crop(topEdge);
  for (int x = 0; x < 64; ++x) ASSERT_TRUE(first.Rgb(x, 0) == 0 || first.Rgb(x, 0) == 0xFFFFFF) << x;
  view->OnBlinkTick();
  e2e::Image second = Screen(view).Crop(topEdge);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(second.Rgb(x, 0), first.Rgb(x, 0) ^ 0xFFFFFFu) << x;
  // A repaint in between keeps the phase.
  view->Invalidate(FALSE);
  e2e::Image repainted = Screen(view).Crop(topEdge);
  EXPECT_EQ(e2e::CountDifferentPixels(repainted, second, RECT{0, 0, 64, 1}), 0);
  view->OnBlinkTick();
  e2e::Image third = Screen(view).Crop(topEdge);
  EXPECT_EQ(e2e::CountDifferentPixels(third, first, RECT{0, 0, 64, 1}), 0);
  // The picture inside the border is untouched.
  e2e::Image inside = e2e::CaptureWindow(view->m_hWnd, true);
  EXPECT_EQ(inside.Rgb(m.origin.x + 5, m.origin.y + 5), PatternColor(5, 5));
}

TEST_F(ImageViewTest, DraggingTheSelectionMovesItsPixelsAndCtrlCopiesThem) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  auto original = MakePatternImage(80, 60);
  Command(ID_VIEW_SELECTREGION);
  DragPixels(view, POINT{10, 10}, POINT{30, 30});
  ASSERT_TRUE(SameRect(view->selection, RECT{10, 10, 30, 30})) << RectText(view->selection);
  EXPECT_FALSE(doc->CanUndo());

  // A click inside the selection moves nothing and records nothing.
  ClickPixel(view, 15, 15);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_TRUE(SameRect(view->selection, RECT{10, 10, 30, 30}));

  // Move by (+30, +15).
  DragPixels(view, POINT{20, 20}, POINT{50, 35});
  EXPECT_EQ(view->dragMode, 0);
  EXPECT_TRUE(SameRect(view->selection, RECT{40, 25, 60, 45})) << RectText(view->selection);
  EXPECT_TRUE(SameRect(view->marchingRect, view->selection));
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_EQ(frame->statusBar.GetPaneText(0),
            "Last command : Copy or move selected rectangle region from source position to destination position");
  int wrong = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) wrong += PixelOf(*doc->image, 40 + x, 25 + y) != PixelOf(*original, 10 + x, 10 + y);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(PixelOf(*doc->image, 12, 12), kImageBackground);  // vacated
  EXPECT_EQ(PixelOf(*doc->image, 5, 5), PixelOf(*original, 5, 5));
  // The screen shows it.
  e2e::Image shot = Screen(view);
  zoomgeo::ZoomMapping m = view->GetMapping();
  EXPECT_EQ(shot.Rgb(m.origin.x + 45, m.origin.y + 30), PixelOf(*original, 15, 15));
  EXPECT_EQ(shot.Rgb(m.origin.x + 12, m.origin.y + 12), kImageBackground);

  Command(ID_EDIT_UNDO);
  EXPECT_EQ(PixelOf(*doc->image, 12, 12), PixelOf(*original, 12, 12));

  // With Ctrl held the pixels are copied: the old place keeps them.
  view->selection = RECT{10, 10, 30, 30};
  view->marchingRect = view->selection;
  DragPixels(view, POINT{20, 20}, POINT{50, 20}, true);
  EXPECT_TRUE(SameRect(view->selection, RECT{40, 10, 60, 30})) << RectText(view->selection);
  EXPECT_EQ(PixelOf(*doc->image, 12, 12), PixelOf(*original, 12, 12));
  EXPECT_EQ(PixelOf(*doc->image, 42, 12), PixelOf(*original, 12, 12));
}

TEST_F(ImageViewTest, ARegionDraggedPastTheLeftEdgeKeepsThePixelsThatLand) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  auto original = MakePatternImage(80, 60);
  Command(ID_VIEW_SELECTREGION);
  DragPixels(view, POINT{10, 10}, POINT{30, 30});
  ASSERT_TRUE(SameRect(view->selection, RECT{10, 10, 30, 30}));
  // Move by (-20, +5): the left half falls off the picture.
  zoomgeo::ZoomMapping m = view->GetMapping();
  POINT from = ScreenOfPixel(view, 25, 20);
  POINT to = ScreenOfClient(view, POINT{m.origin.x + 5, m.origin.y + 25});
  Drag(from, to);
  int wrong = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) wrong += PixelOf(*doc->image, x, 15 + y) != PixelOf(*original, 20 + x, 10 + y);
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(SameRect(view->selection, RECT{0, 15, 10, 35})) << RectText(view->selection);
}

TEST_F(ImageViewTest, APastedPictureFloatsCanBeDraggedAndIsCommittedByAClickOutside) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  auto original = MakePatternImage(80, 60);
  e2e::Image picture(20, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) picture.At(x, y) = 0xFF000000u | e2e::Rgb(250 - 5 * x, 30 + 9 * y, 200);
  ASSERT_TRUE(e2e::WriteClipboardDib(picture));
  PumpMessages(30);
  EXPECT_EQ(State(ID_EDIT_PASTE).enabled, 1);

  Command(ID_EDIT_PASTE);
  EXPECT_TRUE(view->floating);
  EXPECT_EQ(view->mode, 2);
  EXPECT_TRUE(SameRect(view->selection, RECT{0, 0, 20, 10}));
  EXPECT_EQ(PixelOf(*doc->image, 3, 3), PixelOf(*original, 3, 3));  // not part of the image yet
  EXPECT_FALSE(doc->CanUndo());
  zoomgeo::ZoomMapping m = view->GetMapping();
  e2e::Image shot = Screen(view);
  EXPECT_EQ(shot.Rgb(m.origin.x + 3, m.origin.y + 3), picture.Rgb(3, 3));

  // Drag it by (+30, +20).
  DragPixels(view, POINT{5, 5}, POINT{35, 25});
  EXPECT_TRUE(view->floating);
  EXPECT_TRUE(SameRect(view->selection, RECT{30, 20, 50, 30})) << RectText(view->selection);
  EXPECT_EQ(PixelOf(*doc->image, 33, 23), PixelOf(*original, 33, 23));
  shot = Screen(view);
  EXPECT_EQ(shot.Rgb(m.origin.x + 33, m.origin.y + 23), picture.Rgb(3, 3));
  EXPECT_EQ(shot.Rgb(m.origin.x + 3, m.origin.y + 3), PatternColor(3, 3));

  // A click outside commits it (one undo step) and clears the selection.
  ClickPixel(view, 70, 50);
  EXPECT_FALSE(view->floating);
  EXPECT_EQ(view->floatPicture, nullptr);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_TRUE(doc->CanUndo());
  int wrong = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) wrong += PixelOf(*doc->image, 30 + x, 20 + y) != picture.Rgb(x, y);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(PixelOf(*doc->image, 3, 3), PixelOf(*original, 3, 3));
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(PixelOf(*doc->image, 33, 23), PixelOf(*original, 33, 23));
}

TEST_F(ImageViewTest, APastedPictureReachingOutOfTheImageLandsWithItsInsidePart) {
  CQuorvaCaptureView* view = Open(MakePatternImage(40, 30));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  e2e::Image picture(50, 20);  // wider than the image
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 50; ++x) picture.At(x, y) = 0xFF000000u | e2e::Rgb(4 * x, 10 * y, 99);
  ASSERT_TRUE(e2e::WriteClipboardDib(picture));
  Command(ID_EDIT_PASTE);
  ASSERT_TRUE(view->floating);
  // Shown at its own size, not squeezed into the image.
  EXPECT_TRUE(SameRect(view->selection, RECT{0, 0, 50, 20}));
  zoomgeo::ZoomMapping m = view->GetMapping();
  e2e::Image shot = Screen(view);
  EXPECT_EQ(shot.Rgb(m.origin.x + 30, m.origin.y + 5), picture.Rgb(30, 5));
  EXPECT_EQ(shot.Rgb(m.origin.x + 40, m.origin.y + 5), kRed);  // the frame, not the picture

  // Move it by (+5, +15) and commit: what lies inside the image is pasted 1:1.
  DragPixels(view, POINT{10, 10}, POINT{15, 25});
  ASSERT_TRUE(SameRect(view->selection, RECT{5, 15, 55, 35})) << RectText(view->selection);
  Command(ID_VIEW_SELECTALL);  // commits too
  EXPECT_FALSE(view->floating);
  int wrong = 0;
  for (int y = 15; y < 30; ++y)
    for (int x = 5; x < 40; ++x) wrong += PixelOf(*doc->image, x, y) != picture.Rgb(x - 5, y - 15);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(PixelOf(*doc->image, 4, 20), PatternColor(4, 20));
}

TEST_F(ImageViewTest, CropWithoutSelectionWaitsForTheNextBand) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  Command(ID_IMAGE_CROP);
  EXPECT_EQ(view->mode, 2);
  EXPECT_TRUE(view->cropPending);
  EXPECT_EQ(doc->image->GetWidth(), 80);
  EXPECT_FALSE(doc->CanUndo());

  DragPixels(view, POINT{10, 10}, POINT{40, 30});
  EXPECT_FALSE(view->cropPending);
  EXPECT_EQ(doc->image->GetWidth(), 30);
  EXPECT_EQ(doc->image->GetHeight(), 20);
  EXPECT_EQ(PixelOf(*doc->image, 0, 0), PatternColor(10, 10));
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(view->knownSize.cx, 30);
  EXPECT_EQ(view->GetZoomedSize().cx, 30);
  EXPECT_EQ(Pane(3), "  Image Size: (30,20)");

  // Undo restores the old size; the update resets the zoom sizes and the scale to zoomStep.
  view->SetZoom(2.0);
  view->SetZoomScale(3.0);  // a scale of its own, not a zoom step
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(doc->image->GetWidth(), 80);
  EXPECT_EQ(view->knownSize.cx, 80);
  EXPECT_DOUBLE_EQ(view->zoomScale, 2.0);
  EXPECT_EQ(view->GetZoomedSize().cx, 160);
  EXPECT_EQ(Pane(3), "  Image Size: (80,60)");

  // A selection lying wholly outside the picture is cleared and nothing is cropped.
  view->mode = 2;
  view->selection = RECT{100, 100, 120, 120};
  view->marchingRect = view->selection;
  Command(ID_IMAGE_CROP);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(doc->image->GetWidth(), 80);
}

TEST_F(ImageViewTest, CutFillsTheSelectionAndPutsItsPixelsOnTheClipboard) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  Command(ID_VIEW_SELECTREGION);
  DragPixels(view, POINT{5, 6}, POINT{25, 16});
  ASSERT_TRUE(SameRect(view->selection, RECT{5, 6, 25, 16})) << RectText(view->selection);
  Command(ID_EDIT_CUT);
  EXPECT_EQ(PixelOf(*doc->image, 5, 6), kImageBackground);
  EXPECT_EQ(PixelOf(*doc->image, 24, 15), kImageBackground);
  EXPECT_EQ(PixelOf(*doc->image, 25, 16), PatternColor(25, 16));
  std::optional<e2e::Image> clip = e2e::ReadClipboardDib();
  ASSERT_TRUE(clip.has_value());
  ASSERT_EQ(clip->width, 20);
  ASSERT_EQ(clip->height, 10);
  EXPECT_EQ(clip->Rgb(0, 0), PatternColor(5, 6));
  EXPECT_EQ(clip->Rgb(19, 9), PatternColor(24, 15));
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(PixelOf(*doc->image, 5, 6), PatternColor(5, 6));

  // Copy leaves the image alone.
  e2e::ClearClipboard();
  Command(ID_EDIT_COPY);
  clip = e2e::ReadClipboardDib();
  ASSERT_TRUE(clip.has_value());
  EXPECT_EQ(clip->width, 20);
  EXPECT_EQ(clip->Rgb(3, 2), PatternColor(8, 8));
  EXPECT_EQ(PixelOf(*doc->image, 5, 6), PatternColor(5, 6));
  // Copy is no edit: the cut undone before it can still be redone.
  EXPECT_TRUE(doc->CanRedo());
}

TEST_F(ImageViewTest, DraggingPansALargePictureAndASmallOneStaysPut) {
  CQuorvaCaptureView* view = Open(MakePatternImage(2000, 1500));
  ASSERT_NE(view, nullptr);
  SIZE client = view->GetClientSize();
  POINT centre = ScreenOfClient(view, POINT{client.cx / 2, client.cy / 2});
  // The hand shows that the picture can be dragged.
  EXPECT_TRUE(MoveTo(centre, [&] { return view->pointerPixel.x >= 0; }));
  EXPECT_EQ(::GetCursor(), view->handCursor);
  ASSERT_NE(view->handCursor, nullptr);

  Drag(centre, POINT{centre.x - 100, centre.y - 50});
  POINT pos = view->GetDeviceScrollPosition();
  EXPECT_EQ(pos.x, 100);
  EXPECT_EQ(pos.y, 50);
  // The picture followed the hand: the pixel under the centre is 100, 50 further on.
  e2e::Image shot = Screen(view);
  EXPECT_EQ(shot.Rgb(0, 0), PatternColor(100, 50));
  // Dragging the other way stops at the top-left corner.
  Drag(centre, POINT{centre.x + 300, centre.y + 300});
  pos = view->GetDeviceScrollPosition();
  EXPECT_EQ(pos.x, 0);
  EXPECT_EQ(pos.y, 0);

  CQuorvaCaptureView* small = Open(MakePatternImage(50, 40));
  ASSERT_NE(small, nullptr);
  POINT p = ScreenOfPixel(small, 25, 20);
  Drag(p, POINT{p.x - 20, p.y - 20});
  pos = small->GetDeviceScrollPosition();
  EXPECT_EQ(pos.x, 0);
  EXPECT_EQ(pos.y, 0);
  EXPECT_FALSE(small->HasSelection());
}

TEST_F(ImageViewTest, KeysScrollByPagesLinesAndToTheEnds) {
  CQuorvaCaptureView* view = Open(MakePatternImage(2000, 1500));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(e2e::ForceForeground(frame->m_hWnd));
  view->SetFocus();
  PumpMessages(30);
  SIZE client = view->GetClientSize();
  auto press = [&](std::initializer_list<WORD> keys) {
    std::vector<WORD> chord(keys);
    RunInput([&] { e2e::KeyChord(chord); }, 60);
  };
  press({VK_NEXT});
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 150);
  press({VK_PRIOR});
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 0);
  press({VK_END});
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 2000 - client.cx);
  press({VK_CONTROL, VK_END});
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 1500 - client.cy);
  press({VK_HOME});
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 0);
  press({VK_CONTROL, VK_HOME});
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 0);
  press({VK_RIGHT});
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 20);
  press({VK_DOWN});
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 15);
  press({VK_LEFT});
  press({VK_UP});
  EXPECT_EQ(view->GetDeviceScrollPosition().x, 0);
  EXPECT_EQ(view->GetDeviceScrollPosition().y, 0);
}

TEST_F(ImageViewTest, CursorsInSelectMode) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  HINSTANCE res = AfxGetResourceHandle();
  HCURSOR tracking = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_TRACKING));
  HCURSOR overSelection = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_SELECTION));
  ASSERT_NE(tracking, nullptr);
  ASSERT_NE(overSelection, nullptr);
  Command(ID_VIEW_SELECTALL);
  view->selection = RECT{10, 10, 30, 30};
  view->marchingRect = view->selection;
  // The pointer goes there; the cursor is read once the view has seen the move.
  auto cursorAt = [&](POINT pixel) {
    POINT screen = ScreenOfClient(view, zoomgeo::LogicalToDevice(view->GetMapping(), pixel));
    MoveTo(screen, [&] { return view->pointerPixel.x == pixel.x && view->pointerPixel.y == pixel.y; });
    return ::GetCursor();
  };
  auto cursorOutside = [&] {
    zoomgeo::ZoomMapping m = view->GetMapping();
    POINT screen = ScreenOfClient(view, POINT{m.origin.x - 4, m.origin.y + 4});
    MoveTo(screen, [&] { return Pane(1) == "  Mouse Position: (-4,4)"; });
    return ::GetCursor();
  };
  EXPECT_EQ(cursorAt(POINT{20, 20}), overSelection);
  EXPECT_EQ(cursorAt(POINT{50, 50}), tracking);
  EXPECT_EQ(cursorOutside(), ::LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(cursorAt(POINT{21, 20}), overSelection);
  Command(ID_VIEW_UNSELECTREGION);
  EXPECT_EQ(cursorAt(POINT{50, 51}), ::LoadCursor(nullptr, IDC_ARROW));  // nothing to pan
}

TEST_F(ImageViewTest, ContextMenuRunsItsCommandsOnTheView) {
  CQuorvaCaptureView* view = Open(MakePatternImage(80, 60));
  ASSERT_NE(view, nullptr);
  POINT p = ScreenOfPixel(view, 40, 30);
  bool menuSeen = false;
  RunInput([&] {
    e2e::MouseClick(p.x, p.y, e2e::MouseButton::Right);
    menuSeen = e2e::WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; }, 3000);
    ::Sleep(100);
    e2e::KeyPress('A');  // "Select &All"
    e2e::MouseMove(1010, 300);
  });
  EXPECT_TRUE(menuSeen);
  EXPECT_EQ(view->mode, 2);
  EXPECT_TRUE(SameRect(view->selection, RECT{0, 0, 80, 60}));
}

TEST_F(ImageViewTest, TheFirstUpdateOfANewCaptureRunsItsOutputsOnce) {
  WindowDC screen(nullptr);
  UniqueBitmap captured(::CreateCompatibleBitmap(screen.get(), 30, 20));
  frame->captured = captured.get();
  app.OnFileNew();
  frame->captured = nullptr;
  CQuorvaCaptureView* view = ActiveView();
  ASSERT_NE(view, nullptr);
  CQuorvaCaptureDoc* doc = Doc(view);
  EXPECT_FALSE(doc->newCapture);
  EXPECT_TRUE(frame->outputsRun.empty());  // posted: runs once the window is there
  PumpMessages(80);
  ASSERT_EQ(frame->outputsRun.size(), 1u);
  EXPECT_EQ(frame->outputsRun[0], doc);
  doc->UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
  PumpMessages(50);
  EXPECT_EQ(frame->outputsRun.size(), 1u);
}

// A 4000 x 3000 picture: opening, painting, zooming, scrolling and editing, timed.
TEST_F(ImageViewTest, LargePictureOpensZoomsScrollsAndEditsWithoutLag) {
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
  };
  auto picture = std::make_unique<CDisplayBitmap>();
  picture->Create(4000, 3000, 32, false);
  for (int y = 0; y < 3000; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture->GetLine(y));
    for (int x = 0; x < 4000; ++x) row[x] = 0xFF000000u | PatternColor(x, y);
  }
  Clock::time_point t0 = Clock::now();
  CQuorvaCaptureView* view = Open(std::move(picture));
  ASSERT_NE(view, nullptr);
  view->UpdateWindow();
  const double openMs = ms(t0, Clock::now());

  auto repaint = [&] {
    Clock::time_point a = Clock::now();
    view->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    return ms(a, Clock::now());
  };
  const double paint100 = repaint();

  std::string report = "open+first paint " + std::to_string(static_cast<int>(openMs)) + " ms; paint 100% " +
                       std::to_string(static_cast<int>(paint100)) + " ms";
  double worstZoom = 0, worstPaint = paint100;
  for (UINT id : {ID_VIEW_ZOOM25, ID_VIEW_ZOOM50, ID_VIEW_ZOOM200, ID_VIEW_ZOOM400, ID_VIEW_ZOOM100}) {
    Clock::time_point a = Clock::now();
    frame->SendMessage(WM_COMMAND, id, 0);
    view->UpdateWindow();
    double zoomMs = ms(a, Clock::now());
    double paintMs = repaint();
    worstZoom = std::max(worstZoom, zoomMs);
    worstPaint = std::max(worstPaint, paintMs);
    char line[96];
    std::snprintf(line, sizeof line, "; zoom %g%% %d ms (repaint %d ms)", view->zoomScale * 100, static_cast<int>(zoomMs),
                  static_cast<int>(paintMs));
    report += line;
  }
  EXPECT_DOUBLE_EQ(view->zoomScale, 1.0);

  // Scrolling by 200 pixels at a time.
  Clock::time_point a = Clock::now();
  for (int i = 1; i <= 10; ++i) {
    view->ScrollToDevicePosition(POINT{200 * i, 150 * i});
    view->UpdateWindow();
  }
  const double scrollMs = ms(a, Clock::now()) / 10;
  report += "; scroll step " + std::to_string(static_cast<int>(scrollMs)) + " ms";

  // Editing: invert the whole picture (one undo step) and move a 1000 x 1000 region.
  a = Clock::now();
  Command(ID_IMAGE_INVERT);
  view->UpdateWindow();
  const double invertMs = ms(a, Clock::now());
  report += "; invert " + std::to_string(static_cast<int>(invertMs)) + " ms";
  CQuorvaCaptureDoc* doc = Doc(view);
  EXPECT_EQ(PixelOf(*doc->image, 0, 0), PatternColor(0, 0) ^ 0xFFFFFFu);

  view->ScrollToDevicePosition(POINT{0, 0});
  Command(ID_VIEW_SELECTREGION);
  view->selection = RECT{100, 100, 1100, 1100};
  view->marchingRect = view->selection;
  POINT from = ScreenOfPixel(view, 300, 300);
  a = Clock::now();
  Drag(from, POINT{from.x + 200, from.y + 100});
  const double dragMs = ms(a, Clock::now());
  report += "; region drag with 8 steps " + std::to_string(static_cast<int>(dragMs)) + " ms (input pauses included)";
  EXPECT_TRUE(SameRect(view->selection, RECT{300, 200, 1300, 1200})) << RectText(view->selection);
  EXPECT_EQ(PixelOf(*doc->image, 300, 200), PatternColor(100, 100) ^ 0xFFFFFFu);

  std::printf("[ timings  ] %s\n", report.c_str());
  RecordProperty("timings", report);
  EXPECT_LT(worstPaint, 1000.0) << report;
  EXPECT_LT(worstZoom, 1500.0) << report;
  EXPECT_LT(scrollMs, 500.0) << report;
  EXPECT_LT(invertMs, 3000.0) << report;
}

}  // namespace
