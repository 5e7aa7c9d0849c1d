// CLayoutPreview: the small picture of the printed pages in the print layout dialog. It draws
// the dialog's working copy of the layout (white pages with black outlines, grey margin lines, the
// image where it will print) on a grey background, for the fit and the tiled methods.
#pragma once

#include <windows.h>

#include "common/Settings.h"
#include "framework/Wnd.h"

class CDisplayBitmap;

namespace layoutpreview {

// One page of the preview in client pixels.
struct PageGeometry {
  RECT page{};          // the page's outline
  LONG marginLeft = 0;  // x of the left and right margin lines, y of the top and bottom ones
  LONG marginRight = 0;
  LONG marginTop = 0;
  LONG marginBottom = 0;
  RECT printable{};     // inside the margin lines; empty when nothing fits
  RECT image{};         // the image (fit method); empty when there is none
};

// The fit method: the page scaled into the client area and centred, the image fitted inside.
PageGeometry FitPage(const RECT& client, const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight);
// Page (row, column) of the tiled method: cells of client / pages across and down.
PageGeometry TiledPage(const RECT& client, const PrintLayoutSettings& layout, LONG across, LONG down, LONG row,
                       LONG column);

}  // namespace layoutpreview

class CLayoutPreview : public CWnd {
 public:
  CLayoutPreview() = default;
  // What to draw: the dialog's working copy and the image (null: pages only). Both outlive
  // the window.
  void SetLayout(const PrintLayoutSettings* layout, CDisplayBitmap* image) {
    m_layout = layout;
    m_image = image;
  }
  // The layout changed: paint again.
  void Refresh();

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  void DrawPage(HDC dc, const layoutpreview::PageGeometry& geometry);
  const PrintLayoutSettings* m_layout = nullptr;
  CDisplayBitmap* m_image = nullptr;
  // The method and page grid of the last paint: the background is refilled when they change.
  LONG m_lastMode = -1;
  LONG m_lastAcross = -1;
  LONG m_lastDown = -1;
  bool m_layoutChange = false;
};
