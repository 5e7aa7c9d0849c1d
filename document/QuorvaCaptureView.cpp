#include "QuorvaCaptureView.h"

#include <cstdio>
#include <optional>

#include "EditOperations.h"
#include "QuorvaCaptureDoc.h"
#include "framework/RectTracker.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

using namespace zoomgeo;

namespace {

// The stretch modes of drawing: halftone on palette screens showing deeper images.
constexpr int kDrawModeColorOnColor = COLORONCOLOR;  // 3
constexpr int kDrawModeHalftone = HALFTONE;          // 4

const RECT kEmptyRect{0, 0, 0, 0};

// From this many image pixels scaled in one paint (a 4000 x 3000 picture shown whole scales four
// times as many), drawing may take long enough on a slow machine to be noticed.
constexpr long long kBusyDrawPixels = 2000LL * 1500;

bool PointInRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

RECT UnionOf(const RECT& a, const RECT& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  RECT u;
  ::UnionRect(&u, &a, &b);
  return u;
}

std::string LoadText(UINT id, const char* fallback) {
  std::string text;
  if (!AfxLoadString(id, text)) text = fallback;
  return text;
}

std::string PairText(int a, int b) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, " (%d,%d)", a, b);
  return buffer;
}

IImageDocumentApp* DocumentApp() { return dynamic_cast<IImageDocumentApp*>(AfxGetApp()); }

// Pans the view while the button is held: the band is not drawn; every change scrolls.
class CPanTracker : public CRectTracker {
 public:
  explicit CPanTracker(CQuorvaCaptureView& view) : m_view(view) {}
  void DrawTrackerRect(LPCRECT, HDC) override {}
  void OnChangedRect(const CRect& rectOld) override {
    m_view.PanBy(m_rect.right - rectOld.right, m_rect.bottom - rectOld.bottom);
  }

 private:
  CQuorvaCaptureView& m_view;
};

}  // namespace

BEGIN_MESSAGE_MAP(CQuorvaCaptureView, CZoomView)
  ON_WM_CREATE()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SETCURSOR()
  ON_WM_KEYDOWN()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_RBUTTONDOWN()
  ON_WM_CONTEXTMENU()
  ON_WM_CAPTURECHANGED()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
  ON_MESSAGE(UWM_CAPTUREOUTPUTS, OnCaptureOutputs)
  ON_COMMAND(ID_VIEW_SELECTREGION, OnViewSelectRegion)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SELECTREGION, OnUpdateViewSelectRegion)
  ON_COMMAND(ID_VIEW_SELECTALL, OnViewSelectAll)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SELECTALL, OnUpdateViewSelectAll)
  ON_COMMAND(ID_VIEW_UNSELECTREGION, OnViewUnselectRegion)
  ON_UPDATE_COMMAND_UI(ID_VIEW_UNSELECTREGION, OnUpdateViewUnselectRegion)
  ON_COMMAND(ID_VIEW_ZOOMIN, OnViewZoomIn)
  ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOMIN, OnUpdateViewZoomIn)
  ON_COMMAND(ID_VIEW_ZOOMOUT, OnViewZoomOut)
  ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOMOUT, OnUpdateViewZoomOut)
  ON_COMMAND_RANGE(ID_VIEW_ZOOM25, ID_VIEW_ZOOM400, OnViewZoomPreset)
  ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_ZOOM25, ID_VIEW_ZOOM400, OnUpdateViewZoomPreset)
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CQuorvaCaptureView::CQuorvaCaptureView() = default;

CQuorvaCaptureView::~CQuorvaCaptureView() = default;

// --- Document and image ---

CQuorvaCaptureDoc* CQuorvaCaptureView::GetImageDocument() const {
  return dynamic_cast<CQuorvaCaptureDoc*>(GetDocument());
}

CDisplayBitmap* CQuorvaCaptureView::GetImage() const {
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (!doc || !doc->image || doc->image->IsEmpty()) return nullptr;
  return doc->image.get();
}

SIZE CQuorvaCaptureView::GetImageSize() const {
  CDisplayBitmap* image = GetImage();
  return image ? SIZE{image->GetWidth(), image->GetHeight()} : SIZE{0, 0};
}

