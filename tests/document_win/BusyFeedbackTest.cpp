// The feedback of long work on a big picture: every operation of the document menu, undo, redo,
// open, save and the clipboard commands run under the wait cursor; those that loop over rows
// move the status bar's progress bar, once per whole percent, and take it away at the end, also
// when they fail half-way. The progress sink's own rule (a percentage is passed on only when it
// changes) is checked case by case.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "DocumentTestSupport.h"

#include <commctrl.h>
#include "EditOperations.h"
#include "StatusProgress.h"
#include "TextException.h"
#include "filters/ImageFilter.h"

BEGIN_MESSAGE_MAP(CDocTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
END_MESSAGE_MAP()

namespace {

// --- The sink's rule ---

class CRecordingProgress : public CStatusProgress {
 public:
  std::vector<int> shown;

 protected:
  void Show(int percent) override { shown.push_back(percent); }
};

TEST(StatusProgressTest, PassesOnlyChangedPercentages) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<double> reports;
    std::vector<int> expected;
  } cases[] = {
      {"repeats are dropped", {0.0, 0.001, 0.009, 0.01, 0.015, 0.02}, {0, 1, 2}},
      {"the end takes the bar away", {0.5, 0.999, 1.0}, {50, 99, 100}},
      {"beyond the ends", {-3.0, nan, 0.0, 7.0}, {0, 100}},
      {"a new operation after the end starts afresh", {0.3, 1.0, 0.3, 1.0}, {30, 100, 30, 100}},
      {"nothing before the first report", {}, {}},
  };
  for (const Case& c : cases) {
    CRecordingProgress sink;
    for (double done : c.reports) sink.OnProgress(done);
    EXPECT_EQ(sink.shown, c.expected) << c.name;
  }
}

TEST(StatusProgressTest, AFilterOverThousandsOfRowsUpdatesTheBarAtMostOncePerPercent) {
  CRecordingProgress sink;
  const int rows = 3000;
  sink.OnProgress(0.01);
  for (int y = 0; y < rows; ++y) sink.OnProgress(y * 0.99 / rows + 0.01);
  sink.OnProgress(1.0);
  ASSERT_FALSE(sink.shown.empty());
  EXPECT_LE(sink.shown.size(), 101u);
  for (size_t i = 1; i < sink.shown.size(); ++i) EXPECT_LT(sink.shown[i - 1], sink.shown[i]);
  EXPECT_EQ(sink.shown.back(), 100);
  EXPECT_EQ(sink.GetShownPercent(), -1);
}

TEST(StatusProgressTest, EndingHalfWayTakesTheBarAwayAndTheSamePercentShowsAgainLater) {
  CRecordingProgress sink;
  sink.OnProgress(0.42);
  sink.End();
  sink.OnProgress(0.42);
  EXPECT_EQ(sink.shown, (std::vector<int>{42, 100, 42}));
}

// --- The operations on a big picture ---

// Records what the status bar's progress bar is told and whether the wait cursor was up then.
class ProgressBarSpy {
 public:
  struct Step {
    int percent;
    LONG waitCursors;
  };
  explicit ProgressBarSpy(HWND statusBar) : m_statusBar(statusBar) {
    Current() = this;
    m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
  }
  ~ProgressBarSpy() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    Current() = nullptr;
  }
  ProgressBarSpy(const ProgressBarSpy&) = delete;
  ProgressBarSpy& operator=(const ProgressBarSpy&) = delete;

  bool Hooked() const { return m_hook != nullptr; }
  std::vector<Step> steps;

 private:
  static ProgressBarSpy*& Current() {
    static ProgressBarSpy* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    ProgressBarSpy* spy = Current();
    if (code == HC_ACTION && spy && msg->message == PBM_SETPOS && ::GetParent(msg->hwnd) == spy->m_statusBar)
      spy->steps.push_back(Step{static_cast<int>(msg->wParam), AfxGetWaitCursorCount()});
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HWND m_statusBar;
  HHOOK m_hook = nullptr;
};

