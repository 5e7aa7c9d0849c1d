#include "NewImageUnits.h"

#include <cmath>
#include <cstdio>

#include "framework/DataExchange.h"

double ConvertResolution(double value, NewImageResolutionUnit from, NewImageResolutionUnit to) {
  if (from == to) return value;
  return to == NewImageResolutionUnit::PixelsPerCm ? value * kPerInchToPerCm : value * kPerCmToPerInch;
}

double PixelsPerInch(double resolution, NewImageResolutionUnit unit) {
  return ConvertResolution(resolution, unit, NewImageResolutionUnit::PixelsPerInch);
}

double PixelsPerCentimeter(double resolution, NewImageResolutionUnit unit) {
  return ConvertResolution(resolution, unit, NewImageResolutionUnit::PixelsPerCm);
}

namespace {

double PixelsPerUnit(NewImageSizeUnit unit, double resolution, NewImageResolutionUnit resolutionUnit) {
  switch (unit) {
    case NewImageSizeUnit::Inches:
      return PixelsPerInch(resolution, resolutionUnit);
    case NewImageSizeUnit::Centimeters:
      return PixelsPerCentimeter(resolution, resolutionUnit);
    case NewImageSizeUnit::Pixels:
    default:
      return 1.0;
  }
}

}  // namespace

double ConvertImageLength(double value, NewImageSizeUnit from, NewImageSizeUnit to, double resolution,
                          NewImageResolutionUnit resolutionUnit, double roundUp) {
  if (from == to) return value;
  double pixels = value * PixelsPerUnit(from, resolution, resolutionUnit);
  if (to == NewImageSizeUnit::Pixels) return std::trunc(pixels + roundUp);
  return pixels / PixelsPerUnit(to, resolution, resolutionUnit);
}

std::string FormatUnitValue(double value) {
  char buffer[64];
  if (!(std::fabs(value) < 1e15)) {
    std::snprintf(buffer, sizeof(buffer), "%.6g", value);
    return buffer;
  }
  std::snprintf(buffer, sizeof(buffer), "%.6f", value);
  std::string text = buffer;
  size_t dot = text.find('.');
  if (dot != std::string::npos) {
    size_t last = text.find_last_not_of('0');
    text.resize(last == dot ? dot : last + 1);
  }
  if (text == "-0") text = "0";
  return text;
}

CNewImageUnits::CNewImageUnits()
    : m_values{400.0, 300.0, 72.0, 72.0},
      m_units{static_cast<int>(NewImageSizeUnit::Pixels), static_cast<int>(NewImageSizeUnit::Pixels),
              static_cast<int>(NewImageResolutionUnit::PixelsPerInch),
              static_cast<int>(NewImageResolutionUnit::PixelsPerInch)} {}

bool CNewImageUnits::SetText(Field field, const std::string& text) {
  if (text == GetText(field)) return true;
  double value = 0;
  if (!AfxParseReal(text.c_str(), value)) return false;
  m_values[field] = value;
  return true;
}

CNewImageUnits::Problem CNewImageUnits::CheckResolution(Field field) const {
  double value = m_values[field];
  if (!(value > 0)) return Problem::NotPositive;
  if (value > kMaxNewImageResolution) return Problem::ResolutionTooLarge;
  return Problem::None;
}

CNewImageUnits::Check CNewImageUnits::ChangeUnit(Field field, int unit) {
  Check check;
  check.field = field;
  int count = IsLength(field) ? 3 : 2;
  if (unit < 0 || unit >= count || unit == m_units[field]) return check;
  if (!IsLength(field)) {
    m_values[field] = ConvertResolution(m_values[field], static_cast<NewImageResolutionUnit>(m_units[field]),
                                        static_cast<NewImageResolutionUnit>(unit));
    m_units[field] = unit;
    return check;
  }
  Field resolution = ResolutionOf(field);
  bool physical = m_units[field] != static_cast<int>(NewImageSizeUnit::Pixels) ||
                  unit != static_cast<int>(NewImageSizeUnit::Pixels);
  if (physical) {
    Problem problem = CheckResolution(resolution);
    if (problem != Problem::None) {
      check.problem = problem;
      check.field = resolution;
      return check;
    }
  }
  m_values[field] = ConvertImageLength(m_values[field], static_cast<NewImageSizeUnit>(m_units[field]),
                                       static_cast<NewImageSizeUnit>(unit), m_values[resolution],
                                       static_cast<NewImageResolutionUnit>(m_units[resolution]), RoundUpOf(field));
  m_units[field] = unit;
  return check;
}

double CNewImageUnits::PixelLength(Field length) const {
  if (m_units[length] == static_cast<int>(NewImageSizeUnit::Pixels)) return std::trunc(m_values[length]);
  Field resolution = ResolutionOf(length);
  return ConvertImageLength(m_values[length], static_cast<NewImageSizeUnit>(m_units[length]), NewImageSizeUnit::Pixels,
                            m_values[resolution], static_cast<NewImageResolutionUnit>(m_units[resolution]),
                            RoundUpOf(length));
}

CNewImageUnits::Check CNewImageUnits::Validate() const {
  Check check;
  auto fail = [&check](Problem problem, Field field) {
    check.problem = problem;
    check.field = field;
    return check;
  };
  for (Field length : {Width, Height}) {
    if (!(m_values[length] > 0)) return fail(Problem::NotPositive, length);
  }
  for (Field resolution : {HorizontalRes, VerticalRes}) {
    Problem problem = CheckResolution(resolution);
    if (problem != Problem::None) return fail(problem, resolution);
  }
  double pixels[2] = {PixelLength(Width), PixelLength(Height)};
  for (Field length : {Width, Height}) {
    double count = pixels[length];
    if (count < 1) return fail(Problem::TooSmall, length);
    if (count > kMaxNewImageSide) return fail(Problem::TooLarge, length);
  }
  check.pixels.cx = static_cast<LONG>(pixels[Width]);
  check.pixels.cy = static_cast<LONG>(pixels[Height]);
  uint64_t bytes = static_cast<uint64_t>(check.pixels.cx) * static_cast<uint64_t>(check.pixels.cy) * 4u;
  if (bytes > kMaxNewImageBytes) return fail(Problem::TooManyBytes, Width);
  return check;
}
