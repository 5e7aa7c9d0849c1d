#!/usr/bin/env python3
"""Draws Lumatre's pictures and synthesises its capture sound.

    make_resources.py OUTDIR

Writes into OUTDIR the icons, cursors, bitmaps, toolbar strips, per-command button images and
the capture sound that resources/Lumatre.rc compiles, plus two generated sources:
  toolbars.rc      the toolbar resources 128, 131 and 234 (type 241) with their bitmap strips,
                   and one BITMAP per button image
  CommandImages.h  the table from command id to its normal, hot and disabled bitmap ids

Everything is drawn from code with the standard library only, and the output is the same
byte for byte on every run (no clock, no randomness other than a fixed-seed generator).
"""

import math
import os
import struct
import sys

# ------------------------------------------------------------------------------------------
# Drawing: a small RGBA canvas with anti-aliased shapes given as inside-tests.
#
# Shapes are functions (x, y) -> bool in the canvas' logical coordinates (a 16 x 16 grid for
# button images, 48 x 48 for the program icon); a canvas may have more pixels than logical
# units, so one drawing serves every icon size. Pixel (i, j) covers logical [i, i+1) * unit.


class Canvas:
    def __init__(self, size, logical, supersample=4):
        self.w = self.h = size
        self.scale = logical / size  # logical units per pixel
        self.ss = supersample
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # straight RGBA 0..1

    def coverage(self, shape, i, j):
        n = self.ss
        hit = 0
        for sy in range(n):
            y = (j + (sy + 0.5) / n) * self.scale
            for sx in range(n):
                if shape((i + (sx + 0.5) / n) * self.scale, y):
                    hit += 1
        return hit / (n * n)

    def fill(self, shape, color, alpha=1.0, bbox=None):
        """Paints shape with color (an (r, g, b) tuple or a function (x, y) -> (r, g, b))."""
        i0, j0, i1, j1 = 0, 0, self.w, self.h
        if bbox:
            x0, y0, x1, y1 = bbox
            i0 = max(0, int(x0 / self.scale) - 1)
            j0 = max(0, int(y0 / self.scale) - 1)
            i1 = min(self.w, int(x1 / self.scale) + 2)
            j1 = min(self.h, int(y1 / self.scale) + 2)
        for j in range(j0, j1):
            for i in range(i0, i1):
                cov = self.coverage(shape, i, j)
                if cov <= 0:
                    continue
                if callable(color):
                    c = color((i + 0.5) * self.scale, (j + 0.5) * self.scale)
                else:
                    c = color
                a = cov * alpha
                p = self.px[j * self.w + i]
                out_a = a + p[3] * (1 - a)
                if out_a <= 0:
                    continue
                for k in range(3):
                    p[k] = (c[k] / 255.0 * a + p[k] * p[3] * (1 - a)) / out_a
                p[3] = out_a

    def outlined(self, shape, fill, outline, width=1.0, bbox=None):
        """The shape in the outline colour, then its inside shrunk by width in the fill colour."""
        self.fill(shape, outline, bbox=bbox)
        self.fill(erode(shape, width), fill, bbox=bbox)

    def rgba8(self, i, j):
        p = self.px[j * self.w + i]
        return (round(p[0] * 255), round(p[1] * 255), round(p[2] * 255), round(p[3] * 255))


