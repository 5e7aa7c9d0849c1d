#include "OptionsLogic.h"

#include <algorithm>

#include "resources/OptionsIds.h"

const HotkeyRowIds kHotkeyRows[kHotkeyRowCount] = {
    {kModeActiveWindow, "Active Window Capture HotKey:", 1124, 1125, 1126, 1127},
    {kModeActiveWindowClient, "Active Window Client Capture HotKey:", 1132, 1133, 1134, 1135},
    {kModeControl, "Control,Child Window Capture HotKey:", 1136, 1137, 1138, 1139},
    {kModeSquare, "Square Capture HotKey:", 1144, 1145, 1146, 1147},
    {kModeRectangle, "Rectangle Capture HotKey:", 1140, 1141, 1142, 1143},
    {kModeCircle, "Circle Capture HotKey:", 1172, 1173, 1174, 1175},
    {kModeEllipse, "Ellipse Capture HotKey:", 1148, 1149, 1150, 1151},
    {kModePolygon, "Polygon Capture HotKey:", 1164, 1165, 1166, 1167},
    {kModePopupMenu, "Menu Capture HotKey:", 1128, 1129, 1130, 1131},
    {kModeDesktop, "Desktop Capture HotKey:", 1156, 1157, 1158, 1159},
    {kModeSingleWindow, "Single Window Capture HotKey:", 1152, 1153, 1154, 1155},
    {kModeColorPicker, "Color Picker Hotkey:", 1177, 1178, 1179, 1180},
    {kModeRepeatLast, "Repeat Last Capture HotKey:", 1160, 1161, 1162, 1163},
    {kModeDefault, "Default Capture HotKey:", 1168, 1169, 1170, 1171},
};

HotkeyRowState HotkeyRowFromCode(WORD code) {
  HotkeyRowState row;
  row.ctrl = (code & kHotkeyCtrl) != 0;
  row.alt = (code & kHotkeyAlt) != 0;
  row.shift = (code & kHotkeyShift) != 0;
  row.virtualKey = code & kHotkeyKeyMask;
  return row;
}

WORD HotkeyCodeFromRow(const HotkeyRowState& row) {
  WORD code = static_cast<WORD>(row.virtualKey & kHotkeyKeyMask);
  if (row.ctrl) code |= kHotkeyCtrl;
  if (row.alt) code |= kHotkeyAlt;
  if (row.shift) code |= kHotkeyShift;
  return code;
}

HotkeyDuplicate FindDuplicateHotkey(const WORD* codes, int count) {
  for (int i = 0; i < count; ++i) {
    if ((codes[i] & kHotkeyKeyMask) == 0) continue;
    for (int j = i + 1; j < count; ++j)
      if (codes[j] == codes[i]) return HotkeyDuplicate{i, j};
  }
  return {};
}

void StoreRowCodes(WORD* slots, const WORD (&rowCodes)[kHotkeyRowCount]) {
  for (int i = 0; i < kHotkeyRowCount; ++i) slots[kHotkeyRows[i].mode] = rowCodes[i];
}

int SelectionForValue(const std::vector<int>& items, int value) {
  auto it = std::find(items.begin(), items.end(), value);
  return it == items.end() ? 0 : static_cast<int>(it - items.begin());
}

std::string CutLeadFileName(const std::string& name) {
  const size_t cut = name.find_first_of("\\/:*?\"<>|.");
  return cut == std::string::npos ? name : name.substr(0, cut);
}

const std::vector<int> kSaveDependentIds = {
    IDC_OUT_LABEL_DIRECTORY, IDC_OUT_LABEL_LEAD, IDC_OUT_LABEL_DIGITS, IDC_OUT_LABEL_START,
    IDC_OUT_LABEL_TYPE,      IDC_OUT_START_NO_SPIN, IDC_OUT_DIGITS_SPIN, IDC_OUT_IMAGE_TYPE,
    IDC_OUT_AUTONAME,        IDC_OUT_REPLACE,    IDC_OUT_RESET_COUNTER, IDC_OUT_WRAP,
    IDC_OUT_DIRECTORY,       IDC_OUT_LEAD_NAME,  IDC_OUT_DIGITS,      IDC_OUT_START_NO,
    IDC_OUT_BROWSE,
};

std::vector<int> AutoNameDependentIds() {
  std::vector<int> ids;
  for (int id : kSaveDependentIds)
    if (id != IDC_OUT_AUTONAME) ids.push_back(id);
  return ids;
}

std::vector<std::pair<int, bool>> OutputControlStates(bool saveToFile, bool autoName) {
  std::vector<std::pair<int, bool>> states;
  for (int id : kSaveDependentIds) {
    bool on = saveToFile && (autoName || id == IDC_OUT_AUTONAME);
    states.emplace_back(id, on);
  }
  return states;
}

DWORD ApplyOutputChoices(DWORD optionsA, const OutputChoices& c) {
  // Printing or saving needs the image window: the picture is printed and saved from it.
  optionsA = WithOption(optionsA, kOptOutputWindow, c.window || c.print || c.saveToFile);
  optionsA = WithOption(optionsA, kOptOutputClipboard, c.clipboard);
  optionsA = WithOption(optionsA, kOptOutputPrinter, c.print);
  optionsA = WithOption(optionsA, kOptPrintWithoutDialog, c.printWithoutDialog);
  optionsA = WithOption(optionsA, kOptOutputFile, c.saveToFile);
  optionsA = WithOption(optionsA, kOptAutoName, c.autoName);
  return optionsA;
}

DWORD ApplyAutoSaveOptions(DWORD options, bool replace, bool wrap, bool resetAtStart) {
  options = WithOption(options, kAutoSaveReplaceExisting, replace);
  options = WithOption(options, kAutoSaveWrapCounter, wrap);
  options = WithOption(options, kAutoSaveResetAtStart, resetAtStart);
  return options;
}

int CaptionStripWidth(int width) { return std::max(1, width / 128); }

COLORREF CaptionStripColor(COLORREF face, int k, int stripWidth, int width) {
  if (width <= 0) return face;
  const long long covered = static_cast<long long>(k) * stripWidth;
  const long long num = covered * covered;
  const long long den = static_cast<long long>(width) * width;
  auto fade = [&](int c) {
    long long v = c - c * num / den;
    return static_cast<BYTE>(std::clamp<long long>(v, 0, 255));
  };
  return RGB(fade(GetRValue(face)), fade(GetGValue(face)), fade(GetBValue(face)));
}

CaptionBand LayoutCaptionBand(int left, int right, COLORREF face) {
  CaptionBand band;
  const int width = right - left;
  band.blackLeft = left;
  band.blackRight = left;
  if (width <= 0) return band;
  const int g = CaptionStripWidth(width);
  int edge = right;  // left edge of what is filled so far
  for (int k = 1; edge - left > g; ++k) {
    band.strips.push_back(CaptionStrip{right - k * g, right - (k - 1) * g, CaptionStripColor(face, k, g, width)});
    edge = right - k * g;
  }
  band.blackRight = edge;
  return band;
}
