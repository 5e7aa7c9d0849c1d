// The editing operations on a real image document under Wine (undo of crop, resize and
// rotation, the selection commands with the clipboard, the region move and the paste), and the
// outputs of a new capture document: the view asks its frame once the window shows, the
// picture goes to the clipboard and into an automatically named file, and a failed save keeps
// the window with its picture.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "EditOperations.h"
#include "capture/CaptureOutputs.h"

BEGIN_MESSAGE_MAP(CDocTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
END_MESSAGE_MAP()

namespace {

// A frame that runs the capture outputs with the test application's settings.
class CRoutingFrame : public CDocTestFrame {
 public:
  void RunCaptureOutputs(CDocument* doc) override {
    ++outputRuns;
    if (auto* image = dynamic_cast<CQuorvaCaptureDoc*>(doc)) result = ::RunCaptureOutputs(*image, settings->m_capture);
  }
  AppSettings* settings = nullptr;
  int outputRuns = 0;
  CaptureOutputsResult result;
};

class EditTest : public DocumentFrameTest<CRoutingFrame> {
 protected:
  void PrepareFrame() override { frame->settings = &app; }
  // The way a capture arrives: the frame holds the captured bitmap while the document is made.
  CQuorvaCaptureDoc* NewFromCapture(int width, int height) {
    auto pattern = MakePattern(width, height);
    HDC screen = ::GetDC(nullptr);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    UniqueDC dc(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    RECT whole{0, 0, width, height};
    pattern->DrawEx(dc.get(), &whole, &whole, nullptr, true, COLORONCOLOR);
    ::SelectObject(dc.get(), old);
    frame->captured = bitmap.get();
    CDocument* doc = app.m_pDocManager->GetTemplates().front()->OpenDocumentFile(nullptr, TRUE);
    frame->captured = nullptr;
    PumpMessages(50);
    return dynamic_cast<CQuorvaCaptureDoc*>(doc);
  }
  static std::unique_ptr<CDisplayBitmap> Copy(const CDibBitmap& b) {
    auto copy = std::make_unique<CDisplayBitmap>();
    copy->CreateCopy(b, 0);
    return copy;
  }
  static bool SamePixels(const CDibBitmap& a, const CDibBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
      for (int x = 0; x < a.GetWidth(); ++x)
        if (RGBOf(a, x, y) != RGBOf(b, x, y)) return false;
    return true;
  }
  std::string LastStatus() { return frame->statusBar.GetPaneText(0); }
};

TEST_F(EditTest, CropUndoRestoresSizeAndPixels) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(12, 9));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  EXPECT_EQ(CropToSelection(*doc, RECT{3, 2, 8, 6}), CropResult::kCropped);
  ASSERT_EQ(doc->image->GetWidth(), 5);
  ASSERT_EQ(doc->image->GetHeight(), 4);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*before, 3, 2));
  EXPECT_EQ(RGBOf(*doc->image, 4, 3), RGBOf(*before, 7, 5));
  EXPECT_EQ(LastStatus(), "Last command : Crop the image to selected rectangle,reducing its size");
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));
  doc->OnEditRedo();
  EXPECT_EQ(doc->image->GetWidth(), 5);
}

TEST_F(EditTest, CropIsClippedToTheImageAndASelectionOutsideChangesNothing) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(10, 10));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(CropToSelection(*doc, RECT{20, 20, 30, 30}), CropResult::kOutsideImage);
  EXPECT_EQ(CropToSelection(*doc, RECT{-5, -5, 0, 3}), CropResult::kOutsideImage);
  EXPECT_EQ(doc->image->GetWidth(), 10);
  EXPECT_FALSE(doc->CanUndo());
  // Reversed corners and a part outside: the part inside is kept.
  EXPECT_EQ(CropToSelection(*doc, RECT{14, 12, 6, 7}), CropResult::kCropped);
  EXPECT_EQ(doc->image->GetWidth(), 4);
  EXPECT_EQ(doc->image->GetHeight(), 3);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), 0x3C8C07u);  // (6, 7) of the pattern
}

