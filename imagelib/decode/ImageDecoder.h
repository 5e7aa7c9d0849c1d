#pragma once

// CImageDecoder: the base of every decoder of the image library.
//
// A decoder turns the bytes of one format into a CDibBitmap. Callers use MakeBmpFromFile or
// MakeBmpFromMemory (or MakeBmp with a source of their own); a format implements DoDecode.
// Every failure throws CTextException with one of the PLErr codes; the target bitmap may then
// be partly written, but the source is always closed and released.
//
// wantedDepth: 0 lets the decoder choose (8 bits for files of 8 bits per pixel or fewer, else
// 32, unless a format says otherwise); 32 asks for a 32-bit bitmap. DoDecode stores the depth
// it produced back into wantedDepth.
//
// Writing a decoder:
//  - read only through the source (it checks every length and throws code 11 at the end);
//  - report errors through RaiseError / RaiseErrorF, which format "Decoder error: %s\n",
//    trace the text at level 0 and throw;
//  - create the bitmap through CreateBitmap, which refuses sizes the data cannot hold or
//    that exceed the decoded-size limit before anything is allocated;
//  - a palette read from the file may be kept in the palette block that DoDecode receives:
//    MakeBmp frees it on every path.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "BitmapInfo.h"
#include "DibBitmap.h"
#include "PLObject.h"
#include "ProgressSink.h"
#include "TextException.h"
#include "decode/ByteSource.h"
#include "decode/Trace.h"

// The palette block a decoder may fill while decoding (freed by MakeBmp).
using PLPaletteBlock = std::unique_ptr<PLRGBQuad[]>;

class CImageDecoder : public CPLObject {
public:
    ~CImageDecoder() override;
    CImageDecoder(const CImageDecoder&) = delete;
    CImageDecoder& operator=(const CImageDecoder&) = delete;

    // Decodes the file at path. Traces "--- Decoding file %s. ---\n" at level 1. When the file
    // cannot be opened throws "Decoder error: Opening <path> failed\n" with the open error code
    // (3 missing folder, 4 cannot open, 5 access denied / empty / cannot be mapped).
    // progress (may be null) follows the reading and ends at 1.0.
    virtual void MakeBmpFromFile(const char* path, CDibBitmap& bitmap, int wantedDepth = 0,
                                 CProgressSink* progress = nullptr);

    // Decodes size bytes at data (owned by the caller). Traces
    // "--- Decoding from memory at %p. ---\n" at level 1.
    virtual void MakeBmpFromMemory(const void* data, size_t size, CDibBitmap& bitmap, int wantedDepth = 0);

    // Decodes from an open source, which the caller closes. Calls DoDecode and frees the
    // palette block it leaves, also when an exception passes.
    virtual void MakeBmp(CByteSource& source, CDibBitmap& bitmap, int wantedDepth = 0);

    // Process-wide upper bound of the pixel bytes (rows of the target bitmap) one decode may
    // create; larger images are refused with code 10 before allocation. Defaults to
    // CDibBitmap::MaxPixelBytes. Fuzzing lowers it.
    static void SetMaxPixelBytes(uint64_t bytes);
    static uint64_t GetMaxPixelBytes();

    // The text that RaiseError throws for message: "Decoder error: <message>\n".
    static std::string FormatErrorText(const char* message);

    // The decoder error path: traces "Decoder error: <text>\n" at level 0 and throws it with code.
    [[noreturn]] static void RaiseError(int code, const char* text);
    [[noreturn]] static void RaiseErrorF(int code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // The same path for data that ends before the picture does: traces and throws
    // "End of file reached while decoding.\n" as it is, with code 11.
    [[noreturn]] static void RaiseEndOfFile();

    // Helpers for decoders.
    // The depth to produce: 8 when nothing or 8 is wanted and the file has 8 bits per pixel or
    // fewer, else 32.
    static int ChooseDepth(int wantedDepth, int fileBitsPerPixel);

    // Creates the target bitmap after checking the geometry: a width or height below 1 or
    // above CDibBitmap::MaxDimension throws code 2 ("Illegal image size %lld x %lld."), pixel
    // bytes above the decoded-size limit throw code 10. The 8-bit kinds get the grey ramp.
    static void CreateBitmap(CDibBitmap& bitmap, int64_t width, int64_t height, int bitsPerPixel, bool hasAlpha);
    // CreateBitmap for decoders that write every row before they succeed (a failure part-way
    // throws, and the bitmap is not used): the rows are not cleared first.
    static void CreateBitmapForOverwrite(CDibBitmap& bitmap, int64_t width, int64_t height, int bitsPerPixel, bool hasAlpha);

    // The checks of CreateBitmap alone, for scratch bitmaps a decoder allocates itself.
    static void CheckBitmapSize(int64_t width, int64_t height, int bitsPerPixel);

    // A zeroed palette block of 256 entries, fourth bytes 255. Throws "Out of memory for
    // palette." (code 10) when it cannot be allocated.
    static PLPaletteBlock AllocPalette();

protected:
    CImageDecoder();

    // Decodes the format from source into bitmap. wantedDepth is in and out (see above).
    virtual void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) = 0;
};
