// Image commands on real bitmaps: the saved copy, undo of size and depth changes, the modified
// flag and the document's title marker, failing filters and the dialogs' pending path.
#include "CommandHistory.h"
#include "HistoryDocument.h"
#include "QuorvaCommand.h"

#include "DibBitmap.h"
#include "filters/ColorFilters.h"
#include "filters/ImageFilter.h"
#include "filters/RotateFilter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The parts of the image document that the history touches: the image, the modified flag,
// the title marker ("name *" when the history's change count is not 0 or the flag is set).
class TestImageDocument : public CCommandHistory, public IHistoryDocument {
 public:
  CDibBitmap* GetImage() override { return image.get(); }
  std::unique_ptr<CDibBitmap> NewImageBitmap() override {
    return std::make_unique<CHeapBitmap>();
  }
  bool IsModified() const override { return modified; }
  void SetModifiedFlag(bool value) override { modified = value; }
  void BeginWaitCursor() override { ++waitDepth, ++waitCursors; }
  void EndWaitCursor() override { --waitDepth; }

  void OnStateChanged() override {
    title = "Capture1";
    if (GetChangeCount() != 0 || modified) title += " *";
  }
  void OnCommandDone(CCommand* cmd) override { status = "Last command : " + cmd->Description(); }

  std::unique_ptr<CDibBitmap> image;
  bool modified = false;
  int waitDepth = 0;
  int waitCursors = 0;
  std::string title = "Capture1";
  std::string status;
};

// Adds amount to the blue byte of every 32-bit pixel, in place.
class AddBlueFilter : public CInPlaceFilter {
 public:
  explicit AddBlueFilter(int amount) : amount(amount) {}
  void ApplyInPlace(CDibBitmap& bitmap) override {
    ++applied;
    for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
      uint8_t* row = bitmap.GetLine(y);
      for (int32_t x = 0; x < bitmap.GetWidth(); ++x) row[x * 4] = static_cast<uint8_t>(row[x * 4] + amount);
    }
  }
  int amount;
  static inline int applied = 0;
};

// Keeps the top-left (width - 1) x (height - 1) pixels at the source's depth.
class ShrinkFilter : public CImageFilter {
 public:
  void Apply(const CDibBitmap& source, CDibBitmap& target) override {
    const int32_t width = source.GetWidth() - 1, height = source.GetHeight() - 1;
    target.Create(width, height, source.GetBitsPerPixel(), source.HasAlpha());
    if (source.GetNumColors() > 0) target.CopyPalette(source.GetPalette());
    for (int32_t y = 0; y < height; ++y)
      std::memcpy(target.GetLine(y), source.GetLine(y), target.GetPixelBytesPerLine());
  }
};

class OutOfMemoryFilter : public CImageFilter {
 public:
  void Apply(const CDibBitmap&, CDibBitmap&) override {
    throw CTextException(PLErr::NoMemory, "Out of memory creating bitmap.");
  }
};

std::unique_ptr<CDibBitmap> MakePattern(int32_t width, int32_t height, uint16_t depth = 32) {
  auto bitmap = std::make_unique<CHeapBitmap>();
  bitmap->Create(width, height, depth, false);
  if (depth == 8) {
    std::vector<PLRGBQuad> palette(256);
    for (int i = 0; i < 256; ++i)
      palette[i] = PLRGBQuad{static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2), 7, 255};
    bitmap->CopyPalette(palette.data());
  }
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = bitmap->GetLine(y);
    for (int32_t i = 0; i < bitmap->GetPixelBytesPerLine(); ++i) row[i] = static_cast<uint8_t>(y * 37 + i * 11);
  }
  return bitmap;
}