COLORREF CQuorvaCaptureView::ViewBackgroundColor() const {
  IImageDocumentApp* app = DocumentApp();
  return app ? app->GetDocumentSettings().m_capture.colorViewBackground : kDefaultColorViewBackground;
}

COLORREF CQuorvaCaptureView::ImageBackgroundColor() const {
  IImageDocumentApp* app = DocumentApp();
  return app ? app->GetDocumentSettings().m_capture.colorImageBackground : kDefaultColorImageBackground;
}

// --- Window ---

LPCSTR CQuorvaCaptureView::RegisterWindowClass() {
  WNDCLASSA base{};
  if (!::GetClassInfoA(AfxGetInstanceHandle(), AfxFrameWndClass(), &base)) return nullptr;
  // No class cursor (the view sets its own) and no background brush (the view paints it all).
  return AfxRegisterNamedWndClass(kWindowClass, base.style, nullptr, nullptr, base.hIcon);
}

BOOL CQuorvaCaptureView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CZoomView::PreCreateWindow(cs)) return FALSE;
  LPCSTR name = RegisterWindowClass();
  if (!name) return FALSE;
  cs.lpszClass = name;
  return TRUE;
}

int CQuorvaCaptureView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CZoomView::OnCreate(lpcs) == -1) return -1;
  HINSTANCE res = AfxGetResourceHandle();
  grabCursor = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_GRABHAND));
  handCursor = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_OPENHAND));
  m_trackingCursor = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_TRACKING));
  m_selectionCursor = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_SELECTION));
  return 0;
}

// --- Updates ---

void CQuorvaCaptureView::OnInitialUpdate() {
  CZoomView::OnInitialUpdate();
  RefreshZoomSizes();
  if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
  FitFrameToImage();
  mode = kModeNormal;
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (doc && doc->newCapture) {
    doc->newCapture = FALSE;
    PostMessage(UWM_CAPTUREOUTPUTS);
  }
}

void CQuorvaCaptureView::OnUpdate(CView* pSender, LPARAM lHint, void*) {
  if (lHint == CQuorvaCaptureDoc::kHintImage || pSender == this) {
    RefreshZoomSizes();
    return;
  }
  Invalidate(FALSE);
}

void CQuorvaCaptureView::RefreshZoomSizes() {
  SIZE size = GetImageSize();
  if (size.cx != knownSize.cx || size.cy != knownSize.cy) {
    knownSize = size;
    SetZoomSizes(size);
    if (mode != kModeSelect) mode = kModeNormal;
    SetZoomScale(zoomStep);
    // A rectangle the new picture no longer holds is cut to it (a floating picture keeps its
    // place: it may reach out of the image).
    if (!floating) {
      selection = zoomgeo::ClipToImage(selection, size);
      marchingRect = selection;
    }
    m_blinkInverted = false;
  }
  RefreshMainStatusPanes();  // the picture's facts may have changed
  Invalidate(FALSE);
}

