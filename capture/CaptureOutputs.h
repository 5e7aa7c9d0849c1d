// The outputs of a finished capture: which outputs open an image window, the outputs a new
// capture document runs once its window is shown (clipboard, then the file, then the printer),
// and the automatic file names of saved captures.
//
// The image view posts UWM_CAPTUREOUTPUTS (document/DocumentHost.h) to itself at its first
// update when its document has newCapture set, clearing the flag; its handler hands the
// document to the main frame (IImageDocumentFrame::RunCaptureOutputs), which calls
// RunCaptureOutputs below with the program's settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/Settings.h"

class CQuorvaCaptureDoc;

// True when a capture with these output choices ("OptionsA") becomes an image window: an image
// window, printing or saving is wanted, or no output at all is chosen. Otherwise (clipboard
// only) the picture goes straight to the clipboard.
bool CaptureOpensImageWindow(DWORD optionsA);

// What the file system says about an automatic save path.
enum class AutoSaveLookup {
  kFree,              // no file of that name (or one that cannot be told apart: the save decides)
  kExists,            // exactly this file exists (names compared without regard to case)
  kDirectoryMissing,  // the folder of the path does not exist
};

// The user's side of the automatic naming: the file-system lookup and the three messages.
class IAutoSaveEnvironment {
 public:
  virtual AutoSaveLookup Lookup(const std::string& path) = 0;
  // String 143: the counter reached its limit.
  virtual void ShowLimitReached() = 0;
  // String 142 with Yes, No and Cancel: IDYES, IDNO or IDCANCEL.
  virtual int AskReplaceExisting(const std::string& path) = 0;
  // String 141 with the folder.
  virtual void ShowDirectoryMissing(const std::string& directory) = 0;

 protected:
  ~IAutoSaveEnvironment() = default;
};

// The real file system and message boxes.
class CAutoSaveEnvironment : public IAutoSaveEnvironment {
 public:
  AutoSaveLookup Lookup(const std::string& path) override;
  void ShowLimitReached() override;
  int AskReplaceExisting(const std::string& path) override;
  void ShowDirectoryMissing(const std::string& directory) override;
};

// The digit count in force: "AutoSaveDigitCount" held to 2 ... 6.
int AutoSaveDigits(const AutoSaveSettings& settings);
// The file name of number for these settings, without the folder: lead name, the number with
// leading zeros to the digit count (at most 10^digits - 1), the extension of the image type
// (".BMP" for a type the settings do not know).
std::string AutoSaveFileName(const AutoSaveSettings& settings, DWORD number);

// The full path for the next automatic save, advancing "AutoSaveStartNO"; none when the save is
// abandoned (the user was told or asked: counter limit, existing file declined, folder missing).
// The number is only advanced when a path is returned.
std::optional<std::string> MakeAutoSaveName(AutoSaveSettings& settings, IAutoSaveEnvironment& environment);

// The user's side of RunCaptureOutputs.
class ICaptureOutputsUi {
 public:
  // The Save As dialog for a capture saved without automatic naming; the document's own Save
  // command. FALSE when nothing was saved.
  virtual BOOL SaveWithDialog(CQuorvaCaptureDoc& doc) = 0;
  // Saves under path (the stored JPEG options); FALSE when it failed (the user was told).
  virtual BOOL SaveAs(CQuorvaCaptureDoc& doc, const std::string& path) = 0;
  // Puts the picture on the clipboard; the real one offers it and hands the pixels over at the
  // first paste, so the file is saved without waiting (dibgdi::OfferDibOnClipboard).
  virtual void CopyToClipboard(CQuorvaCaptureDoc& doc) = 0;
  virtual IAutoSaveEnvironment& AutoSaveEnvironment() = 0;

 protected:
  ~ICaptureOutputsUi() = default;
};

// The real clipboard, dialogs and files.
class CCaptureOutputsUi : public ICaptureOutputsUi {
 public:
  BOOL SaveWithDialog(CQuorvaCaptureDoc& doc) override;
  BOOL SaveAs(CQuorvaCaptureDoc& doc, const std::string& path) override;
  void CopyToClipboard(CQuorvaCaptureDoc& doc) override;
  IAutoSaveEnvironment& AutoSaveEnvironment() override { return m_environment; }

 private:
  CAutoSaveEnvironment m_environment;
};

// What RunCaptureOutputs did (for the caller and the tests).
struct CaptureOutputsResult {
  bool copied = false;     // the picture went to the clipboard
  bool saveTried = false;  // saving was wanted
  bool saved = false;      // the file was written
  std::string savedPath;   // the automatic name, when one was made
};

// Runs the outputs of a new capture document in the order clipboard (0x40), save (0x200, with
// the automatic name when 0x400 is set, otherwise through the Save As dialog). Printing (0x80)
// belongs to the print support and does nothing yet. Whatever fails, the document keeps its
// picture, so the capture is never lost.
CaptureOutputsResult RunCaptureOutputs(CQuorvaCaptureDoc& doc, CaptureSettings& settings, ICaptureOutputsUi& ui);
// The same with the real clipboard, dialogs and files.
CaptureOutputsResult RunCaptureOutputs(CQuorvaCaptureDoc& doc, CaptureSettings& settings);
