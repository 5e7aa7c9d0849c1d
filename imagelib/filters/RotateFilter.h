#pragma once

#include "ImageFilter.h"

// Rotates the picture by an angle in radians; a positive angle turns it counter-clockwise on
// the screen. The target is just large enough for the turned picture; where it shows no
// source pixel it gets the fill pixel (an index nearest to that colour in bitmaps with a
// colour table). Exact quarter turns move every pixel without loss.
class CRotateFilter : public CImageFilter {
public:
    CRotateFilter(double angle, PLPixel32 fill, CProgressSink* progress = nullptr);
    ~CRotateFilter() override;

    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    // A half turn of a bitmap of 8 or 32 bits reverses its pixels where they are; anything
    // else goes through the base (a new bitmap that this one takes over).
    void ApplyInPlace(CDibBitmap& bitmap) override;

    double GetAngle() const { return m_angle; }
    PLPixel32 GetFill() const { return m_fill; }

    // The target's size for a width x height source.
    PLSize TargetSize(int32_t width, int32_t height) const;

    // Skips the quarter-turn shortcut (tests compare both paths).
    void SetGeneralPathOnly(bool generalOnly) { m_generalOnly = generalOnly; }

private:
    double m_angle;
    PLPixel32 m_fill;
    bool m_generalOnly = false;
};
