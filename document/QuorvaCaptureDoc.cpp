#include "QuorvaCaptureDoc.h"

#include <cctype>
#include <cstdio>
#include <new>

#include "DibBitmap.h"
#include "QuorvaCommand.h"
#include "TextException.h"
#include "decode/AutoDecoder.h"
#include "encode/EncoderChoice.h"
#include "filters/ColorFilters.h"
#include "filters/FlipFilters.h"
#include "filters/RotateFilter.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

namespace {

constexpr char kSaveErrorFormat[] = "Error saving the file: %s";
constexpr char kNewDocumentError[] = "Handle error in Document class!";
constexpr unsigned kMailFlags = 8;  // MAPI_DIALOG: the user sees the message before it goes

IImageDocumentApp* DocumentApp() { return dynamic_cast<IImageDocumentApp*>(AfxGetApp()); }

IImageDocumentFrame* DocumentFrame() { return dynamic_cast<IImageDocumentFrame*>(AfxGetMainWnd()); }

void ShowSaveError(const char* text) {
  std::string message(sizeof kSaveErrorFormat + std::char_traits<char>::length(text ? text : ""), '\0');
  int n = std::snprintf(message.data(), message.size(), kSaveErrorFormat, text ? text : "");
  message.resize(n > 0 ? static_cast<size_t>(n) : 0);
  AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

PLJpegOptions JpegOptionsOf(const JpegSaveSettings& settings) {
  PLJpegOptions options;
  options.quality = settings.quality;
  options.optimizeCoding = settings.optimizeCoding != 0;
  options.smoothingFactor = settings.smoothingFactor;
  options.dpiX = settings.dpiX;
  options.dpiY = settings.dpiY;
  return options;
}

int ImageTypeOfSaveType(const std::string& type) {
  if (type == "jpg") return kImageJpeg;
  if (type == "tif") return kImageTiff;
  if (type == "png") return kImagePng;
  if (type == "bmp") return kImageBitmap;
  if (type == "gif") return kImageGif;
  return -1;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  // "C:\file" keeps the root's backslash.
  if (slash == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

// Runs an undo or redo step; what it threw (no memory for the copy, a filter's failure) is shown
// instead of leaving the command handler.
template <typename Step>
void GuardedStep(Step step) {
  try {
    step();
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CQuorvaCaptureDoc, CDocument)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateFileSave)
  ON_COMMAND(ID_FILE_RELOAD, OnFileReload)
  ON_UPDATE_COMMAND_UI(ID_FILE_RELOAD, OnUpdateFileReload)
  ON_COMMAND(ID_FILE_SEND_MAIL, OnFileSendMail)
  ON_UPDATE_COMMAND_UI(ID_FILE_SEND_MAIL, OnUpdateAlways)
  ON_COMMAND(ID_EDIT_COPYALL, OnEditCopyAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPYALL, OnUpdateAlways)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedsSelection)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedsSelection)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
  ON_COMMAND(ID_IMAGE_CROP, OnImageCrop)
  ON_COMMAND(ID_IMAGE_ROTATE_CLOCKWISE, OnImageRotateClockwise)
  ON_COMMAND(ID_IMAGE_ROTATE_COUNTERCLOCKWISE, OnImageRotateCounterClockwise)
  ON_COMMAND(ID_IMAGE_FLIP_HORIZONTAL, OnImageFlipHorizontal)
  ON_COMMAND(ID_IMAGE_FLIP_VERTICAL, OnImageFlipVertical)
  ON_COMMAND(ID_IMAGE_GRAYSCALE, OnImageGrayscale)
  ON_COMMAND(ID_IMAGE_INVERT, OnImageInvert)
  ON_COMMAND(ID_IMAGE_RESIZE, OnImageResize)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_RESIZE, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_SCALE, OnImageScale)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_SCALE, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_STRETCH, OnImageStretch)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_STRETCH, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_ROTATE_ANYANGLE, OnImageRotateAnyAngle)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_ROTATE_ANYANGLE, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_BRIGHTNESS, OnImageBrightness)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_BRIGHTNESS, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_CONTRAST, OnImageContrast)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_CONTRAST, OnUpdateAlways)
  ON_COMMAND(ID_IMAGE_INTENSITY, OnImageIntensity)
  ON_UPDATE_COMMAND_UI(ID_IMAGE_INTENSITY, OnUpdateAlways)
