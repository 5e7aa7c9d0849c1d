// The main frame's own commands: showing the program, new images from the Create New Image
// dialog and from the clipboard, closing all images, the output folder, the web page and the
// About box.
#include "MainFrame.h"

#include <shellapi.h>

#include <cstring>
#include <new>

#include "ui/MainFrameApp.h"
#include "document/EditOperations.h"
#include "document/QuorvaCaptureDoc.h"
#include "resources/resource.h"
#include "ui/AboutDlg.h"
#include "ui/MainFrameOptionsHost.h"
#include "ui/NewImageDlg.h"
#include "ui/OptionsDialog.h"
#include "ui/PrintSetupEx.h"
#include "ui/ShellActions.h"
#include "win/DisplayBitmap.h"

namespace {

// A new image is white.
constexpr BYTE kNewImageFill = 0xFF;
constexpr char kNoMemoryForImage[] = "There is not enough memory for an image of this size.";

}  // namespace

void CMainFrame::ShowMainWindow() {
  // A maximised window stays maximised; a minimised or hidden one comes back as it was.
  if (IsIconic())
    ShowWindow(SW_RESTORE);
  else
    ShowWindow(IsZoomed() ? SW_SHOW : SW_SHOWNORMAL);
  SetForegroundWindow();
}

void CMainFrame::OnOptions() {
  // The dialog needs a visible owner.
  ShowCaptureHidden(true);
  SetForegroundWindow();
  CMainFrameOptionsHost host(*this);
  COptionsDialog options(host, this);
  if (options.DoModal() != IDOK) return;
  // New background colours show at once.
  if (CFrameWnd* child = GetActiveFrame(); child && child != this)
    if (CView* view = child->GetActiveView()) {
      view->Invalidate();
      view->UpdateWindow();
    }
}

void CMainFrame::OnFilePrintSetup() {
  // The layout dialog behind "&Layout" previews the active image, if there is one.
  CFrameWnd* child = GetActiveFrame();
  auto* doc = child && child != this ? dynamic_cast<CQuorvaCaptureDoc*>(child->GetActiveDocument()) : nullptr;
  RunPrintSetup(FrameSettings().m_printLayout, doc ? doc->image.get() : nullptr, this);
}

void CMainFrame::OnFileCloseAll() {
  // The closing step decides (and may ask about the modified images); the program stays.
  if (!AfxGetApp()->SaveAllModified()) return;
  AfxGetApp()->CloseAllDocuments(FALSE);
  PostMessage(UWM_UPDATETABBAR);
}

void CMainFrame::OnShowMainWindow() { ShowMainWindow(); }

bool CMainFrame::OpenPendingImage() {
  CDocManager* manager = AfxGetApp()->m_pDocManager;
  CDocTemplate* imageType = (manager && !manager->GetTemplates().empty()) ? manager->GetTemplates().front() : nullptr;
  if (!imageType) return false;
  CDocument* doc = imageType->OpenDocumentFile(nullptr, TRUE);
  // Whatever happened, the picture must not wait for a later document.
  MainFrameApp().SetPendingImage(nullptr);
  return doc != nullptr;
}

void CMainFrame::OnPasteAsNewImage() {
  std::unique_ptr<CDisplayBitmap> picture = ReadClipboardPicture();
  if (!picture) return;  // no readable bitmap: nothing to do
  MainFrameApp().SetPendingImage(std::move(picture));
  if (!OpenPendingImage()) return;
  PostMessage(UWM_UPDATETABBAR);
  ShowMainWindow();
}

void CMainFrame::OnUpdatePasteAsNewImage(CCmdUI* pCmdUI) {
  pCmdUI->Enable(::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP));
}

void CMainFrame::OnExploreOutput() {
  const char* folder = FrameSettings().m_capture.autoSave.directory;
  if (!folder[0]) return;
  ::ShellExecuteA(m_hWnd, "explore", folder, nullptr, folder, SW_SHOWNORMAL);
}

void CMainFrame::OnHomePage() {
  const std::string address = LoadResString(IDS_HOMEPAGE_URL);
  const HINSTANCE result = ::ShellExecuteA(m_hWnd, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  const auto code = static_cast<int>(reinterpret_cast<INT_PTR>(result));
  if (code <= 32) {
    // No browser answered the shell's open: try the registered one, and say why it failed.
    const int fallback = OpenLink(address.c_str(), SW_SHOWNORMAL);
    if (fallback <= 32) ShowOpenLinkError(fallback);
  }
}

void CMainFrame::OnMenuBanner() { PostMessage(UWM_OPENHOMEPAGE); }

LRESULT CMainFrame::OnOpenHomePageMessage(WPARAM, LPARAM) {
  OnHomePage();
  return 0;
}

void CMainFrame::OnAppAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void CMainFrame::OnFileNew() {
  CNewImageDlg dialog(this);
  if (dialog.DoModal() != IDOK) return;
  const SIZE size = dialog.GetPixelSize();
  try {
    auto picture = std::make_unique<CDisplayBitmap>();
    picture->Create(size.cx, size.cy, 32, false);
    if (picture->IsEmpty()) throw std::bad_alloc();
    // Every row of the new picture starts white.
    for (int row = 0; row < size.cy; ++row)
      std::memset(picture->GetLineArray()[row], kNewImageFill, static_cast<size_t>(size.cx) * 4);
    MainFrameApp().SetPendingImage(std::move(picture));
  } catch (const std::bad_alloc&) {
    AfxMessageBox(kNoMemoryForImage, MB_OK | MB_ICONEXCLAMATION);
    return;
  } catch (const CTextException&) {
    AfxMessageBox(kNoMemoryForImage, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (OpenPendingImage()) PostMessage(UWM_UPDATETABBAR);
}
