// The rules of the Options pages without a screen: hotkey rows and codes, the duplicate check,
// the lead file name and the numbers of the automatic naming, the output bits, the controls that
// follow the save boxes, the page keys and the strips of the caption band.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "capture/CaptureOutputs.h"
#include "resources/OptionsIds.h"
#include "ui/OptionsLogic.h"
#include "ui/PrefsSubDlg.h"

namespace {

TEST(LeadFileName, IsCutAtTheFirstCharacterAFileNameCannotHoldOrAFullStop) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"cap.shot", "cap"}, {"a/b", "a"},    {".", ""},      {"\\", ""},       {"Luma", "Luma"},
      {"x:y", "x"},        {"a*b", "a"},    {"q?", "q"},    {"\"q", ""},      {"<a", ""},
      {"a>b", "a"},        {"a|b", "a"},    {"", ""},       {"..\\up", ""},   {"shot_ 1", "shot_ 1"},
      {"a.b/c", "a"},      {"ab\\c.d", "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(CutLeadFileName(c.in), c.out) << c.in;
}

// A lead name of "." or "\" leaves nothing: the automatic names start with the digits and stay
// inside the chosen folder.
class FreeFolder : public IAutoSaveEnvironment {
 public:
  AutoSaveLookup Lookup(const std::string& path) override {
    looked = path;
    return AutoSaveLookup::kFree;
  }
  void ShowLimitReached() override {}
  int AskReplaceExisting(const std::string&) override { return IDNO; }
  void ShowDirectoryMissing(const std::string&) override {}
  std::string looked;
};

TEST(LeadFileName, AnEmptyCutNameGivesNamesOfDigitsInsideTheFolder) {
  for (const char* lead : {".", "\\", "/", "..", "..\\..\\evil"}) {
    AutoSaveSettings settings;
    CopyText(settings.directory, "C:\\shots");
    CopyText(settings.leadFileName, CutLeadFileName(lead).c_str());
    EXPECT_STREQ(settings.leadFileName, "") << lead;
    EXPECT_EQ(AutoSaveFileName(settings, 7), "00007.BMP") << lead;
    FreeFolder folder;
    std::optional<std::string> path = MakeAutoSaveName(settings, folder);
    ASSERT_TRUE(path) << lead;
    EXPECT_EQ(*path, "C:\\shots\\00001.BMP") << lead;
  }
}

TEST(AutoSaveNumbers, AreShownModuloTheirLimits) {
  struct Case {
    WORD digits;
    int digitsShown;
  } digitCases[] = {{9, 2}, {5, 5}, {6, 6}, {7, 0}, {2, 2}, {13, 6}};
  for (const Case& c : digitCases) EXPECT_EQ(DigitCountShown(c.digits), c.digitsShown) << c.digits;
  struct NumberCase {
    DWORD stored;
    DWORD shown;
  } numberCases[] = {{1000001, 1}, {999999, 999999}, {1000000, 0}, {1, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu % 1000000}};
  for (const NumberCase& c : numberCases) EXPECT_EQ(StartNumberShown(c.stored), c.shown) << c.stored;
}

TEST(HotkeyRows, ListTheFourteenModesInThePagesOrderWithDistinctControls) {
  const int expectedModes[kHotkeyRowCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11, 12};
  std::set<int> ids;
  for (int i = 0; i < kHotkeyRowCount; ++i) {
    EXPECT_EQ(kHotkeyRows[i].mode, expectedModes[i]) << i;
    for (int id : {kHotkeyRows[i].ctrlId, kHotkeyRows[i].altId, kHotkeyRows[i].shiftId, kHotkeyRows[i].keyListId})
      EXPECT_TRUE(ids.insert(id).second) << id;
  }
  EXPECT_NE(ids.count(IDC_HOT_RESET), 1u) << "Reset shares an id with a row";
  EXPECT_EQ(kHotkeyRows[9].ctrlId, 1156);  // Desktop
  EXPECT_EQ(kHotkeyRows[13].keyListId, 1171);  // Default
}

TEST(HotkeyRows, CodesRoundTripThroughTheRows) {
  HotkeyTable defaults;
  for (int mode = 0; mode < kCaptureModeCount; ++mode) {
    const WORD code = defaults.hotkey[mode];
    EXPECT_EQ(HotkeyCodeFromRow(HotkeyRowFromCode(code)), code) << mode;
  }
  HotkeyRowState row = HotkeyRowFromCode(0xE043);  // Ctrl+Shift+Alt+C
  EXPECT_TRUE(row.ctrl);
  EXPECT_TRUE(row.alt);
  EXPECT_TRUE(row.shift);
  EXPECT_EQ(row.virtualKey, 0x43u);
  EXPECT_EQ(HotkeyCodeFromRow(HotkeyRowState{true, true, false, 'S'}), 0xA053);
  EXPECT_EQ(HotkeyCodeFromRow(HotkeyRowState{false, false, false, 0}), 0);
  EXPECT_EQ(HotkeyCodeFromRow(HotkeyRowState{false, true, false, 0}), 0x2000);
}

