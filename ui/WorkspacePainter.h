// CWorkspacePainter: draws the empty workspace behind the image windows: the background colour,
// the background picture (tiled from the top-left corner, centred or stretched over the whole
// area) and the logo text at the bottom-right corner, drawn three times (a dark and a light
// shadow, then the logo colour) so that it looks engraved.
//
// It draws into any device context, so tests can paint into memory and compare pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Framework.h"
#include "ui/WorkspaceSettings.h"

// The rectangle the logo text is centred in: from (right - avgCharWidth / 2 - text width,
// bottom - charHeight / 5 - text height) to the bottom-right corner of the client area.
CRect WorkspaceLogoBox(const CRect& client, CSize text, int avgCharWidth, int charHeight);
// The top-left corners of the copies of a picture that cover an area, row by row from (0, 0).
// None for an empty picture or area.
std::vector<CPoint> WorkspaceTileOrigins(CSize area, CSize picture);
// Where a centred picture's top-left corner goes (negative when it is larger than the area).
CPoint WorkspaceCentredOrigin(CSize area, CSize picture);

class CWorkspacePainter {
 public:
  CWorkspacePainter() = default;
  CWorkspacePainter(const CWorkspacePainter&) = delete;
  CWorkspacePainter& operator=(const CWorkspacePainter&) = delete;

  // Loads a BMP file as the background picture (three-dimensional colours mapped to the
  // system's). On failure the picture held before stays and false is returned.
  bool LoadPicture(const std::string& path);
  void ClearPicture();
  bool HasPicture() const { return static_cast<bool>(m_picture); }
  CSize PictureSize() const { return m_pictureSize; }

  // The font of the logo; a description the system cannot make gives the default logo font.
  void SetLogoFont(const LOGFONTA& font, int dotsPerInchY);
  void SetLogoText(const std::string& text) { m_logoText = text; }
  const std::string& LogoText() const { return m_logoText; }
  HFONT LogoFont() const { return m_logoFont.get(); }

  // Draws the whole client area.
  void Paint(HDC dc, const CRect& client, const WorkspaceSettings& settings) const;
  // Draws only the logo (on top of what is there).
  void DrawLogo(HDC dc, const CRect& client, COLORREF logoColor) const;

 private:
  void DrawTiled(HDC dc, const CRect& client) const;
  // False when there was no memory for the off-screen copy (nothing drawn).
  bool DrawCentred(HDC dc, const CRect& client, const WorkspaceSettings& settings) const;
  bool DrawStretched(HDC dc, const CRect& client) const;

  UniqueBitmap m_picture;
  CSize m_pictureSize;
  UniqueFont m_logoFont;
  std::string m_logoText;
};