// Fails half-way through, after it has moved the progress bar.
class CFailingFilter : public CImageFilter {
 public:
  using CImageFilter::CImageFilter;
  void Apply(const CDibBitmap&, CDibBitmap&) override {
    ReportProgress(0.5);
    throw CTextException(PLErr::NoMemory, "Out of memory in the test filter.");
  }
};

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

class BusyFeedbackTest : public DocumentFrameTest<CDocTestFrame> {
 protected:
  static const CDisplayBitmap& BigPicture() {
    static std::unique_ptr<CDisplayBitmap> picture = MakePattern(kWidth, kHeight);
    return *picture;
  }
  CQuorvaCaptureDoc* NewBigDocument() {
    auto copy = std::make_unique<CDisplayBitmap>();
    copy->CreateCopy(BigPicture(), 0);
    return NewFromPending(std::move(copy));
  }
  // Afterwards nothing of the long work may show any more.
  void ExpectIdle(const char* name) {
    EXPECT_FALSE(frame->statusBar.HasProgressBar()) << name;
    EXPECT_EQ(AfxGetWaitCursorCount(), 0) << name;
  }
};

TEST_F(BusyFeedbackTest, EveryLongOperationShowsProgressUnderTheWaitCursorAndEndsWithTheBarGone) {
  const std::string bmpPath = folder.File("big.bmp");
  PLSaveImageFile(bmpPath, BigPicture());
  const RECT part{100, 80, 1500, 1100};
  CDisplayBitmap floating;
  floating.CreateCopy(BigPicture(), 0);

  using Run = std::function<void(CQuorvaCaptureDoc&)>;
  struct Row {
    const char* name;
    Run prepare;  // runs before the spy listens; may be empty
    Run run;
    bool rowsLoop;  // a loop over rows: the bar moves
  };
  auto command = [this](UINT id) { return [this, id](CQuorvaCaptureDoc&) { Command(id); }; };
  const Row rows[] = {
      {"rotate clockwise", {}, command(ID_IMAGE_ROTATE_CLOCKWISE), true},
      {"rotate counter-clockwise", {}, command(ID_IMAGE_ROTATE_COUNTERCLOCKWISE), true},
      {"flip horizontal", {}, command(ID_IMAGE_FLIP_HORIZONTAL), true},
      {"flip vertical", {}, command(ID_IMAGE_FLIP_VERTICAL), true},
      {"grayscale", {}, command(ID_IMAGE_GRAYSCALE), true},
      {"invert", {}, command(ID_IMAGE_INVERT), true},
      {"rotate by an angle", {}, [](CQuorvaCaptureDoc& d) { RotateImageByDegrees(d, 30, RGB(1, 2, 3)); }, true},
      {"brightness", {}, [](CQuorvaCaptureDoc& d) { ChangeBrightness(d, 40); }, true},
      {"contrast", {}, [](CQuorvaCaptureDoc& d) { AdjustContrast(d, 15, 20); }, true},
      {"intensity", {}, [](CQuorvaCaptureDoc& d) { AdjustIntensity(d, 200, 10, 12); }, true},
      {"resize", {}, [](CQuorvaCaptureDoc& d) { ResizeImage(d, ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{900, 700}); }, true},
      {"scale", {}, [](CQuorvaCaptureDoc& d) { ResizeImage(d, ResizeKind::kScale, ResizeMethod::kBox, SIZE{60, 0}); }, true},
      {"stretch", {}, [](CQuorvaCaptureDoc& d) { ResizeImage(d, ResizeKind::kStretch, ResizeMethod::kHamming, SIZE{80, 110}); }, true},
      {"crop", {}, [&](CQuorvaCaptureDoc& d) { CropToSelection(d, part); }, true},
      {"move a region", {}, [&](CQuorvaCaptureDoc& d) { MoveOrCopyRegion(d, part, RECT{100, 80, 1400, 1000}, RECT{300, 280, 1600, 1200}, false); }, true},
      {"paste", {}, [&](CQuorvaCaptureDoc& d) { CommitPaste(d, floating, RECT{-50, -40, kWidth - 50, kHeight - 40}); }, true},
      {"copy a selection", {}, [&](CQuorvaCaptureDoc& d) { CopySelectionToClipboard(d, part); }, true},
      {"redo", [&](CQuorvaCaptureDoc&) { Command(ID_IMAGE_INVERT); Command(ID_EDIT_UNDO); }, command(ID_EDIT_REDO), true},
      {"open", {}, [&](CQuorvaCaptureDoc&) { app.OpenDocumentFile(bmpPath.c_str()); PumpMessages(); }, true},
      {"undo", command(ID_IMAGE_GRAYSCALE), command(ID_EDIT_UNDO), false},
      {"copy all", {}, command(ID_EDIT_COPYALL), false},
      {"save", {}, [&](CQuorvaCaptureDoc& d) { d.OnSaveDocument(folder.File("saved.bmp").c_str()); }, false},
  };
  for (const Row& row : rows) {
    CQuorvaCaptureDoc* doc = NewBigDocument();
    ASSERT_NE(doc, nullptr) << row.name;
    if (row.prepare) row.prepare(*doc);
    ProgressBarSpy spy(frame->statusBar.m_hWnd);
    ASSERT_TRUE(spy.Hooked());
    row.run(*doc);
    if (row.rowsLoop) {
      ASSERT_GE(spy.steps.size(), 20u) << row.name;
      for (size_t i = 0; i < spy.steps.size(); ++i) {
        EXPECT_GT(spy.steps[i].waitCursors, 0) << row.name << " at " << spy.steps[i].percent << " %";
        if (i > 0) {
          EXPECT_NE(spy.steps[i].percent, spy.steps[i - 1].percent) << row.name;  // only changes
        }
      }
      EXPECT_EQ(spy.steps.back().percent, 100) << row.name;
    }
    EXPECT_TRUE(boxes.boxes().empty()) << row.name << ": " << (boxes.boxes().empty() ? "" : boxes.boxes()[0].text);
    ExpectIdle(row.name);
    app.CloseAllDocuments(TRUE);
    PumpMessages();
  }
}

