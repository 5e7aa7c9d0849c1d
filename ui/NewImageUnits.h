// The numbers of the "Create New Image" dialog: an image width and height, each in pixels,
// inches or centimetres, and a horizontal and vertical resolution, each in pixels per inch or
// per centimetre. Changing a unit converts the number; Validate turns the four numbers into the
// pixel size of the new image, or says what is wrong with them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum class NewImageSizeUnit { Pixels = 0, Inches = 1, Centimeters = 2 };
enum class NewImageResolutionUnit { PixelsPerInch = 0, PixelsPerCm = 1 };

// Pixels per inch to pixels per centimetre, and back.
inline constexpr double kPerInchToPerCm = 0.39370078740157477;
inline constexpr double kPerCmToPerInch = 2.54;
// Added before truncating when a width or a height is converted to pixels, so that a length
// converted away from pixels and back gives the same count again.
inline constexpr double kWidthRoundUp = 0.999999999;
inline constexpr double kHeightRoundUp = 0.999999;
// The largest image the dialog makes: each side, and the bytes of its 32-bit pixels (what the
// image library holds in one bitmap).
inline constexpr int kMaxNewImageSide = 32767;
inline constexpr uint64_t kMaxNewImageBytes = 0x40000000u;
// The largest resolution accepted, in either unit.
inline constexpr double kMaxNewImageResolution = 99999.0;

// A resolution in another unit.
double ConvertResolution(double value, NewImageResolutionUnit from, NewImageResolutionUnit to);
double PixelsPerInch(double resolution, NewImageResolutionUnit unit);
double PixelsPerCentimeter(double resolution, NewImageResolutionUnit unit);
// A width or height in another unit, through the resolution of its axis: the value times the
// pixels per old unit gives pixels; to Pixels that is rounded up by adding roundUp and
// truncating, to Inches or Centimeters it is divided by the pixels per new unit.
double ConvertImageLength(double value, NewImageSizeUnit from, NewImageSizeUnit to, double resolution,
                          NewImageResolutionUnit resolutionUnit, double roundUp);

// How the dialog shows a number: up to six decimals without trailing zeros ("400", "5.555556",
// "28.346457"); very large numbers in exponent form.
std::string FormatUnitValue(double value);

class CNewImageUnits {
 public:
  enum Field { Width = 0, Height = 1, HorizontalRes = 2, VerticalRes = 3 };
  static constexpr int FieldCount = 4;

  enum class Problem {
    None,
    NotANumber,          // the text is not a number
    NotPositive,         // zero or negative
    ResolutionTooLarge,  // above kMaxNewImageResolution
    TooSmall,            // less than one pixel
    TooLarge,            // more than kMaxNewImageSide pixels
    TooManyBytes,        // the pixels would need more than kMaxNewImageBytes
  };
  struct Check {
    Problem problem = Problem::None;
    Field field = Width;  // the field to correct
    SIZE pixels{0, 0};    // the image size when problem is None
  };

  // 400 x 300 pixels at 72 pixels per inch both ways.
  CNewImageUnits();

  double GetValue(Field field) const { return m_values[field]; }
  void SetValue(Field field, double value) { m_values[field] = value; }
  // The unit as its index in the unit list (NewImageSizeUnit for the width and height,
  // NewImageResolutionUnit for the resolutions).
  int GetUnit(Field field) const { return m_units[field]; }
  // The text to show for a field.
  std::string GetText(Field field) const { return FormatUnitValue(m_values[field]); }
  // Takes the text of a field's edit box. The text the field shows keeps the exact number
  // behind it (so "5.555556" inches stays 400 pixels); any other text is parsed. False, and
  // nothing changes, when the text is not a number.
  bool SetText(Field field, const std::string& text);

  // Switches a field to another unit, converting its number. A width or height converted from
  // or to a physical unit needs a valid resolution on its axis; without one nothing changes
  // and the problem names the resolution field.
  Check ChangeUnit(Field field, int unit);

  // Checks the numbers and gives the pixel size of the image. With Pixels the number truncated
  // is the count; a length in inches or centimetres is converted through the resolution of its
  // axis and rounded up as a unit change to Pixels does.
  Check Validate() const;

 private:
  static bool IsLength(Field field) { return field == Width || field == Height; }
  static Field ResolutionOf(Field length) { return length == Width ? HorizontalRes : VerticalRes; }
  static double RoundUpOf(Field length) { return length == Width ? kWidthRoundUp : kHeightRoundUp; }
  Problem CheckResolution(Field field) const;
  // The length in pixels before truncation.
  double PixelLength(Field length) const;

  double m_values[FieldCount];
  int m_units[FieldCount];
};
