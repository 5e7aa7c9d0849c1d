#pragma once

// Filters that change the colour of each pixel on its own. They change blue, green and red;
// the fourth byte of each pixel keeps the source's value. Bitmaps with a colour table have
// their colour table changed instead of their pixels.

#include <array>

#include "ImageFilter.h"

// Adds amount percent of 255 to each channel (amount -100 darkens to black, +100 lightens
// to white). Target: same size, depth and alpha flag.
class CBrightnessFilter : public CImageFilter {
public:
    explicit CBrightnessFilter(int32_t amount, CProgressSink* progress = nullptr);
    ~CBrightnessFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    // The new value of a channel.
    uint8_t Map(uint8_t channel) const;

private:
    double m_amount;
};

// factor x (channel + offset - 250) + 125: factor 1 with offset 125 changes nothing, a larger
// factor spreads the channels apart around 125 - (offset - 125). Target: same size, depth and
// alpha flag.
class CContrastFilter : public CImageFilter {
public:
    CContrastFilter(double factor, int32_t offset, CProgressSink* progress = nullptr);
    ~CContrastFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    uint8_t Map(uint8_t channel) const;

private:
    double m_factor;
    int32_t m_offset;  // the offset parameter - 125
};

// Raises the value (HSV) of colours whose value is at least offset:
// V' = V x ((V - offset)^exponent x (intensity - 20) / 4 / 255^exponent + 1),
// keeping hue and saturation. Target: same size, depth and alpha flag.
class CIntensityFilter : public CImageFilter {
public:
    CIntensityFilter(double intensity, int32_t offset, double exponent, CProgressSink* progress = nullptr);
    ~CIntensityFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    // The new colour of a pixel (the fourth byte is kept).
    PLPixel32 Map(PLPixel32 pixel) const;

private:
    void Prepare(std::array<double, 256>& factors) const;

    double m_intensity;
    double m_offset;
    double m_exponent;
};

// Grey = 0.212671 red + 0.715160 green + 0.072169 blue, truncated. Target: 8 bits with the
// grey ramp as colour table, no alpha.
class CGrayscaleFilter : public CImageFilter {
public:
    explicit CGrayscaleFilter(CProgressSink* progress = nullptr);
    ~CGrayscaleFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;

    static uint8_t GreyOf(uint8_t red, uint8_t green, uint8_t blue);
};

// Complements blue, green and red. Target: 32 bits, no alpha.
class CInvertFilter : public CImageFilter {
public:
    explicit CInvertFilter(CProgressSink* progress = nullptr);
    ~CInvertFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;
};