# Shapes --------------------------------------------------------------------------------------


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in < (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def poly(points):
    pts = list(points)

    def inside(x, y):
        c = False
        n = len(pts)
        for k in range(n):
            xa, ya = pts[k]
            xb, yb = pts[(k + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    c = not c
        return c
    return inside


def seg(xa, ya, xb, yb, width):
    """A line from a to b, width wide, with round ends."""
    dx, dy = xb - xa, yb - ya
    ll = dx * dx + dy * dy
    h = width / 2.0

    def inside(x, y):
        t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / ll))
        px, py = xa + t * dx - x, ya + t * dy - y
        return px * px + py * py <= h * h
    return inside


def arc(cx, cy, r, width, a0, a1):
    """Part of a ring of radius r (centre line), from angle a0 to a1 in degrees, counted
    clockwise on the screen from the positive x axis."""
    h = width / 2.0

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > h:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def erode(shape, w):
    offsets = [(w * math.cos(k * math.pi / 4), w * math.sin(k * math.pi / 4)) for k in range(8)]
    return lambda x, y: shape(x, y) and all(shape(x + dx, y + dy) for dx, dy in offsets)


def outline_of(shape, w):
    return minus(shape, erode(shape, w))


def arrow_head(tx, ty, angle_deg, length, half_width):
    """A triangle pointing in direction angle (degrees, screen orientation) with its tip at t."""
    a = math.radians(angle_deg)
    bx, by = tx - length * math.cos(a), ty - length * math.sin(a)
    nx, ny = -math.sin(a) * half_width, math.cos(a) * half_width
    return poly([(tx, ty), (bx + nx, by + ny), (bx - nx, by - ny)])


def lerp(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(c0[k] + (c1[k] - c0[k]) * t for k in range(3))


def vgrad(c0, c1, y0, y1):
    return lambda x, y: lerp(c0, c1, (y - y0) / (y1 - y0))


# Colours (none is one of the greys the system maps to 3-D colours: 128, 192, 223).
OUT = (38, 40, 52)
WHITE = (255, 255, 255)
PAPER = (250, 250, 244)
LINE = (150, 156, 170)
GREY = (150, 152, 160)
LGREY = (206, 208, 214)
DGREY = (88, 90, 100)
BLUE = (36, 96, 200)
LBLUE = (160, 200, 245)
SKY = (110, 170, 235)
YELLOW = (248, 206, 64)
DYELLOW = (196, 146, 24)
ORANGE = (240, 140, 30)
RED = (214, 44, 36)
GREEN = (46, 158, 64)
LGREEN = (150, 214, 120)
BROWN = (150, 96, 44)
PURPLE = (130, 70, 170)

# ------------------------------------------------------------------------------------------
# Button pictograms (16 x 16 logical grid)


def page(c, x0, y0, x1, y1, fold=3.0, lines=True):
    shape = poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.outlined(shape, PAPER, OUT)
    c.fill(union(seg(x1 - fold, y0, x1 - fold, y0 + fold, 0.9),
                 seg(x1 - fold, y0 + fold, x1, y0 + fold, 0.9)), OUT)
    if lines:
        y = y0 + fold + 2
        while y < y1 - 1.5:
            c.fill(rect(x0 + 2, y, x1 - 2, y + 1), LINE)
            y += 2


def window(c, x0, y0, x1, y1, title=BLUE, client=WHITE, frame=OUT):
    c.fill(rect(x0, y0, x1, y1), frame)
    c.fill(rect(x0 + 1, y0 + 1, x1 - 1, y0 + 4), title)
    c.fill(rect(x0 + 1, y0 + 4, x1 - 1, y1 - 1), client)
    c.fill(rect(x1 - 4, y0 + 2, x1 - 2, y0 + 3), WHITE)


def floppy(c, x0, y0, s=13.0, body=BLUE):
    x1, y1 = x0 + s, y0 + s
    c.outlined(rrect(x0, y0, x1, y1, 1.2), body, OUT)
    c.fill(rect(x0 + s * 0.22, y0 + 1, x1 - s * 0.22, y0 + s * 0.45), PAPER)
    c.fill(rect(x0 + s * 0.3, y0 + s * 0.18, x1 - s * 0.3, y0 + s * 0.22 + 0.8), LINE)
    c.fill(rect(x0 + s * 0.28, y1 - s * 0.36, x1 - s * 0.28, y1 - 1), LGREY)
    c.fill(rect(x0 + s * 0.55, y1 - s * 0.3, x0 + s * 0.66, y1 - 1.6), DGREY)


def magnifier(c, cx, cy, r, handle=True):
    if handle:
        d = r * 0.72
        c.fill(seg(cx + d, cy + d, cx + r * 1.75, cy + r * 1.75, r * 0.55), BROWN)
    c.fill(circle(cx, cy, r), OUT)
    c.fill(circle(cx, cy, r - 1.2), (214, 234, 252))
    c.fill(ellipse(cx - r * 0.3, cy - r * 0.35, r * 0.3, r * 0.2), WHITE)


def camera(c, ox=0.0, oy=0.0, s=1.0):
    def P(x, y):
        return ox + x * s, oy + y * s
    (ax, ay), (bx, by) = P(1, 4), P(15, 13.5)
    c.outlined(rrect(ax, ay, bx, by, 1.6 * s), (70, 74, 90), OUT)
    (ax, ay), (bx, by) = P(3, 2.3), P(7, 4.5)
    c.fill(rect(ax, ay, bx, by), OUT)
    x, y = P(12.3, 3.2)
    c.fill(circle(x, y, 1.1 * s), RED)
    x, y = P(8, 8.9)
    c.fill(circle(x, y, 3.9 * s), (226, 228, 236))
    c.fill(circle(x, y, 2.9 * s), OUT)
    c.fill(circle(x, y, 2.2 * s), (60, 120, 220))
    c.fill(circle(x - 0.8 * s, y - 0.8 * s, 0.7 * s), WHITE)


def arc_arrow(c, color, cx, cy, r, w, a_start, a_end):
    """An arc from a_start to a_end (degrees; a_end > a_start turns clockwise on the screen)
    with an arrowhead at a_end pointing along the turn."""
    cw = a_end > a_start
    lo, hi = (a_start, a_end) if cw else (a_end, a_start)
    c.fill(arc(cx, cy, r, w, lo, hi), color)
    a = math.radians(a_end)
    ex, ey = cx + r * math.cos(a), cy + r * math.sin(a)
    d = a + (math.pi / 2 if cw else -math.pi / 2)
    length = w * 2.1
    tx, ty = ex + math.cos(d) * length * 0.7, ey + math.sin(d) * length * 0.7
    c.fill(arrow_head(tx, ty, math.degrees(d), length, w * 1.45), color)


def circular_arrow(c, color, cx=8, cy=8, r=5.0, w=2.0, a0=300, a1=560):
    arc_arrow(c, color, cx, cy, r, w, a0, a1)


def dashed_rect(c, x0, y0, x1, y1, w=1.0, dark=OUT, light=WHITE):
    border = minus(rect(x0, y0, x1, y1), rect(x0 + w, y0 + w, x1 - w, y1 - w))
    c.fill(border, light)
    c.fill(lambda x, y: border(x, y) and (int(x) + int(y)) // 2 % 2 == 0, dark)


def star(cx, cy, r_out, r_in, n=5, rot=-90):
    pts = []
    for k in range(2 * n):
        r = r_out if k % 2 == 0 else r_in
        a = math.radians(rot + k * 180.0 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return poly(pts)


def red_x(c, cx, cy, s):
    c.fill(circle(cx, cy, s), RED)
    d = s * 0.45
    c.fill(union(seg(cx - d, cy - d, cx + d, cy + d, s * 0.38),
                 seg(cx - d, cy + d, cx + d, cy - d, s * 0.38)), WHITE)


def clipboard(c):
    c.outlined(rrect(1.5, 2.5, 12.5, 15.5, 1.2), (186, 130, 70), OUT)
    c.fill(rect(3.5, 4.5, 10.5, 13.5), PAPER)
    c.outlined(rrect(4.5, 1, 9.5, 4.5, 0.8), LGREY, OUT)


def draw_open(c):
    c.outlined(poly([(1, 3), (6, 3), (7.5, 4.8), (13.5, 4.8), (13.5, 13.5), (1, 13.5)]), DYELLOW, OUT)
    c.outlined(poly([(1, 13.5), (3.6, 7.5), (15.8, 7.5), (13.4, 13.5)]), YELLOW, OUT)


def draw_save(c):
    floppy(c, 1.5, 1.5)


def draw_print(c):
    c.outlined(rect(4, 1, 12, 7), PAPER, OUT)
    c.outlined(rrect(1, 6, 15, 12.5, 1.3), LGREY, OUT)
    c.outlined(rect(4, 10, 12, 15.5), PAPER, OUT)
    c.fill(rect(5.5, 12, 10.5, 13), LINE)
    c.fill(circle(12.8, 8.2, 0.8), GREEN)


def draw_reload(c):
    page(c, 4.5, 4, 11.5, 12.5, fold=2.0, lines=False)
    circular_arrow(c, GREEN, r=6.0, w=1.7, a0=290, a1=560)


def draw_cut(c):
    c.fill(seg(4.5, 1, 10.5, 10.5, 1.6), DGREY)
    c.fill(seg(11.5, 1, 5.5, 10.5, 1.6), GREY)
    for cx in (4.3, 11.7):
        c.fill(ring(cx, 12.3, 2.9, 1.6), RED)
    c.fill(circle(8, 7.2, 0.7), OUT)


def draw_copy(c):
    page(c, 1.5, 1, 10.5, 11.5, fold=2.5)
    page(c, 5.5, 4.5, 14.5, 15, fold=2.5)


def draw_paste(c):
    clipboard(c)
    page(c, 7, 6.5, 15, 15.5, fold=2.5)


def draw_undo(c):
    arc_arrow(c, BLUE, 8.5, 9.5, 4.8, 2.0, 405, 180)


def draw_redo(c):
    arc_arrow(c, BLUE, 7.5, 9.5, 4.8, 2.0, 135, 360)


def draw_select_region(c):
    dashed_rect(c, 1, 2, 15, 14)


def draw_options(c):
    def gear(x, y):
        dx, dy = x - 8, y - 8
        r = math.hypot(dx, dy)
        if r > 6.8 or r < 2.2:
            return False
        if r <= 5.0:
            return True
        a = math.degrees(math.atan2(dy, dx)) % 45
        return 11 <= a <= 34
    c.outlined(gear, (150, 170, 200), OUT)
    c.fill(ring(8, 8, 2.9, 2.0), OUT)


def draw_default_action(c):
    camera(c)
    c.outlined(star(12.8, 12.8, 3.2, 1.4), YELLOW, DYELLOW, 0.7)


def draw_repeat_last(c):
    camera(c, 3.2, 3.3, 0.6)
    circular_arrow(c, ORANGE, cx=8, cy=8.5, r=6.5, w=1.5, a0=290, a1=560)


def draw_color_picker(c):
    c.fill(seg(2.2, 13.8, 9.5, 6.5, 2.6), OUT)
    c.fill(seg(2.6, 13.4, 9.3, 6.7, 1.3), (200, 230, 250))
    c.fill(seg(3.0, 13.0, 6.0, 10.0, 1.2), RED)
    c.fill(seg(8.5, 5.2, 10.8, 7.5, 3.4), OUT)
    c.fill(circle(12.2, 3.8, 3.0), OUT)
    c.fill(circle(12.2, 3.8, 2.1), (60, 80, 180))
    c.fill(circle(1.6, 14.6, 1.0), RED)


def draw_desktop(c):
    c.outlined(rrect(0.5, 1.5, 15.5, 12, 1.0), DGREY, OUT)
    c.fill(rect(2, 3, 14, 10.5), vgrad((70, 140, 230), (30, 80, 170), 3, 10.5))
    c.fill(rect(3, 8.2, 6, 10.5), GREEN)
    c.outlined(poly([(5.5, 12), (10.5, 12), (12, 15.5), (4, 15.5)]), GREY, OUT)


def draw_control(c):
    window(c, 0.5, 1.5, 15.5, 14.5, title=GREY, client=LGREY)
    c.outlined(rrect(3.5, 7, 12.5, 11.5, 1.0), (236, 236, 240), OUT)
    c.fill(outline_of(rect(2.5, 6, 13.5, 12.5), 1.0), RED)


def draw_active_window(c):
    window(c, 1, 2, 15, 14)
    c.fill(outline_of(rect(0, 1, 16, 15), 1.0), RED)


def draw_active_window_client(c):
    window(c, 1, 1.5, 15, 14.5, title=GREY)
    c.fill(rect(2, 5.5, 14, 13.5), (255, 244, 170))
    c.fill(outline_of(rect(2, 5.5, 14, 13.5), 1.0), RED)


def draw_rectangle(c):
    c.outlined(rect(1, 3, 15, 13), LBLUE, BLUE, 1.3)


def draw_square(c):
    c.outlined(rect(2, 2, 14, 14), LBLUE, BLUE, 1.3)


def draw_circle(c):
    c.outlined(circle(8, 8, 6.8), LBLUE, BLUE, 1.3)


def draw_ellipse(c):
    c.outlined(ellipse(8, 8, 7.5, 4.8), LBLUE, BLUE, 1.3)


def draw_polygon(c):
    c.outlined(poly([(1.5, 6), (7, 1.2), (14.8, 4), (12.8, 13.5), (5, 14.8), (3.2, 10)]),
               LBLUE, BLUE, 1.3)


def draw_zoom_in(c):
    magnifier(c, 6.5, 6.5, 5.3)
    c.fill(union(rect(4, 6, 9, 7), rect(6, 4, 7, 9)), OUT)


def draw_zoom_out(c):
    magnifier(c, 6.5, 6.5, 5.3)
    c.fill(rect(4, 6, 9, 7), OUT)


def draw_brightness(c):
    for k in range(8):
        a = math.radians(k * 45)
        c.fill(seg(8 + 4.6 * math.cos(a), 8 + 4.6 * math.sin(a),
                   8 + 7.0 * math.cos(a), 8 + 7.0 * math.sin(a), 1.3), ORANGE)
    c.outlined(circle(8, 8, 3.6), YELLOW, ORANGE, 1.0)


def draw_contrast(c):
    c.fill(circle(8, 8, 6.8), OUT)
    c.fill(circle(8, 8, 5.7), WHITE)
    c.fill(lambda x, y: x < 8 and (x - 8) ** 2 + (y - 8) ** 2 <= 5.7 ** 2, (20, 20, 24))


def draw_crop(c):
    c.fill(union(rect(3.5, 0.5, 5, 12), rect(3.5, 10.5, 15.5, 12)), OUT)
    c.fill(union(rect(0.5, 3.5, 12.5, 5), rect(11, 3.5, 12.5, 15.5)), BLUE)


def draw_resize(c):
    dashed_rect(c, 1, 1, 15, 15)
    c.outlined(rect(1, 8, 8, 15), LBLUE, BLUE, 1.0)
    c.fill(seg(6, 10, 12, 4, 1.3), OUT)
    c.fill(arrow_head(13.4, 2.6, -45, 4.0, 2.4), OUT)


def draw_rotate_cw(c):
    page(c, 1.5, 7, 9.5, 15.5, fold=2.2, lines=False)
    arc_arrow(c, GREEN, 8, 8.5, 5.6, 1.7, 190, 345)


def draw_rotate_ccw(c):
    page(c, 6.5, 7, 14.5, 15.5, fold=2.2, lines=False)
    arc_arrow(c, GREEN, 8, 8.5, 5.6, 1.7, 350, 195)


def draw_new(c):
    page(c, 2.5, 1, 12.5, 15, lines=False)
    c.outlined(star(12, 4, 3.6, 1.5), YELLOW, DYELLOW, 0.7)


def draw_save_as(c):
    floppy(c, 0.5, 2.5, 12)
    c.fill(seg(14.6, 1.4, 8.5, 7.5, 2.4), OUT)
    c.fill(seg(14.3, 1.7, 9.0, 7.0, 1.2), ORANGE)
    c.fill(circle(7.8, 8.2, 0.8), OUT)


def draw_close(c):
    page(c, 1.5, 1, 11.5, 14)
    red_x(c, 11.5, 11.5, 4.0)


def draw_print_preview(c):
    page(c, 1.5, 1, 11.5, 15)
    magnifier(c, 9.5, 8.5, 3.6)


def draw_print_setup(c):
    draw_print(c)
    c.outlined(star(13, 3.2, 3.0, 1.3, n=6, rot=0), (150, 170, 200), OUT, 0.7)


def draw_send_mail(c):
    c.outlined(rect(0.5, 3, 15.5, 13), PAPER, OUT)
    c.fill(union(seg(1, 3.6, 8, 9, 1.0), seg(15, 3.6, 8, 9, 1.0)), OUT)


def landscape(c, x0, y0, x1, y1):
    c.fill(rect(x0, y0, x1, y1), vgrad((120, 180, 240), (200, 228, 250), y0, y1))
    c.fill(circle(x0 + (x1 - x0) * 0.72, y0 + (y1 - y0) * 0.3, (y1 - y0) * 0.16), YELLOW)
    h = y1 - y0
    w = x1 - x0
    c.fill(lambda x, y: x0 <= x < x1 and y < y1 and
           y > y1 - h * 0.55 + abs(x - (x0 + w * 0.35)) * 0.9 * h / w, GREEN)


def draw_copy_all(c):
    page(c, 1.5, 1, 10.5, 11.5, fold=2.5, lines=False)
    c.outlined(rect(5.5, 4.5, 15, 15), WHITE, OUT)
    landscape(c, 6.5, 5.5, 14, 14)


def draw_paste_new(c):
    clipboard(c)
    c.outlined(rect(7, 7, 15, 15.5), WHITE, OUT)
    landscape(c, 8, 8, 14, 14.5)
    c.outlined(star(12.5, 3.8, 3.2, 1.4), YELLOW, DYELLOW, 0.7)


def draw_scale(c):
    c.outlined(rect(1, 1, 15, 15), WHITE, OUT)
    c.outlined(rect(1, 8, 8, 15), LBLUE, BLUE, 1.0)
    c.fill(seg(7, 9, 12, 4, 1.2), OUT)
    c.fill(arrow_head(13.2, 2.8, -45, 3.6, 2.2), OUT)


def draw_stretch(c):
    c.outlined(rect(3.5, 4, 12.5, 12), LBLUE, BLUE, 1.0)
    c.fill(seg(2, 8, 14, 8, 1.3), OUT)
    c.fill(arrow_head(0.3, 8, 180, 3.4, 2.6), OUT)
    c.fill(arrow_head(15.7, 8, 0, 3.4, 2.6), OUT)


def draw_any_angle(c):
    c.fill(union(seg(2, 14, 15, 14, 1.5), seg(2, 14, 11, 2.5, 1.5)), OUT)
    c.fill(arc(2, 14, 7.5, 1.4, 307, 360), RED)


def draw_flip_h(c):
    c.outlined(poly([(7, 2), (7, 14), (1, 14)]), BLUE, OUT, 0.9)
    c.outlined(poly([(9, 2), (9, 14), (15, 14)]), WHITE, OUT, 0.9)
    c.fill(lambda x, y: 7.6 <= x < 8.4 and int(y) % 3 != 2, RED)


def draw_flip_v(c):
    c.outlined(poly([(2, 7), (14, 7), (14, 1)]), BLUE, OUT, 0.9)
    c.outlined(poly([(2, 9), (14, 9), (14, 15)]), WHITE, OUT, 0.9)
    c.fill(lambda x, y: 7.6 <= y < 8.4 and int(x) % 3 != 2, RED)


def draw_grayscale(c):
    shades = [(30, 30, 34), (96, 96, 100), (160, 160, 164), (236, 236, 238)]
    for k, s in enumerate(shades):
        c.fill(rect(1 + k * 3.5, 2, 4.5 + k * 3.5, 14), s)
    c.fill(outline_of(rect(1, 2, 15, 14), 1.0), OUT)


def draw_invert(c):
    c.fill(rect(1, 2, 8, 14), ORANGE)
    c.fill(rect(8, 2, 15, 14), (15, 115, 225))
    c.fill(circle(8, 8, 3.6), lambda x, y: (15, 115, 225) if x < 8 else ORANGE)
    c.fill(outline_of(rect(1, 2, 15, 14), 1.0), OUT)


def draw_intensity(c):
    for k in range(5):
        h = 3 + k * 2.5
        c.outlined(rect(1 + k * 3, 15 - h, 3.8 + k * 3, 15), lerp((60, 60, 70), YELLOW, k / 4),
                   OUT, 0.8)


def draw_menu_capture(c):
    c.outlined(rect(1, 0.5, 9, 3.5), LGREY, OUT, 0.8)
    c.outlined(rect(2.5, 3, 15, 15.5), WHITE, OUT)
    c.fill(rect(3.5, 7, 14, 10), BLUE)
    for y in (4.6, 8.0, 11.6, 13.4):
        c.fill(rect(5, y, 12, y + 0.9), WHITE if y == 8.0 else LINE)


def draw_single_window(c):
    window(c, 0.5, 1.5, 13, 12.5)
    c.fill(union(rect(11.5, 8, 12.5, 16), rect(8, 11.5, 16, 12.5)), RED)


def draw_select_all(c):
    c.fill(rect(1, 2, 15, 14), LBLUE)
    dashed_rect(c, 1, 2, 15, 14)


def draw_unselect(c):
    dashed_rect(c, 1, 2, 13, 12)
    red_x(c, 11.5, 11.5, 4.0)


def draw_explore(c):
    draw_open(c)
    magnifier(c, 10, 9.5, 3.3)


def draw_home_page(c):
    c.fill(circle(8, 8, 7), OUT)
    c.fill(circle(8, 8, 6), (70, 140, 230))
    c.fill(union(ellipse(6, 6, 2.6, 2.0), ellipse(10.5, 10.5, 2.4, 2.6)), GREEN)
    c.fill(union(ring(8, 8, 6, 5.4), lambda x, y: abs(x - 8) < 0.4 and abs(y - 8) < 6,
                 lambda x, y: abs(y - 8) < 0.4 and abs(x - 8) < 6), (200, 225, 250), alpha=0.7)


def draw_about(c):
    c.outlined(circle(8, 8, 7), (60, 120, 220), OUT)
    c.fill(union(circle(8, 4.6, 1.2), rect(7, 6.8, 9, 12.5)), WHITE)


def draw_help(c):
    c.outlined(circle(8, 8, 7), YELLOW, DYELLOW)
    c.fill(union(arc(8, 6.2, 2.4, 1.6, 160, 400), seg(8, 8.6, 8, 9.8, 1.6)), OUT)
    c.fill(circle(8, 12, 1.0), OUT)


def draw_exit(c):
    c.fill(arc(8, 8.8, 5.4, 2.0, 300, 240 + 360), RED)
    c.fill(seg(8, 1.5, 8, 8, 2.0), RED)


def draw_show_main(c):
    window(c, 1, 2, 15, 14)
    c.fill(rect(4, 8, 12, 9), LINE)
    c.fill(rect(4, 10.5, 10, 11.5), LINE)


def draw_windows_manage(c):
    window(c, 0.5, 0.5, 10, 8, title=GREY)
    window(c, 3.5, 4, 13, 11.5, title=GREY)
    window(c, 6, 7.5, 15.5, 15.5)


def draw_cascade(c):
    window(c, 0.5, 0.5, 11, 10, title=GREY)
    window(c, 5, 5.5, 15.5, 15.5)


def draw_tile(c):
    window(c, 0.5, 2, 8, 14)
    window(c, 8, 2, 15.5, 14, title=GREY)


def draw_close_all(c):
    page(c, 0.5, 0.5, 9.5, 11.5, fold=2.5, lines=False)
    page(c, 3.5, 3, 12.5, 14.5, fold=2.5)
    red_x(c, 12, 12, 3.8)


def draw_save_all(c):
    floppy(c, 0.5, 0.5, 10, GREY)
    floppy(c, 5.5, 5.5, 10)


def draw_full_screen(c):
    c.outlined(rect(3.5, 3.5, 12.5, 12.5), LBLUE, BLUE, 1.0)
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        tx, ty = 8 + sx * 7.5, 8 + sy * 7.5
        c.fill(seg(8 + sx * 3.5, 8 + sy * 3.5, tx - sx * 1.5, ty - sy * 1.5, 1.2), OUT)
        ang = math.degrees(math.atan2(sy, sx))
        c.fill(arrow_head(tx, ty, ang, 3.4, 2.0), OUT)


def draw_tabs(c):
    c.outlined(poly([(0.5, 14), (0.5, 5), (2, 3.5), (7, 3.5), (8.5, 5), (8.5, 14)]), WHITE, OUT)
    c.outlined(poly([(8, 14), (8, 7), (9, 6), (14.5, 6), (15.5, 7), (15.5, 14)]), LGREY, OUT)
    c.fill(rect(0.5, 13.5, 15.5, 15), OUT)


def draw_next_window(c):
    window(c, 0.5, 1.5, 12, 12, title=GREY)
    c.fill(seg(6, 12, 12.5, 12, 1.6), GREEN)
    c.fill(arrow_head(15.8, 12, 0, 4.2, 3.0), GREEN)


def draw_prev_window(c):
    window(c, 4, 1.5, 15.5, 12, title=GREY)
    c.fill(seg(3.5, 12, 10, 12, 1.6), GREEN)
    c.fill(arrow_head(0.2, 12, 180, 4.2, 3.0), GREEN)


# Commands of the main toolbar (resource 128), in the order of its buttons; 0 = separator.
MAIN_TOOLBAR = [
    57601, 57603, 57607, 32857, 0, 57635, 57634, 57637, 57643, 57644, 32808, 0, 32822, 32824,
    1232, 32859, 0, 32792, 1101, 1100, 32788, 1168, 32791, 32790, 1104, 1152, 0, 32839, 32840,
    0, 32803, 32804, 32800, 32794, 32796, 32797,
]

# Commands that only show their image in menus (toolbar resource 234).
MENU_TOOLBAR = [
    57600, 57604, 57602, 57609, 57606, 57612, 32856, 32818, 32798, 32799, 32795, 32801, 32802,
    32805, 32809, 32807, 1103, 32793, 32819, 32848, 32850, 32854, 57664, 57667, 57665, 32849,
    32777, 57650, 57651, 32847, 32775, 32776, 32772, 32771, 32787, 32773, 32774,
]

# The full-screen toolbar (resource 131) holds one button.
FULLSCREEN_TOOLBAR = [32772]

PICTOGRAMS = {
    57601: draw_open, 57603: draw_save, 57607: draw_print, 32857: draw_reload,
    57635: draw_cut, 57634: draw_copy, 57637: draw_paste, 57643: draw_undo, 57644: draw_redo,
    32808: draw_select_region, 32822: draw_options, 32824: draw_default_action,
    1232: draw_repeat_last, 32859: draw_color_picker, 32792: draw_desktop, 1101: draw_control,
    1100: draw_active_window, 32788: draw_active_window_client, 1168: draw_rectangle,
    32791: draw_square, 32790: draw_circle, 1104: draw_ellipse, 1152: draw_polygon,
    32839: draw_zoom_in, 32840: draw_zoom_out, 32803: draw_brightness, 32804: draw_contrast,
    32800: draw_crop, 32794: draw_resize, 32796: draw_rotate_cw, 32797: draw_rotate_ccw,
    57600: draw_new, 57604: draw_save_as, 57602: draw_close, 57609: draw_print_preview,
    57606: draw_print_setup, 57612: draw_send_mail, 32856: draw_copy_all, 32818: draw_paste_new,
    32798: draw_scale, 32799: draw_stretch, 32795: draw_any_angle, 32801: draw_flip_h,
    32802: draw_flip_v, 32805: draw_grayscale, 32809: draw_invert, 32807: draw_intensity,
    1103: draw_menu_capture, 32793: draw_single_window, 32819: draw_select_all,
    32848: draw_unselect, 32850: draw_explore, 32854: draw_home_page, 57664: draw_about,
    57667: draw_help, 57665: draw_exit, 32849: draw_show_main, 32777: draw_windows_manage,
    57650: draw_cascade, 57651: draw_tile, 32847: draw_close_all, 32775: draw_close_all,
    32776: draw_save_all, 32772: draw_full_screen, 32771: draw_tabs, 32787: draw_tabs,
    32773: draw_next_window, 32774: draw_prev_window,
}

# Bitmap ids of the button images: command k of IMAGE_COMMANDS gets
# BUTTON_IMAGE_BASE + 3k (normal), + 1 (hot), + 2 (disabled).
BUTTON_IMAGE_BASE = 4000
BUTTON_BACKGROUND = (255, 0, 255)  # first pixel of every button image; never used inside
STRIP_BACKGROUND = (192, 192, 192)  # toolbar strips: the classic button face


def image_commands():
    seen = []
    for cmd in MAIN_TOOLBAR + MENU_TOOLBAR + FULLSCREEN_TOOLBAR:
        if cmd and cmd not in seen:
            seen.append(cmd)
    return seen


def render_button(cmd):
    """The command's picture as 16 x 16 straight RGBA tuples with hard outer edges."""
    c = Canvas(16, 16, supersample=4)
    PICTOGRAMS[cmd](c)
    out = []
    for j in range(16):
        row = []
        for i in range(16):
            r, g, b, a = c.rgba8(i, j)
            row.append((r, g, b, 255) if a >= 128 else None)
        out.append(row)
    return out


def hot_variant(img):
    def lift(p):
        if p is None:
            return None
        return tuple(min(255, int(v * 1.08 + 14)) for v in p[:3]) + (255,)
    return [[lift(p) for p in row] for row in img]


def disabled_variant(img):
    """Embossed grey: a white copy one pixel down-right under a grey copy of the shape."""
    out = [[None] * 16 for _ in range(16)]
    for j in range(16):
        for i in range(16):
            if img[j][i] is not None and i + 1 < 16 and j + 1 < 16:
                out[j + 1][i + 1] = (255, 255, 255, 255)
    for j in range(16):
        for i in range(16):
            p = img[j][i]
            if p is not None:
                lum = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]
                v = 100 if lum < 150 else 150
                out[j][i] = (v, v + 1, v + 6, 255)
    return out


# Greys that loading a bitmap with 3-D colour mapping replaces by system colours, and the
# backgrounds: a picture pixel of one of these colours is moved by one step of blue.
MAPPED_GREYS = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}


def flatten(img, background):
    avoid = MAPPED_GREYS | {BUTTON_BACKGROUND, STRIP_BACKGROUND}

    def colour(p):
        if p is None:
            return background
        c = p[:3]
        return (c[0], c[1], c[2] + 1 if c[2] < 255 else 254) if c in avoid else c
    return [[colour(p) for p in row] for row in img]


# ------------------------------------------------------------------------------------------
# Palettes and file formats


def median_cut(colors, count):
    """Reduces a {colour: weight} map to at most count colours; returns the palette."""
    boxes = [list(colors.items())]
    while len(boxes) < count:
        best, best_range, best_ch = None, 0, 0
        for bi, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[ch] for c, _ in box]
                rng = max(vals) - min(vals)
                if rng > best_range:
                    best, best_range, best_ch = bi, rng, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda cw: (cw[0][best_ch], cw[0]))
        total = sum(w for _, w in box)
        acc, cut = 0, 1
        for k, (_, w) in enumerate(box):
            acc += w
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    palette = []
    for box in boxes:
        total = sum(w for _, w in box)
        palette.append(tuple(round(sum(c[ch] * w for c, w in box) / total) for ch in range(3)))
    return palette