TEST_F(EditTest, ResizeScaleAndStretchAreOneUndoStepEach) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(20, 10));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  EXPECT_TRUE(ResizeImage(*doc, ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{40, 5}));
  EXPECT_EQ(doc->image->GetWidth(), 40);
  EXPECT_EQ(doc->image->GetHeight(), 5);
  EXPECT_EQ(LastStatus(), "Last command : Stretch the image to size specified in pixels");
  EXPECT_EQ(doc->GetUndoCount(), 1);
  EXPECT_EQ(doc->backupImage, nullptr);
  EXPECT_EQ(doc->GetPendingCommand(), nullptr);

  EXPECT_TRUE(ResizeImage(*doc, ResizeKind::kScale, ResizeMethod::kGaussian, SIZE{50, 0}, 100));
  EXPECT_EQ(doc->image->GetWidth(), 20);
  EXPECT_EQ(doc->image->GetHeight(), 2);
  EXPECT_TRUE(ResizeImage(*doc, ResizeKind::kStretch, ResizeMethod::kBox, SIZE{100, 300}, 50));
  EXPECT_EQ(doc->image->GetWidth(), 20);
  EXPECT_EQ(doc->image->GetHeight(), 6);
  EXPECT_EQ(doc->GetUndoCount(), 3);
  doc->OnEditUndo();
  doc->OnEditUndo();
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));

  // A target below one pixel does nothing (scale of 1% of a picture narrower than 100 pixels).
  EXPECT_FALSE(ResizeImage(*doc, ResizeKind::kScale, ResizeMethod::kBilinear, SIZE{1, 0}));
  EXPECT_EQ(doc->image->GetWidth(), 20);
  EXPECT_EQ(doc->GetUndoCount(), 0);
}

TEST_F(EditTest, PendingResizeKeepsOnlyTheLastApply) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(8, 8));
  ASSERT_NE(doc, nullptr);
  doc->MakeBackup();
  EXPECT_TRUE(ApplyPendingResize(*doc, ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{4, 4}, 100));
  EXPECT_TRUE(ApplyPendingResize(*doc, ResizeKind::kResize, ResizeMethod::kHamming, SIZE{2, 6}, 100));
  EXPECT_FALSE(ApplyPendingResize(*doc, ResizeKind::kResize, ResizeMethod::kBox, SIZE{0, 6}, 100));
  EXPECT_EQ(doc->image->GetWidth(), 2);
  ASSERT_TRUE(doc->UndoPending());
  EXPECT_EQ(doc->image->GetWidth(), 4);  // back to the first Apply's result
  doc->CommitPending(false);
  doc->DropBackup();
  EXPECT_FALSE(doc->CanUndo());
}

TEST_F(EditTest, RotationsUndoToTheOriginal) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(6, 4));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  EXPECT_TRUE(RotateImageByDegrees(*doc, 30, RGB(255, 0, 0)));
  EXPECT_GT(doc->image->GetWidth(), 6);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), 0xFF0000u);  // corner filled with the background colour
  EXPECT_EQ(LastStatus(), "Last command : Rotate the image by the select angle");
  Command(ID_IMAGE_ROTATE_CLOCKWISE);
  EXPECT_EQ(doc->GetUndoCount(), 2);
  doc->OnEditUndo();
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));
}

TEST_F(EditTest, AdjustmentsUseTheirDescriptions) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(4, 4));
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(ChangeBrightness(*doc, 100));
  EXPECT_EQ(LastStatus(), "Last command : Change the image brightness");
  EXPECT_TRUE(AdjustContrast(*doc, 15, 128));
  EXPECT_EQ(LastStatus(), "Last command : Adjust the image constrast");
  EXPECT_TRUE(AdjustIntensity(*doc, 20, 10, 12));
  EXPECT_EQ(LastStatus(), "Last command : Adjust the image intensity");
  EXPECT_EQ(doc->GetUndoCount(), 3);
}

TEST_F(EditTest, DeclinedTrueColourQuestionCancelsTheOperation) {
  auto palette = std::make_unique<CDisplayBitmap>();
  palette->Create(5, 5, 8, false);
  CQuorvaCaptureDoc* doc = NewFromPending(std::move(palette));
  ASSERT_NE(doc, nullptr);
  boxes.clear();
  boxes.set_answer(IDNO);
  EXPECT_FALSE(ResizeImage(*doc, ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{10, 10}));
  EXPECT_FALSE(ChangeBrightness(*doc, 50));
  EXPECT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(doc->image->GetWidth(), 5);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
  // Crop works at any depth without asking.
  boxes.clear();
  EXPECT_EQ(CropToSelection(*doc, RECT{1, 1, 3, 3}), CropResult::kCropped);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
}

TEST_F(EditTest, GrayscaleLeavesEightBitsSoTheNextOperationAsksAgain) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(6, 6));
  ASSERT_NE(doc, nullptr);
  boxes.clear();
  Command(ID_IMAGE_GRAYSCALE);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
  boxes.set_answer(IDYES);
  EXPECT_TRUE(ChangeBrightness(*doc, -50));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("Resize operation must use 24 bit"), std::string::npos);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 32);
  EXPECT_EQ(doc->GetUndoCount(), 2);
  doc->OnEditUndo();
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 32);  // the conversion stays: it was no step
}

