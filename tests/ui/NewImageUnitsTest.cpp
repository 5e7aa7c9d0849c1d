// The arithmetic of the "Create New Image" dialog: unit conversions both ways, the rounding to
// pixels, the numbers' display, and the checks Create makes.
#include <gtest/gtest.h>

#include <string>

#include "ui/NewImageUnits.h"

namespace {

using Field = CNewImageUnits::Field;
using Problem = CNewImageUnits::Problem;
constexpr int kPx = static_cast<int>(NewImageSizeUnit::Pixels);
constexpr int kIn = static_cast<int>(NewImageSizeUnit::Inches);
constexpr int kCm = static_cast<int>(NewImageSizeUnit::Centimeters);
constexpr int kPerInch = static_cast<int>(NewImageResolutionUnit::PixelsPerInch);
constexpr int kPerCm = static_cast<int>(NewImageResolutionUnit::PixelsPerCm);

}  // namespace

TEST(NewImageUnits, ResolutionConversions) {
  using R = NewImageResolutionUnit;
  EXPECT_DOUBLE_EQ(ConvertResolution(72, R::PixelsPerInch, R::PixelsPerCm), 72 * 0.39370078740157477);
  EXPECT_DOUBLE_EQ(ConvertResolution(10, R::PixelsPerCm, R::PixelsPerInch), 25.4);
  EXPECT_NEAR(ConvertResolution(ConvertResolution(72, R::PixelsPerInch, R::PixelsPerCm), R::PixelsPerCm, R::PixelsPerInch),
              72.0, 1e-12);
  EXPECT_EQ(ConvertResolution(72, R::PixelsPerInch, R::PixelsPerInch), 72);
  EXPECT_DOUBLE_EQ(PixelsPerInch(10, R::PixelsPerCm), 25.4);
  EXPECT_DOUBLE_EQ(PixelsPerCentimeter(254, R::PixelsPerInch), 254 * 0.39370078740157477);
}

TEST(NewImageUnits, LengthConversions) {
  using S = NewImageSizeUnit;
  using R = NewImageResolutionUnit;
  struct Case {
    double value;
    S from, to;
    double resolution;
    R resolutionUnit;
    double roundUp;
    double expected;
  };
  const double ppcm72 = 72 * 0.39370078740157477;
  const Case cases[] = {
      {400, S::Pixels, S::Inches, 72, R::PixelsPerInch, kWidthRoundUp, 400.0 / 72},
      {400.0 / 72, S::Inches, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 400},
      {400, S::Pixels, S::Centimeters, 72, R::PixelsPerInch, kWidthRoundUp, 400 / ppcm72},
      {400 / ppcm72, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 400},
      {300 / ppcm72, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kHeightRoundUp, 300},
      {2, S::Inches, S::Centimeters, 72, R::PixelsPerInch, kWidthRoundUp, 5.08},
      {5.08, S::Centimeters, S::Inches, 72, R::PixelsPerInch, kWidthRoundUp, 2},
      // The resolution given per centimetre.
      {400, S::Pixels, S::Inches, ppcm72, R::PixelsPerCm, kWidthRoundUp, 400.0 / 72},
      {10, S::Centimeters, S::Pixels, 20, R::PixelsPerCm, kWidthRoundUp, 200},
      // Rounded up to whole pixels...
      {400.5 / 72, S::Inches, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 401},
      {1.0 / 72 / 4, S::Inches, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 1},
      // ...where a width is more eager than a height: 5e-7 over a whole pixel.
      {300.0000005 / 72, S::Inches, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 301},
      {300.0000005 / 72, S::Inches, S::Pixels, 72, R::PixelsPerInch, kHeightRoundUp, 300},
      // Centimetres at a resolution per inch: a real fraction of a pixel is rounded up.
      {1, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 29},   // 28.35
      {1, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kHeightRoundUp, 29},
      {2.5, S::Centimeters, S::Pixels, 96, R::PixelsPerInch, kWidthRoundUp, 95},  // 94.49
      {2.5, S::Centimeters, S::Pixels, 96, R::PixelsPerInch, kHeightRoundUp, 95},
      {28.0000005 / ppcm72, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 29},
      {28.0000005 / ppcm72, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kHeightRoundUp, 28},
      {28.000002 / ppcm72, S::Centimeters, S::Pixels, 72, R::PixelsPerInch, kHeightRoundUp, 29},
      // The same unit leaves the number alone, even a fraction of a pixel.
      {12.75, S::Pixels, S::Pixels, 72, R::PixelsPerInch, kWidthRoundUp, 12.75},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(ConvertImageLength(c.value, c.from, c.to, c.resolution, c.resolutionUnit, c.roundUp), c.expected, 1e-9)
        << c.value << " from " << static_cast<int>(c.from) << " to " << static_cast<int>(c.to);
  }
}

