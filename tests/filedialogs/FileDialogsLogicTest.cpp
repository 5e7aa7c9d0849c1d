// The rules of the file dialogs and the operation dialogs without a screen: the filter lists,
// the JPEG options rule, the preview's texts and placement, the automatic name instead of the
// Save As dialog, the dialogs' value ranges and how an edit's text is read, the resize
// family's sizes, the collapsing dialog's hidden part and the browse field's layout.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FrameworkTestSupport.h"
#include "document/ImagePreview.h"
#include "document/OperationValues.h"
#include "framework/ExpandDialog.h"
#include "framework/FileDialog.h"
#include "ui/BrowseEdit.h"
#include "ui/DocManagerEx.h"
#include "ui/FileFilters.h"

namespace {

TEST(OpenFilter, ThirteenEntriesInOrderStartingOnAllGraphicFormats) {
  const auto entries = OpenFilterEntries("All Files (*.*)");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"BMP File", "*.bmp;*.dib;*.rle"},
      {"JPEG File", "*.jpg;*.jpeg;*.jif"},
      {"PNG File", "*.png"},
      {"PICT File", "*.pct"},
      {"TIFF File", "*.tif;*.eps"},
      {"TARGA File", "*.tga"},
      {"Windows Metafile", "*.wmf"},
      {"Windows Enhanced Metafile", "*.emf"},
      {"PCX File", "*.pcx"},
      {"Portable Greymap File", "*.pgm"},
      {"GIF File", "*.gif"},
      {"All supported graphic formats",
       "*.bmp;*.dib;*.rle;*.jpg;*.jpeg;*.jif;*.png;*.pct;*.tif;*.eps;*.tga;*.wmf;*.emf;*.pcx;*.pgm;*.gif"},
      {"All Files (*.*)", "*.*"},
  };
  ASSERT_EQ(entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(entries[i].description, expected[i].first) << i;
    EXPECT_EQ(entries[i].patterns, expected[i].second) << i;
  }
  EXPECT_EQ(entries[kOpenFilterStartIndex - 1].description, "All supported graphic formats");
}

TEST(SaveFilter, FiveEntriesJpegFirstAndTheJpegRule) {
  const auto entries = SaveFilterEntries();
  ASSERT_EQ(entries.size(), 5u);
  const char* descriptions[] = {"JPEG file (*.jpg)", "BMP file (*.bmp)", "PNG file (*.png)", "TIFF file (*.tif)",
                                "GIF file (*.gif)"};
  const char* patterns[] = {"*.jpg", "*.bmp", "*.png", "*.tif", "*.gif"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(entries[i].description, descriptions[i]);
    EXPECT_EQ(entries[i].patterns, patterns[i]);
  }
  EXPECT_EQ(kSaveFilterStartIndex, 1u);
  EXPECT_STREQ(kSaveDefaultExtension, "jpg");
  const SavePatternSlots slots = UpperCasedPatterns(entries);
  EXPECT_EQ(slots[0], "*.JPG");
  EXPECT_EQ(slots[4], "*.GIF");
  // Only the JPEG entry enables the options; indexes outside 1..5 enable nothing.
  const struct {
    DWORD index;
    bool enabled;
  } cases[] = {{0, false}, {1, true}, {2, false}, {3, false}, {4, false}, {5, false}, {6, false}, {99, false}};
  for (const auto& c : cases) EXPECT_EQ(JpegControlsEnabled(c.index, slots), c.enabled) << c.index;
  EXPECT_EQ(kJpegControlIds.size(), 9u);
}

TEST(Filters, JoinedInTheSystemsForm) {
  const std::string joined = JoinFilter({{"A", "*.a"}, {"B", "*.b;*.c"}});
  EXPECT_EQ(joined, std::string("A\0*.a\0B\0*.b;*.c\0\0", 17));
  EXPECT_EQ(CFileDialog::FilterFromBars("A|*.a|B|*.b|"), std::string("A\0*.a\0B\0*.b\0\0", 13));
}

