// The user settings of Lumatre: plain records that the application object owns for the whole
// run, loaded from the registry at start-up and written back at exit (RegistryExchange.h).
// Every other part of the program reads and writes these records directly.
#pragma once

#include <windows.h>

#include <cstddef>

// ---------------------------------------------------------------------------------------------
// Capture modes that can carry a hotkey or be the default capture action.

enum CaptureModeIndex : int {
  kModeActiveWindow = 0,
  kModeActiveWindowClient = 1,
  kModeControl = 2,
  kModeSquare = 3,
  kModeRectangle = 4,
  kModeCircle = 5,
  kModeEllipse = 6,
  kModePolygon = 7,
  kModePopupMenu = 8,
  kModeDesktop = 9,
  kModeSingleWindow = 10,
  kModeRepeatLast = 11,
  kModeDefault = 12,
  kModeColorPicker = 13,
};

constexpr int kCaptureModeCount = 14;  // modes that have a hotkey
constexpr int kHotkeySlotCount = 36;   // slots of the hotkey table shared with the hook library

// Registry value name (section "Hotkey") of a capture mode; nullptr outside 0..13.
const char* CaptureModeName(int mode);

// Hotkey codes: the virtual-key code in the low byte and the modifiers held in the high byte.
constexpr WORD kHotkeyCtrl = 0x8000;
constexpr WORD kHotkeyShift = 0x4000;
constexpr WORD kHotkeyAlt = 0x2000;
constexpr WORD kHotkeyKeyMask = 0x00FF;

// Default hotkey code of a capture mode; 0 outside 0..13.
WORD DefaultHotkeyCode(int mode);

// ---------------------------------------------------------------------------------------------
// Image types of saved and mailed files.

enum ImageTypeId : int {
  kImageBitmap = 0,
  kImageJpeg = 1,
  kImagePng = 2,
  kImageGif = 3,
  kImageTiff = 4,
};

// ".BMP", ".JPG", ".PNG", ".GIF", ".TIF"; an empty text for any other id.
const char* ImageTypeExtension(int type);

// The image-type lists shown to the user (mail type and save type) list these in this order.
struct ImageTypeChoice {
  const char* text;
  int id;
};
constexpr ImageTypeChoice kImageTypeChoices[] = {
    {"JPEG", kImageJpeg}, {"Bitmap", kImageBitmap}, {"PNG", kImagePng},
    {"GIF", kImageGif},   {"TIFF", kImageTiff},
};

// ---------------------------------------------------------------------------------------------
// "OptionsA": the option flags of section "CaptureOptions". Bits without a name carry no meaning
// and are written back as they were loaded.

constexpr DWORD kOptPlaySound = 0x1;               // play the capture sound
constexpr DWORD kOptStartHidden = 0x2;             // start with the main window in the tray
constexpr DWORD kOptShowAfterCapture = 0x8;        // pop the main window up after a capture
constexpr DWORD kOptIncludePointer = 0x10;         // draw the mouse pointer into captures
constexpr DWORD kOptOutputWindow = 0x20;           // open an image window for each capture
constexpr DWORD kOptOutputClipboard = 0x40;        // copy each capture to the clipboard
constexpr DWORD kOptOutputPrinter = 0x80;          // print each capture
constexpr DWORD kOptPrintWithoutDialog = 0x100;    // print without the Print dialog
constexpr DWORD kOptOutputFile = 0x200;            // save each capture to a file
constexpr DWORD kOptAutoName = 0x400;              // name the saved file automatically
constexpr DWORD kOptPromptSaveModified = 0x1000;   // ask about modified images when closing
constexpr DWORD kOptClearRecentOnExit = 0x40000;   // empty the recent-file list at exit
constexpr DWORD kOptHideOnMinimize = 0x80000;      // minimising hides the main window
constexpr DWORD kOptFreezeScreen = 0x100000;       // freeze the screen while capturing
constexpr DWORD kOptWindingFill = 0x200000;        // polygons use the winding rule
constexpr DWORD kOptColorToClipboard = 0x400000;   // copy the picked colour to the clipboard

constexpr DWORD kDefaultOptionsA = 0x00681669;

// "AutoSaveOptions" bits.
constexpr DWORD kAutoSaveReplaceExisting = 0x1;
constexpr DWORD kAutoSaveResetAtStart = 0x2;
constexpr DWORD kAutoSaveWrapCounter = 0x4;

// Default colours (also what "Reset Default Color" restores).
constexpr COLORREF kDefaultColorViewBackground = 0x00CC9966;
constexpr COLORREF kDefaultColorTransparency = 0x00C0C0C0;
constexpr COLORREF kDefaultColorImageBackground = 0x00C0C0C0;