END_MESSAGE_MAP()

CQuorvaCaptureDoc::CQuorvaCaptureDoc() = default;

CQuorvaCaptureDoc::~CQuorvaCaptureDoc() {
  // A document that goes while one of its steps still holds the wait cursor gives it back.
  while (m_waitCursorCount > 0) EndWaitCursor();
}

// --- Title ---

void CQuorvaCaptureDoc::SetTitle(LPCSTR lpszTitle) {
  baseTitle = lpszTitle ? lpszTitle : "";
  CDocument::SetTitle(baseTitle.c_str());
}

void CQuorvaCaptureDoc::UpdateTitle() {
  if (baseTitle.empty() && !m_strTitle.empty()) baseTitle = m_strTitle;
  if (baseTitle.empty()) return;
  std::string title = baseTitle;
  if (GetChangeCount() != 0 || m_bModified) title += " *";
  if (title != m_strTitle) CDocument::SetTitle(title.c_str());
}

std::string CQuorvaCaptureDoc::GetNameForPrompt() {
  if (m_strPathName.empty() && !baseTitle.empty()) return baseTitle;  // without the marker
  return CDocument::GetNameForPrompt();
}

// --- Contents ---

void CQuorvaCaptureDoc::DeleteContents() {
  image.reset();
  ClearHistory();
  CDocument::DeleteContents();
}

void CQuorvaCaptureDoc::PostUpdateTabBar() const {
  if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) main->PostMessage(UWM_UPDATETABBAR);
}

BOOL CQuorvaCaptureDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  BOOL result = TRUE;
  try {
    CBusyCursor busy;  // a big capture or picture takes a while to copy
    IImageDocumentFrame* frame = DocumentFrame();
    HBITMAP captured = frame ? frame->GetCapturedBitmap() : nullptr;
    if (captured) {
      newCapture = TRUE;
      if (!image) image = std::make_unique<CDisplayBitmap>();
      image->CreateFromHBitmap(captured);
      if (image->IsEmpty()) throw CTextException(PLErr::UnknownVariant, "The captured bitmap cannot be read.");
    } else {
      if (!image) image = std::make_unique<CDisplayBitmap>();
      IImageDocumentApp* app = DocumentApp();
      std::unique_ptr<CDisplayBitmap> pending = app ? app->TakePendingImage() : nullptr;
      if (!pending || pending->IsEmpty()) throw CTextException(PLErr::UnknownVariant, "There is no picture to take.");
      image->CreateCopy(*pending, 0);
    }
  } catch (const CTextException&) {
    result = FALSE;
  } catch (const std::bad_alloc&) {
    result = FALSE;
  }
  if (!result) {
    AfxMessageBox(kNewDocumentError, MB_OK | MB_ICONEXCLAMATION);
    DeleteContents();
  }
  PostUpdateTabBar();
  SetModifiedFlag(TRUE);  // a new picture always counts as unsaved
  UpdateTitle();
  return result;
}

BOOL CQuorvaCaptureDoc::OnOpenDocument(LPCSTR lpszPathName) {
  DeleteContents();
  image = std::make_unique<CDisplayBitmap>();
  BOOL result = TRUE;
  std::string path = lpszPathName ? lpszPathName : "";
  try {
    // Gone before a failure is shown, with the bar of a decoder that stopped half-way.
    CBusyCursor busy;
    IImageDocumentApp* app = DocumentApp();
    if (app) {
      app->GetAutoDecoder().MakeBmpFromFile(path.c_str(), *image, 0, GetMainProgressSink());
    } else {
      CAutoDecoder decoder;
      decoder.MakeBmpFromFile(path.c_str(), *image, 0, GetMainProgressSink());
    }
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
    DeleteContents();
    result = FALSE;
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
    DeleteContents();
    result = FALSE;
  }
  if (result) {
    SetPathName(path.c_str());
    SetModifiedFlag(FALSE);
    std::string folder = FolderOf(m_strPathName);
    if (!folder.empty()) ::SetCurrentDirectoryA(folder.c_str());
  }
  PostUpdateTabBar();
  return result;
}

std::string CQuorvaCaptureDoc::SaveTypeOfPath(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == path.size()) return std::string();
  std::string type = path.substr(dot + 1);
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return type;
}

