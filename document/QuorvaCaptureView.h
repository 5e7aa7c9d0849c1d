// CQuorvaCaptureView: the view of an image document inside its image window (window class
// "LumatreImageViewClass"). It shows the picture zoomed over the view background with a thin
// red frame, keeps a rectangular selection with a blinking dotted border, lets the user pan by
// dragging, move (or, with Ctrl, copy) the selected pixels, and place a pasted picture before
// it is committed; it tells the main frame's status panes the pointer position and the image's
// facts when they ask (IImageStatusSource), and offers the image context menu.
//
// A new capture's view posts itself UWM_CAPTUREOUTPUTS at its first update and hands the
// document to the main frame's capture outputs when it arrives.
//
// Modes: 0 normal (a drag pans when the picture is larger than the window), 2 select (a drag
// outside the selection marks a new one, a drag inside moves it). Every paint is composed in
// an off-screen bitmap first, so moving a selection or a picture does not flicker.
#pragma once

#include <memory>
#include <string>

#include "DocumentHost.h"
#include "ZoomView.h"

class CDisplayBitmap;
class CQuorvaCaptureDoc;

class CQuorvaCaptureView : public CZoomView, public IImageEditView, public IImageStatusSource {
 public:
  static constexpr const char* kWindowClass = "LumatreImageViewClass";

  enum Mode : int { kModeNormal = 0, kModeSelect = 2 };
  enum DragMode : int { kDragNone = 0, kDragRegion = 1, kDragPicture = 2 };

  CQuorvaCaptureView();
  ~CQuorvaCaptureView() override;

  // --- State (image coordinates unless said otherwise) ---
  HCURSOR grabCursor = nullptr;   // cursor 122, while panning
  HCURSOR handCursor = nullptr;   // cursor 133, when the picture can be panned
  RECT paintRect{0, 0, 0, 0};     // the image part the last paint drew
  POINT pointerPixel{-1, -1};     // image pixel under the pointer; (-1, -1) outside
  int mode = kModeNormal;
  BOOL cropPending = FALSE;       // the next rubber band crops at once
  UniqueBitmap offscreen;         // scratch bitmap every paint is composed in (client pixels)
  int dragMode = kDragNone;
  POINT dragLast{0, 0};           // image pixel under the pointer at the last drag step
  POINT dragOrigin{0, 0};         // where the dragged rectangle's top-left corner is now
  BOOL copyFlag = FALSE;          // the region drag copies (Ctrl held when it began)
  BOOL floating = FALSE;          // a pasted picture floats over the image
  double zoomStep = 1.0;          // the zoom chosen by the zoom commands
  SIZE knownSize{0, 0};           // image size the zoom sizes were last set for
  RECT selection{0, 0, 0, 0};     // the selected rectangle (the pasted picture's place while one floats)
  RECT marchingRect{0, 0, 0, 0};  // drawn with the blinking border; follows a drag
  RECT floatSource{0, 0, 0, 0};   // kept with the floating picture
  std::unique_ptr<CDisplayBitmap> floatPicture;

  CQuorvaCaptureDoc* GetImageDocument() const;
  // The document's picture, or null when there is none.
  CDisplayBitmap* GetImage() const;
  SIZE GetImageSize() const;

  // Registers the window class (once); its name, or null when that failed.
  static LPCSTR RegisterWindowClass();

  // --- Operations other parts use ---
  // The zoom of the zoom commands (0.25 ... 4): stores zoomStep and shows the picture at it,
  // painted before it returns (under the wait cursor: a big picture takes a while). FALSE when
  // the scale cannot be applied.
  BOOL SetZoom(double scale);
  double GetZoom() const { return zoomStep; }
  // One tick of the selection border's blinking (the main frame's 300 ms timer).
  void OnBlinkTick();
  // Sets the zoom sizes again when the image's size changed (zoom back to zoomStep); repaints.
  void RefreshZoomSizes();
  // A pasted picture becomes part of the image (one undo step).
  void CommitFloatingPicture();

  // IImageEditView
  bool HasSelection() const override;
  void CropSelection() override;
  void CutSelection() override;
  void CopySelection() override;
  void PasteFromClipboard() override;

  // IImageStatusSource: the pointer position once the pointer went over the view, the colour
  // depth and the size of the picture.
  bool GetStatusText(UINT paneId, std::string& text) const override;

  // CView
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnInitialUpdate() override;
  void OnUpdate(CView* pSender, LPARAM lHint, void* pHint) override;
  void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
  void OnDraw(HDC hDC) override;
  // The framework's print steps: print, direct print and preview by the program's layout.
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnBeginPrinting(HDC hDC, CPrintInfo* pInfo) override;
  void OnPrint(HDC hDC, CPrintInfo* pInfo) override;

  // Scrolls by a pointer movement so that the picture follows the hand.
  void PanBy(int dx, int dy);

 protected:
  int OnCreate(LPCREATESTRUCT lpcs);
  BOOL OnEraseBkgnd(HDC hDC);
  void OnPaint();
  BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnContextMenu(HWND hWnd, CPoint point);
  void OnCaptureChanged(HWND hWndNew);
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureOutputs(WPARAM wParam, LPARAM lParam);

  void OnViewSelectRegion();
  void OnUpdateViewSelectRegion(CCmdUI* pCmdUI);
  void OnViewSelectAll();
  void OnUpdateViewSelectAll(CCmdUI* pCmdUI);
  void OnViewUnselectRegion();
  void OnUpdateViewUnselectRegion(CCmdUI* pCmdUI);
  void OnViewZoomIn();
  void OnUpdateViewZoomIn(CCmdUI* pCmdUI);
  void OnViewZoomOut();
  void OnUpdateViewZoomOut(CCmdUI* pCmdUI);
  void OnViewZoomPreset(UINT nID);
  void OnUpdateViewZoomPreset(CCmdUI* pCmdUI);

  DECLARE_MESSAGE_MAP()

 private:
  void ClearSelection();
  void LeaveSelectMode();
  void TrackSelectionBand(CPoint point);
  void StartDrag(POINT pixel, UINT nFlags);
  void DragTo(POINT pixel);
  void CancelDrag();
  // Repaints the client pixels of an image rectangle (with room for the border).
  void InvalidateImageRect(const RECT& r);
  // The selection border in client pixels on a DC without mapping; rop R2_COPYPEN or R2_NOT.
  void DrawSelectionBorder(HDC hDC, int rop);
  void FillBackground(HDC hDC, const RECT& area);
  void FitFrameToImage();
  void RealizeImagePalette();
  COLORREF ViewBackgroundColor() const;
  COLORREF ImageBackgroundColor() const;

  HCURSOR m_trackingCursor = nullptr;   // cursor 101: over the image in select mode
  HCURSOR m_selectionCursor = nullptr;  // cursor 170: over the selection in select mode
  SIZE m_offscreenSize{0, 0};
  bool m_blinkInverted = false;  // the border shows its inverted phase
  bool m_trackingLeave = false;
  POINT m_statusPixel{0, 0};  // image pixel the pointer was last over (may lie outside the image)
  bool m_hasStatusPixel = false;
};