TEST(NewImageUnits, NumbersAreShownWithUpToSixDecimals) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {400, "400"},
      {400.0 / 72, "5.555556"},
      {72 * 0.39370078740157477, "28.346457"},
      {400 / (72 * 0.39370078740157477), "14.111111"},
      {0.5, "0.5"},
      {2.54, "2.54"},
      {71.99999999999999, "72"},
      {72.00000000000001, "72"},
      {1e-9, "0"},
      {-1e-9, "0"},
      {-2.5, "-2.5"},
      {0, "0"},
      {123456789.125, "123456789.125"},
      {1e20, "1e+20"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatUnitValue(c.value), c.text) << c.value;
}

TEST(NewImageUnits, StartsAt400By300PixelsAt72PerInch) {
  CNewImageUnits units;
  EXPECT_EQ(units.GetText(CNewImageUnits::Width), "400");
  EXPECT_EQ(units.GetText(CNewImageUnits::Height), "300");
  EXPECT_EQ(units.GetText(CNewImageUnits::HorizontalRes), "72");
  EXPECT_EQ(units.GetText(CNewImageUnits::VerticalRes), "72");
  for (int f = 0; f < CNewImageUnits::FieldCount; ++f) EXPECT_EQ(units.GetUnit(static_cast<Field>(f)), 0);
  CNewImageUnits::Check check = units.Validate();
  EXPECT_EQ(check.problem, Problem::None);
  EXPECT_EQ(check.pixels.cx, 400);
  EXPECT_EQ(check.pixels.cy, 300);
}

TEST(NewImageUnits, SizeUnitRoundTripComesBackToTheSamePixels) {
  CNewImageUnits units;
  struct Step {
    Field field;
    int unit;
    const char* text;
  };
  const Step steps[] = {
      {CNewImageUnits::Width, kIn, "5.555556"},   {CNewImageUnits::Width, kCm, "14.111111"},
      {CNewImageUnits::Width, kPx, "400"},        {CNewImageUnits::Width, kCm, "14.111111"},
      {CNewImageUnits::Width, kIn, "5.555556"},   {CNewImageUnits::Height, kCm, "10.583333"},
      {CNewImageUnits::Height, kIn, "4.166667"},  {CNewImageUnits::Height, kPx, "300"},
  };
  for (const Step& s : steps) {
    // The text the dialog shows is taken back as the exact number behind it.
    ASSERT_TRUE(units.SetText(s.field, units.GetText(s.field)));
    EXPECT_EQ(units.ChangeUnit(s.field, s.unit).problem, Problem::None);
    EXPECT_EQ(units.GetText(s.field), s.text);
  }
  CNewImageUnits::Check check = units.Validate();
  EXPECT_EQ(check.pixels.cx, 400);  // created from 5.555... inches
  EXPECT_EQ(check.pixels.cy, 300);
}

TEST(NewImageUnits, ATypedNumberIsTakenAsTyped) {
  CNewImageUnits units;
  units.ChangeUnit(CNewImageUnits::Width, kIn);
  // 5.555557 inches is a little more than 400 pixels, so it rounds up to 401.
  ASSERT_TRUE(units.SetText(CNewImageUnits::Width, " 5.555557 "));
  units.ChangeUnit(CNewImageUnits::Width, kPx);
  EXPECT_EQ(units.GetText(CNewImageUnits::Width), "401");
  ASSERT_TRUE(units.SetText(CNewImageUnits::Width, "2"));
  units.ChangeUnit(CNewImageUnits::Width, kIn);
  EXPECT_EQ(units.GetText(CNewImageUnits::Width), "0.027778");
}

TEST(NewImageUnits, TextsThatAreNotNumbersChangeNothing) {
  for (const char* text : {"", " ", "abc", "12px", "1,5", "0x10", "inf", "nan", "1e999", "--1"}) {
    CNewImageUnits units;
    EXPECT_FALSE(units.SetText(CNewImageUnits::Width, text)) << text;
    EXPECT_EQ(units.GetValue(CNewImageUnits::Width), 400) << text;
  }
}

TEST(NewImageUnits, ResolutionUnitSwitches) {
  CNewImageUnits units;
  units.ChangeUnit(CNewImageUnits::Width, kIn);
  EXPECT_EQ(units.ChangeUnit(CNewImageUnits::HorizontalRes, kPerCm).problem, Problem::None);
  EXPECT_EQ(units.GetText(CNewImageUnits::HorizontalRes), "28.346457");
  // The width stays in inches and still makes 400 pixels.
  EXPECT_EQ(units.GetText(CNewImageUnits::Width), "5.555556");
  EXPECT_EQ(units.Validate().pixels.cx, 400);
  units.ChangeUnit(CNewImageUnits::Width, kCm);
  EXPECT_EQ(units.GetText(CNewImageUnits::Width), "14.111111");
  units.ChangeUnit(CNewImageUnits::HorizontalRes, kPerInch);
  EXPECT_EQ(units.GetText(CNewImageUnits::HorizontalRes), "72");
  // A finer resolution makes more pixels from the same centimetres.
  ASSERT_TRUE(units.SetText(CNewImageUnits::HorizontalRes, "144"));
  EXPECT_EQ(units.Validate().pixels.cx, 800);
  // The vertical axis is independent.
  EXPECT_EQ(units.Validate().pixels.cy, 300);
}