bool CQuorvaCaptureDoc::WriteImageFile(const std::string& path, int imageType, const JpegSaveSettings& jpeg,
                                       std::string& errorText) {
  CBusyCursor busy;
  try {
    std::unique_ptr<CImageEncoder> encoder = PLCreateEncoder(imageType, JpegOptionsOf(jpeg));
    if (!encoder) {
      errorText = "Files of this type cannot be written: use .bmp, .jpg, .png, .tif or .gif.";
      return false;
    }
    // JPEG, PNG and GIF take 32 bits; the document's own image keeps its depth.
    bool needs32 = imageType == kImageJpeg || imageType == kImagePng || imageType == kImageGif;
    if (needs32 && image->GetBitsPerPixel() != 32) {
      CHeapBitmap copy;
      copy.CreateCopy(*image, 32);
      encoder->MakeFileFromBmp(path.c_str(), copy);
    } else {
      encoder->MakeFileFromBmp(path.c_str(), *image);
    }
    return true;
  } catch (const CTextException& e) {
    errorText = e.GetText();
  } catch (const std::bad_alloc&) {
    errorText = LoadResString(AFX_IDP_FAILED_MEMORY_ALLOC);
  }
  // A library message may end in a line feed.
  while (!errorText.empty() && (errorText.back() == '\n' || errorText.back() == '\r')) errorText.pop_back();
  return false;
}

