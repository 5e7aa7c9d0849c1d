// The workspace drawn into memory: background colour, a picture tiled, centred and stretched,
// the logo's place, and pictures that cannot be loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ui/WorkspacePainter.h"

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);

// A 32-bit top-down surface to paint into.
struct Surface {
  UniqueDC dc;
  UniqueBitmap bitmap;
  SelectObjectGuard selection;
  uint32_t* bits = nullptr;
  int width, height;
  Surface(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    dc.reset(::CreateCompatibleDC(nullptr));
    bitmap.reset(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<uint32_t*>(p);
    selection = SelectObjectGuard(dc.get(), bitmap.get());
  }
  // 0x00RRGGBB
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bits[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
  }
};

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Colour of picture pixel (x, y): all four quadrant colours differ.
COLORREF PicturePixel(int x, int y, int w, int h) {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (!right && !bottom) return RGB(255, 0, 0);
  if (right && !bottom) return RGB(0, 255, 0);
  if (!right) return RGB(0, 0, 255);
  return RGB(255, 255, 0);
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  std::fclose(f);
  return ok;
}

// A 24-bit bottom-up BMP of the quadrant picture.
std::string WriteQuadrantBmp(const char* name, int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * h;
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::vector<uint8_t> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = PicturePixel(x, y, w, h);
      uint8_t* p = bytes.data() + file.bfOffBits + (h - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  const std::string path = TempPath(name);
  return WriteFile(path, bytes) ? path : std::string();
}

WorkspaceSettings Settings(int dispType) {
  WorkspaceSettings s = WorkspaceSettings::Defaults(96, RGB(200, 200, 200), kBack);
  s.dispType = dispType;
  return s;
}

// Pixels outside the logo's corner that differ from expected(x, y).
int Mismatches(const Surface& s, const std::function<uint32_t(int, int)>& expected) {
  int bad = 0;
  for (int y = 0; y < s.height * 2 / 3; ++y)
    for (int x = 0; x < s.width; ++x)
      if (s.At(x, y) != expected(x, y)) ++bad;
  return bad;
}

TEST(WorkspaceGeometry, LogoBoxTileOriginsAndCentre) {
  EXPECT_EQ(WorkspaceLogoBox(CRect(0, 0, 800, 600), CSize(300, 30), 10, 25), CRect(495, 565, 800, 600));
  EXPECT_EQ(WorkspaceLogoBox(CRect(0, 0, 100, 50), CSize(300, 30), 8, 10), CRect(-204, 18, 100, 50));
  const std::vector<CPoint> tiles = WorkspaceTileOrigins(CSize(50, 30), CSize(20, 20));
  ASSERT_EQ(tiles.size(), 6u);
  EXPECT_EQ(tiles[0], CPoint(0, 0));
  EXPECT_EQ(tiles[2], CPoint(40, 0));
  EXPECT_EQ(tiles[5], CPoint(40, 20));
  EXPECT_TRUE(WorkspaceTileOrigins(CSize(50, 30), CSize(0, 20)).empty());
  EXPECT_TRUE(WorkspaceTileOrigins(CSize(0, 30), CSize(20, 20)).empty());
  EXPECT_EQ(WorkspaceCentredOrigin(CSize(100, 80), CSize(20, 10)), CPoint(40, 35));
  EXPECT_EQ(WorkspaceCentredOrigin(CSize(100, 80), CSize(300, 100)), CPoint(-100, -10));
}

TEST(WorkspacePainter, NoPictureFillsTheBackgroundAndDrawsTheLogoAtTheCorner) {
  CWorkspacePainter painter;
  painter.SetLogoFont(WorkspaceSettings::DefaultLogoFont(96), 96);
  painter.SetLogoText("Lumatre => www.example.com");
  Surface s(800, 200);
  painter.Paint(s.dc.get(), CRect(0, 0, 800, 200), Settings(kDisplayCentred));
  EXPECT_EQ(Mismatches(s, [](int, int) { return Rgb(kBack); }), 0);
  // The logo: black, white and logo-coloured pixels in the bottom-right corner only.
  int black = 0, white = 0, logo = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint32_t p = s.At(x, y);
      if (p == 0) ++black;
      if (p == 0xFFFFFF) ++white;
      if (p == Rgb(RGB(200, 200, 200))) ++logo;
      if (p != Rgb(kBack)) {
        EXPECT_GT(x, 300);
        EXPECT_GT(y, 150);
        if (x <= 300 || y <= 150) return;  // one report is enough
      }
    }
  EXPECT_GT(black, 0);
  EXPECT_GT(white, 0);
  EXPECT_GT(logo, 0);
}

TEST(WorkspacePainter, PictureTiledCentredAndStretched) {
  const std::string path = WriteQuadrantBmp("lumatre_ws_quadrants.bmp", 30, 20);
  ASSERT_FALSE(path.empty());
  CWorkspacePainter painter;
  ASSERT_TRUE(painter.LoadPicture(path));
  EXPECT_EQ(painter.PictureSize(), CSize(30, 20));
  const CRect client(0, 0, 200, 120);

  Surface tiled(200, 120);
  painter.Paint(tiled.dc.get(), client, Settings(kDisplayTiled));
  EXPECT_EQ(Mismatches(tiled, [](int x, int y) { return Rgb(PicturePixel(x % 30, y % 20, 30, 20)); }), 0);

  Surface centred(200, 120);
  painter.Paint(centred.dc.get(), client, Settings(kDisplayCentred));
  EXPECT_EQ(Mismatches(centred, [](int x, int y) {
              const int px = x - 85, py = y - 50;  // (200 - 30) / 2, (120 - 20) / 2
              return (px >= 0 && px < 30 && py >= 0 && py < 20) ? Rgb(PicturePixel(px, py, 30, 20)) : Rgb(kBack);
            }),
            0);

  Surface stretched(200, 120);
  painter.Paint(stretched.dc.get(), client, Settings(kDisplayStretched));
  // Each quadrant fills a quarter of the area; away from the seams the colours are exact.
  EXPECT_EQ(Mismatches(stretched, [](int x, int y) { return Rgb(PicturePixel(x, y, 200, 120)); }), 0);
  std::remove(path.c_str());
}

TEST(WorkspacePainter, ATinyPictureTilesLikeALargeOne) {
  const std::string path = WriteQuadrantBmp("lumatre_ws_tiny.bmp", 2, 2);
  CWorkspacePainter painter;
  ASSERT_TRUE(painter.LoadPicture(path));
  Surface s(150, 90);
  painter.Paint(s.dc.get(), CRect(0, 0, 150, 90), Settings(kDisplayTiled));
  EXPECT_EQ(Mismatches(s, [](int x, int y) { return Rgb(PicturePixel(x % 2, y % 2, 2, 2)); }), 0);
  std::remove(path.c_str());
}

TEST(WorkspacePainter, PicturesThatCannotBeLoadedLeaveNone) {
  const std::string text = TempPath("lumatre_ws_text.bmp");
  const std::string empty = TempPath("lumatre_ws_empty.bmp");
  ASSERT_TRUE(WriteFile(text, std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'}));
  ASSERT_TRUE(WriteFile(empty, {}));
  for (const std::string& path : {TempPath("lumatre_ws_missing.bmp"), text, empty, std::string()}) {
    CWorkspacePainter painter;
    EXPECT_FALSE(painter.LoadPicture(path)) << path;
    EXPECT_FALSE(painter.HasPicture()) << path;
    Surface s(120, 90);
    painter.Paint(s.dc.get(), CRect(0, 0, 120, 90), Settings(kDisplayStretched));
    EXPECT_EQ(Mismatches(s, [](int, int) { return Rgb(kBack); }), 0) << path;
  }
  // A picture held stays when another cannot be loaded.
  const std::string good = WriteQuadrantBmp("lumatre_ws_good.bmp", 8, 8);
  CWorkspacePainter painter;
  ASSERT_TRUE(painter.LoadPicture(good));
  EXPECT_FALSE(painter.LoadPicture(text));
  EXPECT_TRUE(painter.HasPicture());
  std::remove(text.c_str());
  std::remove(empty.c_str());
  std::remove(good.c_str());
}

TEST(WorkspacePainter, AFontTheSystemRefusesGivesTheDefaultLogoFont) {
  CWorkspacePainter painter;
  LOGFONTA odd{};
  odd.lfHeight = -20;
  odd.lfCharSet = 0xFF;  // whatever the system makes of it, the painter holds a font
  painter.SetLogoFont(odd, 96);
  EXPECT_NE(painter.LogoFont(), nullptr);
}

}  // namespace