// Geometry, colour table and every pixel byte.
::testing::AssertionResult SameImage(const CDibBitmap& a, const CDibBitmap& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() ||
      a.GetBitsPerPixel() != b.GetBitsPerPixel() || a.HasAlpha() != b.HasAlpha())
    return ::testing::AssertionFailure()
           << a.GetWidth() << "x" << a.GetHeight() << "x" << a.GetBitsPerPixel() << " vs "
           << b.GetWidth() << "x" << b.GetHeight() << "x" << b.GetBitsPerPixel();
  for (int i = 0; i < a.GetNumColors(); ++i)
    if (std::memcmp(&a.GetPalette()[i], &b.GetPalette()[i], sizeof(PLRGBQuad)) != 0)
      return ::testing::AssertionFailure() << "palette entry " << i;
  for (int32_t y = 0; y < a.GetHeight(); ++y)
    if (std::memcmp(a.GetLine(y), b.GetLine(y), a.GetPixelBytesPerLine()) != 0)
      return ::testing::AssertionFailure() << "row " << y;
  return ::testing::AssertionSuccess();
}

std::unique_ptr<CDibBitmap> Snapshot(const CDibBitmap& image) {
  auto copy = std::make_unique<CHeapBitmap>();
  copy->CreateCopy(image, 0);
  return copy;
}

class QuorvaCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.image = MakePattern(6, 4);
    original = Snapshot(*doc.image);
  }
  CQuorvaCommand* AddBlue(int amount, const char* text = "Invert the image") {
    return new CQuorvaCommand(doc, std::make_unique<AddBlueFilter>(amount), text);
  }
  CQuorvaCommand* Shrink() {
    return new CQuorvaCommand(doc, std::make_unique<ShrinkFilter>(),
                              "Crop the image to selected rectangle,reducing its size");
  }

  TestImageDocument doc;
  std::unique_ptr<CDibBitmap> original;
};

TEST_F(QuorvaCommandTest, CopiesTheImageWhenMadeNotWhenRun) {
  std::unique_ptr<CQuorvaCommand> cmd(AddBlue(1));
  ASSERT_NE(cmd->GetSavedImage(), nullptr);
  EXPECT_NE(cmd->GetSavedImage(), doc.image.get());
  EXPECT_TRUE(SameImage(*cmd->GetSavedImage(), *original));
  EXPECT_EQ(cmd->GetTargetImage(), doc.image.get());
  doc.image->GetLine(0)[0] ^= 0xFF;  // later changes do not reach the copy
  EXPECT_TRUE(SameImage(*cmd->GetSavedImage(), *original));
  EXPECT_EQ(cmd->GetCommandType(), kImageCommand);
  EXPECT_EQ(cmd->Description(), "Invert the image");
}

TEST_F(QuorvaCommandTest, ExecuteAppliesTheFilterAndMarksModified) {
  ASSERT_TRUE(doc.Do(AddBlue(3), true));
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.image->GetLine(2)[4], static_cast<uint8_t>(original->GetLine(2)[4] + 3));
  EXPECT_EQ(doc.image->GetLine(2)[5], original->GetLine(2)[5]);
  EXPECT_EQ(doc.status, "Last command : Invert the image");
  EXPECT_EQ(doc.title, "Capture1 *");
  EXPECT_EQ(doc.waitDepth, 0);
  EXPECT_GE(doc.waitCursors, 1);
}

TEST_F(QuorvaCommandTest, UndoOfASizeChangeBringsBackSizeAndPixels) {
  ASSERT_TRUE(doc.Do(Shrink(), true));
  ASSERT_TRUE(doc.Do(Shrink(), true));
  EXPECT_EQ(doc.image->GetSize(), (PLSize{4, 2}));
  const auto shrunkTwice = Snapshot(*doc.image);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.image->GetSize(), (PLSize{5, 3}));
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *original));
  EXPECT_EQ(doc.status, "Last command : Undo last action");
  ASSERT_TRUE(doc.Redo());
  ASSERT_TRUE(doc.Redo());
  EXPECT_TRUE(SameImage(*doc.image, *shrunkTwice));
  EXPECT_EQ(doc.status, "Last command : Redo last action");
}