BOOL CQuorvaCaptureDoc::OnSaveDocument(LPCSTR lpszPathName) {
  const bool useStored = useStoredJpegOptions != FALSE;
  useStoredJpegOptions = FALSE;  // a one-save mark, whatever the outcome
  if (!image || image->IsEmpty()) return FALSE;
  std::string path = lpszPathName ? lpszPathName : "";
  std::string type = SaveTypeOfPath(path);
  int imageType = ImageTypeOfSaveType(type);

  std::string error;
  if (imageType < 0) {
    error = type.empty() ? "The file name has no type: use .bmp, .jpg, .png, .tif or .gif."
                         : "Files of type \"." + type + "\" cannot be written: use .bmp, .jpg, .png, .tif or .gif.";
    ShowSaveError(error.c_str());
    return FALSE;
  }
  AppSettings* settings = DocumentApp() ? &DocumentApp()->GetDocumentSettings() : nullptr;
  JpegSaveSettings jpeg;
  if (settings) jpeg = useStored ? settings->m_capture.jpeg : settings->m_currentJpeg;

  bool written = WriteImageFile(path, imageType, jpeg, error);
  if (!written) {
    // The file on disk is as it was; the document keeps its changes and its name.
    ShowSaveError(error.c_str());
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CQuorvaCaptureDoc::OnCloseDocument() {
  PostUpdateTabBar();
  CDocument::OnCloseDocument();
}

BOOL CQuorvaCaptureDoc::SaveModified() { return CDocument::SaveModified(); }

BOOL CQuorvaCaptureDoc::SaveWithStoredOptions(LPCSTR path) {
  useStoredJpegOptions = TRUE;
  BOOL saved = (path && *path) ? DoSave(path, TRUE) : DoFileSave();
  useStoredJpegOptions = FALSE;  // also when the name prompt was cancelled
  if (auto* main = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd())) {
    if (CMDIChildWnd* child = main->MDIGetActive()) child->OnUpdateFrameTitle(TRUE);
  }
  return saved;
}

// --- History ---

void CQuorvaCaptureDoc::OnStateChanged() { UpdateTitle(); }

void CQuorvaCaptureDoc::OnCommandDone(CCommand* cmd) {
  std::string description;
  if (cmd) cmd->GetDescription(description);
  SetMainStatusMessage(("Last command : " + description).c_str());
  UpdateAllViews(nullptr, kHintPixels, cmd);
}

bool CQuorvaCaptureDoc::DoPending(CCommand* cmd, bool keep) {
  bool result = CCommandHistory::DoPending(cmd, keep);
  UpdateAllViews(nullptr, kHintImage);
  return result;
}

CDibBitmap* CQuorvaCaptureDoc::GetImage() { return image.get(); }

std::unique_ptr<CDibBitmap> CQuorvaCaptureDoc::NewImageBitmap() { return std::make_unique<CDisplayBitmap>(); }

// The document's steps share the program's wait cursor count, so that a nested CWaitCursor and a
// view asking whether the program is busy see them. When a step ends, whatever it ran has ended
// too: a progress bar still showing belongs to a filter that failed half-way.
void CQuorvaCaptureDoc::BeginWaitCursor() {
  ++m_waitCursorCount;
  CCmdTarget::BeginWaitCursor();
}

void CQuorvaCaptureDoc::EndWaitCursor() {
  if (m_waitCursorCount <= 0) return;
  --m_waitCursorCount;
  EndMainProgress();
  CCmdTarget::EndWaitCursor();
}

// --- Operations ---

BOOL CQuorvaCaptureDoc::EnsureTrueColor() {
  if (!image || image->IsEmpty()) return FALSE;
  if (image->GetBitsPerPixel() == 32) return TRUE;
  std::string prompt;
  AfxFormatString1(prompt, IDS_CONVERT_TO_24BIT, "Resize");
  if (AfxMessageBox(prompt.c_str(), MB_YESNO) != IDYES) return FALSE;
  CHistoryWaitCursor wait(*this);
  try {
    CDisplayBitmap temporary;
    temporary.CreateCopy(*image, 32);
    image->CreateCopy(temporary, 32);
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}

void CQuorvaCaptureDoc::MakeBackup() {
  if (!image) {
    backupImage.reset();
    return;
  }
  CHistoryWaitCursor wait(*this);
  if (!backupImage) backupImage = std::make_unique<CDisplayBitmap>();
  backupImage->CreateCopy(*image, 0);
}

void CQuorvaCaptureDoc::DropBackup() { backupImage.reset(); }

BOOL CQuorvaCaptureDoc::RunImageFilter(std::unique_ptr<CImageFilter> filter, const char* description,
                                       bool needsTrueColor) {
  if (!image || image->IsEmpty() || !filter) return FALSE;
  if (needsTrueColor && !EnsureTrueColor()) return FALSE;
  BOOL done = FALSE;
  try {
    // The command copies the picture for undoing before the filter runs: both are long work.
    CHistoryWaitCursor wait(*this);
    done = Do(new CQuorvaCommand(*this, std::move(filter), description ? description : ""), true);
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  }
  UpdateAllViews(nullptr, kHintImage);
  return done;
}

IImageEditView* CQuorvaCaptureDoc::GetActiveEditView() const {
  auto* main = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
  CMDIChildWnd* child = main ? main->MDIGetActive() : nullptr;
  CView* view = child ? child->GetActiveView() : nullptr;
  if (!view || view->GetDocument() != this) return nullptr;
  return dynamic_cast<IImageEditView*>(view);
}

// --- Commands ---

// Undoing copies the whole picture back and redoing runs its filter again: both are long on a
// big picture, and a failure must not leave the pointer busy.
void CQuorvaCaptureDoc::OnEditUndo() {
  GuardedStep([this] {
    CHistoryWaitCursor wait(*this);  // gone before a failure is shown
    return Undo();
  });
  UpdateAllViews(nullptr, kHintImage);
}

void CQuorvaCaptureDoc::OnEditRedo() {
  GuardedStep([this] {
    CHistoryWaitCursor wait(*this);  // gone before a failure is shown
    return Redo();
  });
  UpdateAllViews(nullptr, kHintImage);
}

void CQuorvaCaptureDoc::OnUpdateEditUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanUndo()); }

void CQuorvaCaptureDoc::OnUpdateEditRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanRedo()); }

void CQuorvaCaptureDoc::OnUpdateFileSave(CCmdUI* pCmdUI) { pCmdUI->Enable(IsModified()); }

void CQuorvaCaptureDoc::OnUpdateFileReload(CCmdUI* pCmdUI) { pCmdUI->Enable(!m_strPathName.empty()); }

void CQuorvaCaptureDoc::OnUpdateAlways(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

void CQuorvaCaptureDoc::OnUpdateNeedsSelection(CCmdUI* pCmdUI) {
  IImageEditView* view = GetActiveEditView();
  pCmdUI->Enable(view && view->HasSelection());
}

void CQuorvaCaptureDoc::OnUpdateEditPaste(CCmdUI* pCmdUI) {
  pCmdUI->Enable(::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP));
}

