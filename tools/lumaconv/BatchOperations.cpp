#include "BatchOperations.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "DibBitmap.h"
#include "TextException.h"
#include "filters/ColorFilters.h"
#include "filters/FlipFilters.h"
#include "filters/RegionFilters.h"
#include "filters/ResizeFilter.h"
#include "filters/RotateFilter.h"

namespace lumaconv {

const char kOperationsUsage[] =
    "operations, applied in the order given:\n"
    "  --resize WxH  --scale PERCENT  --filter box|bilinear|gaussian|hamming (for every resize)\n"
    "  --rotate DEG (clockwise)  --flip h|v  --gray  --invert\n"
    "  --brightness -100..100  --contrast F,O (F 0.0..10.0, O 0..255)  --crop X,Y,W,H\n";

namespace {

// The editor's numbers: a quarter turn as its rotate commands give it, a degree as its rotate
// dialog turns it into radians, and the slider steps of its brightness and contrast dialogs.
constexpr double kQuarterTurn = 1.57079633;
constexpr double kRadiansPerDegree = 0.01745329255555556;
constexpr double kBrightnessStep = 0.36;
constexpr double kContrastStep = 0.1;
constexpr int kMaxSide = 65535;

// Whole numbers separated by sep, each in [low, high]; exactly count of them.
bool ParseNumbers(const char* text, char sep, int count, int low, int high, int* out) {
  if (!text) return false;
  const char* p = text;
  for (int i = 0; i < count; ++i) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p || v < low || v > high) return false;
    out[i] = static_cast<int>(v);
    if (i + 1 < count) {
      if (*end != sep) return false;
      p = end + 1;
    } else if (*end != '\0') {
      return false;
    }
  }
  return true;
}

bool ParseMethod(const char* text, ResizeMethod& method) {
  struct Name {
    const char* name;
    ResizeMethod method;
  };
  static const Name kNames[] = {{"box", ResizeMethod::kBox},
                                {"bilinear", ResizeMethod::kBilinear},
                                {"gaussian", ResizeMethod::kGaussian},
                                {"hamming", ResizeMethod::kHamming}};
  for (const Name& n : kNames)
    if (text && std::strcmp(text, n.name) == 0) {
      method = n.method;
      return true;
    }
  return false;
}

// "F,O": F with at most one decimal, as the contrast slider's tenths.
bool ParseContrast(const char* text, int& tenths, int& offset) {
  if (!text) return false;
  const char* comma = std::strchr(text, ',');
  if (!comma) return false;
  std::string factor(text, comma);
  char* end = nullptr;
  double f = std::strtod(factor.c_str(), &end);
  if (factor.empty() || *end != '\0' || !(f >= 0.0 && f <= 10.0)) return false;
  const double scaled = f * 10.0;
  if (std::fabs(scaled - std::round(scaled)) > 1e-9) return false;
  tenths = static_cast<int>(std::lround(scaled));
  return ParseNumbers(comma + 1, ',', 1, 0, 255, &offset);
}

std::unique_ptr<CImageFilter> MakeResize(ResizeMethod method, int width, int height) {
  const double radius = 100 * 0.01;  // the dialogs' default radius
  switch (method) {
    case ResizeMethod::kBox: return std::make_unique<CBoxResizeFilter>(width, height, radius);
    case ResizeMethod::kGaussian: return std::make_unique<CGaussianResizeFilter>(width, height, radius);
    case ResizeMethod::kHamming: return std::make_unique<CHammingResizeFilter>(width, height, radius);
    case ResizeMethod::kBilinear: break;
  }
  return std::make_unique<CBilinearResizeFilter>(width, height);
}

std::unique_ptr<CImageFilter> MakeRotate(int clockwiseDegrees) {
  const int turn = ((clockwiseDegrees % 360) + 360) % 360;
  if (turn == 90) return std::make_unique<CRotateFilter>(-kQuarterTurn, PLPixel32{});
  if (turn == 270) return std::make_unique<CRotateFilter>(kQuarterTurn, PLPixel32{});
  // The rotate dialog: counter-clockwise degrees, the uncovered corners white.
  return std::make_unique<CRotateFilter>(-clockwiseDegrees * kRadiansPerDegree, PLMakePixel(255, 255, 255, 255));
}