void CQuorvaCaptureView::FitFrameToImage() {
  auto* child = dynamic_cast<CMDIChildWnd*>(GetParentFrame());
  if (!child || !child->m_hWnd || child->IsZoomed() || child->IsIconic()) return;
  HWND workspace = ::GetParent(child->m_hWnd);
  if (!workspace || GetLogicalSize().cx <= 0) return;
  RECT ws, frameRect, viewClient;
  ::GetClientRect(workspace, &ws);
  ::GetWindowRect(child->m_hWnd, &frameRect);
  ::MapWindowPoints(nullptr, workspace, reinterpret_cast<POINT*>(&frameRect), 2);
  ::GetClientRect(m_hWnd, &viewClient);
  BOOL hasH = FALSE, hasV = FALSE;
  CheckScrollBars(hasH, hasV);
  const int sbw = ::GetSystemMetrics(SM_CXVSCROLL), sbh = ::GetSystemMetrics(SM_CYHSCROLL);
  // What the frame needs around the view's client area (caption, borders, edges).
  SIZE extra{(frameRect.right - frameRect.left) - viewClient.right - (hasV ? sbw : 0),
             (frameRect.bottom - frameRect.top) - viewClient.bottom - (hasH ? sbh : 0)};
  SIZE zoomed = GetZoomedSize();
  SIZE size = FitFrameToWorkspace(SIZE{zoomed.cx + extra.cx, zoomed.cy + extra.cy},
                                  SIZE{ws.right - ws.left, ws.bottom - ws.top}, sbw, sbh);
  POINT pos{frameRect.left, frameRect.top};
  if (pos.x + size.cx > ws.right) pos.x = std::max<LONG>(0, ws.right - size.cx);
  if (pos.y + size.cy > ws.bottom) pos.y = std::max<LONG>(0, ws.bottom - size.cy);
  child->SetWindowPos(nullptr, pos.x, pos.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CQuorvaCaptureView::GetStatusText(UINT paneId, std::string& text) const {
  if (paneId == ID_INDICATOR_POSITION) {
    if (!m_hasStatusPixel || !GetImage()) return false;
    text = LoadText(ID_INDICATOR_POSITION, "  Mouse Position:") + PairText(m_statusPixel.x, m_statusPixel.y);
    return true;
  }
  CDisplayBitmap* image = GetImage();
  if (!image) return false;
  if (paneId == ID_INDICATOR_COLOR) {
    char bits[32];
    std::snprintf(bits, sizeof bits, " %d Bits", static_cast<int>(image->GetBitsPerPixel()));
    text = LoadText(ID_INDICATOR_COLOR, "  Color:") + bits;
    return true;
  }
  if (paneId == ID_INDICATOR_IMAGESIZE) {
    text = LoadText(ID_INDICATOR_IMAGESIZE, "  Image Size:") + PairText(image->GetWidth(), image->GetHeight());
    return true;
  }
  return false;
}

void CQuorvaCaptureView::RealizeImagePalette() {
  CDisplayBitmap* image = GetImage();
  CWnd* main = AfxGetMainWnd();
  if (!image || !main || !main->m_hWnd) return;
  WindowDC dc(main->m_hWnd);
  HPALETTE palette = image->GetPalette();
  if (!dc || !palette) return;
  HPALETTE old = ::SelectPalette(dc.get(), palette, FALSE);
  UINT changed = ::RealizePalette(dc.get());
  if (old) ::SelectPalette(dc.get(), old, FALSE);
  if (changed != GDI_ERROR && changed > 0) Invalidate(FALSE);
}

void CQuorvaCaptureView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
  CZoomView::OnActivateView(bActivate, pActivateView, pDeactiveView);
  if (!bActivate || !GetImage()) return;
  RealizeImagePalette();
}

// --- Painting ---

void CQuorvaCaptureView::FillBackground(HDC hDC, const RECT& area) {
  UniqueBrush brush(::CreateSolidBrush(ViewBackgroundColor()));
  if (brush) ::FillRect(hDC, &area, brush.get());
}

BOOL CQuorvaCaptureView::OnEraseBkgnd(HDC hDC) {
  BOOL hasH = FALSE, hasV = FALSE;
  CheckScrollBars(hasH, hasV);
  if (hasH && hasV) return TRUE;  // the picture covers the whole window
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int saved = ::SaveDC(hDC);
  ZoomMapping m = GetMapping();
  if (GetImage() && m.IsValid()) {
    RECT image = ImageDeviceRect(m);
    ::ExcludeClipRect(hDC, image.left, image.top, image.right, image.bottom);
  }
  FillBackground(hDC, client);
  ::RestoreDC(hDC, saved);
  return TRUE;
}

void CQuorvaCaptureView::OnPaint() {
  PaintDC dc(m_hWnd);
  if (!dc) return;
  const RECT update = dc.paint().rcPaint;
  if (IsEmptyRect(update)) return;
  SIZE client = GetClientSize();

  CDisplayBitmap* image = GetImage();
  // On palette screens the screen DC needs the picture's colours too.
  HPALETTE oldPalette = nullptr;
  if (image && (::GetDeviceCaps(dc.get(), RASTERCAPS) & RC_PALETTE)) {
    oldPalette = ::SelectPalette(dc.get(), image->GetPalette(), FALSE);
    ::RealizePalette(dc.get());
  }

  if (!offscreen || m_offscreenSize.cx < client.cx || m_offscreenSize.cy < client.cy) {
    SIZE want{std::max(client.cx, m_offscreenSize.cx), std::max(client.cy, m_offscreenSize.cy)};
    offscreen.reset(::CreateCompatibleBitmap(dc.get(), std::max<LONG>(1, want.cx), std::max<LONG>(1, want.cy)));
    m_offscreenSize = offscreen ? want : SIZE{0, 0};
  }
  UniqueDC memory(offscreen ? ::CreateCompatibleDC(dc.get()) : nullptr);
  SelectObjectGuard select(memory.get(), offscreen.get());
  HDC target = memory && select ? memory.get() : dc.get();
  if (target != dc.get() && oldPalette) {
    ::SelectPalette(target, image->GetPalette(), FALSE);
    ::RealizePalette(target);
  }

  int saved = ::SaveDC(target);
  ::IntersectClipRect(target, update.left, update.top, update.right, update.bottom);
  FillBackground(target, update);
  {
    int drawing = ::SaveDC(target);
    OnPrepareDC(target);
    OnDraw(target);
    ::RestoreDC(target, drawing);
  }
  if (!IsEmptyRect(marchingRect)) {
    DrawSelectionBorder(target, R2_COPYPEN);
    if (m_blinkInverted) DrawSelectionBorder(target, R2_NOT);
  }
  ::RestoreDC(target, saved);

  if (target != dc.get()) {
    ::BitBlt(dc.get(), update.left, update.top, update.right - update.left, update.bottom - update.top, target,
             update.left, update.top, SRCCOPY);
  }
  if (oldPalette) ::SelectPalette(dc.get(), oldPalette, FALSE);
}

void CQuorvaCaptureView::OnDraw(HDC hDC) {
  CDisplayBitmap* image = GetImage();
  ZoomMapping m = GetMapping();
  if (!image || !m.IsValid()) return;

  // 1. The image part that has to be drawn (the clip box is in logical units here).
  RECT clip;
  if (::GetClipBox(hDC, &clip) == ERROR) clip = RECT{0, 0, m.logical.cx, m.logical.cy};
  clip = NormalizedRect(clip);
  paintRect = zoomgeo::ClipToImage(RECT{clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1}, m.logical);
  if (IsEmptyRect(paintRect)) return;
  const RECT imageRect{0, 0, m.logical.cx, m.logical.cy};

  // 2. A one-pixel red frame around it; inside the picture the image covers it again, so it
  // shows as a border around the picture. Drawn in client pixels at every zoom.
  {
    int saved = ::SaveDC(hDC);
    ::SetMapMode(hDC, MM_TEXT);
    ::SetWindowOrgEx(hDC, 0, 0, nullptr);
    ::SetViewportOrgEx(hDC, 0, 0, nullptr);
    RECT frame = zoomgeo::LogicalToDevice(m, paintRect);
    UniquePen red(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    SelectObjectGuard pen(hDC, red.get());
    SelectObjectGuard brush(hDC, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(hDC, frame.left - 1, frame.top - 1, frame.right + 1, frame.bottom + 1);
    pen.reset();
    brush.reset();
    ::RestoreDC(hDC, saved);
  }

  // 3. The picture. Scaling many pixels takes a while: the wait cursor shows meanwhile.
  std::optional<CWaitCursor> busy;
  if (static_cast<long long>(paintRect.right - paintRect.left) * (paintRect.bottom - paintRect.top) >= kBusyDrawPixels)
    busy.emplace();
  int drawMode = kDrawModeColorOnColor;
  {
    WindowDC screen(nullptr);
    int screenBits = screen ? ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES) : 32;
    if (screenBits <= 8 && screenBits < image->GetBitsPerPixel()) drawMode = kDrawModeHalftone;
  }
  image->DrawEx(hDC, &paintRect, &paintRect, nullptr, true, drawMode, SRCCOPY);

  // 4. What lies on top of the picture: a region being dragged, a pasted picture.
  if (dragMode == kDragRegion || (floating && floatPicture && !floatPicture->IsEmpty())) {
    int saved = ::SaveDC(hDC);
    ::IntersectClipRect(hDC, imageRect.left, imageRect.top, imageRect.right, imageRect.bottom);
    if (dragMode == kDragRegion) {
      if (!copyFlag) {
        UniqueBrush fill(::CreateSolidBrush(ImageBackgroundColor()));
        ::FillRect(hDC, &selection, fill.get());
      }
      image->DrawEx(hDC, &marchingRect, &selection, nullptr, true, drawMode, SRCCOPY);
    } else {
      RECT own{0, 0, floatPicture->GetWidth(), floatPicture->GetHeight()};
      RECT place{marchingRect.left, marchingRect.top, marchingRect.left + own.right, marchingRect.top + own.bottom};
      floatPicture->DrawEx(hDC, &place, &own, nullptr, true, drawMode, SRCCOPY);
    }
    ::RestoreDC(hDC, saved);
  }
}

void CQuorvaCaptureView::DrawSelectionBorder(HDC hDC, int rop) {
  ZoomMapping m = GetMapping();
  if (!m.IsValid() || IsEmptyRect(marchingRect)) return;
  RECT r = zoomgeo::LogicalToDevice(m, marchingRect);
  r = RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  RECT image = ImageDeviceRect(m);
  RECT border;
  if (!::IntersectRect(&border, &r, &image)) return;
  UniquePen dotted(::CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
  SelectObjectGuard pen(hDC, dotted.get());
  SelectObjectGuard brush(hDC, ::GetStockObject(NULL_BRUSH));
  int oldRop = ::SetROP2(hDC, rop);
  int oldMode = ::SetBkMode(hDC, OPAQUE);
  COLORREF oldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
  ::Rectangle(hDC, border.left, border.top, border.right, border.bottom);
  ::SetBkColor(hDC, oldBk);
  ::SetBkMode(hDC, oldMode);
  ::SetROP2(hDC, oldRop);
}

void CQuorvaCaptureView::OnBlinkTick() {
  if (!m_hWnd || IsEmptyRect(marchingRect) || !::IsWindowVisible(m_hWnd) || !GetImage()) return;
  WindowDC dc(m_hWnd);
  if (!dc) return;
  DrawSelectionBorder(dc.get(), R2_NOT);
  m_blinkInverted = !m_blinkInverted;
}

void CQuorvaCaptureView::InvalidateImageRect(const RECT& r) {
  ZoomMapping m = GetMapping();
  if (!m.IsValid() || IsEmptyRect(r)) return;
  RECT d = zoomgeo::LogicalToDevice(m, r);
  d = RECT{d.left - 2, d.top - 2, d.right + 2, d.bottom + 2};
  InvalidateRect(&d, FALSE);
}

// --- Selection commands ---

bool CQuorvaCaptureView::HasSelection() const { return !IsEmptyRect(selection); }

void CQuorvaCaptureView::ClearSelection() {
  selection = kEmptyRect;
  marchingRect = kEmptyRect;
  m_blinkInverted = false;
}

void CQuorvaCaptureView::LeaveSelectMode() {
  CommitFloatingPicture();
  mode = kModeNormal;
  cropPending = FALSE;
  ClearSelection();
  Invalidate(FALSE);
}

void CQuorvaCaptureView::OnViewSelectRegion() {
  if (mode == kModeSelect) {
    LeaveSelectMode();
  } else {
    mode = kModeSelect;
    Invalidate(FALSE);
  }
}

void CQuorvaCaptureView::OnUpdateViewSelectRegion(CCmdUI* pCmdUI) {
  pCmdUI->Enable(GetImage() != nullptr);
  pCmdUI->SetCheck(mode == kModeSelect ? 1 : 0);
}

void CQuorvaCaptureView::OnViewSelectAll() {
  SIZE size = GetImageSize();
  if (size.cx <= 0) return;
  CommitFloatingPicture();
  mode = kModeSelect;
  selection = RECT{0, 0, size.cx, size.cy};
  marchingRect = selection;
  m_blinkInverted = false;
  Invalidate(FALSE);
}

void CQuorvaCaptureView::OnUpdateViewSelectAll(CCmdUI* pCmdUI) { pCmdUI->Enable(GetImage() != nullptr); }

void CQuorvaCaptureView::OnViewUnselectRegion() {
  if (mode == kModeSelect) LeaveSelectMode();
}

void CQuorvaCaptureView::OnUpdateViewUnselectRegion(CCmdUI* pCmdUI) { pCmdUI->Enable(mode == kModeSelect); }

// --- Editing through the selection ---

void CQuorvaCaptureView::CommitFloatingPicture() {
  if (!floating) return;
  std::unique_ptr<CDisplayBitmap> picture = std::move(floatPicture);
  floating = FALSE;
  const RECT placed = selection;
  // What stays selected is the part of the picture that landed on the image.
  selection = zoomgeo::ClipToImage(placed, GetImageSize());
  marchingRect = selection;
  m_blinkInverted = false;
  if (CQuorvaCaptureDoc* doc = GetImageDocument(); doc && picture) CommitPaste(*doc, *picture, placed);
  Invalidate(FALSE);
}

void CQuorvaCaptureView::CropSelection() {
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (!doc || !GetImage()) return;
  CommitFloatingPicture();
  if (!HasSelection()) {
    // The next rubber band marks the area and crops at once.
    mode = kModeSelect;
    cropPending = TRUE;
    Invalidate(FALSE);
    return;
  }
  const RECT r = selection;
  ClearSelection();
  Invalidate(FALSE);
  CropToSelection(*doc, r);  // a selection outside the image changes nothing
}

void CQuorvaCaptureView::CopySelection() {
  if (floating && floatPicture) {
    CWaitCursor wait;
    floatPicture->CopyToClipboard();
    return;
  }
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (doc && HasSelection()) CopySelectionToClipboard(*doc, selection);
}

void CQuorvaCaptureView::CutSelection() {
  if (floating && floatPicture) {
    // The picture goes to the clipboard; the image never had it.
    CWaitCursor wait;
    floatPicture->CopyToClipboard();
    floatPicture.reset();
    floating = FALSE;
    ClearSelection();
    Invalidate(FALSE);
    return;
  }
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (doc && HasSelection()) CutSelectionToClipboard(*doc, selection);
}

void CQuorvaCaptureView::PasteFromClipboard() {
  SIZE size = GetImageSize();
  if (size.cx <= 0) return;
  std::unique_ptr<CDisplayBitmap> picture = ReadClipboardPicture();
  if (!picture) return;
  CommitFloatingPicture();  // an earlier picture lands where it is
  floatPicture = std::move(picture);
  floating = TRUE;
  mode = kModeSelect;
  cropPending = FALSE;
  // The picture at the image's top-left corner, at its own size.
  selection = RECT{0, 0, floatPicture->GetWidth(), floatPicture->GetHeight()};
  marchingRect = selection;
  floatSource = RECT{0, 0, size.cx, size.cy};
  m_blinkInverted = false;
  Invalidate(FALSE);
}

// --- Mouse ---

BOOL CQuorvaCaptureView::OnSetCursor(HWND hWnd, UINT nHitTest, UINT message) {
  if (hWnd != m_hWnd || nHitTest != HTCLIENT) {
    pointerPixel = POINT{-1, -1};
    return CZoomView::OnSetCursor(hWnd, nHitTest, message);
  }
  if (AfxGetWaitCursorCount() > 0) {
    RestoreWaitCursor();  // a long step is still running
    return TRUE;
  }
  HCURSOR cursor = ::LoadCursor(nullptr, IDC_ARROW);
  ZoomMapping m = GetMapping();
  if (GetImage() && m.IsValid()) {
    BOOL hasH = FALSE, hasV = FALSE;
    CheckScrollBars(hasH, hasV);
    if (mode == kModeNormal && (hasH || hasV)) {
      if (handCursor) cursor = handCursor;
    } else if (mode == kModeSelect) {
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWnd, &pt);
      POINT pixel = DeviceToPixel(m, pt);
      if (!IsEmptyRect(selection) && PointInRect(selection, pixel)) {
        if (m_selectionCursor) cursor = m_selectionCursor;
      } else if (PointInRect(RECT{0, 0, m.logical.cx, m.logical.cy}, pixel)) {
        if (m_trackingCursor) cursor = m_trackingCursor;
      }
    }
  }
  ::SetCursor(cursor);
  return TRUE;
}

LRESULT CQuorvaCaptureView::OnMouseLeave(WPARAM, LPARAM) {
  m_trackingLeave = false;
  pointerPixel = POINT{-1, -1};
  return 0;
}

void CQuorvaCaptureView::OnMouseMove(UINT, CPoint point) {
  ZoomMapping m = GetMapping();
  if (!GetImage() || !m.IsValid()) {
    pointerPixel = POINT{-1, -1};
    return;
  }
  POINT pixel = DeviceToPixel(m, point);
  m_statusPixel = pixel;  // the frame's status pane reads it at idle time
  m_hasStatusPixel = true;
  if (dragMode != kDragNone) DragTo(pixel);
  pointerPixel = PointInRect(RECT{0, 0, m.logical.cx, m.logical.cy}, pixel) ? pixel : POINT{-1, -1};
  if (!m_trackingLeave) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
    m_trackingLeave = ::TrackMouseEvent(&tme) != FALSE;
  }
}

void CQuorvaCaptureView::PanBy(int dx, int dy) {
  BOOL hasH = FALSE, hasV = FALSE;
  CheckScrollBars(hasH, hasV);
  POINT pos = GetDeviceScrollPosition();
  POINT next{hasH ? std::max<LONG>(0, pos.x - dx) : 0, hasV ? std::max<LONG>(0, pos.y - dy) : 0};
  ScrollToDevicePosition(next);
  UpdateWindow();
}

void CQuorvaCaptureView::OnLButtonDown(UINT nFlags, CPoint point) {
  ZoomMapping m = GetMapping();
  if (!GetImage() || !m.IsValid() || dragMode != kDragNone) return;
  if (mode == kModeNormal) {
    BOOL hasH = FALSE, hasV = FALSE;
    CheckScrollBars(hasH, hasV);
    if (!hasH && !hasV) return;
    if (grabCursor) ::SetCursor(grabCursor);
    CPanTracker pan(*this);
    pan.TrackRubberBand(this, point, TRUE);
    Invalidate(FALSE);
    return;
  }
  if (mode != kModeSelect) return;
  POINT pixel = DeviceToPixel(m, point);
  if (!IsEmptyRect(selection) && PointInRect(selection, pixel)) {
    StartDrag(pixel, nFlags);
    return;
  }
  if (floating) CommitFloatingPicture();
  TrackSelectionBand(point);
}

void CQuorvaCaptureView::TrackSelectionBand(CPoint point) {
  // The old border goes before the band is drawn over the picture.
  if (!IsEmptyRect(marchingRect)) {
    marchingRect = kEmptyRect;
    Invalidate(FALSE);
    UpdateWindow();
  }
  CRectTracker band;
  if (band.TrackRubberBand(this, point, TRUE)) {
    selection = BandToImageRect(GetMapping(), band.m_rect.TopLeft(), band.m_rect.BottomRight());
    marchingRect = selection;
    m_blinkInverted = false;
    if (cropPending) {
      cropPending = FALSE;
      if (HasSelection()) CropSelection();
    }
  } else {
    ClearSelection();
  }
  Invalidate(FALSE);
  SIZE size = GetImageSize();
  floatSource = RECT{0, 0, size.cx, size.cy};
}

void CQuorvaCaptureView::StartDrag(POINT pixel, UINT nFlags) {
  dragLast = pixel;
  dragOrigin = POINT{selection.left, selection.top};
  marchingRect = selection;
  if (floating) {
    dragMode = kDragPicture;
  } else {
    dragMode = kDragRegion;
    copyFlag = ((nFlags & MK_CONTROL) || ::GetKeyState(VK_CONTROL) < 0) ? TRUE : FALSE;
  }
  SetCapture();
  InvalidateImageRect(selection);
}

void CQuorvaCaptureView::DragTo(POINT pixel) {
  POINT delta{pixel.x - dragLast.x, pixel.y - dragLast.y};
  if (delta.x == 0 && delta.y == 0) return;
  dragLast = pixel;
  RECT before = marchingRect;
  marchingRect = OffsetRectBy(marchingRect, delta.x, delta.y);
  dragOrigin = POINT{dragOrigin.x + delta.x, dragOrigin.y + delta.y};
  if (dragMode == kDragPicture) floatSource = OffsetRectBy(floatSource, -delta.x, -delta.y);
  m_blinkInverted = false;
  InvalidateImageRect(UnionOf(before, marchingRect));
  UpdateWindow();
}

void CQuorvaCaptureView::CancelDrag() {
  if (dragMode == kDragNone) return;
  if (dragMode == kDragPicture) floatSource = OffsetRectBy(floatSource, dragOrigin.x - selection.left, dragOrigin.y - selection.top);
  dragMode = kDragNone;
  marchingRect = selection;
  m_blinkInverted = false;
  Invalidate(FALSE);
}

void CQuorvaCaptureView::OnCaptureChanged(HWND hWndNew) {
  if (hWndNew != m_hWnd) CancelDrag();
  CZoomView::OnCaptureChanged(hWndNew);
}

void CQuorvaCaptureView::OnLButtonUp(UINT, CPoint) {
  const int ended = dragMode;
  if (ended == kDragNone) return;
  dragMode = kDragNone;  // before the capture goes, which would cancel the drag
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  const POINT delta{dragOrigin.x - selection.left, dragOrigin.y - selection.top};
  const bool moved = delta.x != 0 || delta.y != 0;
  CQuorvaCaptureDoc* doc = GetImageDocument();
  SIZE size = GetImageSize();

  if (ended == kDragRegion) {
    if (moved && doc) {
      RegionMove move = ComputeRegionMove(selection, delta, size);
      MoveOrCopyRegion(*doc, move.selection, move.source, move.target, copyFlag != FALSE);
      selection = zoomgeo::ClipToImage(OffsetRectBy(selection, delta.x, delta.y), size);
      floatSource = OffsetRectBy(floatSource, delta.x, delta.y);
    }
  } else {
    selection = OffsetRectBy(selection, delta.x, delta.y);
    floatSource = OffsetRectBy(floatSource, delta.x, delta.y);
  }
  marchingRect = selection;
  m_blinkInverted = false;
  if (doc) doc->UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintPixels);
  Invalidate(FALSE);
}

