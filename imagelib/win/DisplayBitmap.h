#pragma once

#include <windows.h>

#include <vfw.h>

#include <vector>

#include "framework/Handles.h"
#include "win/SectionDibBitmap.h"

// The bitmap that documents, captures, previews and printing hold: a DIB section with a logical
// palette and a DrawDib handle, both made on first use. The palette is made again whenever the
// bitmap's depth or colours have changed since (a new size or depth, a changed colour table).
class CDisplayBitmap : public CSectionDibBitmap {
public:
    CDisplayBitmap();
    ~CDisplayBitmap() override;

    // The four drawing calls all go through DrawEx with DrawDib, foreground palette and
    // SRCCOPY (rop is not used).
    void Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY) override;
    void StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY) override;
    void DrawScaled(HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY) override;
    void DrawPart(HDC dc, int x, int y, int left, int top, int right, int bottom) override;

    // Draws srcRect of the bitmap (null: all of it; row 0 at the top) into destRect of dc (null:
    // the same rectangle as srcRect). palette null means the bitmap's own logical palette; it is
    // selected as a background palette when foreground is false. stretchMode below 0 draws
    // through DrawDib; otherwise StretchBlt with rop, under that stretch mode when it is above 0.
    // Returns the GDI result.
    BOOL DrawEx(HDC dc, const RECT* destRect, const RECT* srcRect, HPALETTE palette = nullptr,
                bool foreground = true, int stretchMode = -1, DWORD rop = SRCCOPY);

    // The same contract through StretchDIBits; a stretchMode below 0 becomes HALFTONE. True
    // unless GDI reports an error.
    bool DrawDIBits(HDC dc, const RECT* destRect, const RECT* srcRect, HPALETTE palette = nullptr,
                    bool foreground = true, int stretchMode = -1, DWORD rop = SRCCOPY);

    // The logical palette: the colour table's colours for depths up to 8, a halftone palette of
    // the screen otherwise. Made on first use and again after the depth or the colour table
    // changed; a handle returned earlier is then no longer valid. (The colour table itself:
    // GetColorTable().)
    HPALETTE GetPalette();
    // Deletes the logical palette and makes it again from the current colour table.
    void RebuildPalette();

private:
    // True when m_logicalPalette was made from the bitmap as it is now.
    bool IsPaletteCurrent() const;

    UniquePalette m_logicalPalette;
    std::vector<PLRGBQuad> m_paletteColors;  // the colour table it was made from; empty: halftone
    HDRAWDIB m_drawDib = nullptr;
};
