#pragma once

// Filters that work on rectangles of a bitmap: moving or copying a region, pasting a picture
// and cropping. Rectangles are normalised when the filter is made; whatever part of a
// rectangle lies outside a bitmap is left out, so these filters never touch pixels outside
// their bitmaps. They work on bitmaps of every depth.

#include <memory>

#include "../PackedDibBitmap.h"
#include "ImageFilter.h"

// Moves or copies a rectangle of the picture. Unless copying, the selection is first filled
// with the fill colour (a COLORREF, 0x00BBGGRR). Then min(selection, target) rows and columns
// are copied from the unchanged picture, starting at the source rectangle's top-left corner,
// to the target rectangle's top-left corner. Target: a copy of the source.
class CRegionMoveFilter : public CImageFilter {
public:
    CRegionMoveFilter(const PLFilterRect& selection, const PLFilterRect& source, const PLFilterRect& target, bool copy,
                      uint32_t fillColor, CProgressSink* progress = nullptr);
    ~CRegionMoveFilter() override;

    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    const PLFilterRect& GetSelection() const { return m_selection; }
    const PLFilterRect& GetSourceRect() const { return m_source; }
    const PLFilterRect& GetTargetRect() const { return m_target; }

private:
    void Run(CDibBitmap& bitmap, const CDibBitmap* unchanged);

    PLFilterRect m_selection;
    PLFilterRect m_source;
    PLFilterRect m_target;
    bool m_copy;
    uint32_t m_fillColor;
};

// Pastes the source rectangle of a picture (copied when the filter is made) into the target
// rectangle: min(source, target) columns of each row. Colours are matched to the colour table
// of bitmaps of 8 bits or fewer. Target: a copy of the source.
class CPasteFilter : public CImageFilter {
public:
    CPasteFilter(const CDibBitmap& pasted, const PLFilterRect& source, const PLFilterRect& target,
                 CProgressSink* progress = nullptr);
    ~CPasteFilter() override;

    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    const CDibBitmap& GetPasted() const { return *m_pasted; }
    const PLFilterRect& GetSourceRect() const { return m_source; }
    const PLFilterRect& GetTargetRect() const { return m_target; }

private:
    std::unique_ptr<CPackedDibBitmap> m_pasted;
    PLFilterRect m_source;
    PLFilterRect m_target;
};

// Cuts out a rectangle. The part of it inside the source becomes the target (same depth,
// colour table and alpha flag); a rectangle with no pixel inside the source is refused.
class CCropFilter : public CImageFilter {
public:
    CCropFilter(int32_t left, int32_t right, int32_t top, int32_t bottom, CProgressSink* progress = nullptr);
    ~CCropFilter() override;

    void Apply(const CDibBitmap& source, CDibBitmap& target) override;

    const PLFilterRect& GetRect() const { return m_rect; }

private:
    PLFilterRect m_rect;
};