void CQuorvaCaptureDoc::OnFileReload() {
  if (m_strPathName.empty()) return;
  if (IsModified()) {
    std::string prompt;
    if (!AfxLoadString(IDS_RELOAD_DISCARD, prompt)) return;
    if (AfxMessageBox(prompt.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  }
  std::string path = m_strPathName;  // the open replaces the name
  OnOpenDocument(path.c_str());
  UpdateAllViews(nullptr, kHintImage);
}

bool CQuorvaCaptureDoc::PrepareMailAttachment(MailAttachment& out) {
  out = MailAttachment();
  if (!m_strPathName.empty() && !IsModified()) {
    out.path = m_strPathName;
    size_t sep = m_strPathName.find_last_of("\\:");
    out.displayName = sep == std::string::npos ? std::string() : m_strPathName.substr(sep + 1);
    return true;
  }
  if (!image || image->IsEmpty()) return false;

  IImageDocumentApp* app = DocumentApp();
  AppSettings* settings = app ? &app->GetDocumentSettings() : nullptr;
  int type = settings ? static_cast<int>(settings->m_capture.sendMailImageType) : kImageJpeg;
  static const char* const kDisplayNames[] = {"Lumatre.bmp", "Lumatre.jpg", "Lumatre.png", "Lumatre.gif",
                                              "Lumatre.tif"};
  if (type < 0 || type > 4) type = kImageJpeg;  // the settings only make 0..4; anything else mails a JPEG

  char folder[MAX_PATH + 1] = {};
  DWORD n = ::GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return false;
  char file[MAX_PATH] = {};
  if (!::GetTempFileNameA(folder, "TSY", 0, file)) return false;

  JpegSaveSettings jpeg;
  if (settings) jpeg = settings->m_capture.jpeg;  // the stored options
  std::string error;
  if (!WriteImageFile(file, type, jpeg, error)) {
    ::DeleteFileA(file);
    ShowSaveError(error.c_str());
    return false;
  }
  out.path = file;
  out.displayName = kDisplayNames[type];
  out.temporary = true;
  return true;
}

void CQuorvaCaptureDoc::OnFileSendMail() {
  MailAttachment attachment;
  if (!PrepareMailAttachment(attachment)) return;
  if (IImageDocumentApp* app = DocumentApp()) app->SendMailAttachment(attachment.path, attachment.displayName, kMailFlags);
  if (attachment.temporary) ::DeleteFileA(attachment.path.c_str());
}

void CQuorvaCaptureDoc::OnEditCopyAll() {
  if (!image || image->IsEmpty()) return;
  CHistoryWaitCursor wait(*this);
  image->CopyToClipboard();
}

void CQuorvaCaptureDoc::OnEditCut() {
  if (IImageEditView* view = GetActiveEditView()) view->CutSelection();
}

void CQuorvaCaptureDoc::OnEditCopy() {
  if (IImageEditView* view = GetActiveEditView()) view->CopySelection();
}

void CQuorvaCaptureDoc::OnEditPaste() {
  if (IImageEditView* view = GetActiveEditView()) view->PasteFromClipboard();
}

void CQuorvaCaptureDoc::OnImageCrop() {
  if (!image) return;
  if (IImageEditView* view = GetActiveEditView()) view->CropSelection();
}

void CQuorvaCaptureDoc::OnImageRotateClockwise() {
  RunImageFilter(std::make_unique<CRotateFilter>(-1.57079633, PLPixel32{}, GetMainProgressSink()),
                 "Rotate the image clockwise by 90 degree");
}

void CQuorvaCaptureDoc::OnImageRotateCounterClockwise() {
  RunImageFilter(std::make_unique<CRotateFilter>(1.57079633, PLPixel32{}, GetMainProgressSink()),
                 "Rotate the image counter-clockwise by 90 degree");
}

void CQuorvaCaptureDoc::OnImageFlipHorizontal() {
  RunImageFilter(std::make_unique<CFlipHorizontalFilter>(GetMainProgressSink()), "Flips the image left to right");
}

void CQuorvaCaptureDoc::OnImageFlipVertical() {
  RunImageFilter(std::make_unique<CFlipVerticalFilter>(GetMainProgressSink()), "Flips the image top to bottom");
}

void CQuorvaCaptureDoc::OnImageGrayscale() {
  RunImageFilter(std::make_unique<CGrayscaleFilter>(GetMainProgressSink()), "Convert the image to grayscale picture");
}

void CQuorvaCaptureDoc::OnImageInvert() {
  RunImageFilter(std::make_unique<CInvertFilter>(GetMainProgressSink()), "Invert the image");
}