TEST_F(EditTest, CutPutsTheOldPixelsOnTheClipboardAndFillsWithTheBackgroundColour) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(10, 8));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  app.m_capture.colorImageBackground = kDefaultColorImageBackground;
  ASSERT_TRUE(CutSelectionToClipboard(*doc, RECT{2, 1, 6, 4}));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
      ASSERT_EQ(RGBOf(*doc->image, x, y), inside ? 0xC0C0C0u : RGBOf(*before, x, y)) << x << "," << y;
    }
  EXPECT_EQ(LastStatus(),
            "Last command : Copy or move selected rectangle region from source position to destination position");
  auto clip = ReadClipboardPicture();
  ASSERT_NE(clip, nullptr);
  ASSERT_EQ(clip->GetWidth(), 4);
  ASSERT_EQ(clip->GetHeight(), 3);
  EXPECT_EQ(RGBOf(*clip, 0, 0), RGBOf(*before, 2, 1));
  EXPECT_EQ(RGBOf(*clip, 3, 2), RGBOf(*before, 5, 3));
  EXPECT_EQ(doc->GetUndoCount(), 1);
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));

  // Copy makes no history entry; nothing of a selection outside the image is copied.
  EXPECT_TRUE(CopySelectionToClipboard(*doc, RECT{0, 0, 2, 2}));
  EXPECT_FALSE(CopySelectionToClipboard(*doc, RECT{50, 50, 60, 60}));
  EXPECT_FALSE(CutSelectionToClipboard(*doc, RECT{50, 50, 60, 60}));
  EXPECT_EQ(doc->GetUndoCount(), 0);
}

TEST_F(EditTest, MoveRegionFillsTheVacatedAreaAndCopyKeepsIt) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(10, 10));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  app.m_capture.colorImageBackground = RGB(0, 0, 255);
  ASSERT_TRUE(MoveOrCopyRegion(*doc, RECT{0, 0, 3, 3}, RECT{0, 0, 3, 3}, RECT{5, 5, 8, 8}, false));
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), 0x0000FFu);
  EXPECT_EQ(RGBOf(*doc->image, 5, 5), RGBOf(*before, 0, 0));
  EXPECT_EQ(RGBOf(*doc->image, 7, 7), RGBOf(*before, 2, 2));
  doc->OnEditUndo();
  ASSERT_TRUE(MoveOrCopyRegion(*doc, RECT{0, 0, 3, 3}, RECT{0, 0, 3, 3}, RECT{5, 5, 8, 8}, true));
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*before, 0, 0));
  EXPECT_EQ(RGBOf(*doc->image, 6, 6), RGBOf(*before, 1, 1));
}

TEST_F(EditTest, PasteLandsThePartOfTheFloatingPictureInsideTheImage) {
  RECT source, target;
  EXPECT_TRUE(PasteRectangles(RECT{-2, -3, 4, 5}, SIZE{10, 10}, source, target));
  EXPECT_TRUE(EqualRect(&target, &(const RECT&)RECT{0, 0, 4, 5}));
  EXPECT_TRUE(EqualRect(&source, &(const RECT&)RECT{2, 3, 6, 8}));
  EXPECT_TRUE(PasteRectangles(RECT{7, 8, 13, 12}, SIZE{10, 10}, source, target));
  EXPECT_TRUE(EqualRect(&target, &(const RECT&)RECT{7, 8, 10, 10}));
  EXPECT_TRUE(EqualRect(&source, &(const RECT&)RECT{0, 0, 3, 2}));
  EXPECT_FALSE(PasteRectangles(RECT{10, 0, 14, 4}, SIZE{10, 10}, source, target));

  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(10, 10));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);
  auto floating = MakePattern(4, 4);
  floating->CreateCopy(*MakePattern(4, 4), 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) floating->SetPixel(x, y, PLMakePixel(1, 2, 3));
  ASSERT_TRUE(CommitPaste(*doc, *floating, RECT{8, 8, 12, 12}));
  EXPECT_EQ(RGBOf(*doc->image, 8, 8), 0x010203u);
  EXPECT_EQ(RGBOf(*doc->image, 9, 9), 0x010203u);
  EXPECT_EQ(RGBOf(*doc->image, 7, 7), RGBOf(*before, 7, 7));
  EXPECT_EQ(LastStatus(), "Last command : Paste the selected image to clipboard");
  EXPECT_FALSE(CommitPaste(*doc, *floating, RECT{20, 20, 24, 24}));
  EXPECT_EQ(doc->GetUndoCount(), 1);
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));
}