TEST(NewImageUnits, AConversionThroughAnInvalidResolutionIsRefused) {
  struct Case {
    const char* resolution;
    int from, to;
    Problem problem;
  };
  const Case cases[] = {
      {"0", kPx, kIn, Problem::NotPositive},
      {"-72", kPx, kCm, Problem::NotPositive},
      {"100000", kPx, kIn, Problem::ResolutionTooLarge},
      {"0", kIn, kPx, Problem::NotPositive},
  };
  for (const Case& c : cases) {
    CNewImageUnits units;
    units.ChangeUnit(CNewImageUnits::Height, c.from);
    std::string before = units.GetText(CNewImageUnits::Height);
    ASSERT_TRUE(units.SetText(CNewImageUnits::VerticalRes, c.resolution));
    CNewImageUnits::Check check = units.ChangeUnit(CNewImageUnits::Height, c.to);
    EXPECT_EQ(check.problem, c.problem) << c.resolution;
    EXPECT_EQ(check.field, CNewImageUnits::VerticalRes) << c.resolution;
    EXPECT_EQ(units.GetUnit(CNewImageUnits::Height), c.from) << c.resolution;
    EXPECT_EQ(units.GetText(CNewImageUnits::Height), before) << c.resolution;
  }
  // Pixels need no resolution.
  CNewImageUnits units;
  ASSERT_TRUE(units.SetText(CNewImageUnits::HorizontalRes, "0"));
  EXPECT_EQ(units.ChangeUnit(CNewImageUnits::Width, kPx).problem, Problem::None);
}

TEST(NewImageUnits, CreateChecksEveryNumber) {
  struct Case {
    const char* width;
    const char* height;
    int widthUnit, heightUnit;
    const char* hres;
    const char* vres;
    Problem problem;
    Field field;
    LONG cx, cy;
  };
  const Field W = CNewImageUnits::Width, H = CNewImageUnits::Height;
  const Field HR = CNewImageUnits::HorizontalRes, VR = CNewImageUnits::VerticalRes;
  const Case cases[] = {
      {"640", "480", kPx, kPx, "72", "72", Problem::None, W, 640, 480},
      {"400.9", "300.2", kPx, kPx, "72", "72", Problem::None, W, 400, 300},  // pixels truncated
      {"2", "2.54", kIn, kCm, "72", "72", Problem::None, W, 144, 72},      // converted, rounded up
      {"2.01", "1", kIn, kIn, "72", "150", Problem::None, W, 145, 150},
      {"1", "1", kPx, kPx, "1", "1", Problem::None, W, 1, 1},
      {"32767", "8192", kPx, kPx, "72", "72", Problem::None, W, 32767, 8192},
      {"16384", "16384", kPx, kPx, "72", "72", Problem::None, W, 16384, 16384},  // exactly 1 GiB
      {"0", "480", kPx, kPx, "72", "72", Problem::NotPositive, W, 0, 0},
      {"640", "-5", kPx, kPx, "72", "72", Problem::NotPositive, H, 0, 0},
      {"640", "480", kPx, kPx, "0", "72", Problem::NotPositive, HR, 0, 0},
      {"640", "480", kPx, kPx, "72", "100000", Problem::ResolutionTooLarge, VR, 0, 0},
      {"0.5", "480", kPx, kPx, "72", "72", Problem::TooSmall, W, 0, 0},
      {"640", "0.001", kPx, kIn, "72", "72", Problem::None, W, 640, 1},  // rounds up to a pixel
      {"32768", "480", kPx, kPx, "72", "72", Problem::TooLarge, W, 0, 0},
      {"640", "40000", kPx, kPx, "72", "72", Problem::TooLarge, H, 0, 0},
      {"1e300", "1", kIn, kPx, "99999", "72", Problem::TooLarge, W, 0, 0},
      {"20000", "20000", kPx, kPx, "72", "72", Problem::TooManyBytes, W, 20000, 20000},
      {"16385", "16384", kPx, kPx, "72", "72", Problem::TooManyBytes, W, 16385, 16384},
  };
  for (const Case& c : cases) {
    CNewImageUnits units;
    units.ChangeUnit(W, c.widthUnit);
    units.ChangeUnit(H, c.heightUnit);
    ASSERT_TRUE(units.SetText(W, c.width));
    ASSERT_TRUE(units.SetText(H, c.height));
    ASSERT_TRUE(units.SetText(HR, c.hres));
    ASSERT_TRUE(units.SetText(VR, c.vres));
    CNewImageUnits::Check check = units.Validate();
    std::string name = std::string(c.width) + " x " + c.height;
    EXPECT_EQ(check.problem, c.problem) << name;
    if (c.problem != Problem::None) {
      EXPECT_EQ(check.field, c.field) << name;
    }
    if (c.problem == Problem::None || c.problem == Problem::TooManyBytes) {
      EXPECT_EQ(check.pixels.cx, c.cx) << name;
      EXPECT_EQ(check.pixels.cy, c.cy) << name;
    }
  }
}