TEST(HotkeyRows, DuplicatesNeedTheSameCodeWithAKey) {
  struct Case {
    WORD a;
    WORD b;
    bool duplicate;
  } cases[] = {
      {0xA053, 0xA053, true},    // Ctrl+Alt+S twice
      {0x8000, 0x2000, false},   // no key, different modifiers
      {0x8000, 0x8000, false},   // no key at all counts as none
      {0, 0, false},
      {0xA053, 0xE053, false},   // same key, other modifiers
      {0x0071, 0x0071, true},    // F2 alone twice
  };
  for (const Case& c : cases) {
    HotkeyTable t;
    WORD codes[kHotkeyRowCount];
    for (int i = 0; i < kHotkeyRowCount; ++i) codes[i] = t.hotkey[kHotkeyRows[i].mode];
    // Rows 3 (Square, Ctrl+Alt+S by default) and 9 (Desktop) carry the pair.
    codes[3] = c.a;
    codes[9] = c.b;
    HotkeyDuplicate d = FindDuplicateHotkey(codes, kHotkeyRowCount);
    EXPECT_EQ(d.Found(), c.duplicate) << std::hex << c.a << " " << c.b;
    if (c.duplicate) {
      EXPECT_EQ(d.first, 3);
      EXPECT_EQ(d.second, 9);
    }
  }
  HotkeyTable t;
  WORD codes[kHotkeyRowCount];
  for (int i = 0; i < kHotkeyRowCount; ++i) codes[i] = t.hotkey[kHotkeyRows[i].mode];
  EXPECT_FALSE(FindDuplicateHotkey(codes, kHotkeyRowCount).Found()) << "the defaults are all different";
}

TEST(HotkeyRows, StoreIntoTheirModesSlotsOnly) {
  WORD slots[kHotkeySlotCount];
  for (int i = 0; i < kHotkeySlotCount; ++i) slots[i] = static_cast<WORD>(0x7000 + i);
  WORD rows[kHotkeyRowCount];
  for (int i = 0; i < kHotkeyRowCount; ++i) rows[i] = static_cast<WORD>(0x100 + i);
  StoreRowCodes(slots, rows);
  EXPECT_EQ(slots[13], 0x100 + 11);  // Color Picker is row 11
  EXPECT_EQ(slots[11], 0x100 + 12);
  EXPECT_EQ(slots[12], 0x100 + 13);
  EXPECT_EQ(slots[0], 0x100);
  for (int i = kCaptureModeCount; i < kHotkeySlotCount; ++i) EXPECT_EQ(slots[i], 0x7000 + i) << i;
}

