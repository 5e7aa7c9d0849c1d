// The colour picker's notations: every format of the table, the HSB rules in single precision,
// and what a damaged format setting gives.
#include <gtest/gtest.h>

#include <string>

#include "capture/ColorPicker.h"

namespace {

struct FormatCase {
  COLORREF color;
  long format;
  const char* text;
};

TEST(ColorText, EveryFormatAsTabled) {
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF blue = RGB(0, 0, 255);
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF mixed = RGB(18, 52, 86);  // 0x12, 0x34, 0x56
  const FormatCase cases[] = {
      {white, 0, "#FFFFFF"},
      {white, 1, "Color.FromArgb(255, 255, 255)"},
      {white, 2, "0x00FFFFFF"},
      {white, 3, "&H00FFFFFF"},
      {white, 4, "RGB(255, 255, 255)"},
      {white, 5, "new Color(0x00FFFFFF)"},
      {white, 6, "$00FFFFFF"},
      {white, 7, "RGB(255, 255, 255)"},
      {white, 8, "0, 1.0000, 0.0000"},
      {blue, 0, "#0000FF"},
      {blue, 2, "0x00FF0000"},
      {blue, 3, "&H00FF0000"},
      {blue, 5, "new Color(0x00FF0000)"},
      {blue, 6, "$00FF0000"},
      {red, 2, "0x000000FF"},
      {red, 0, "#FF0000"},
      {mixed, 0, "#123456"},
      {mixed, 1, "Color.FromArgb(18, 52, 86)"},
      {mixed, 2, "0x00563412"},
      {mixed, 4, "RGB(18, 52, 86)"},
      {mixed, 7, "RGB(18, 52, 86)"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(FormatColorText(c.color, c.format), c.text) << "format " << c.format << " colour " << std::hex << c.color;
}

TEST(ColorText, HsbRules) {
  const FormatCase cases[] = {
      {RGB(0, 0, 0), 8, "0, 0.0000, 0.0000"},
      {RGB(255, 255, 255), 8, "0, 1.0000, 0.0000"},
      {RGB(128, 128, 128), 8, "0, 0.5020, 0.0000"},
      // Red: (6 + 0) x 60 = 360 stays 360.
      {RGB(255, 0, 0), 8, "360, 0.5000, 1.0000"},
      {RGB(0, 255, 0), 8, "120, 0.5000, 1.0000"},
      {RGB(0, 0, 255), 8, "240, 0.5000, 1.0000"},
      // Orange: (6 + 128 / 255) x 60 = 390.1 > 360, so 30.
      {RGB(255, 128, 0), 8, "30, 0.5000, 1.0000"},
      // Red and green share the maximum: the green rule comes later and wins (60, not 420).
      {RGB(255, 255, 128), 8, "60, 0.7510, 1.0000"},
      // Red and blue share it: the blue rule wins, (4 + 1) x 60.
      {RGB(255, 0, 255), 8, "300, 0.5000, 1.0000"},
      // Lightness above one half: saturation = diff / (510 - max - min).
      {RGB(200, 150, 100), 8, "30, 0.5882, 0.4762"},
      // Dark: diff / (max + min).
      {RGB(10, 20, 60), 8, "228, 0.1373, 0.7143"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(FormatColorText(c.color, c.format), c.text) << std::hex << c.color;
}

TEST(ColorText, HueLightSatInSinglePrecision) {
  const HueLightSat red = ComputeHueLightSat(255, 0, 0);
  EXPECT_EQ(red.hue, 360.0f);
  EXPECT_EQ(red.lightness, 0.5f);
  EXPECT_EQ(red.saturation, 1.0f);
  const HueLightSat grey = ComputeHueLightSat(77, 77, 77);
  EXPECT_EQ(grey.hue, 0.0f);
  EXPECT_EQ(grey.saturation, 0.0f);
  EXPECT_EQ(grey.lightness, 154.0f / 510.0f);
}

TEST(ColorText, UnknownFormatsGiveTheHtmlNotation) {
  EXPECT_EQ(FormatColorText(RGB(1, 2, 3), -1), "#010203");
  EXPECT_EQ(FormatColorText(RGB(1, 2, 3), 9), "#010203");
  EXPECT_EQ(FormatColorText(RGB(1, 2, 3), 0x7FFFFFFF), "#010203");
}

TEST(ColorText, HighByteOfTheColourIsIgnored) {
  EXPECT_EQ(FormatColorText(0x02FF0000u, 2), "0x00FF0000");
  EXPECT_EQ(FormatColorText(0x01000000u | RGB(255, 0, 0), 0), "#FF0000");
}

}  // namespace
