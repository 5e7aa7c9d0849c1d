#pragma once

// Choosing the encoder of a file: by the text after the last dot of the file name, lower-cased
// ("jpg" JPEG, "tif" TIFF, "png" PNG, "bmp" BMP, "gif" GIF), or by the image type number the
// settings use (0 BMP, 1 JPEG, 2 PNG, 3 GIF, 4 TIFF).

#include <cstdint>
#include <memory>
#include <string>

#include "DibBitmap.h"
#include "encode/ImageEncoder.h"

enum PLImageType : int {
    PLImageUnknown = -1,
    PLImageBMP = 0,
    PLImageJPEG = 1,
    PLImagePNG = 2,
    PLImageGIF = 3,
    PLImageTIFF = 4,
};

// The JPEG options of a save (the fields of the JPEG save settings).
struct PLJpegOptions {
    int quality = 95;         // 0..100; 0 keeps the library's default
    bool optimizeCoding = false;
    int smoothingFactor = 0;  // 0..100
    uint16_t dpiX = 0;        // dots per inch; both 0: no density written
    uint16_t dpiY = 0;
};

// The extension of path (after the last dot of its file name part), lower-cased; "" when none.
std::string PLFileExtension(const std::string& path);

// The image type for a file name, PLImageUnknown when its extension is not one of the five.
PLImageType PLImageTypeFromPath(const std::string& path);

// The extension the settings pair with an image type (".BMP", ".JPG", ".PNG", ".GIF", ".TIF"),
// "" for an unknown type.
const char* PLImageTypeExtension(int type);

// A new encoder for an image type (null for an unknown type), JPEG options applied.
std::unique_ptr<CImageEncoder> PLCreateEncoder(int type, const PLJpegOptions& jpeg = PLJpegOptions());

// Saves bitmap to path with the encoder its extension chooses. JPEG, PNG and GIF files are
// written from a 32-bit copy when the bitmap has another depth; BMP and TIFF files take it as
// it is. An extension that is not one of the five throws code 8 ("Can't save files of type
// ...") before anything is written; the encoders' own errors pass through.
void PLSaveImageFile(const std::string& path, const CDibBitmap& bitmap, const PLJpegOptions& jpeg = PLJpegOptions());