def palettise(pixels, reserved=()):
    """Maps rows of (r, g, b) to indices; the reserved colours come first, exactly."""
    colors = {}
    for row in pixels:
        for p in row:
            if p not in reserved:
                colors[p] = colors.get(p, 0) + 1
    room = 256 - len(reserved)
    if len(colors) <= room:
        palette = list(reserved) + sorted(colors)
    else:
        palette = list(reserved) + median_cut(colors, room)
    # No picture colour may equal a reserved (background) colour or one of the greys that
    # loading with 3-D colour mapping replaces; move such an entry by one step.
    avoid = set(reserved) | MAPPED_GREYS
    for k in range(len(reserved), len(palette)):
        if palette[k] in avoid and palette[k] not in colors:
            palette[k] = (palette[k][0], palette[k][1], palette[k][2] + 1)
    index = {c: k for k, c in enumerate(palette)}
    cache = {}

    def nearest(p):
        if p in index:
            return index[p]
        if p not in cache:
            cache[p] = min(range(len(reserved), len(palette)),
                           key=lambda k: sum((p[ch] - palette[k][ch]) ** 2 for ch in range(3)))
        return cache[p]
    return palette, [[nearest(p) for p in row] for row in pixels]


def bmp8(pixels, reserved=()):
    """An 8-bit BMP file (bottom-up, with only the palette entries it uses)."""
    h, w = len(pixels), len(pixels[0])
    palette, idx = palettise(pixels, reserved)
    stride = (w + 3) & ~3
    bits = bytearray()
    for row in reversed(idx):
        bits += bytes(row) + b"\0" * (stride - w)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(bits), 2835, 2835,
                       len(palette), len(palette))
    return header + info + pal + bytes(bits)