void CQuorvaCaptureView::OnRButtonDown(UINT nFlags, CPoint point) {
  if (dragMode == kDragNone) RefreshZoomSizes();
  CZoomView::OnRButtonDown(nFlags, point);
}

void CQuorvaCaptureView::OnContextMenu(HWND, CPoint point) {
  if (dragMode != kDragNone) return;
  CMenu menu;
  if (!menu.LoadMenu(IDR_VIEWMENU)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (!popup) return;
  if (point.x == -1 && point.y == -1) {  // from the keyboard: the middle of the view
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    point = CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::ClientToScreen(m_hWnd, &point);
  }
  CWnd* main = AfxGetMainWnd();
  HWND owner = main && main->m_hWnd ? main->m_hWnd : m_hWnd;
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
}

// --- Keyboard ---

void CQuorvaCaptureView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  switch (nChar) {
    case VK_PRIOR: OnScroll(SB_VERT, SB_PAGEUP, 0); break;
    case VK_NEXT: OnScroll(SB_VERT, SB_PAGEDOWN, 0); break;
    case VK_HOME: OnScroll(ctrl ? SB_VERT : SB_HORZ, SB_TOP, 0); break;
    case VK_END: OnScroll(ctrl ? SB_VERT : SB_HORZ, SB_BOTTOM, 0); break;
    case VK_UP: OnScroll(SB_VERT, SB_LINEUP, 0); break;
    case VK_DOWN: OnScroll(SB_VERT, SB_LINEDOWN, 0); break;
    case VK_LEFT: OnScroll(SB_HORZ, SB_LINEUP, 0); break;
    case VK_RIGHT: OnScroll(SB_HORZ, SB_LINEDOWN, 0); break;
    case VK_ESCAPE:
      if (dragMode != kDragNone) {
        CancelDrag();
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        break;
      }
      CZoomView::OnKeyDown(nChar, nRepCnt, nFlags);
      break;
    default: CZoomView::OnKeyDown(nChar, nRepCnt, nFlags); break;
  }
}

// --- Capture outputs ---

LRESULT CQuorvaCaptureView::OnCaptureOutputs(WPARAM, LPARAM) {
  if (auto* frame = dynamic_cast<IImageDocumentFrame*>(AfxGetMainWnd())) frame->RunCaptureOutputs(GetDocument());
  return 0;
}
