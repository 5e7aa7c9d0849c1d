// The numbers the program writes at exit when every setting holds its constructed value: one
// table for the settings-store tests and the end-to-end start-up tests.
#pragma once

#include <windows.h>

namespace defaults {

enum class Section { PrintLayout, CaptureOptions };

struct Number {
  Section section;
  const char* name;
  DWORD value;
};

inline constexpr Number kNumbers[] = {
    {Section::PrintLayout, "ImageCenterFlag", 3},
    {Section::PrintLayout, "PrintMode", 1},
    {Section::PrintLayout, "TitleAlign", 4},
    {Section::CaptureOptions, "OptionsA", 0x00681669},
    {Section::CaptureOptions, "ColorViewBackground", 0x00CC9966},
    {Section::CaptureOptions, "ColorImageBackground", 0x00C0C0C0},
    {Section::CaptureOptions, "ColorTransparency", 0x00C0C0C0},
    {Section::CaptureOptions, "DefaultCaptureAction", 9},
    {Section::CaptureOptions, "CaptureDelayTime", 100},
    {Section::CaptureOptions, "JPEGOptimizeCoding", 0},
    {Section::CaptureOptions, "JPEGQuality", 95},
    {Section::CaptureOptions, "JPEGSmootingFactor", 0},
    {Section::CaptureOptions, "ColorPickerOutputFormat", 0},
    {Section::CaptureOptions, "SendMailImageType", 1},
    {Section::CaptureOptions, "RepeatLastMode", 0},
    {Section::CaptureOptions, "AutoSaveOptions", 5},
    {Section::CaptureOptions, "AutoSaveDigitCount", 5},
    {Section::CaptureOptions, "AutoSaveStartNO", 1},
    {Section::CaptureOptions, "AutoSaveImageType", 0},
};

}  // namespace defaults