TEST(PreviewTexts, DepthAndSizeOrASingleSpace) {
  EXPECT_EQ(PreviewDepthText("Color bits : %1", true, 24), "Color bits : 24");
  EXPECT_EQ(PreviewDepthText("Color bits : %1", false, 24), "Color bits :  ");
  EXPECT_EQ(PreviewSizeText("Image size : %1", true, 640, 480), "Image size : (640,480)");
  EXPECT_EQ(PreviewSizeText("Image size : %1", false, 640, 480), "Image size :  ");
}

TEST(PreviewLayout, TakesTheFileListsEdgesKeepingItsOwnTopAndHeight) {
  RECT moved = AlignToFileList(RECT{10, 40, 100, 90}, RECT{5, 3, 300, 30});
  EXPECT_EQ(moved.left, 5);
  EXPECT_EQ(moved.right, 300);
  EXPECT_EQ(moved.top, 40);
  EXPECT_EQ(moved.bottom, 90);
}

TEST(PreviewPlacement, ScaleRuleAndCentring) {
  struct Case {
    RECT area;
    int width, height;
    double scale;
    RECT dest;
  } cases[] = {
      // 2000 x 500 in 200 x 100: scale 0.1, 200 x 50, centred vertically.
      {{0, 0, 200, 100}, 2000, 500, 0.1, {0, 25, 200, 75}},
      // Fits: drawn as it is, centred.
      {{1, 1, 201, 101}, 50, 20, 1.0, {76, 41, 126, 61}},
      // Exactly the size of the area.
      {{0, 0, 200, 100}, 200, 100, 1.0, {0, 0, 200, 100}},
      // Tall: the height decides.
      {{0, 0, 200, 100}, 100, 400, 0.25, {87, 0, 112, 100}},
  };
  for (const Case& c : cases) {
    PreviewPlacement p = PlacePreview(c.area, c.width, c.height);
    EXPECT_DOUBLE_EQ(p.scale, c.scale) << c.width << "x" << c.height;
    EXPECT_EQ(p.dest.left, c.dest.left) << c.width << "x" << c.height;
    EXPECT_EQ(p.dest.top, c.dest.top) << c.width << "x" << c.height;
    EXPECT_EQ(p.dest.right, c.dest.right) << c.width << "x" << c.height;
    EXPECT_EQ(p.dest.bottom, c.dest.bottom) << c.width << "x" << c.height;
  }
  // Nothing to draw in an empty area.
  PreviewPlacement none = PlacePreview(RECT{0, 0, 0, 0}, 10, 10);
  EXPECT_TRUE(::IsRectEmpty(&none.dest));
}

TEST(SavePrompt, OnlyAPendingAutomaticSaveWithAutomaticNamingSkipsTheDialog) {
  EXPECT_EQ(DecideSavePrompt(true, kOptOutputFile | kOptAutoName), SavePrompt::kAutomaticName);
  EXPECT_EQ(DecideSavePrompt(true, kOptOutputFile), SavePrompt::kDialog);
  EXPECT_EQ(DecideSavePrompt(false, kOptOutputFile | kOptAutoName), SavePrompt::kDialog);
  EXPECT_EQ(DecideSavePrompt(false, 0), SavePrompt::kDialog);
}

// The file system of the automatic names, scripted.
class FakeEnvironment : public IAutoSaveEnvironment {
 public:
  AutoSaveLookup Lookup(const std::string& path) override {
    looked.push_back(path);
    return lookup;
  }
  void ShowLimitReached() override { ++messages; }
  int AskReplaceExisting(const std::string&) override {
    ++messages;
    return IDNO;
  }
  void ShowDirectoryMissing(const std::string&) override { ++messages; }
  AutoSaveLookup lookup = AutoSaveLookup::kFree;
  std::vector<std::string> looked;
  int messages = 0;
};