TEST_F(BusyFeedbackTest, AFilterThatFailsHalfWayLeavesNoBarNoWaitCursorAndNoChange) {
  CQuorvaCaptureDoc* doc = NewBigDocument();
  ASSERT_NE(doc, nullptr);
  const uint32_t before = RGBOf(*doc->image, 10, 10);
  ProgressBarSpy spy(frame->statusBar.m_hWnd);
  EXPECT_FALSE(doc->RunImageFilter(std::make_unique<CFailingFilter>(GetMainProgressSink()), "fails"));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Out of memory in the test filter.");
  ASSERT_GE(spy.steps.size(), 2u);
  EXPECT_EQ(spy.steps.front().percent, 50);
  EXPECT_EQ(spy.steps.back().percent, 100);  // the bar was taken away
  EXPECT_EQ(RGBOf(*doc->image, 10, 10), before);
  EXPECT_FALSE(doc->CanUndo());
  ExpectIdle("failed filter");

  // The next operation shows its bar from the start again.
  spy.steps.clear();
  Command(ID_IMAGE_INVERT);
  ASSERT_FALSE(spy.steps.empty());
  EXPECT_LE(spy.steps.front().percent, 5);  // the filter's first report
  ExpectIdle("next filter");
}

TEST_F(BusyFeedbackTest, AFileThatEndsHalfWayLeavesNoBarAndNoWaitCursor) {
  const std::string path = folder.File("cut.bmp");
  PLSaveImageFile(path, BigPicture());
  std::string bytes = ReadFileBytes(path);
  WriteFileBytes(path, bytes.substr(0, bytes.size() / 2));
  EXPECT_EQ(app.OpenDocumentFile(path.c_str()), nullptr);
  PumpMessages();
  EXPECT_EQ(boxes.boxes().size(), 1u);
  ExpectIdle("truncated file");
}

TEST_F(BusyFeedbackTest, ADocumentClosedWhileItsStepHoldsTheWaitCursorGivesItBack) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(8, 8));
  ASSERT_NE(doc, nullptr);
  doc->BeginWaitCursor();
  doc->BeginWaitCursor();
  EXPECT_EQ(AfxGetWaitCursorCount(), 2);
  app.CloseAllDocuments(TRUE);
  PumpMessages();
  ExpectIdle("closed document");
}

}  // namespace
