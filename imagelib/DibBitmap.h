#pragma once

// CDibBitmap: the in-memory bitmap of the image library.
//
// Pixels are kept in the layout of a Windows device-independent bitmap: 32-bit pixels are the
// bytes blue, green, red, alpha; 8-bit pixels index the colour table; 1-bit pixels are packed
// eight to a byte, most significant bit first; 4-bit pixels two to a byte, high nibble first.
// Every row is reached through the row table, row 0 being the top row of the picture whatever
// the storage order, so code that works on pixels never needs to know which kind it holds.
//
// Kinds: CPackedDibBitmap (one block: header, colour table, rows bottom-up padded to 4 bytes),
// CHeapBitmap (rows top-down, unpadded; scratch bitmaps), and on Windows CSectionDibBitmap and
// CDisplayBitmap (rows in a GDI DIB section).
//
// Failures throw CTextException; code 10 (PLErr::NoMemory) means the pixels could not be
// allocated or the requested size is too large to hold.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "BitmapInfo.h"
#include "PLObject.h"
#include "ProgressSink.h"
#include "TextException.h"

class CDibBitmap : public CPLObject {
public:
    // Upper bounds of what one bitmap may hold; larger requests are refused with code 10
    // before anything is allocated (a 32-bit process could not hold them anyway).
    static constexpr int32_t MaxDimension = 1 << 24;
    static constexpr uint32_t MaxPixelBytes = 0x40000000u;  // 1 GiB of rows

    ~CDibBitmap() override;
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;

    // Replaces the whole content with a new bitmap of the given geometry. Depths 1, 4, 8 and 32.
    // Bitmaps of 8 bits or fewer get a grey ramp as colour table. Rows start out zero.
    // Width and height must be at least 1. A refused geometry (code 2 for a zero or negative
    // size or an unknown depth, code 10 for one too large) leaves the old content untouched;
    // when the allocation itself fails the bitmap is left empty (0 x 0, no rows).
    virtual void Create(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha);

    // Create for callers that write every pixel of every row themselves (the filters): the
    // rows are not cleared first (padding bytes are). The colour table is the grey ramp.
    void CreateForOverwrite(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) {
        Recreate(width, height, bitsPerPixel, hasAlpha, false);
    }

    // A new bitmap of this kind (16 x 16 x 8, as constructed), for work whose result is to
    // replace this bitmap through SwapContent; nullptr for kinds that cannot trade contents.
    virtual std::unique_ptr<CDibBitmap> NewOfSameKind() const { return nullptr; }
    // Trades the picture (size, depth, alpha flag, colour table and rows) with other, a bitmap
    // made by NewOfSameKind. Lock counts, dither and palette modes stay with each bitmap.
    virtual void SwapContent(CDibBitmap& other);

    // Bytes held: rows, header and colour table, and the object itself.
    virtual size_t GetMemUsed() const = 0;

    // Bytes from one row to the next in this kind's storage.
    virtual int32_t GetBytesPerLine() const = 0;

    // Nesting counter around pixel access; no other effect.
    virtual void Lock(bool readable, bool writable) const;
    virtual void Unlock() const;

protected:
    virtual void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) = 0;
    virtual void FreeMembers() = 0;
    virtual void InitLineTable() = 0;