TEST_F(QuorvaCommandTest, UndoKeepsThePaletteImageDepth) {
  doc.image = MakePattern(9, 5, 8);
  const auto palettePicture = Snapshot(*doc.image);
  ASSERT_TRUE(doc.Do(Shrink(), true));
  EXPECT_EQ(doc.image->GetBitsPerPixel(), 8);
  // The program converts to 32 bits outside the history; undo then returns the 32-bit image.
  doc.image->CreateCopy(*Snapshot(*doc.image), 32);
  ASSERT_TRUE(doc.Do(AddBlue(1), true));
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.image->GetBitsPerPixel(), 32);
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *palettePicture));
}

TEST_F(QuorvaCommandTest, UndoingTheOnlyChangeLeavesACleanDocument) {
  ASSERT_TRUE(doc.Do(AddBlue(1), true));
  EXPECT_TRUE(doc.modified);
  ASSERT_TRUE(doc.Undo());
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.GetChangeCount(), 0);
  EXPECT_EQ(doc.title, "Capture1");
  ASSERT_TRUE(doc.Redo());
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.title, "Capture1 *");
}

TEST_F(QuorvaCommandTest, UndoKeepsTheFlagOfAnAlreadyModifiedDocument) {
  doc.modified = true;  // e.g. a fresh capture, never saved
  ASSERT_TRUE(doc.Do(AddBlue(1), true));
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.title, "Capture1 *");
}

TEST_F(QuorvaCommandTest, TenStepsBackReachTheOriginalElevenDoNot) {
  for (int i = 1; i <= 10; ++i) ASSERT_TRUE(doc.Do(AddBlue(i), true));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *original));
  EXPECT_EQ(doc.GetChangeCount(), 0);
  EXPECT_EQ(doc.title, "Capture1");

  doc.ClearHistory();
  ASSERT_TRUE(doc.Do(AddBlue(1), true));
  const auto afterFirst = Snapshot(*doc.image);
  for (int i = 2; i <= 11; ++i) ASSERT_TRUE(doc.Do(AddBlue(i), true));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(doc.Undo());
  EXPECT_FALSE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *afterFirst));
  EXPECT_EQ(doc.GetChangeCount(), 1);
  EXPECT_EQ(doc.title, "Capture1 *");
}

TEST_F(QuorvaCommandTest, FailingFilterChangesNothing) {
  ASSERT_TRUE(doc.Do(AddBlue(1), true));
  const auto before = Snapshot(*doc.image);
  doc.modified = false;
  doc.status.clear();
  EXPECT_THROW(doc.Do(new CQuorvaCommand(doc, std::make_unique<OutOfMemoryFilter>(), "Rotate"), true),
               CTextException);
  EXPECT_TRUE(SameImage(*doc.image, *before));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.GetUndoCount(), 1);
  EXPECT_EQ(doc.GetChangeCount(), 1);
  EXPECT_TRUE(doc.status.empty());
  EXPECT_EQ(doc.waitDepth, 0);  // the wait cursor ends on the error path too
}

TEST_F(QuorvaCommandTest, DocumentWithoutImageRunsNothing) {
  doc.image.reset();
  auto* cmd = AddBlue(1);
  EXPECT_EQ(cmd->GetSavedImage(), nullptr);
  EXPECT_FALSE(doc.Do(cmd, true));
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.waitCursors, 0);
}

TEST_F(QuorvaCommandTest, PendingCommandOfAReplacedImageRefusesToRun) {
  ASSERT_TRUE(doc.DoPending(AddBlue(1), true));
  doc.image = MakePattern(3, 3);  // the document opened another file
  const auto replaced = Snapshot(*doc.image);
  EXPECT_FALSE(doc.UndoPending());
  EXPECT_TRUE(SameImage(*doc.image, *replaced));
  EXPECT_TRUE(doc.CommitPending(false));
}

