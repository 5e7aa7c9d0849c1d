#include "OperationValues.h"

#include <cctype>
#include <climits>

bool ReadDialogInt(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  long long number = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) number = -number;
  if (number < INT_MIN || number > INT_MAX) return false;
  value = static_cast<int>(number);
  return true;
}

int ClampToRange(int value, const OperationValueRange& range) {
  if (value < range.minimum) return range.minimum;
  if (value > range.maximum) return range.maximum;
  return value;
}

SIZE ResizeStartSize(bool hasImage, SIZE image) {
  if (!hasImage) return SIZE{800, 600};
  return SIZE{image.cx > op_values::kResizeSide.maximum ? 800 : image.cx,
              image.cy > op_values::kResizeSide.maximum ? 600 : image.cy};
}

SIZE ResizeFamilyTarget(ResizeKind kind, SIZE values, SIZE backup) {
  switch (kind) {
    case ResizeKind::kScale: return ScaledSize(backup, values.cx);
    case ResizeKind::kStretch: return StretchedSize(backup, values.cx, values.cy);
    case ResizeKind::kResize: break;
  }
  return values;
}

SIZE ResizeFamilyRevertValues(ResizeKind kind, SIZE image, SIZE backup) {
  switch (kind) {
    case ResizeKind::kScale: return SIZE{backup.cx > 0 ? image.cx / backup.cx * 100 : 100, 0};
    case ResizeKind::kStretch: return SIZE{100, 100};
    case ResizeKind::kResize: break;
  }
  return image;
}