TEST_F(EditTest, NoImageMeansNoOperation) {
  CQuorvaCaptureDoc doc;
  EXPECT_FALSE(RotateImageByDegrees(doc, 10, 0));
  EXPECT_FALSE(ResizeImage(doc, ResizeKind::kResize, ResizeMethod::kBilinear, SIZE{4, 4}));
  EXPECT_EQ(CropToSelection(doc, RECT{0, 0, 2, 2}), CropResult::kNothing);
  EXPECT_FALSE(CopySelectionToClipboard(doc, RECT{0, 0, 2, 2}));
  EXPECT_FALSE(MoveOrCopyRegion(doc, RECT{0, 0, 2, 2}, RECT{}, RECT{}, false));
  EXPECT_TRUE(boxes.boxes().empty());
}

// --- The outputs of a new capture ---

TEST_F(EditTest, NewCaptureRunsClipboardAndAutomaticSaveOnce) {
  app.m_capture.optionsA = kOptOutputWindow | kOptOutputClipboard | kOptOutputFile | kOptAutoName;
  AutoSaveSettings& autoSave = app.m_capture.autoSave;
  CopyText(autoSave.directory, folder.path().c_str());
  autoSave.nextNumber = 7;
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();

  CQuorvaCaptureDoc* doc = NewFromCapture(9, 7);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(frame->outputRuns, 1);
  EXPECT_FALSE(doc->newCapture);
  EXPECT_TRUE(frame->result.copied);
  EXPECT_TRUE(frame->result.saved);
  const std::string path = folder.File("Luma00007.BMP");
  EXPECT_EQ(frame->result.savedPath, path);
  EXPECT_EQ(autoSave.nextNumber, 8u);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetPathName(), path);

  CAutoDecoder decoder;
  CDisplayBitmap saved;
  decoder.MakeBmpFromFile(path.c_str(), saved, 0, nullptr);
  EXPECT_TRUE(SamePixels(saved, *doc->image));
  auto clip = ReadClipboardPicture();
  ASSERT_NE(clip, nullptr);
  EXPECT_TRUE(SamePixels(*clip, *doc->image));

  // An update later does not run them again.
  doc->UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
  PumpMessages(50);
  EXPECT_EQ(frame->outputRuns, 1);
}

TEST_F(EditTest, FailedCaptureSaveKeepsTheWindowAndItsPicture) {
  app.m_capture.optionsA = kOptOutputWindow | kOptOutputFile | kOptAutoName;
  CopyText(app.m_capture.autoSave.directory, folder.File("missing").c_str());
  boxes.clear();
  CQuorvaCaptureDoc* doc = NewFromCapture(5, 5);
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(frame->result.saveTried);
  EXPECT_FALSE(frame->result.saved);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("doesn't exist"), std::string::npos);
  EXPECT_EQ(manager->GetDocuments().size(), 1u);
  EXPECT_TRUE(doc->IsModified());
  ASSERT_NE(doc->image, nullptr);
  EXPECT_EQ(doc->image->GetWidth(), 5);
  EXPECT_EQ(app.m_capture.autoSave.nextNumber, 1u);
}

TEST_F(EditTest, CaptureSaveOverAReadOnlyFileFailsAndKeepsEverything) {
  app.m_capture.optionsA = kOptOutputWindow | kOptOutputFile | kOptAutoName;
  CopyText(app.m_capture.autoSave.directory, folder.path().c_str());
  app.m_capture.autoSave.options = kAutoSaveReplaceExisting;
  const std::string path = folder.File("Luma00001.BMP");
  WriteFileBytes(path, "keep me");
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  boxes.clear();
  CQuorvaCaptureDoc* doc = NewFromCapture(6, 4);
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(frame->result.saveTried);
  EXPECT_FALSE(frame->result.saved);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.rfind("Error saving the file: ", 0), 0u) << boxes.boxes()[0].text;
  EXPECT_EQ(ReadFileBytes(path), "keep me");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(doc->GetPathName().empty());
  ASSERT_NE(doc->image, nullptr);
  EXPECT_EQ(doc->image->GetWidth(), 6);
}

TEST_F(EditTest, CaptureSaveWithoutAutomaticNameAsksForOne) {
  app.m_capture.optionsA = kOptOutputWindow | kOptOutputFile;
  manager->answer = folder.File("chosen.png");
  CQuorvaCaptureDoc* doc = NewFromCapture(4, 3);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(manager->prompts, 1);
  EXPECT_TRUE(frame->result.saved);
  EXPECT_FALSE(ReadFileBytes(folder.File("chosen.png")).empty());
  EXPECT_FALSE(frame->result.copied);
}

TEST_F(EditTest, DocumentFromAPendingImageRunsNoOutputs) {
  app.m_capture.optionsA = kOptOutputWindow | kOptOutputClipboard | kOptOutputFile | kOptAutoName;
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(3, 3));
  ASSERT_NE(doc, nullptr);
  PumpMessages(50);
  EXPECT_EQ(frame->outputRuns, 0);
}

}  // namespace