public:
    // Copies source into this bitmap, converting to bitsPerPixel (0: the source's depth).
    // Conversion targets are 1, 8 and 32 bits, from 1, 4, 8 and 32-bit sources:
    //  - to 32: palette colours (1 bit without palette: clear = white, set = opaque black);
    //  - to 8 from 32: the colour quantiser with this bitmap's paletteMode and ditherMode;
    //  - to 8 from 1 or 4: the indices, with the source's colour table;
    //  - to 1: white (index 0) and black (index 1); a pixel is black when its red, green and
    //    blue are all below 128.
    // Copying a bitmap onto itself at its own depth does nothing; onto itself at another depth
    // converts through a scratch copy.
    void CreateCopy(const CDibBitmap& source, uint16_t bitsPerPixel = 0);

    // Index of the colour table entry nearest to color (sum of the absolute differences of red,
    // green and blue; among equally near entries the lowest index). 0 without a colour table.
    int FindNearestColor(PLPixel32 color) const;

    // Pixel access by coordinates (row 0 at the top). On 32-bit bitmaps the stored pixel; on
    // bitmaps with a colour table, GetPixel gives the colour of the index and SetPixel stores
    // the nearest index. Coordinates outside the bitmap read 0 and write nothing.
    PLPixel32 GetPixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, PLPixel32 value);
    // Colour table index of a pixel of a bitmap of 8 bits or fewer (0 otherwise / outside).
    uint8_t GetPixelIndex(int32_t x, int32_t y) const;
    void SetPixelIndex(int32_t x, int32_t y, uint8_t index);

    PLSize GetSize() const { return PLSize{m_width, m_height}; }

    // Copies GetNumColors() entries into the colour table. Does nothing without a colour table.
    void CopyPalette(const PLRGBQuad* entries);

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint16_t GetBitsPerPixel() const { return m_bitsPerPixel; }
    bool HasAlpha() const { return m_hasAlpha; }
    void SetHasAlpha(bool hasAlpha) { m_hasAlpha = hasAlpha; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0 || m_lineTable == nullptr; }

    // Entries of the colour table: 2^bitsPerPixel for 8 bits or fewer, else 0.
    int GetNumColors() const { return m_bitsPerPixel <= 8 ? (1 << m_bitsPerPixel) : 0; }
    PLRGBQuad* GetPalette() { return m_palette; }
    const PLRGBQuad* GetPalette() const { return m_palette; }
    // The same colour table, under a name that CDisplayBitmap (whose GetPalette() is its GDI
    // palette) does not hide.
    PLRGBQuad* GetColorTable() { return m_palette; }
    const PLRGBQuad* GetColorTable() const { return m_palette; }

    // The row table: GetLineArray()[y] is row y, row 0 at the top.
    uint8_t** GetLineArray() { return m_lineTable; }
    const uint8_t* const* GetLineArray() const { return m_lineTable; }
    uint8_t* GetLine(int32_t y) { return m_lineTable[y]; }
    const uint8_t* GetLine(int32_t y) const { return m_lineTable[y]; }

    // Bytes of a row that carry pixels (no padding): width x bitsPerPixel rounded up to bytes.
    int32_t GetPixelBytesPerLine() const { return static_cast<int32_t>(CalcPackedRowLength(m_width, m_bitsPerPixel)); }

    int32_t GetLockCount() const { return m_lockCount; }

    // Used when the bitmap is converted to 8 bits: dither mode 0 none, 1 ordered,
    // 2 Floyd-Steinberg; palette mode 0 median cut, 1 popularity, 2 fixed palette.
    int32_t GetDitherMode() const { return m_ditherMode; }
    void SetDitherMode(int32_t mode) { m_ditherMode = mode; }
    int32_t GetPaletteMode() const { return m_paletteMode; }
    void SetPaletteMode(int32_t mode) { m_paletteMode = mode; }

    // Row lengths: padded to a multiple of 4 bytes (DIB kinds) and unpadded (heap kind).
    static uint32_t CalcDibRowLength(int32_t width, uint16_t bitsPerPixel);
    static uint32_t CalcPackedRowLength(int32_t width, uint16_t bitsPerPixel);

    // Throws unless width x height x bitsPerPixel is a geometry this library can hold with rows
    // of rowLength bytes: code 2 for a size below 1 or an unknown depth, code 10 for too large.
    static void CheckGeometry(int32_t width, int32_t height, uint16_t bitsPerPixel, uint32_t rowLength);

protected:
    CDibBitmap();

    // The common end of every creation: stores the geometry, builds the row table through
    // InitLineTable and, when greyRamp is set and the depth has a colour table, fills the
    // grey ramp.
    void InitCommon(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha, bool greyRamp = true);
    // Create, for callers that write every pixel byte of every row themselves: when the
    // geometry is unchanged the rows are neither reallocated nor cleared.
    void Recreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha, bool clearRows);
    void FreeLineTable();
    // The base part of SwapContent: the geometry, the colour table pointer and the row table.
    void SwapCommon(CDibBitmap& other);
    // The row table of the DIB layout: rows of CalcDibRowLength bytes stored bottom-up at bits.
    void FillBottomUpLineTable(uint8_t* bits);
    void FillGreyRamp();

    // Creates the bitmap from a packed DIB of size bytes (header, colour table, rows), shared
    // by the DIB kinds' CreateFromDIB. Accepts BI_RGB DIBs of 1, 4, 8, 16, 24 and 32 bits
    // and BI_BITFIELDS DIBs of 16 and 32 bits, bottom-up or top-down, headers of 40 bytes or
    // more, colour tables of any used-colour count; 16 and 24-bit DIBs become 32-bit bitmaps.
    // The DIB's colour table is kept. Anything else throws (code 2, 6 or 7) before the old
    // content is touched.
    void CreateFromDibData(const void* dib, size_t size);

    int32_t m_width = 0;
    int32_t m_height = 0;
    uint16_t m_bitsPerPixel = 0;
    PLRGBQuad* m_palette = nullptr;
    bool m_hasAlpha = false;
    uint8_t** m_lineTable = nullptr;
    mutable int32_t m_lockCount = 0;
    int32_t m_ditherMode = 0;
    int32_t m_paletteMode = 2;
    // Whether InternalCreate must hand out cleared rows (false while Recreate makes rows that
    // the caller overwrites).
    bool m_clearNewRows = true;

private:
    void ConvertTo32(const CDibBitmap& source);
    void ConvertTo8(const CDibBitmap& source);
    void ConvertTo1(const CDibBitmap& source);
    void QuantizeFrom(const CDibBitmap& source);
    void ClearForFailure();
    friend class CDibBitmapTestAccess;
};

// Holds a Lock on a bitmap for one scope.
class CPLBitmapLock {
public:
    CPLBitmapLock(const CDibBitmap& bitmap, bool readable, bool writable) : m_bitmap(bitmap) {
        m_bitmap.Lock(readable, writable);
    }
    ~CPLBitmapLock() { m_bitmap.Unlock(); }
    CPLBitmapLock(const CPLBitmapLock&) = delete;
    CPLBitmapLock& operator=(const CPLBitmapLock&) = delete;

private:
    const CDibBitmap& m_bitmap;
};

// The scratch kind is part of the core interface.
#include "HeapBitmap.h"