// "ColorPickerOutputFormat" values.
enum ColorPickerFormat : int {
  kColorHtml = 0, kColorDotNet, kColorVC, kColorVB, kColorVFP, kColorJava, kColorDelphi,
  kColorRGB, kColorHSB,
};

// "RepeatLastMode" values.
enum RepeatLastMode : int {
  kRepeatTrackLast = 0,     // track last position and size
  kRepeatCaptureDirectly = 1,
  kRepeatOnlyTrack = 2,
};

// ---------------------------------------------------------------------------------------------
// Records.

constexpr size_t kTitleChars = 256;
constexpr size_t kPathChars = MAX_PATH;  // 260
constexpr size_t kLeadNameChars = 128;

// Page layout of printing; lengths in tenths of a millimetre. Section "PrintLayout".
struct PrintLayoutSettings {
  SIZE pageSize{0, 0};                   // "SizePage"
  SIZE printSize{0, 0};                  // "SizePrint"
  RECT margins{80, 80, 80, 80};          // "Margins": left, top, right, bottom
  WORD titleAlign = 4;                   // "TitleAlign"
  WORD imageCenterFlags = 3;             // "ImageCenterFlag": 0x1 horizontally, 0x2 vertically
  LONG printMode = 1;                    // "PrintMode"
  char title[kTitleChars] = {};          // "Title"
};

// The capture hotkeys, indexed by CaptureModeIndex. `hotkey` is the very array exchanged with
// the hook library (72 bytes).
struct HotkeyTable {
  WORD count;
  LONG registered[kHotkeySlotCount];  // 1 when the mode's hotkey is registered with the system
  WORD hotkey[kHotkeySlotCount];

  HotkeyTable() { Reset(); }
  // Back to the defaults: 14 modes, nothing registered, the default codes.
  void Reset();
};
static_assert(sizeof(HotkeyTable::hotkey) == 72, "the hook library exchanges exactly 72 bytes");

struct JpegSaveSettings {
  WORD optimizeCoding = 0;    // "JPEGOptimizeCoding", 0 or 1
  WORD quality = 95;          // "JPEGQuality", 0..100
  WORD smoothingFactor = 0;   // "JPEGSmootingFactor", 0..100
  WORD dpiX = 720;            // "JPEGDIP", first number
  WORD dpiY = 720;            // "JPEGDIP", second number
};

struct AutoSaveSettings {
  LONG imageType = kImageBitmap;          // "AutoSaveImageType"
  char directory[kPathChars] = {};        // "AutoSavePath"; the Output folder by default
  char leadFileName[kLeadNameChars] = "Luma";  // "AutoSaveLeadFileName"
  WORD digitCount = 5;                    // "AutoSaveDigitCount", 2..6
  DWORD nextNumber = 1;                   // "AutoSaveStartNO", 1..999999
  DWORD options = kAutoSaveReplaceExisting | kAutoSaveWrapCounter;  // "AutoSaveOptions"
};

// Section "CaptureOptions".
struct CaptureSettings {
  DWORD optionsA = kDefaultOptionsA;                         // "OptionsA"
  COLORREF colorTransparency = kDefaultColorTransparency;    // "ColorTransparency"
  COLORREF colorViewBackground = kDefaultColorViewBackground;  // "ColorViewBackground"
  COLORREF colorImageBackground = kDefaultColorImageBackground;  // "ColorImageBackground"
  LONG defaultCaptureAction = kModeDesktop;                  // "DefaultCaptureAction"
  WORD captureDelayTime = 100;                               // "CaptureDelayTime", ms
  AutoSaveSettings autoSave;
  JpegSaveSettings jpeg;                                     // the stored copy
  LONG colorPickerOutputFormat = kColorHtml;                 // "ColorPickerOutputFormat"
  LONG sendMailImageType = kImageJpeg;                       // "SendMailImageType"
  LONG repeatLastMode = kRepeatTrackLast;                    // "RepeatLastMode"

  bool Has(DWORD option) const { return (optionsA & option) != 0; }
};

// Everything the application object keeps of the user's settings.
struct AppSettings {
  PrintLayoutSettings m_printLayout;
  HotkeyTable m_hotkeys;
  CaptureSettings m_capture;
  JpegSaveSettings m_currentJpeg;         // used when an image is written; edited by Save As
  char m_programPath[kPathChars] = {};    // the running program (or "InstallPath")
};

// Copies text into a buffer of `size` characters, cut to fit and always zero-terminated.
void CopyText(char* buffer, size_t size, const char* text);
template <size_t N>
void CopyText(char (&buffer)[N], const char* text) {
  CopyText(buffer, N, text);
}