// The document manager with the dialogs answered instead of shown: cancelled, or confirmed
// with the name in answer.
class CTestDocManager : public CDocManagerEx {
 public:
  using CDocManagerEx::CDocManagerEx;
  int shown = 0;
  std::string answer;
  FakeEnvironment environment;

 protected:
  INT_PTR RunFileDialog(CFileDialog& dlg) override {
    ++shown;
    if (answer.empty()) return IDCANCEL;
    dlg.SetFileName(answer);
    return IDOK;
  }
  IAutoSaveEnvironment& AutoSaveEnvironment() override { return environment; }
};

struct PromptFixture {
  BOOL pending = FALSE;
  CaptureSettings capture;
  JpegSaveSettings jpeg;
  CTestDocManager manager{pending, capture, jpeg};
  PromptFixture() {
    CopyText(capture.autoSave.directory, sizeof capture.autoSave.directory, "C:\\Out");
    capture.autoSave.nextNumber = 7;
    capture.autoSave.digitCount = 5;
    capture.autoSave.imageType = kImageBitmap;
  }
};

TEST(DocManagerEx, CaptureWithAutomaticSaveAndNamingShowsNoDialog) {
  PromptFixture f;
  f.capture.optionsA = kOptOutputWindow | kOptOutputFile | kOptAutoName;
  f.pending = TRUE;
  std::string name = "Luma";
  EXPECT_TRUE(f.manager.DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, FALSE, nullptr));
  EXPECT_EQ(name, "C:\\Out\\Luma00007.BMP");
  EXPECT_EQ(f.manager.shown, 0);
  EXPECT_FALSE(f.pending);                     // taken by this prompt
  EXPECT_EQ(f.capture.autoSave.nextNumber, 8u);  // advanced
  // The next save of the same document is an ordinary one: the dialog is shown.
  EXPECT_FALSE(f.manager.DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, FALSE, nullptr));
  EXPECT_EQ(f.manager.shown, 1);
}

TEST(DocManagerEx, AbandonedAutomaticNameSavesNothingAndAsksNothingMore) {
  PromptFixture f;
  f.capture.optionsA = kOptOutputFile | kOptAutoName;
  f.manager.environment.lookup = AutoSaveLookup::kDirectoryMissing;
  f.pending = TRUE;
  std::string name;
  EXPECT_FALSE(f.manager.DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, FALSE, nullptr));
  EXPECT_EQ(f.manager.environment.messages, 1);
  EXPECT_EQ(f.manager.shown, 0);
  EXPECT_EQ(f.capture.autoSave.nextNumber, 7u);
  EXPECT_FALSE(f.pending);
}

TEST(DocManagerEx, WithoutAutomaticNamingOrWithoutThePendingMarkTheDialogShows) {
  for (DWORD options : {DWORD(kOptOutputFile), DWORD(kOptOutputFile | kOptAutoName)}) {
    PromptFixture f;
    f.capture.optionsA = options;
    f.pending = options == kOptOutputFile ? TRUE : FALSE;
    std::string name;
    EXPECT_FALSE(f.manager.DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, FALSE, nullptr)) << options;
    EXPECT_EQ(f.manager.shown, 1) << options;
    EXPECT_FALSE(f.pending);
    EXPECT_EQ(f.capture.autoSave.nextNumber, 7u);
  }
  // Opening never takes an automatic name, and leaves a pending save alone.
  PromptFixture f;
  f.capture.optionsA = kOptOutputFile | kOptAutoName;
  f.pending = TRUE;
  std::string name;
  EXPECT_FALSE(f.manager.DoPromptFileName(name, AFX_IDS_OPENFILE, 0, TRUE, nullptr));
  EXPECT_EQ(f.manager.shown, 1);
  EXPECT_TRUE(f.pending);
}

TEST(DocManagerEx, AFileGoneBeforeItOpensIsReportedAndNothingOpens) {
  MessageBoxRecorder boxes;
  PromptFixture f;
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  f.manager.answer = std::string(temp) + "lumatre-gone-3f9c.png";
  f.manager.OnFileOpen();
  EXPECT_EQ(f.manager.shown, 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "The file " + f.manager.answer +
                                       " cannot be found. It may have been moved, renamed or deleted.");
  EXPECT_EQ(f.manager.GetOpenDocumentCount(), 0);
}

