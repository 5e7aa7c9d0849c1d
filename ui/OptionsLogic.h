// The rules of the Options pages that need no window: the hotkey rows and their codes, the
// duplicate check, the automatic-naming values as shown and as stored, the option bits each
// page writes, the controls that follow the save and naming boxes, and the strips of the
// caption band.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/Settings.h"

// ---------------------------------------------------------------------------------------------
// Hotkey Options

// One row of the Hotkey Options page: the capture mode it edits and its controls.
struct HotkeyRowIds {
  int mode;  // CaptureModeIndex
  const char* label;
  int ctrlId;
  int altId;
  int shiftId;
  int keyListId;
};

// The fourteen rows in the order the page shows them (Color Picker before Repeat Last and
// Default).
constexpr int kHotkeyRowCount = 14;
extern const HotkeyRowIds kHotkeyRows[kHotkeyRowCount];

// What one row shows: the three modifiers and the key (0: "None").
struct HotkeyRowState {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  UINT virtualKey = 0;
};

// The row a code shows: the modifiers it carries and its low byte as the key.
HotkeyRowState HotkeyRowFromCode(WORD code);
// The code a row builds: 0x8000 Ctrl | 0x2000 Alt | 0x4000 Shift | the selected key.
WORD HotkeyCodeFromRow(const HotkeyRowState& row);

// The first pair of rows (indexes into codes) whose codes are equal and carry a key (low byte
// not 0); {-1, -1} when every keyed code is different.
struct HotkeyDuplicate {
  int first = -1;
  int second = -1;
  bool Found() const { return first >= 0; }
};
HotkeyDuplicate FindDuplicateHotkey(const WORD* codes, int count);

// Writes the rows' codes into their modes' slots of a 36-entry array, leaving the other slots.
void StoreRowCodes(WORD* slots, const WORD (&rowCodes)[kHotkeyRowCount]);

// ---------------------------------------------------------------------------------------------
// Capture Options

// The modes the "Default Capture Action" list offers, in its order.
constexpr int kDefaultActionModes[] = {0, 1, 9, 8, 2, 4, 3, 5, 6, 7, 10};

// The list position of the item that carries value among items (the first when none does).
int SelectionForValue(const std::vector<int>& items, int value);

// ---------------------------------------------------------------------------------------------
// Capture Output

constexpr int kAutoSavePathEditChars = 250;  // what the directory edit holds
constexpr int kLeadNameEditChars = 12;       // what the lead-name edit holds

// The lead file name as stored: cut at its first \ / : * ? " < > | or full stop.
std::string CutLeadFileName(const std::string& name);
// The digit count and the start number as shown and as stored.
inline int DigitCountShown(WORD stored) { return stored % 7; }
inline DWORD StartNumberShown(DWORD stored) { return stored % 1000000; }

// The controls that follow the save-to-file box (seventeen, the naming box included) and the
// naming box (the same less the naming box itself).
extern const std::vector<int> kSaveDependentIds;
std::vector<int> AutoNameDependentIds();

// Which controls are enabled for a state of the two boxes: those of kSaveDependentIds, each
// paired with its state.
std::vector<std::pair<int, bool>> OutputControlStates(bool saveToFile, bool autoName);

// The output bits of "OptionsA" as the page writes them: window (bit 5) also whenever printing
// or saving is on.
struct OutputChoices {
  bool window = false;
  bool clipboard = false;
  bool print = false;
  bool printWithoutDialog = false;
  bool saveToFile = false;
  bool autoName = false;
};
DWORD ApplyOutputChoices(DWORD optionsA, const OutputChoices& choices);

// "AutoSaveOptions" from the three boxes, keeping bits the page does not show.
DWORD ApplyAutoSaveOptions(DWORD options, bool replace, bool wrap, bool resetAtStart);

// ---------------------------------------------------------------------------------------------
// Bits of "OptionsA" set or cleared one at a time.

inline DWORD WithOption(DWORD optionsA, DWORD bit, bool on) { return on ? (optionsA | bit) : (optionsA & ~bit); }

// ---------------------------------------------------------------------------------------------
// The caption band: vertical strips from the right edge leftwards, darker towards the left, the
// rest black.

struct CaptionStrip {
  int left;
  int right;
  COLORREF color;
};
// Strip width for a band width: max(1, width / 128).
int CaptionStripWidth(int width);
// The colour of strip k (1, 2, ...): each of red, green, blue c - c * (k*g)^2 / width^2.
COLORREF CaptionStripColor(COLORREF face, int k, int stripWidth, int width);
// Every strip of a band from left to right (right edge exclusive) and the black rest at its
// left (blackRight: right edge of the black part, left when there is none).
struct CaptionBand {
  std::vector<CaptionStrip> strips;  // strip 1 first (at the right edge)
  int blackLeft = 0;
  int blackRight = 0;
};
CaptionBand LayoutCaptionBand(int left, int right, COLORREF face);