def ico(images):
    """An icon file from canvases: 32-bit colour with alpha, plus the 1-bit AND mask."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for c in images:
        w, h = c.w, c.h
        xor = bytearray()
        mask = bytearray()
        mstride = ((w + 31) // 32) * 4
        for j in reversed(range(h)):
            mrow = bytearray(mstride)
            for i in range(w):
                r, g, b, a = c.rgba8(i, j)
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
                if a < 128:
                    mrow[i // 8] |= 0x80 >> (i % 8)
            mask += mrow
        info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask),
                           0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob),
                                   offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def cur(art, hotspot):
    """A 32 x 32 monochrome cursor from text art: '.' transparent, 'X' black, 'o' white,
    '~' inverted screen. Art smaller than 32 x 32 sits at the top-left corner."""
    size = 32
    rows = [line.ljust(size, ".")[:size] for line in art] + ["." * size] * (size - len(art))
    xor = bytearray()
    andm = bytearray()
    for line in reversed(rows):
        xr = bytearray(4)
        ar = bytearray(4)
        for i, ch in enumerate(line):
            bit = 0x80 >> (i % 8)
            if ch in ".~":
                ar[i // 8] |= bit
            if ch in "o~":
                xr[i // 8] |= bit
        xor += xr
        andm += ar
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 1, 0, len(xor) + len(andm),
                       0, 0, 2, 2)
    pal = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    blob = info + pal + bytes(xor) + bytes(andm)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(blob), 6 + 16)
    return struct.pack("<HHH", 0, 2, 1) + entry + blob


def outline_art(art):
    """Gives every black shape of text art a white rim so it shows on dark backgrounds."""
    h = len(art)
    w = max(len(r) for r in art)
    grid = [list(r.ljust(w, ".")) for r in art]
    out = [row[:] for row in grid]
    for j in range(h):
        for i in range(w):
            if grid[j][i] != ".":
                continue
            for dj in (-1, 0, 1):
                for di in (-1, 0, 1):
                    jj, ii = j + dj, i + di
                    if 0 <= jj < h and 0 <= ii < w and grid[jj][ii] == "X":
                        out[j][i] = "o"
    return ["".join(r) for r in out]


# ------------------------------------------------------------------------------------------
# Cursors


def crosshair_art():
    size = 32
    c = 15
    rows = [["."] * size for _ in range(size)]
    for k in range(size):
        if 2 <= k <= 28 and abs(k - c) >= 3:
            rows[c][k] = "X"
            rows[k][c] = "X"
    rows[c][c] = "X"  # the hot spot itself, so the user sees the picked pixel
    return outline_art(["".join(r) for r in rows])


MOVE_ART = outline_art([
    "",
    "...........X",
    "..........XXX",
    ".........XXXXX",
    "........XXXXXXX",
    "...........X",
    "...........X",
    "...........X",
    "....X......X......X",
    "...XX......X......XX",
    "..XXX......X......XXX",
    ".XXXXXXXXXXXXXXXXXXXXX",
    "..XXX......X......XXX",
    "...XX......X......XX",
    "....X......X......X",
    "...........X",
    "...........X",
    "...........X",
    "........XXXXXXX",
    ".........XXXXX",
    "..........XXX",
    "...........X",
])

OPEN_HAND_ART = [
    "",
    "........XX",
    "....XX.XooXXX",
    "...XooXXooXooX",
    "...XooXXooXooX.X",
    "....XooXooXooXXoX",
    "....XooXooXooXooX",
    "..XX.XoooooooXooX",
    ".XooXXoooooooooX",
    ".XoooXooooooooX",
    "..XooooooooooooX",
    "...XoooooooooooX",
    "...XooooooooooX",
    "....XoooooooooX",
    ".....XooooooooX",
    "......XoooooooX",
    "......XoooooooX",
    "......XXXXXXXXX",
]

GRAB_HAND_ART = [
    "",
    "",
    "",
    "",
    ".....XX.XX.XX",
    "....XooXooXooXX",
    "....XoooooooooXoX",
    ".....XooooooooooX",
    "....XXoooooooooX",
    "...XoooooooooooX",
    "...XoooooooooooX",
    "....XooooooooooX",
    ".....XoooooooooX",
    "......XooooooooX",
    "......XoooooooX",
    "......XoooooooX",
    "......XXXXXXXXX",
]

PICKER_ART = outline_art([
    "",
    "...............XXX",
    "..............XXXXX",
    "...........X.XXXXXXX",
    "............XXXXXXXX",
    "...........XXXXXXXX",
    "..........XoXXXXXX",
    ".........XoooXXX.X",
    "........XoooX.X",
    ".......XoooX",
    "......XoooX",
    ".....XoooX",
    "....XoooX",
    "...XoooX",
    "..XoooX",
    "..XooX",
    ".X.XX",
    ".X",
])


def make_cursors(out):
    files = {
        "track.cur": (crosshair_art(), (15, 15)),
        "freeze.cur": (crosshair_art(), (15, 15)),
        "move.cur": (MOVE_ART, (11, 11)),
        "hand.cur": (OPEN_HAND_ART, (9, 9)),
        "grab.cur": (GRAB_HAND_ART, (9, 10)),
        "picker.cur": (PICKER_ART, (1, 17)),
    }
    for name, (art, hot) in files.items():
        write(out, name, cur(art, hot))


# ------------------------------------------------------------------------------------------
# Icons


def draw_program_icon(c):
    """The Lumatre mark on a 48 x 48 grid: a camera with a large blue lens."""
    c.fill(rrect(15, 6, 31, 14, 2.5), (52, 56, 70))
    c.fill(rrect(35, 8.5, 42, 13, 1.5), (200, 40, 36))
    body = rrect(3, 11, 45, 41, 6)
    c.fill(body, (30, 32, 42))
    c.fill(erode(body, 1.4), vgrad((108, 116, 140), (52, 56, 72), 11, 41))
    c.fill(rrect(7.5, 15, 14, 19.5, 1), (236, 240, 250))
    c.fill(circle(24, 26.5, 13), (30, 32, 42))
    c.fill(circle(24, 26.5, 11.8), vgrad((244, 246, 252), (150, 156, 172), 14, 38))
    c.fill(circle(24, 26.5, 9.2), (24, 26, 34))

    def glass(x, y):
        d = math.hypot(x - 21.5, y - 23.5) / 10.0
        return lerp((120, 200, 255), (18, 60, 170), d)
    c.fill(circle(24, 26.5, 7.8), glass)
    c.fill(circle(24, 26.5, 3.0), (10, 24, 80), alpha=0.8)
    c.fill(ellipse(20.6, 22.8, 2.6, 1.8), WHITE, alpha=0.9)
    c.fill(circle(27.5, 30.5, 1.0), WHITE, alpha=0.5)


def draw_document_icon(c):
    """An image window: a framed landscape, on a 32 x 32 grid."""
    c.fill(rect(2, 4, 30, 28), OUT)
    c.fill(rect(3, 5, 29, 27), WHITE)
    landscape(c, 5, 7, 27, 25)
    c.fill(outline_of(rect(5, 7, 27, 25), 0.8), DGREY)


def make_icons(out):
    write(out, "lumatre.ico", ico([render_icon(draw_program_icon, 48, s) for s in (48, 32, 16)]))
    write(out, "tray.ico", ico([render_icon(draw_program_icon, 48, 16)]))
    doc = ico([render_icon(draw_document_icon, 32, s) for s in (32, 16)])
    write(out, "document.ico", doc)
    write(out, "imageframe.ico", doc)


def render_icon(draw, logical, size):
    c = Canvas(size, logical, supersample=4 if size > 16 else 6)
    draw(c)
    return c


# ------------------------------------------------------------------------------------------
# Info panel background (bitmap 367: 250 x 48, 256 colours)


def make_info_panel(out):
    w, h = 250, 48
    pixels = []
    for y in range(h):
        row = []
        for x in range(w):
            t = x / (w - 1)
            base = lerp((24, 44, 88), (8, 16, 36), t)
            shade = 1.0 + 0.18 * (1 - y / (h - 1)) - 0.08
            col = tuple(min(255, v * shade) for v in base)
            # Faint lens rings at the right end; the texts sit further left.
            d = math.hypot(x - 222, y - 24)
            for r in (8, 14, 20):
                if abs(d - r) < 0.9:
                    col = lerp(col, (70, 110, 170), 0.45 * (1 - abs(d - r) / 0.9))
            row.append(tuple(int(round(v)) for v in col))
        pixels.append(row)
    # Outer frame: light top-left, dark bottom-right.
    for x in range(w):
        pixels[0][x] = (120, 150, 200)
        pixels[h - 1][x] = (4, 8, 18)
    for y in range(h):
        pixels[y][0] = (120, 150, 200)
        pixels[y][w - 1] = (4, 8, 18)
    # The magnifier well behind (2, 2) - (46, 46): sunken.
    for y in range(2, 47):
        for x in range(2, 47):
            edge_dark = x == 2 or y == 2
            edge_light = x == 46 or y == 46
            if edge_dark:
                pixels[y][x] = (4, 8, 18)
            elif edge_light:
                pixels[y][x] = (90, 120, 175)
            else:
                pixels[y][x] = (10, 14, 24)
    write(out, "infopanel.bmp", bmp8(pixels))


# ------------------------------------------------------------------------------------------
# Toolbars and button images


def make_toolbars(out):
    images = {cmd: render_button(cmd) for cmd in image_commands()}

    def strip(commands):
        cmds = [cmd for cmd in commands if cmd]
        rows = [[] for _ in range(16)]
        for cmd in cmds:
            flat = flatten(images[cmd], STRIP_BACKGROUND)
            for j in range(16):
                rows[j].extend(flat[j])
        return bmp8(rows, reserved=(STRIP_BACKGROUND,))

    write(out, "toolbar_main.bmp", strip(MAIN_TOOLBAR))
    write(out, "toolbar_menu.bmp", strip(MENU_TOOLBAR))
    write(out, "toolbar_fullscreen.bmp", strip(FULLSCREEN_TOOLBAR))

    rc = ["// Generated by resources/make_resources.py: toolbars and button images.", ""]

    def toolbar(res_id, bitmap, commands):
        # The toolbar layout as the framework's loaders read it: WORD version 1, button width,
        # button height, button count, then one WORD command id per button (0 = separator).
        # (windres's own TOOLBAR statement writes DWORDs without the version, so the data is
        # spelled out as a user-defined resource of type 241.)
        rc.append('%d BITMAP "%s"' % (res_id, bitmap))
        rc.append("%d 241" % res_id)
        rc.append("BEGIN")
        rc.append("  1, 16, 16, %d," % len(commands))
        for k in range(0, len(commands), 12):
            chunk = commands[k:k + 12]
            last = k + 12 >= len(commands)
            rc.append("  " + ", ".join(str(c) for c in chunk) + ("" if last else ","))
        rc.append("END")
        rc.append("")

    toolbar(128, "toolbar_main.bmp", MAIN_TOOLBAR)
    toolbar(131, "toolbar_fullscreen.bmp", FULLSCREEN_TOOLBAR)
    toolbar(234, "toolbar_menu.bmp", MENU_TOOLBAR)

    header = [
        "// Generated by resources/make_resources.py: the high-colour button images.",
        "// Each command's normal, hot and disabled pictures are 16 x 16, 8-bit bitmaps whose",
        "// first pixel is the background colour RGB(255, 0, 255), used nowhere else in them.",
        "#pragma once",
        "",
        "struct LumatreCommandImage {",
        "  unsigned short command;",
        "  unsigned short normal, hot, disabled;  // BITMAP resource ids",
        "};",
        "",
        "#define LUMATRE_BUTTON_BACKGROUND 0x00FF00FFu  // COLORREF of the background",
        "",
        "inline constexpr LumatreCommandImage kLumatreCommandImages[] = {",
    ]
    for k, cmd in enumerate(image_commands()):
        base = BUTTON_IMAGE_BASE + 3 * k
        for variant, img in enumerate((images[cmd], hot_variant(images[cmd]),
                                       disabled_variant(images[cmd]))):
            name = "button_%d_%s.bmp" % (cmd, "nhd"[variant])
            flat = flatten(img, BUTTON_BACKGROUND)
            flat[0][0] = BUTTON_BACKGROUND  # the first pixel names the background colour
            write(out, name, bmp8(flat, reserved=(BUTTON_BACKGROUND,)))
            rc.append('%d BITMAP "%s"' % (base + variant, name))
        header.append("    {%d, %d, %d, %d}," % (cmd, base, base + 1, base + 2))
    header += ["};", ""]
    write(out, "toolbars.rc", ("\n".join(rc) + "\n").encode("ascii"))
    write(out, "CommandImages.h", ("\n".join(header)).encode("ascii"))


# ------------------------------------------------------------------------------------------
# Capture sound (wave 339): PCM, mono, 22050 Hz, 8-bit, exactly 13851 sample bytes


RATE = 22050
SAMPLES = 13851


class Lcg:
    def __init__(self, seed):
        self.s = seed

    def next(self):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.s / 0x3FFFFFFF) - 1.0  # -1 .. 1


def resonator(signal, freq, q):
    """A two-pole band-pass filter (resonant body of the shutter)."""
    w = 2 * math.pi * freq / RATE
    r = math.exp(-w / (2 * q))
    a1, a2 = 2 * r * math.cos(w), -r * r
    y1 = y2 = 0.0
    out = []
    for x in signal:
        y = x * (1 - r) + a1 * y1 + a2 * y2
        out.append(y)
        y1, y2 = y, y1
    return out


def click(rng, start, decay_ms, freqs, gain):
    """A burst of noise rung through a few resonances, starting at sample start."""
    n = SAMPLES - start
    tau = decay_ms / 1000.0 * RATE
    noise = [rng.next() * math.exp(-k / tau) for k in range(n)]
    out = [0.0] * n
    for f, q, g in freqs:
        for k, v in enumerate(resonator(noise, f, q)):
            out[k] += v * g
    return [0.0] * start + [v * gain for v in out]


def make_wave(out):
    rng = Lcg(339)
    ms = RATE // 1000
    layers = [
        # The shutter opening: a sharp tick and a short metallic ring.
        click(rng, 2 * ms, 2.5, [(3400, 6, 1.0), (5200, 8, 0.6), (1300, 5, 0.5)], 4.5),
        click(rng, 9 * ms, 18, [(900, 4, 1.0), (2100, 6, 0.6)], 1.6),
        # The shutter closing a moment later, softer.
        click(rng, 118 * ms, 2.0, [(3000, 6, 1.0), (4700, 8, 0.5)], 2.4),
        click(rng, 124 * ms, 30, [(700, 3, 1.0), (1600, 5, 0.5)], 0.8),
        # The mirror settling: a low, quiet thud.
        click(rng, 150 * ms, 60, [(220, 2, 1.0), (430, 3, 0.5)], 0.6),
    ]
    mixed = [sum(layer[k] for layer in layers) for k in range(SAMPLES)]
    peak = max(abs(v) for v in mixed) or 1.0
    data = bytearray()
    for k, v in enumerate(mixed):
        # Fade the last 20 ms so the sound ends on silence without a step.
        tail = SAMPLES - k
        fade = min(1.0, tail / (20 * ms))
        s = int(round(128 + 110 * v / peak * fade))
        data.append(max(1, min(255, s)))
    data[0] = data[-1] = 128
    assert len(data) == SAMPLES
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + bytes(data)
    if len(data) % 2:
        body += b"\0"  # chunks are padded to even lengths
    write(out, "capture.wav", b"RIFF" + struct.pack("<I", len(body)) + body)


# ------------------------------------------------------------------------------------------


def write(out, name, data):
    path = os.path.join(out, name)
    # Leave unchanged files alone so the resource compiler does not run again for nothing.
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_resources.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    make_icons(out)
    make_cursors(out)
    make_info_panel(out)
    make_toolbars(out)
    make_wave(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
