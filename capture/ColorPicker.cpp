#include "ColorPicker.h"

#include <algorithm>
#include <cstdio>

#include "ClipboardText.h"
#include "common/Settings.h"

namespace {

// The longest text a notation can make is far below this.
constexpr size_t kMaxColorText = 256;

}  // namespace

HueLightSat ComputeHueLightSat(int red, int green, int blue) {
  const float r = static_cast<float>(red & 0xFF);
  const float g = static_cast<float>(green & 0xFF);
  const float b = static_cast<float>(blue & 0xFF);
  const float max = std::max({r, g, b});
  const float min = std::min({r, g, b});
  const float diff = max - min;

  HueLightSat out;
  out.lightness = (max + min) / 510.0f;
  if (max == min) return out;  // grey: no hue, no saturation

  out.saturation = out.lightness <= 0.5f ? diff / (max + min) : diff / (510.0f - max - min);
  // Applied in this order: where two components share the maximum the later rule wins.
  if (max == r) out.hue = (6.0f + (g - b) / diff) * 60.0f;
  if (max == g) out.hue = (2.0f + (b - r) / diff) * 60.0f;
  if (max == b) out.hue = (4.0f + (r - g) / diff) * 60.0f;
  if (out.hue > 360.0f) out.hue -= 360.0f;
  return out;
}

std::string FormatColorText(COLORREF color, long format) {
  color &= 0x00FFFFFFu;
  const int r = GetRValue(color);
  const int g = GetGValue(color);
  const int b = GetBValue(color);
  const unsigned v = static_cast<unsigned>(color);
  char text[kMaxColorText] = {};
  switch (format) {
    case kColorDotNet:
      std::snprintf(text, sizeof text, "Color.FromArgb(%d, %d, %d)", r, g, b);
      break;
    case kColorVC:
      std::snprintf(text, sizeof text, "0x%08X", v);
      break;
    case kColorVB:
      std::snprintf(text, sizeof text, "&H%08X", v);
      break;
    case kColorVFP:
    case kColorRGB:
      std::snprintf(text, sizeof text, "RGB(%d, %d, %d)", r, g, b);
      break;
    case kColorJava:
      std::snprintf(text, sizeof text, "new Color(0x%08X)", v);
      break;
    case kColorDelphi:
      std::snprintf(text, sizeof text, "$%08X", v);
      break;
    case kColorHSB: {
      const HueLightSat hls = ComputeHueLightSat(r, g, b);
      std::snprintf(text, sizeof text, "%.0f, %.4f, %.4f", static_cast<double>(hls.hue),
                    static_cast<double>(hls.lightness), static_cast<double>(hls.saturation));
      break;
    }
    case kColorHtml:
    default:
      std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
      break;
  }
  return text;
}

bool CopyColorText(COLORREF color, DWORD optionsA, long format) {
  if (!(optionsA & kOptColorToClipboard)) return false;
  return SetClipboardText(FormatColorText(color, format).c_str(), nullptr) == 1;
}
