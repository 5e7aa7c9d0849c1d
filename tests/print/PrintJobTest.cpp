// Print jobs on the session's printer, through the framework's print steps and the image view's
// print code: each case prints a known picture and leaves its PDF, with the layout the job used,
// in LUMATRE_PRINT_CHECK_DIR for check_pdf.py, which reads the pixels back with pdftoppm.
// Without LUMATRE_PRINT_CHECK_DIR the cases are skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/ViewPrinting.h"
#include "framework/Document.h"
#include "framework/FrameworkRes.h"
#include "framework/MessageBox.h"
#include "framework/PrintInfo.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "ui/CapturePrinting.h"
#include "win/DisplayBitmap.h"

namespace {

CWinApp g_app("Print Test");

// A view that prints its picture by a layout, as the image view does.
class CPictureView : public CView {
 public:
  PrintLayoutSettings layout;
  DWORD optionsA = kOptPrintWithoutDialog;
  CDisplayBitmap* image = nullptr;
  int pagesPrinted = 0;

  void OnDraw(HDC) override {}
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return viewprinting::PreparePrinting(*this, pInfo, optionsA); }
  void OnBeginPrinting(HDC hDC, CPrintInfo* pInfo) override { viewprinting::BeginPrinting(hDC, pInfo, layout); }
  void OnPrint(HDC hDC, CPrintInfo* pInfo) override {
    ++pagesPrinted;
    viewprinting::PrintPage(hDC, pInfo, layout, image);
  }
  // Views are made with new and delete themselves; this one lives on the stack.
  void PostNcDestroy() override {}

  DECLARE_MESSAGE_MAP()
};

// The print commands as the image view maps them.
BEGIN_MESSAGE_MAP(CPictureView, CView)
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

// 400 x 200: the top half red, the bottom half blue on the left and green on the right.
std::unique_ptr<CDisplayBitmap> TestPicture() {
  auto bitmap = std::make_unique<CDisplayBitmap>();
  bitmap->Create(400, 200, 32, false);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 400; ++x) {
      PLPixel32 p = y < 100 ? PLMakePixel(255, 0, 0) : x < 200 ? PLMakePixel(0, 0, 255) : PLMakePixel(0, 255, 0);
      bitmap->SetPixel(x, y, p);
    }
  }
  return bitmap;
}

std::string UnixToWine(const char* path) {
  std::string out = "Z:";
  for (const char* c = path; *c; ++c) out += (*c == '/') ? '\\' : *c;
  return out;
}

std::set<std::string> PdfFiles(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.pdf").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.insert(data.cFileName);
  while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

std::vector<std::string> g_boxes;
int RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
  g_boxes.push_back(text ? text : "");
  return IDOK;
}

class PrintJob : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* check = std::getenv("LUMATRE_PRINT_CHECK_DIR");
    const char* output = std::getenv("LUMATRE_PRINT_OUTPUT");
    if (!check || !output) GTEST_SKIP() << "no print session";
    m_check = UnixToWine(check);
    m_output = UnixToWine(output);
    m_before = PdfFiles(m_output);
    g_boxes.clear();
    AfxSetMessageBoxFunction(&RecordBox);
    m_view.layout.margins = RECT{120, 120, 120, 120};
    m_picture = TestPicture();
    m_view.image = m_picture.get();
  }

  // Waits for the job's PDF and leaves it, with the layout, as <name>.pdf and <name>.txt.
  void Keep(const std::string& name) {
    std::string found;
    for (int i = 0; i < 300 && found.empty(); ++i) {
      for (const std::string& f : PdfFiles(m_output))
        if (!m_before.count(f)) found = f;
      if (found.empty()) ::Sleep(100);
    }
    ASSERT_FALSE(found.empty()) << "no PDF arrived for " << name;
    ASSERT_TRUE(::CopyFileA((m_output + "\\" + found).c_str(), (m_check + "\\" + name + ".pdf").c_str(), FALSE));
    const PrintLayoutSettings& l = m_view.layout;
    FILE* f = std::fopen((m_check + "\\" + name + ".txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "page %ld %ld\nmargins %ld %ld %ld %ld\nprint %ld %ld\nmode %ld\nflags %u\npages %d\n",
                 l.pageSize.cx, l.pageSize.cy, l.margins.left, l.margins.top, l.margins.right, l.margins.bottom,
                 l.printSize.cx, l.printSize.cy, l.printMode, l.imageCenterFlags, m_view.pagesPrinted);
    std::fclose(f);
  }

  CPictureView m_view;
  std::unique_ptr<CDisplayBitmap> m_picture;
  std::string m_check, m_output;
  std::set<std::string> m_before;
};