TEST(SaveName, AFolderIsNoFileName) {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  EXPECT_TRUE(NamesFolder(temp));
  std::string folder(temp);
  folder.pop_back();  // without the trailing backslash
  EXPECT_TRUE(NamesFolder(folder));
  EXPECT_TRUE(NamesFolder(""));
  EXPECT_FALSE(NamesFolder(folder + "\\no such file 3f9c.jpg"));
}

TEST(OperationValues, RangesStartsAndLimits) {
  struct Case {
    const char* name;
    OperationValueRange range;
    OperationValueRange expected;
  } cases[] = {
      {"angle", op_values::kRotateAngle, {-360, 360, 0, 4}},
      {"brightness", op_values::kBrightness, {-100, 100, 0, 3}},
      {"contrast", op_values::kContrast, {1, 100, 10, 3}},
      {"contrast offset", op_values::kContrastOffset, {0, 255, 125, 3}},
      {"intensity", op_values::kIntensity, {0, 255, 20, 3}},
      {"intensity offset", op_values::kIntensityOffset, {0, 255, 128, 3}},
      {"exponent", op_values::kIntensityExponent, {1, 100, 10, 3}},
      {"resize radius", op_values::kResizeRadius, {1, 1000, 500, 0}},
      {"scale", op_values::kScalePercent, {1, 400, 100, 3}},
      {"scale radius", op_values::kScaleRadius, {1, 1000, 100, 4}},
      {"stretch", op_values::kStretchPercent, {1, 400, 100, 3}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.range.minimum, c.expected.minimum) << c.name;
    EXPECT_EQ(c.range.maximum, c.expected.maximum) << c.name;
    EXPECT_EQ(c.range.start, c.expected.start) << c.name;
    EXPECT_EQ(c.range.editLimit, c.expected.editLimit) << c.name;
  }
  EXPECT_EQ(op_values::kResizeSide.maximum, 2048);
  EXPECT_EQ(op_values::kResizeSide.editLimit, 4);
}

