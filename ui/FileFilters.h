// What the open and save dialogs offer and show, as plain data and texts, so that it can be
// checked without a screen: the filter lists, the JPEG options rule of the save dialog, the
// preview's texts, the placement of the preview group under the file list, and the decision
// whether saving asks at all.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "common/Settings.h"

struct FileFilterEntry {
  std::string description;
  std::string patterns;  // "*.bmp;*.dib;*.rle"
};

// The open dialog's 13 entries: the eleven readable formats, "All supported graphic formats"
// (every pattern above joined by ";") and allFilesText with "*.*".
std::vector<FileFilterEntry> OpenFilterEntries(const std::string& allFilesText);
// The open dialog starts on "All supported graphic formats".
constexpr DWORD kOpenFilterStartIndex = 12;

// The save dialog's five entries, JPEG first.
std::vector<FileFilterEntry> SaveFilterEntries();
constexpr DWORD kSaveFilterStartIndex = 1;
constexpr char kSaveDefaultExtension[] = "jpg";

// The system's form: "description\0patterns\0...\0\0".
std::string JoinFilter(const std::vector<FileFilterEntry>& entries);

// The save dialog's pattern slots: each entry's patterns upper-cased, at most 47 characters.
constexpr int kPatternSlotChars = 48;
using SavePatternSlots = std::array<std::string, 5>;
SavePatternSlots UpperCasedPatterns(const std::vector<FileFilterEntry>& entries);
// The nine JPEG controls are enabled for a filter index 1..5 whose slot is "*.JPG".
bool JpegControlsEnabled(DWORD filterIndex, const SavePatternSlots& slots);
// The controls of the JPEG options, in the order they are enabled.
extern const std::array<int, 9> kJpegControlIds;

// The JPEG option fields and their ranges (the save dialog's validation and spins).
struct JpegFieldRange {
  int minimum;
  int maximum;
};
constexpr JpegFieldRange kJpegQualityRange{0, 100};
constexpr JpegFieldRange kJpegSmoothingRange{0, 100};
constexpr JpegFieldRange kJpegDensityRange{0, 10000};

// The preview's texts: format is string 130 or 131 ("Color bits : %1"); without an image
// (hasImage false) %1 is a single space.
std::string PreviewDepthText(const std::string& format, bool hasImage, int bitsPerPixel);
std::string PreviewSizeText(const std::string& format, bool hasImage, int width, int height);

// The preview group or picture moved under the file list: the list's left and right edges,
// its own top and height.
RECT AlignToFileList(const RECT& control, const RECT& fileList);

// Whether saving asks for a name: a capture that asked for an automatic save (autoSavePending)
// with automatic naming on ("OptionsA" 0x400) takes an automatic name without any dialog.
enum class SavePrompt { kDialog, kAutomaticName };
SavePrompt DecideSavePrompt(bool autoSavePending, DWORD optionsA);

// A name typed into the save dialog that names a folder (or has no file part) cannot be saved.
bool NamesFolder(const std::string& path);
