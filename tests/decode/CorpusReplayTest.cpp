// Replays the fuzzing seed corpus and every input the fuzzers ever found a fault with through
// CAutoDecoder over memory, at both depth wishes. Natively this runs under AddressSanitizer
// and UndefinedBehaviorSanitizer: a decoder fault shows up here as a sanitizer report.

#include <gtest/gtest.h>

#include <filesystem>

#include "DecodeTestUtil.h"
#include "FileTestUtil.h"
#include "decode/BMPDecoder.h"
#include "decode/PCXDecoder.h"
#include "decode/PGMDecoder.h"
#include "decode/PICTDecoder.h"
#include "decode/TGADecoder.h"

namespace fs = std::filesystem;

namespace {

// The decoder a fuzz target of one format used: crash files are named "<format>-...".
CImageDecoder* FormatDecoder(const std::string& name) {
    static CBMPDecoder bmp;
    static CTGADecoder tga;
    static CPCXDecoder pcx;
    static CPGMDecoder pgm;
    static CPICTDecoder pict;
    if (name.rfind("bmp-", 0) == 0) return &bmp;
    if (name.rfind("tga-", 0) == 0) return &tga;
    if (name.rfind("pcx-", 0) == 0) return &pcx;
    if (name.rfind("pgm-", 0) == 0) return &pgm;
    if (name.rfind("pict-", 0) == 0) return &pict;
    return nullptr;
}

void DecodeBoth(CImageDecoder& decoder, const std::vector<uint8_t>& data, const fs::path& path) {
    for (int wanted : {0, 32}) {
        CPackedDibBitmap bitmap;
        try {
            decoder.MakeBmpFromMemory(data.data(), data.size(), bitmap, wanted);
            EXPECT_FALSE(bitmap.IsEmpty()) << path;
        } catch (const CTextException& e) {
            EXPECT_NE(e.GetCode(), 0) << path;
        }
    }
}

int ReplayFolder(const fs::path& folder) {
    // The same decoded-size limit as the fuzz targets.
    uint64_t oldLimit = CImageDecoder::GetMaxPixelBytes();
    CImageDecoder::SetMaxPixelBytes(4u << 20);
    CAutoDecoder decoder;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
        std::vector<uint8_t> data = ReadFileBytes(entry.path());
        DecodeBoth(decoder, data, entry.path());
        if (CImageDecoder* own = FormatDecoder(entry.path().filename().string())) DecodeBoth(*own, data, entry.path());
        ++files;
    }
    CImageDecoder::SetMaxPixelBytes(oldLimit);
    return files;
}

TEST(DecoderCorpus, SeedsOfEveryFormatDecodeSafely) {
    fs::path corpus = fs::path(LUMATRE_DECODE_DATA_DIR) / "corpus";
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    for (const char* format : {"bmp", "tga", "pcx", "pgm", "jpeg", "png", "tiff", "gif", "pict", "eps"})
        EXPECT_FALSE(fs::is_empty(corpus / format)) << format;
    EXPECT_GT(ReplayFolder(corpus), 90);
}

TEST(DecoderCorpus, FoundCrashesStayFixed) {
    fs::path crashes = fs::path(LUMATRE_DECODE_DATA_DIR) / "crashes";
    ASSERT_TRUE(fs::is_directory(crashes)) << crashes;
    ReplayFolder(crashes);
}

}  // namespace