TEST_F(QuorvaCommandTest, SeparateTargetReceivesResultAndRestore) {
  CHeapBitmap dest;
  dest.Create(2, 2, 32, false);
  CQuorvaCommand cmd(doc, std::make_unique<ShrinkFilter>(), "Crop", &dest);
  ASSERT_TRUE(cmd.Execute());
  EXPECT_EQ(dest.GetSize(), (PLSize{5, 3}));
  EXPECT_TRUE(SameImage(*doc.image, *original));
  ASSERT_TRUE(cmd.Restore());
  EXPECT_TRUE(SameImage(dest, *original));
}

TEST_F(QuorvaCommandTest, UndoAndRedoStepsDescribeThemselves) {
  std::unique_ptr<CQuorvaCommand> cmd(AddBlue(1));
  std::unique_ptr<CCommand> undo(cmd->CreateUndoCommand());
  std::unique_ptr<CCommand> redo(cmd->CreateRedoCommand());
  EXPECT_EQ(undo->GetCommandType(), kUndoCommand);
  EXPECT_EQ(redo->GetCommandType(), kRedoCommand);
  EXPECT_EQ(undo->Description(), "Undo last action");
  EXPECT_EQ(redo->Description(), "Redo last action");
  EXPECT_EQ(undo->CreateUndoCommand(), nullptr);
  EXPECT_EQ(undo->CreateRedoCommand(), nullptr);
  EXPECT_EQ(redo->CreateUndoCommand(), nullptr);
  EXPECT_EQ(redo->CreateRedoCommand(), nullptr);
}

// The resize dialog: Apply, Apply again, Revert, Done.
TEST_F(QuorvaCommandTest, DialogRevertRestoresTheImageBeforeTheLastApply) {
  ASSERT_TRUE(doc.DoPending(Shrink(), true));
  const auto afterFirstApply = Snapshot(*doc.image);
  ASSERT_TRUE(doc.DoPending(Shrink(), true));
  EXPECT_EQ(doc.image->GetSize(), (PLSize{4, 2}));
  ASSERT_TRUE(doc.UndoPending());
  EXPECT_TRUE(SameImage(*doc.image, *afterFirstApply));
  EXPECT_TRUE(doc.CommitPending(false));  // Revert disables Revert: nothing is stored
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(QuorvaCommandTest, DialogDoneStoresTheAppliedCommand) {
  ASSERT_TRUE(doc.DoPending(Shrink(), true));
  EXPECT_EQ(doc.title, "Capture1");  // the pending path leaves the title to the caller
  ASSERT_TRUE(doc.CommitPending(true));
  EXPECT_EQ(doc.title, "Capture1 *");
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *original));
  EXPECT_FALSE(doc.modified);
}

// The library's own filters through the history: a quarter turn changes the size, grayscale
// the depth; undo brings back both.
TEST_F(QuorvaCommandTest, LibraryFiltersUndoToTheExactImage) {
  ASSERT_TRUE(doc.Do(new CQuorvaCommand(doc, std::make_unique<CRotateFilter>(1.57079633, 0),
                                        "Rotate the image counter-clockwise by 90 degree"),
                     true));
  EXPECT_EQ(doc.image->GetSize(), (PLSize{4, 6}));
  const auto rotated = Snapshot(*doc.image);
  ASSERT_TRUE(doc.Do(new CQuorvaCommand(doc, std::make_unique<CGrayscaleFilter>(),
                                        "Convert the image to grayscale picture"),
                     true));
  EXPECT_EQ(doc.image->GetBitsPerPixel(), 8);
  const auto grey = Snapshot(*doc.image);
  ASSERT_TRUE(doc.Do(new CQuorvaCommand(doc, std::make_unique<CInvertFilter>(), "Invert the image"),
                     true));
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *grey));
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *rotated));
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(SameImage(*doc.image, *original));
  ASSERT_TRUE(doc.Redo());
  EXPECT_TRUE(SameImage(*doc.image, *rotated));
  ASSERT_TRUE(doc.Redo());
  EXPECT_TRUE(SameImage(*doc.image, *grey));
}

}  // namespace
