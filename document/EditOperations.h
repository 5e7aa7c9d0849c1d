// The editing operations of an image document that take parameters: the ones the operation
// dialogs run (any-angle rotation, brightness, contrast, intensity, resize, scale, stretch) and
// the selection commands of the image view (crop, copy, cut, paste, moving or copying a
// region). Each one that changes pixels runs one filter as an undoable command of the document
// with its fixed description; none does anything when the document has no image.
//
// Selections and rectangles are in image pixels, row 0 at the top, right and bottom exclusive.
#pragma once

#include <windows.h>

#include <memory>

class CDibBitmap;
class CDisplayBitmap;
class CImageFilter;
class CQuorvaCaptureDoc;

namespace edit_ops {

// The descriptions shown as "Last command : %s".
inline constexpr char kRotateAnyDescription[] = "Rotate the image by the select angle";
inline constexpr char kBrightnessDescription[] = "Change the image brightness";
inline constexpr char kContrastDescription[] = "Adjust the image constrast";
inline constexpr char kIntensityDescription[] = "Adjust the image intensity";
inline constexpr char kCropDescription[] = "Crop the image to selected rectangle,reducing its size";
inline constexpr char kRegionDescription[] =
    "Copy or move selected rectangle region from source position to destination position";
inline constexpr char kPasteDescription[] = "Paste the selected image to clipboard";
inline constexpr char kResizeDescription[] = "Stretch the image to size specified in pixels";
inline constexpr char kScaleDescription[] = "Uniformly scale the image's width and height by a percentage";
inline constexpr char kStretchDescription[] = "Non-uniformly scale the image's width and/or height by percentages";

// Radians per whole degree of the rotate dialog.
inline constexpr double kRadiansPerDegree = 0.01745329255555556;

}  // namespace edit_ops

// --- The dialog operations (the dialogs pass their values as they hold them) ---

// Rotation by whole degrees; the uncovered corners get background (a COLORREF) at full alpha.
BOOL RotateImageByDegrees(CQuorvaCaptureDoc& doc, int degrees, COLORREF background);
// Brightness by the dialog's value (-100 ... 100): the filter gets value x 0.36, truncated.
BOOL ChangeBrightness(CQuorvaCaptureDoc& doc, int value);
// Contrast slider value x 0.1 with an offset 0 ... 255.
BOOL AdjustContrast(CQuorvaCaptureDoc& doc, int contrast, int offset);
// Intensity 0 ... 255, offset 0 ... 255 and the exponent slider value x 0.1.
BOOL AdjustIntensity(CQuorvaCaptureDoc& doc, int intensity, int offset, int exponent);

// The resize family.
enum class ResizeMethod { kBilinear = 0, kBox, kGaussian, kHamming };
enum class ResizeKind { kResize, kScale, kStretch };

// The target size of scale (percent of the backup's size) and stretch (percent across, percent
// down); integer arithmetic, truncating.
SIZE ScaledSize(SIZE backup, int percent);
SIZE StretchedSize(SIZE backup, int horizontalPercent, int verticalPercent);
// The resize filter of a method: Bilinear takes no radius; the others take radius x 0.01.
std::unique_ptr<CImageFilter> MakeResizeFilter(ResizeMethod method, int width, int height, int radius);
const char* ResizeDescription(ResizeKind kind);

// One Apply of a resize-family dialog: runs the resize as the document's pending command (the
// previous pending one is dropped). Does nothing for a size below one pixel. FALSE when nothing
// was done.
BOOL ApplyPendingResize(CQuorvaCaptureDoc& doc, ResizeKind kind, ResizeMethod method, SIZE size, int radius);
// A whole resize-family operation without its dialog: backup, one Apply, Done, backup dropped;
// one undo step. FALSE when nothing was done (no image, the 24-bit question declined, a size
// below one pixel).
BOOL ResizeImage(CQuorvaCaptureDoc& doc, ResizeKind kind, ResizeMethod method, SIZE size, int radius = 100);

// --- The selection commands of the image view ---

// The part of a selection inside an image of size; empty when none of it is.
RECT ClipToImage(const RECT& selection, SIZE image);

enum class CropResult {
  kNothing,         // no image
  kOutsideImage,    // the selection has no pixel in the image: the view clears it
  kCropped,         // the image is the selected part now (one undo step)
  kFailed,          // the command could not run (the user was told)
};
// Crops the image to the selection (clipped to the image). Views are updated with hint 1.
CropResult CropToSelection(CQuorvaCaptureDoc& doc, const RECT& selection);

// Puts the selected part of the image on the clipboard; no history entry. False when there is
// nothing to copy (no image, nothing of the selection inside it) or it failed.
bool CopySelectionToClipboard(CQuorvaCaptureDoc& doc, const RECT& selection);

// Copy, then fills the selection with the "ColorImageBackground" colour (one undo step).
bool CutSelectionToClipboard(CQuorvaCaptureDoc& doc, const RECT& selection);

// The end of a region drag: the selection where the drag began, the part of it that stays
// inside the image after the move, the rectangle where it ended. Without copy the vacated area
// is filled with the "ColorImageBackground" colour. One undo step.
BOOL MoveOrCopyRegion(CQuorvaCaptureDoc& doc, const RECT& selection, const RECT& source, const RECT& target,
                      bool copy);

// The clipboard's picture for a floating pasted picture; null when the clipboard holds none.
std::unique_ptr<CDisplayBitmap> ReadClipboardPicture();

// Where a floating picture lands when it is committed at selection (its rectangle in image
// coordinates): target = the selection clipped to the image, source = that rectangle moved back
// by the selection's top-left corner. False when nothing of it lies on the image.
bool PasteRectangles(const RECT& selection, SIZE image, RECT& source, RECT& target);
// Commits a floating picture placed at selection (one undo step). FALSE when nothing of it lands
// on the image.
BOOL CommitPaste(CQuorvaCaptureDoc& doc, const CDibBitmap& floating, const RECT& selection);
