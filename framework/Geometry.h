// Small value types over POINT, SIZE and RECT, usable wherever the API takes the plain ones.
#pragma once

#include <windows.h>

#include <utility>

class CSize : public SIZE {
 public:
  constexpr CSize() noexcept : SIZE{0, 0} {}
  constexpr CSize(int x, int y) noexcept : SIZE{x, y} {}
  constexpr CSize(SIZE s) noexcept : SIZE(s) {}  // NOLINT(google-explicit-constructor)
  bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
  bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
  CSize operator+(const SIZE& o) const noexcept { return CSize(cx + o.cx, cy + o.cy); }
  CSize operator-(const SIZE& o) const noexcept { return CSize(cx - o.cx, cy - o.cy); }
};

class CPoint : public POINT {
 public:
  constexpr CPoint() noexcept : POINT{0, 0} {}
  constexpr CPoint(int x_, int y_) noexcept : POINT{x_, y_} {}
  constexpr CPoint(POINT p) noexcept : POINT(p) {}  // NOLINT(google-explicit-constructor)
  // From the packed coordinates of a mouse message's LPARAM (signed 16-bit each).
  static CPoint FromLParam(LPARAM lp) noexcept {
    return CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  }
  void Offset(int dx, int dy) noexcept {
    x += dx;
    y += dy;
  }
  bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
  bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
  CPoint operator+(const SIZE& s) const noexcept { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(const SIZE& s) const noexcept { return CPoint(x - s.cx, y - s.cy); }
  CSize operator-(const POINT& p) const noexcept { return CSize(x - p.x, y - p.y); }
};

class CRect : public RECT {
 public:
  constexpr CRect() noexcept : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) noexcept : RECT(r) {}  // NOLINT(google-explicit-constructor)
  CRect(POINT topLeft, SIZE size) noexcept
      : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

  int Width() const noexcept { return right - left; }
  int Height() const noexcept { return bottom - top; }
  CSize Size() const noexcept { return CSize(Width(), Height()); }
  CPoint TopLeft() const noexcept { return CPoint(left, top); }
  CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
  CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
  bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
  bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool PtInRect(POINT p) const noexcept { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) noexcept {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
  void OffsetRect(int dx, int dy) noexcept {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  void InflateRect(int dx, int dy) noexcept {
    left -= dx;
    right += dx;
    top -= dy;
    bottom += dy;
  }
  void DeflateRect(int dx, int dy) noexcept { InflateRect(-dx, -dy); }
  void NormalizeRect() noexcept {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  // Intersection of a and b; empty (all zero) when they do not overlap. Returns whether they do.
  bool IntersectRect(const RECT& a, const RECT& b) noexcept { return ::IntersectRect(this, &a, &b) != FALSE; }
  bool UnionRect(const RECT& a, const RECT& b) noexcept { return ::UnionRect(this, &a, &b) != FALSE; }
  bool operator==(const RECT& o) const noexcept {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
  operator LPRECT() noexcept { return this; }               // NOLINT(google-explicit-constructor)
  operator LPCRECT() const noexcept { return this; }        // NOLINT(google-explicit-constructor)

};