TEST_F(PrintJob, FitToMargins) {
  m_view.OnFilePrint();
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(m_view.pagesPrinted, 1);
  Keep("fit");
}

TEST_F(PrintJob, TiledOverThreePages) {
  m_view.layout.printMode = 3;
  m_view.layout.printSize = SIZE{4000, 2000};
  m_view.OnFilePrint();
  EXPECT_EQ(m_view.pagesPrinted, 3);
  Keep("tiled");
}

TEST_F(PrintJob, UnknownPrintModePrintsAnEmptyPageAndSaysNothing) {
  m_view.layout.printMode = 7;
  m_view.OnFilePrint();
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(m_view.pagesPrinted, 1);
  Keep("mode7");
}

TEST_F(PrintJob, MarginsLargerThanThePageUseTheWholePage) {
  m_view.layout.margins = RECT{5000, 5000, 5000, 5000};
  m_view.OnFilePrint();
  EXPECT_EQ(m_view.pagesPrinted, 1);
  Keep("bigmargins");
}

// A capture with "print each capture" and "without the Print dialog": printed at once, no box.
TEST_F(PrintJob, CaptureWithBits7And8PrintsWithoutADialog) {
  CDocument doc;
  m_view.SetDocument(&doc);
  ASSERT_TRUE(m_view.CreateEx(0, nullptr, "Capture", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
  CaptureSettings settings;
  settings.optionsA = kOptOutputWindow | kOptOutputPrinter | kOptPrintWithoutDialog;
  m_view.optionsA = settings.optionsA;
  EXPECT_TRUE(PrintCapture(&doc, settings));
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(m_view.pagesPrinted, 1);
  Keep("capture");
  // Without "print each capture" nothing is sent.
  settings.optionsA &= ~kOptOutputPrinter;
  EXPECT_FALSE(PrintCapture(&doc, settings));
  EXPECT_EQ(m_view.pagesPrinted, 1);
  ::DestroyWindow(m_view.GetSafeHwnd());
  m_view.SetDocument(nullptr);
}

// Run with the printer gone (check_pdf.py points CUPS_SERVER nowhere): message 151 or nothing,
// no job, no hang.
TEST(PrintWithoutPrinter, SaysPrinterTroubleOrNothing) {
  if (!std::getenv("LUMATRE_PRINT_NO_PRINTER")) GTEST_SKIP() << "a printer is there";
  g_boxes.clear();
  AfxSetMessageBoxFunction(&RecordBox);
  auto picture = TestPicture();
  for (DWORD options : {DWORD{kOptPrintWithoutDialog}, DWORD{0}}) {
    CPictureView view;
    view.image = picture.get();
    view.optionsA = options;
    view.OnFilePrint();
    view.OnFilePrintPreview();
    EXPECT_EQ(view.pagesPrinted, 0);
  }
  // The capture's print output.
  CDocument doc;
  CPictureView view;
  view.image = picture.get();
  view.SetDocument(&doc);
  ASSERT_TRUE(view.CreateEx(0, nullptr, "Capture", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
  CaptureSettings settings;
  settings.optionsA = kOptOutputWindow | kOptOutputPrinter | kOptPrintWithoutDialog;
  view.optionsA = settings.optionsA;
  PrintCapture(&doc, settings);
  EXPECT_EQ(view.pagesPrinted, 0);
  ::DestroyWindow(view.GetSafeHwnd());
  view.SetDocument(nullptr);
  EXPECT_FALSE(g_boxes.empty());  // at least the capture's print said message 151
  char text[256] = {};
  ::LoadStringA(nullptr, IDS_PRINTER_TROUBLE, text, sizeof(text));
  for (const std::string& box : g_boxes) EXPECT_EQ(box, text);
}

}  // namespace
