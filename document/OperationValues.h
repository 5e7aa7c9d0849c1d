// The values of the operation dialogs as plain data: each value's range, start and edit limit,
// how an edit's text is read, and the resize family's sizes. The dialogs are thin shells over
// these, so that the rules can be checked without a screen.
#pragma once

#include <windows.h>

#include <string>

#include "EditOperations.h"

// One value of a dialog: an edit (with its limit in characters, 0 for none), a spin and a
// slider over [minimum, maximum].
struct OperationValueRange {
  int minimum;
  int maximum;
  int start;
  int editLimit;
};

namespace op_values {
inline constexpr OperationValueRange kRotateAngle{-360, 360, 0, 4};
inline constexpr OperationValueRange kBrightness{-100, 100, 0, 3};
inline constexpr OperationValueRange kContrast{1, 100, 10, 3};
inline constexpr OperationValueRange kContrastOffset{0, 255, 125, 3};
inline constexpr OperationValueRange kIntensity{0, 255, 20, 3};
inline constexpr OperationValueRange kIntensityOffset{0, 255, 128, 3};
inline constexpr OperationValueRange kIntensityExponent{1, 100, 10, 3};
inline constexpr OperationValueRange kResizeSide{1, 2048, 800, 4};
inline constexpr OperationValueRange kResizeRadius{1, 1000, 500, 0};
inline constexpr OperationValueRange kScalePercent{1, 400, 100, 3};
inline constexpr OperationValueRange kScaleRadius{1, 1000, 100, 4};
inline constexpr OperationValueRange kStretchPercent{1, 400, 100, 3};
}  // namespace op_values

// Reads an edit's text the way "%d" does: blanks, an optional sign, digits; whatever follows is
// ignored. False when no number starts the text (also for one that does not fit an int).
bool ReadDialogInt(const std::string& text, int& value);
// value held to the range.
int ClampToRange(int value, const OperationValueRange& range);

// The resize dialog's starting size: the image's sides, a side above 2048 starting at 800
// (width) or 600 (height); without an image 800 x 600.
SIZE ResizeStartSize(bool hasImage, SIZE image);

// The size an Apply of the resize family asks for: resize takes the two values as they are;
// scale takes values.cx percent of the backup's sides; stretch values.cx percent across and
// values.cy percent down. Integer arithmetic, truncating.
SIZE ResizeFamilyTarget(ResizeKind kind, SIZE values, SIZE backup);
// Whether a target can be made: at least one pixel each way.
inline bool IsUsableTarget(SIZE target) { return target.cx >= 1 && target.cy >= 1; }

// The values the resize family shows after Revert: resize the image's size; scale
// (image width / backup width, integer division) x 100 in cx; stretch 100 and 100.
SIZE ResizeFamilyRevertValues(ResizeKind kind, SIZE image, SIZE backup);

// The adjustment dialogs' filter parameters from their values.
inline int BrightnessAmount(int value) { return static_cast<int>(value * 0.36); }
inline double ContrastFactor(int contrast) { return contrast * 0.1; }
inline double IntensityExponent(int exponent) { return exponent * 0.1; }
inline double AngleRadians(int degrees) { return degrees * edit_ops::kRadiansPerDegree; }
