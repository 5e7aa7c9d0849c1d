#include "TestPicture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "PixelConvert.h"

namespace {

inline uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Value noise in [0, 1): a lattice of random values every `cell` pixels, smoothly blended.
class CValueNoise {
public:
    CValueNoise(int32_t width, int32_t height, int32_t cell, uint32_t seed)
        : m_cell(cell), m_cols(width / cell + 2), m_rows(height / cell + 2),
          m_values(static_cast<size_t>(m_cols) * static_cast<size_t>(m_rows)) {
        for (int32_t j = 0; j < m_rows; ++j)
            for (int32_t i = 0; i < m_cols; ++i)
                m_values[static_cast<size_t>(j) * m_cols + i] = (Hash(static_cast<uint32_t>(i), static_cast<uint32_t>(j), seed) >> 8) / 16777216.0;
    }

    double At(int32_t x, int32_t y) const {
        const int32_t i = x / m_cell, j = y / m_cell;
        double fx = static_cast<double>(x % m_cell) / m_cell, fy = static_cast<double>(y % m_cell) / m_cell;
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        const double* row0 = &m_values[static_cast<size_t>(j) * m_cols + i];
        const double* row1 = row0 + m_cols;
        const double top = row0[0] + (row0[1] - row0[0]) * fx;
        const double bottom = row1[0] + (row1[1] - row1[0]) * fx;
        return top + (bottom - top) * fy;
    }

private:
    int32_t m_cell, m_cols, m_rows;
    std::vector<double> m_values;
};

inline uint8_t ToByte(double v) { return v <= 0 ? 0 : (v >= 255 ? 255 : static_cast<uint8_t>(v)); }

// A smooth bump: 1 at the centre, 0 beyond the radius.
inline double Disc(double dx, double dy, double radius) {
    const double d = (dx * dx + dy * dy) / (radius * radius);
    if (d >= 1.0) return 0.0;
    const double t = 1.0 - d;
    return t * t;
}

}  // namespace

void MakeTestPicture(CDibBitmap& bitmap, int32_t width, int32_t height) {
    bitmap.Create(width, height, 32, false);
    const int32_t unit = width / 64 > 4 ? width / 64 : 4;
    const CValueNoise hills(width, height, unit * 8, 1), coarse(width, height, unit * 2, 2), fine(width, height, unit / 2, 3),
        grain(width, height, 2, 4);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bitmap.GetLine(y);
        const double fy = static_cast<double>(y) / height;
        for (int32_t x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width;
            const double horizon = 0.45 + 0.25 * hills.At(x, 0) + 0.05 * coarse.At(x, y / 8);
            double r, g, b;
            if (fy < horizon) {
                // Sky: deep blue at the top, hazy near the horizon, a sun and some clouds.
                const double t = fy / horizon;
                r = 60 + 150 * t;
                g = 110 + 110 * t;
                b = 210 + 35 * t;
                const double sun = Disc(fx - 0.72, (fy - 0.18) * height / width, 0.06);
                const double cloud = coarse.At(x, y) * fine.At(x, y);
                const double c = cloud > 0.3 ? (cloud - 0.3) * 2.0 : 0.0;
                r += (255 - r) * (sun + c * 0.8);
                g += (250 - g) * (sun + c * 0.8);
                b += (235 - b) * (sun * 0.5 + c * 0.7);
            } else {
                // Ground: fields of green and brown with texture, darker towards the bottom.
                const double t = (fy - horizon) / (1.0 - horizon);
                const double field = coarse.At(x, y);
                const double tex = fine.At(x, y);
                r = 70 + 90 * field + 40 * tex;
                g = 100 + 60 * (1 - field) + 50 * tex;
                b = 40 + 30 * tex;
                const double shade = 1.0 - 0.45 * t;
                r *= shade, g *= shade, b *= shade;
                // Trees: dark round crowns along the horizon.
                const double tree = Disc(fx - 0.3, (fy - horizon - 0.04) * height / width, 0.05) +
                                    Disc(fx - 0.38, (fy - horizon - 0.02) * height / width, 0.035);
                r -= r * 0.6 * (tree > 1 ? 1 : tree);
                g -= g * 0.4 * (tree > 1 ? 1 : tree);
                b -= b * 0.6 * (tree > 1 ? 1 : tree);
            }
            const double noise = (grain.At(x, y) - 0.5) * 10.0 + static_cast<double>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 9) & 7) - 3.5;
            PLStorePixel(row + 4 * x, PLMakePixel(ToByte(r + noise), ToByte(g + noise), ToByte(b + noise), 255));
        }
    }
}

bool WritePpm(const CDibBitmap& bitmap, const char* path) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    std::vector<uint8_t> line(static_cast<size_t>(w) * 3);
    bool ok = true;
    for (int32_t y = 0; y < h && ok; ++y) {
        const uint8_t* src = bitmap.GetLine(y);
        for (int32_t x = 0; x < w; ++x) {
            line[3 * x] = src[4 * x + PL_RED];
            line[3 * x + 1] = src[4 * x + PL_GREEN];
            line[3 * x + 2] = src[4 * x + PL_BLUE];
        }
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    return std::fclose(f) == 0 && ok;
}

namespace {
void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
}  // namespace

bool WriteBmp24(const CDibBitmap& bitmap, const char* path) {
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::vector<uint8_t> header;
    header.push_back('B');
    header.push_back('M');
    Put32(header, 54 + rowBytes * static_cast<uint32_t>(h));
    Put32(header, 0);
    Put32(header, 54);
    Put32(header, 40);
    Put32(header, static_cast<uint32_t>(w));
    Put32(header, static_cast<uint32_t>(h));
    Put16(header, 1);
    Put16(header, 24);
    for (int i = 0; i < 6; ++i) Put32(header, 0);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    std::vector<uint8_t> line(rowBytes, 0);
    for (int32_t y = h - 1; y >= 0 && ok; --y) {
        const uint8_t* src = bitmap.GetLine(y);
        for (int32_t x = 0; x < w; ++x) std::memcpy(&line[3 * static_cast<size_t>(x)], src + 4 * x, 3);
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    return std::fclose(f) == 0 && ok;
}