std::unique_ptr<CImageFilter> MakeFilter(const Operation& op, const CDibBitmap& bitmap) {
  using Kind = Operation::Kind;
  switch (op.kind) {
    case Kind::kResize: return MakeResize(op.method, op.a, op.b);
    case Kind::kScale: {
      // As the scale dialog: percent of the size, truncated.
      const int w = static_cast<int>(static_cast<long long>(bitmap.GetWidth()) * op.a / 100);
      const int h = static_cast<int>(static_cast<long long>(bitmap.GetHeight()) * op.a / 100);
      if (w < 1 || h < 1)
        throw CTextException::Format(PLErr::Unsupported, "--scale %d%% leaves less than one pixel.", op.a);
      return MakeResize(op.method, w, h);
    }
    case Kind::kRotate: return MakeRotate(op.a);
    case Kind::kFlipHorizontal: return std::make_unique<CFlipHorizontalFilter>();
    case Kind::kFlipVertical: return std::make_unique<CFlipVerticalFilter>();
    case Kind::kGray: return std::make_unique<CGrayscaleFilter>();
    case Kind::kInvert: return std::make_unique<CInvertFilter>();
    case Kind::kBrightness: return std::make_unique<CBrightnessFilter>(static_cast<int>(op.a * kBrightnessStep));
    case Kind::kContrast: return std::make_unique<CContrastFilter>(op.a * kContrastStep, op.b);
    case Kind::kCrop: {
      // As a selection: clipped to the picture, refused when nothing of it is inside.
      const int left = std::max(op.a, 0), top = std::max(op.b, 0);
      const int right = static_cast<int>(std::min<long long>(static_cast<long long>(op.a) + op.c, bitmap.GetWidth()));
      const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(op.b) + op.d, bitmap.GetHeight()));
      if (left >= right || top >= bottom)
        throw CTextException::Format(PLErr::Unsupported, "--crop %d,%d,%d,%d lies outside the %dx%d picture.", op.a,
                                     op.b, op.c, op.d, bitmap.GetWidth(), bitmap.GetHeight());
      return std::make_unique<CCropFilter>(left, right, top, bottom);
    }
  }
  return nullptr;
}

}  // namespace

ParseResult ParseOperation(const char* arg, const char* next, std::vector<Operation>& operations,
                           ResizeMethod& method, std::string& error) {
  using Kind = Operation::Kind;
  struct Flag {
    const char* name;
    Kind kind;
  };
  static const Flag kFlags[] = {{"--gray", Kind::kGray}, {"--invert", Kind::kInvert}};
  for (const Flag& f : kFlags)
    if (std::strcmp(arg, f.name) == 0) {
      operations.push_back(Operation{f.kind});
      return ParseResult::kTaken;
    }

  Operation op{Kind::kGray};
  int n[4] = {};
  if (std::strcmp(arg, "--resize") == 0) {
    if (!ParseNumbers(next, 'x', 2, 1, kMaxSide, n)) return error = "--resize takes WxH (1 to 65535 each)", ParseResult::kBad;
    op = Operation{Kind::kResize, n[0], n[1]};
  } else if (std::strcmp(arg, "--scale") == 0) {
    if (!ParseNumbers(next, ',', 1, 1, 10000, n)) return error = "--scale takes a percentage (1 to 10000)", ParseResult::kBad;
    op = Operation{Kind::kScale, n[0]};
  } else if (std::strcmp(arg, "--filter") == 0) {
    if (!ParseMethod(next, method)) return error = "--filter takes box, bilinear, gaussian or hamming", ParseResult::kBad;
    return ParseResult::kTakenWithValue;
  } else if (std::strcmp(arg, "--rotate") == 0) {
    if (!ParseNumbers(next, ',', 1, -360, 360, n)) return error = "--rotate takes whole degrees (-360 to 360)", ParseResult::kBad;
    op = Operation{Kind::kRotate, n[0]};
  } else if (std::strcmp(arg, "--flip") == 0) {
    if (next && std::strcmp(next, "h") == 0)
      op = Operation{Kind::kFlipHorizontal};
    else if (next && std::strcmp(next, "v") == 0)
      op = Operation{Kind::kFlipVertical};
    else
      return error = "--flip takes h or v", ParseResult::kBad;
  } else if (std::strcmp(arg, "--brightness") == 0) {
    if (!ParseNumbers(next, ',', 1, -100, 100, n)) return error = "--brightness takes -100 to 100", ParseResult::kBad;
    op = Operation{Kind::kBrightness, n[0]};
  } else if (std::strcmp(arg, "--contrast") == 0) {
    if (!ParseContrast(next, n[0], n[1]))
      return error = "--contrast takes F,O (F 0.0 to 10.0 in steps of 0.1, O 0 to 255)", ParseResult::kBad;
    op = Operation{Kind::kContrast, n[0], n[1]};
  } else if (std::strcmp(arg, "--crop") == 0) {
    if (!ParseNumbers(next, ',', 4, -kMaxSide, kMaxSide, n) || n[2] <= 0 || n[3] <= 0)
      return error = "--crop takes X,Y,W,H (W and H above 0)", ParseResult::kBad;
    op = Operation{Kind::kCrop, n[0], n[1], n[2], n[3]};
  } else {
    return ParseResult::kNotMine;
  }
  operations.push_back(op);
  return ParseResult::kTakenWithValue;
}

void SetResizeMethod(std::vector<Operation>& operations, ResizeMethod method) {
  for (Operation& op : operations)
    if (op.kind == Operation::Kind::kResize || op.kind == Operation::Kind::kScale) op.method = method;
}

void ApplyOperations(CDibBitmap& bitmap, const std::vector<Operation>& operations) {
  for (const Operation& op : operations) MakeFilter(op, bitmap)->ApplyInPlace(bitmap);
}

}  // namespace lumaconv
