#include "capture/CaptureOutputs.h"

#include <cstring>
#include <new>

#include "TextException.h"
#include "document/QuorvaCaptureDoc.h"
#include "framework/Framework.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

bool CaptureOpensImageWindow(DWORD optionsA) {
  if (optionsA & (kOptOutputWindow | kOptOutputPrinter | kOptOutputFile)) return true;
  return (optionsA & kOptOutputClipboard) == 0;  // no output at all still opens a window
}

// --- Automatic names ---

int AutoSaveDigits(const AutoSaveSettings& settings) {
  int digits = settings.digitCount;
  if (digits < 2) return 2;
  if (digits > 6) return 6;
  return digits;
}

namespace {

DWORD PowerOfTen(int digits) {
  DWORD limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  return limit;
}

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string AutoSaveFileName(const AutoSaveSettings& settings, DWORD number) {
  const int digits = AutoSaveDigits(settings);
  const DWORD limit = PowerOfTen(digits);
  if (number > limit - 1) number = limit - 1;
  std::string text = std::to_string(number);
  std::string name(settings.leadFileName, strnlen(settings.leadFileName, sizeof settings.leadFileName));
  if (text.size() < static_cast<size_t>(digits)) name.append(static_cast<size_t>(digits) - text.size(), '0');
  name += text;
  const char* extension = ImageTypeExtension(settings.imageType);
  name += (extension && *extension) ? extension : ".BMP";
  return name;
}

std::optional<std::string> MakeAutoSaveName(AutoSaveSettings& settings, IAutoSaveEnvironment& environment) {
  const int digits = AutoSaveDigits(settings);
  const DWORD limit = PowerOfTen(digits);
  const bool wrap = (settings.options & kAutoSaveWrapCounter) != 0;
  if (!wrap && settings.nextNumber >= limit) {
    environment.ShowLimitReached();
    return std::nullopt;
  }

  std::string directory(settings.directory, strnlen(settings.directory, sizeof settings.directory));
  std::string path = directory;
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += AutoSaveFileName(settings, settings.nextNumber);

  switch (environment.Lookup(path)) {
    case AutoSaveLookup::kExists:
      if (!(settings.options & kAutoSaveReplaceExisting) && environment.AskReplaceExisting(path) != IDYES)
        return std::nullopt;
      break;
    case AutoSaveLookup::kDirectoryMissing:
      environment.ShowDirectoryMissing(directory);
      return std::nullopt;
    case AutoSaveLookup::kFree:
      break;
  }

  DWORD next = settings.nextNumber + 1;
  if (wrap) {
    next %= limit;
    if (next == 0) next = 1;
  }
  settings.nextNumber = next;
  return path;
}

AutoSaveLookup CAutoSaveEnvironment::Lookup(const std::string& path) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA(path.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    ::FindClose(search);
    // Only this very name counts (not a short-name alias); a folder of that name is left to the
    // save, which reports it.
    if (lstrcmpiA(found.cFileName, FileNamePart(path).c_str()) == 0 &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return AutoSaveLookup::kExists;
    return AutoSaveLookup::kFree;
  }
  if (::GetLastError() == ERROR_PATH_NOT_FOUND) return AutoSaveLookup::kDirectoryMissing;
  // Some file systems answer "file not found" for a missing folder too: look at the folder.
  const std::string folder = FolderPart(path);
  if (!folder.empty()) {
    DWORD attributes = ::GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      return AutoSaveLookup::kDirectoryMissing;
  }
  return AutoSaveLookup::kFree;
}

void CAutoSaveEnvironment::ShowLimitReached() { AfxMessageBox(IDS_AUTOSAVE_LIMIT, MB_OK | MB_ICONEXCLAMATION); }

int CAutoSaveEnvironment::AskReplaceExisting(const std::string& path) {
  std::string prompt;
  AfxFormatString1(prompt, IDS_AUTOSAVE_FILE_EXISTS, path.c_str());
  return AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION);
}

void CAutoSaveEnvironment::ShowDirectoryMissing(const std::string& directory) {
  std::string text;
  AfxFormatString1(text, IDS_AUTOSAVE_NO_DIRECTORY, directory.c_str());
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// --- The outputs of a new capture document ---

BOOL CCaptureOutputsUi::SaveWithDialog(CQuorvaCaptureDoc& doc) { return doc.SaveWithStoredOptions(); }

BOOL CCaptureOutputsUi::SaveAs(CQuorvaCaptureDoc& doc, const std::string& path) {
  return doc.SaveWithStoredOptions(path.c_str());
}

void CCaptureOutputsUi::CopyToClipboard(CQuorvaCaptureDoc& doc) {
  try {
    // The clipboard is taken now and gets the pixels when somebody pastes them, so the file
    // is written without waiting for the system's copy of the block.
    if (doc.image && !doc.image->IsEmpty()) doc.image->OfferToClipboard();
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  }
}

CaptureOutputsResult RunCaptureOutputs(CQuorvaCaptureDoc& doc, CaptureSettings& settings, ICaptureOutputsUi& ui) {
  CaptureOutputsResult result;
  doc.newCapture = FALSE;  // the outputs run once
  if (!doc.image || doc.image->IsEmpty()) return result;

  if (settings.Has(kOptOutputClipboard)) {
    ui.CopyToClipboard(doc);
    result.copied = true;
  }

  if (settings.Has(kOptOutputFile)) {
    result.saveTried = true;
    if (settings.Has(kOptAutoName)) {
      std::optional<std::string> path = MakeAutoSaveName(settings.autoSave, ui.AutoSaveEnvironment());
      if (path) {
        result.savedPath = *path;
        result.saved = ui.SaveAs(doc, *path) != FALSE;
      }
    } else {
      result.saved = ui.SaveWithDialog(doc) != FALSE;
    }
  }

  // Printing each capture (0x80, without the Print dialog with 0x100) joins with the print
  // support of the image view.
  return result;
}

CaptureOutputsResult RunCaptureOutputs(CQuorvaCaptureDoc& doc, CaptureSettings& settings) {
  CCaptureOutputsUi ui;
  return RunCaptureOutputs(doc, settings, ui);
}