TEST(CaptureOutput, TheNamingControlsFollowTheTwoBoxes) {
  ASSERT_EQ(kSaveDependentIds.size(), 17u);
  EXPECT_EQ(AutoNameDependentIds().size(), 16u);
  for (int id : AutoNameDependentIds()) EXPECT_NE(id, IDC_OUT_AUTONAME);
  for (auto [save, autoName] : {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
    for (const auto& [id, on] : OutputControlStates(save, autoName)) {
      const bool expected = save && (autoName || id == IDC_OUT_AUTONAME);
      EXPECT_EQ(on, expected) << id << " save " << save << " auto " << autoName;
    }
  }
}

TEST(CaptureOutput, PrintingOrSavingAlwaysOpensTheImageWindow) {
  struct Case {
    OutputChoices c;
    DWORD set;
  } cases[] = {
      {{false, false, false, false, false, false}, 0},
      {{false, false, true, false, false, false}, kOptOutputWindow | kOptOutputPrinter},
      {{false, false, false, false, true, false}, kOptOutputWindow | kOptOutputFile},
      {{true, true, false, true, false, true}, kOptOutputWindow | kOptOutputClipboard | kOptPrintWithoutDialog | kOptAutoName},
  };
  const DWORD outputBits = kOptOutputWindow | kOptOutputClipboard | kOptOutputPrinter | kOptPrintWithoutDialog |
                           kOptOutputFile | kOptAutoName;
  for (const Case& k : cases) {
    const DWORD before = 0xFFFFFFFFu;
    DWORD after = ApplyOutputChoices(before, k.c);
    EXPECT_EQ(after & outputBits, k.set);
    EXPECT_EQ(after & ~outputBits, before & ~outputBits) << "other bits are kept";
  }
  EXPECT_EQ(ApplyAutoSaveOptions(0xF0, true, false, true), 0xF0u | kAutoSaveReplaceExisting | kAutoSaveResetAtStart);
  EXPECT_EQ(ApplyAutoSaveOptions(0xFF, false, false, false), 0xF8u);
}

TEST(Lists, SelectTheItemCarryingTheValueOrTheFirst) {
  std::vector<int> modes(std::begin(kDefaultActionModes), std::end(kDefaultActionModes));
  EXPECT_EQ(modes, (std::vector<int>{0, 1, 9, 8, 2, 4, 3, 5, 6, 7, 10}));
  EXPECT_EQ(SelectionForValue(modes, 9), 2);
  EXPECT_EQ(SelectionForValue(modes, 10), 10);
  EXPECT_EQ(SelectionForValue(modes, 13), 0);
  EXPECT_EQ(SelectionForValue(modes, -1), 0);
  EXPECT_EQ(SelectionForValue({}, 3), 0);
}

TEST(PageKeys, EscapeIsSwallowedAndEnterGoesToAWantReturnEdit) {
  struct Case {
    UINT message;
    WPARAM key;
    bool edit;
    DWORD style;
    PageKeyAction action;
    bool openList = false;
  } cases[] = {
      {WM_KEYDOWN, VK_ESCAPE, false, 0, PageKeyAction::kPass, true},  // closes the open list
      {WM_KEYDOWN, VK_ESCAPE, false, 0, PageKeyAction::kSwallow},
      {WM_KEYDOWN, VK_ESCAPE, true, ES_MULTILINE | ES_WANTRETURN, PageKeyAction::kSwallow},
      {WM_KEYDOWN, VK_RETURN, true, ES_MULTILINE | ES_WANTRETURN, PageKeyAction::kToEditAsChar},
      {WM_KEYDOWN, VK_RETURN, true, ES_MULTILINE, PageKeyAction::kPass},
      {WM_KEYDOWN, VK_RETURN, true, ES_WANTRETURN, PageKeyAction::kPass},
      {WM_KEYDOWN, VK_RETURN, false, ES_MULTILINE | ES_WANTRETURN, PageKeyAction::kPass},
      {WM_KEYUP, VK_ESCAPE, false, 0, PageKeyAction::kPass},
      {WM_KEYDOWN, VK_TAB, false, 0, PageKeyAction::kPass},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecidePageKey(c.message, c.key, c.edit, c.style, c.openList), c.action) << c.key << " " << c.style;
}

TEST(CaptionBand, StripsDarkenTowardsTheLeftByTheSquareOfTheirDistance) {
  EXPECT_EQ(CaptionStripWidth(100), 1);
  EXPECT_EQ(CaptionStripWidth(127), 1);
  EXPECT_EQ(CaptionStripWidth(256), 2);
  EXPECT_EQ(CaptionStripWidth(640), 5);
  EXPECT_EQ(CaptionStripWidth(0), 1);
  // c - c * (k g)^2 / w^2: at a quarter of the way (k g = w / 2) three quarters remain.
  EXPECT_EQ(CaptionStripColor(RGB(200, 100, 50), 64, 2, 256), RGB(150, 75, 38));
  EXPECT_EQ(CaptionStripColor(RGB(200, 100, 50), 1, 2, 256), RGB(200, 100, 50));
  EXPECT_EQ(CaptionStripColor(RGB(255, 255, 255), 128, 2, 256), RGB(0, 0, 0));

  for (int width : {1, 2, 50, 127, 128, 255, 256, 401, 640}) {
    const COLORREF face = RGB(212, 208, 200);
    CaptionBand band = LayoutCaptionBand(10, 10 + width, face);
    const int g = CaptionStripWidth(width);
    int edge = 10 + width;
    int k = 1;
    for (const CaptionStrip& s : band.strips) {
      EXPECT_EQ(s.right, edge) << width;
      EXPECT_EQ(s.right - s.left, g) << width;
      EXPECT_EQ(s.color, CaptionStripColor(face, k, g, width)) << width << " strip " << k;
      edge = s.left;
      ++k;
    }
    EXPECT_EQ(band.blackRight, edge);
    EXPECT_EQ(band.blackLeft, 10);
    EXPECT_LE(band.blackRight - band.blackLeft, g) << width;
    EXPECT_GE(band.blackRight - band.blackLeft, 0) << width;
  }
  EXPECT_TRUE(LayoutCaptionBand(5, 5, RGB(1, 2, 3)).strips.empty());
}

}  // namespace
