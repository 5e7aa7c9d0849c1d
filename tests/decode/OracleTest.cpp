// Files written by ImageMagick and netpbm, decoded here and compared pixel by pixel with
// ImageMagick's own decode of the same file (raw RGBA dumps made by make-oracle-samples.sh).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "DecodeTestUtil.h"
#include "FileTestUtil.h"

namespace {

const char kFolder[] = "oracle/";

struct Sample {
    std::string file;
    bool mustFail = false;
    int failCode = 0;
    int width = 0, height = 0, tolerance = 0;
    std::string what;
};

std::vector<Sample> ReadManifest(std::string& problem) {
    std::vector<Sample> samples;
    std::ifstream in(std::string(kFolder) + "manifest.txt");
    if (!in) {
        problem = "oracle/manifest.txt is missing (made by make-oracle-samples.sh at build time)";
        return samples;
    }
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Sample s;
        std::string second;
        fields >> s.file >> second;
        if (s.file == "missing-tools") {
            problem = line;
            return {};
        }
        if (second == "fail") {
            s.mustFail = true;
            fields >> s.failCode;
        } else {
            s.width = std::atoi(second.c_str());
            fields >> s.height >> s.tolerance;
            std::getline(fields, s.what);
        }
        samples.push_back(s);
    }
    return samples;
}

// Compares a decoded bitmap with ImageMagick's RGBA bytes; returns the number of pixels off.
int CountDifferences(const CDibBitmap& bmp, const std::vector<uint8_t>& rgba, int tolerance, std::string& first) {
    int off = 0;
    for (int y = 0; y < bmp.GetHeight(); ++y) {
        for (int x = 0; x < bmp.GetWidth(); ++x) {
            PLPixel32 p = bmp.GetPixel(x, y);
            const uint8_t* e = &rgba[(static_cast<size_t>(y) * bmp.GetWidth() + x) * 4];
            int got[4] = {PLPixelRed(p), PLPixelGreen(p), PLPixelBlue(p), PLPixelAlpha(p)};
            bool bad = false;
            for (int c = 0; c < 4; ++c) bad |= std::abs(got[c] - e[c]) > tolerance;
            if (bad && off++ == 0) {
                std::ostringstream o;
                o << "first at (" << x << "," << y << "): got " << got[0] << "," << got[1] << "," << got[2] << ","
                  << got[3] << " expected " << int(e[0]) << "," << int(e[1]) << "," << int(e[2]) << "," << int(e[3]);
                first = o.str();
            }
        }
    }
    return off;
}

TEST(DecoderOracle, MatchesImageMagick) {
    std::string problem;
    std::vector<Sample> samples = ReadManifest(problem);
    ASSERT_TRUE(problem.empty()) << problem;
    ASSERT_GT(samples.size(), 100u);
    CAutoDecoder decoder;
    int compared = 0;
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.file + " (" + s.what + ")");
        std::vector<uint8_t> file = ReadFileBytes(kFolder + s.file);
        ASSERT_FALSE(file.empty());
        if (s.mustFail) {
            DecodeFailure f = DecodeExpectingFailure(file);
            EXPECT_TRUE(f.threw);
            EXPECT_EQ(f.code, s.failCode);
            continue;
        }
        std::vector<uint8_t> rgba = ReadFileBytes(kFolder + s.file + ".rgba");
        ASSERT_EQ(rgba.size(), static_cast<size_t>(s.width) * s.height * 4);
        for (int wanted : {0, 32}) {
            CPackedDibBitmap bmp;
            try {
                decoder.MakeBmpFromMemory(file.data(), file.size(), bmp, wanted);
            } catch (const CTextException& e) {
                ADD_FAILURE() << "wanted " << wanted << ": " << e.GetText();
                continue;
            }
            ASSERT_EQ(bmp.GetSize(), (PLSize{s.width, s.height}));
            if (wanted == 32) {
                EXPECT_EQ(bmp.GetBitsPerPixel(), 32);
            }
            std::string first;
            EXPECT_EQ(CountDifferences(bmp, rgba, s.tolerance, first), 0) << "wanted " << wanted << ", " << first;
            ++compared;
        }
    }
    RecordProperty("decodes_compared", compared);
}

}  // namespace
