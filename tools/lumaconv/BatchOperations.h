// The editor's operations for lumaconv, parsed from the command line and applied in the order
// given. Each runs the very filter, with the very parameters, that the editor's command or
// dialog runs, so that a converted file has the editor's pixels bit for bit.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CDibBitmap;
class CImageFilter;

namespace lumaconv {

enum class ResizeMethod { kBilinear, kBox, kGaussian, kHamming };

struct Operation {
  enum class Kind { kResize, kScale, kRotate, kFlipHorizontal, kFlipVertical, kGray, kInvert, kBrightness, kContrast, kCrop };
  Kind kind;
  int a = 0, b = 0, c = 0, d = 0;  // the numbers of the option, in the order given
  ResizeMethod method = ResizeMethod::kBilinear;
};

// The result of offering one argument (and the one after it) to the parser.
enum class ParseResult { kNotMine, kTaken, kTakenWithValue, kBad };

// Recognises the operation options: --resize WxH, --scale P, --filter box|bilinear|gaussian|
// hamming (the method of every resize and scale), --rotate DEG (clockwise), --flip h|v, --gray,
// --invert, --brightness N (-100..100), --contrast F,O (factor 0.0..10.0 in steps of 0.1,
// offset 0..255), --crop X,Y,W,H. On kBad, error says why.
ParseResult ParseOperation(const char* arg, const char* next, std::vector<Operation>& operations,
                           ResizeMethod& method, std::string& error);

// The method given by --filter applies to every resize and scale, wherever it stands.
void SetResizeMethod(std::vector<Operation>& operations, ResizeMethod method);

// Applies the operations to bitmap (a true-colour picture), in order. Throws CTextException
// when one cannot run (a crop outside the picture, a size below one pixel).
void ApplyOperations(CDibBitmap& bitmap, const std::vector<Operation>& operations);

// The usage lines of the operations.
extern const char kOperationsUsage[];

}  // namespace lumaconv
