// The colour picker's output: the picked colour as text in one of nine notations, put on the
// clipboard when the user asked for it.
#pragma once

#include <windows.h>

#include <string>

// Number of notations ("ColorPickerOutputFormat" 0 ... 8).
constexpr int kColorFormatCount = 9;

// Hue (degrees), lightness and saturation (0 ... 1) as the HSB notation prints them, computed in
// single precision: lightness = (max + min) / 510; saturation = diff / (max + min) up to a
// lightness of 0.5, else diff / (510 - max - min); the hue rules for red, green and blue applied
// in that order, the later replacing the earlier, and 360 subtracted only above 360 (pure red
// gives 360). Grey levels give hue 0 and saturation 0.
struct HueLightSat {
  float hue = 0;
  float lightness = 0;
  float saturation = 0;
};
HueLightSat ComputeHueLightSat(int red, int green, int blue);

// The colour (COLORREF: red in bits 0-7, green 8-15, blue 16-23) as text in format 0 ... 8:
//   0 "#RRGGBB", 1 "Color.FromArgb(r, g, b)", 2 "0x00BBGGRR", 3 "&H00BBGGRR", 4 "RGB(r, g, b)",
//   5 "new Color(0x00BBGGRR)", 6 "$00BBGGRR", 7 "RGB(r, g, b)", 8 "hue, lightness, saturation".
// The formats that print the whole value print it in blue-green-red order. A format outside
// 0 ... 8 (a damaged setting) gives the HTML notation of format 0. Bits 24-31 are ignored.
std::string FormatColorText(COLORREF color, long format);

// After a pick: when "OptionsA" has the copy option (0x400000), formats the colour by format and
// puts the text on the clipboard (no owner window). True when the clipboard received the text;
// false when the option is clear (the clipboard is untouched) or the clipboard failed.
bool CopyColorText(COLORREF color, DWORD optionsA, long format);
