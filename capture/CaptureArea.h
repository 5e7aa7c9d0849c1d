// The area of one capture: the bounding rectangle on the screen, the shape inside it and, for a
// polygon, its vertices. The selection tracker fills it while the user draws; the window finders
// fill it for the immediate modes; MakeCaptureBitmap turns it into a picture.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

// Shape codes. 0 and 2 are fixed; a code of 3 or more is the number of polygon vertices.
constexpr int kShapeRectangle = 0;
constexpr int kShapeFillOnly = 1;  // nothing is copied; the picture is only the fill colour
constexpr int kShapeEllipse = 2;
constexpr int kShapeMinPolygon = 3;

// Room for polygon vertices (the tracker keeps one more than the fixed ones: the vertex that
// follows the pointer).
constexpr int kMaxCapturePoints = 100;

struct CaptureArea {
  RECT area{0, 0, 0, 0};  // screen coordinates, right and bottom exclusive
  int shapeCode = kShapeRectangle;
  // Polygon vertices. While the polygon is entered they are screen coordinates; at the moment of
  // capture they are relative to the top-left corner of area.
  std::array<POINT, kMaxCapturePoints> points{};
  int pointCount = 0;  // vertices in use (the tracker's count of fixed vertices)

  // Width and height computed without overflow (area may hold any values).
  int64_t Width() const { return int64_t{area.right} - area.left; }
  int64_t Height() const { return int64_t{area.bottom} - area.top; }
  // Nothing to capture: zero (or negative) width or height.
  bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  bool IsPolygon() const { return shapeCode >= kShapeMinPolygon; }

  // Sets a plain rectangle (shape code 0); the points stay as they are.
  void SetRectangle(const RECT& r) {
    area = r;
    shapeCode = kShapeRectangle;
  }
};