TEST(OperationValues, EditTextReadLikePercentD) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {{"-100", true, -100}, {"-10", true, -10}, {"42", true, 42},     {" 7", true, 7},
               {"12abc", true, 12},  {"+5", true, 5},    {"", false, 0},       {"-", false, 0},
               {"abc", false, 0},    {"99999999999", false, 0}, {"2147483647", true, 2147483647}};
  for (const Case& c : cases) {
    int value = 0;
    EXPECT_EQ(ReadDialogInt(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  EXPECT_EQ(ClampToRange(-150, op_values::kBrightness), -100);
  EXPECT_EQ(ClampToRange(150, op_values::kBrightness), 100);
  EXPECT_EQ(ClampToRange(0, op_values::kContrast), 1);
  // The brightness filter gets value x 0.36, truncated toward zero.
  EXPECT_EQ(BrightnessAmount(50), 18);
  EXPECT_EQ(BrightnessAmount(-100), -36);
  EXPECT_EQ(BrightnessAmount(-3), -1);
  EXPECT_DOUBLE_EQ(ContrastFactor(10), 1.0);
  EXPECT_DOUBLE_EQ(IntensityExponent(10), 1.0);
}

TEST(ResizeFamily, StartSizesTargetsAndRevertValues) {
  // A side above 2048 starts at 800 (width) or 600 (height); no image: 800 x 600.
  SIZE s = ResizeStartSize(true, SIZE{3000, 500});
  EXPECT_EQ(s.cx, 800);
  EXPECT_EQ(s.cy, 500);
  s = ResizeStartSize(true, SIZE{2048, 3000});
  EXPECT_EQ(s.cx, 2048);
  EXPECT_EQ(s.cy, 600);
  s = ResizeStartSize(false, SIZE{0, 0});
  EXPECT_EQ(s.cx, 800);
  EXPECT_EQ(s.cy, 600);

  struct Case {
    ResizeKind kind;
    SIZE values, backup, target;
    bool usable;
  } cases[] = {
      {ResizeKind::kResize, {200, 100}, {40, 30}, {200, 100}, true},
      {ResizeKind::kScale, {50, 50}, {101, 33}, {50, 16}, true},
      // 1 % of an image narrower than 100 pixels: width 0, which cannot be made.
      {ResizeKind::kScale, {1, 1}, {80, 50}, {0, 0}, false},
      {ResizeKind::kScale, {1, 1}, {150, 50}, {1, 0}, false},
      {ResizeKind::kStretch, {50, 200}, {40, 30}, {20, 60}, true},
      {ResizeKind::kStretch, {1, 100}, {40, 30}, {0, 30}, false},
  };
  for (const Case& c : cases) {
    SIZE t = ResizeFamilyTarget(c.kind, c.values, c.backup);
    EXPECT_EQ(t.cx, c.target.cx);
    EXPECT_EQ(t.cy, c.target.cy);
    EXPECT_EQ(IsUsableTarget(t), c.usable);
  }
  SIZE r = ResizeFamilyRevertValues(ResizeKind::kResize, SIZE{20, 30}, SIZE{40, 30});
  EXPECT_EQ(r.cx, 20);
  EXPECT_EQ(r.cy, 30);
  // Scale: (image width / backup width, integer division) x 100.
  EXPECT_EQ(ResizeFamilyRevertValues(ResizeKind::kScale, SIZE{40, 30}, SIZE{40, 30}).cx, 100);
  EXPECT_EQ(ResizeFamilyRevertValues(ResizeKind::kScale, SIZE{20, 15}, SIZE{40, 30}).cx, 0);
  EXPECT_EQ(ResizeFamilyRevertValues(ResizeKind::kScale, SIZE{80, 60}, SIZE{40, 30}).cx, 200);
  r = ResizeFamilyRevertValues(ResizeKind::kStretch, SIZE{20, 30}, SIZE{40, 30});
  EXPECT_EQ(r.cx, 100);
  EXPECT_EQ(r.cy, 100);
}

TEST(ExpandDialog, ControlsWhollyBeyondTheMarkerAreTheHiddenPart) {
  const RECT kept{0, 0, 260, 82};
  EXPECT_FALSE(CExpandDialog::LiesBeyondMarker(RECT{7, 8, 50, 20}, kept));
  EXPECT_FALSE(CExpandDialog::LiesBeyondMarker(RECT{7, 70, 50, 90}, kept));  // across the line
  EXPECT_TRUE(CExpandDialog::LiesBeyondMarker(RECT{7, 82, 50, 90}, kept));
  EXPECT_TRUE(CExpandDialog::LiesBeyondMarker(RECT{260, 0, 300, 10}, kept));
}

TEST(BrowseEdit, LayoutAndEditStyle) {
  RECT edit, button;
  CBrowseEdit::Layout(200, 20, edit, button);
  EXPECT_EQ(edit.right, 180);
  EXPECT_EQ(button.left, 180);
  EXPECT_EQ(button.right, 200);
  EXPECT_EQ(button.bottom, 20);
  CBrowseEdit::Layout(10, 20, edit, button);  // narrower than high: no room for the edit
  EXPECT_EQ(edit.right, 0);
  EXPECT_EQ(button.right, 20);
  DWORD style = CBrowseEdit::EditStyleFrom(WS_VISIBLE | WS_DISABLED | ES_RIGHT | CBrowseEdit::kFolderModeStyle |
                                           WS_BORDER);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_TRUE(style & WS_DISABLED);
  EXPECT_TRUE(style & ES_RIGHT);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_FALSE(style & CBrowseEdit::kFolderModeStyle);
  EXPECT_FALSE(style & WS_BORDER);
}

}  // namespace
