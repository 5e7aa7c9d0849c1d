// Format recognition of CAutoDecoder: the order of the tests, the name rule, the PICT size
// rule, and what happens to formats this build cannot decode.

#include <gtest/gtest.h>

#include <filesystem>

#include "DecodeTestUtil.h"
#include "FileTestUtil.h"
#include "decode/Trace.h"

namespace {

std::vector<uint8_t> WithBytes(size_t size, size_t offset, std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> v(size, 0x20);
    std::copy(bytes.begin(), bytes.end(), v.begin() + static_cast<std::ptrdiff_t>(offset));
    return v;
}

PLImageFormat Sniff(const std::vector<uint8_t>& data, const char* name = "Mem") {
    return CAutoDecoder::SniffFormat(name, data.data(), data.size());
}

// A header that passes the TGA test: colour-map type 0, image type 2, entry size 0, depth 24.
std::vector<uint8_t> TgaLike(std::initializer_list<uint8_t> start) {
    auto v = WithBytes(64, 0, start);
    v[1] = 0;
    v[2] = 2;
    v[7] = 0;
    v[16] = 24;
    return v;
}

TEST(AutoDecoderSniff, Signatures) {
    EXPECT_EQ(Sniff(WithBytes(64, 0, {'B', 'M'})), PLImageFormat::BMP);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {'G', 'I', 'F', '8'})), PLImageFormat::GIF);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0x49, 0x49, 0x2A, 0x00})), PLImageFormat::TIFF);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0x4D, 0x4D, 0x00, 0x2A})), PLImageFormat::TIFF);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0xFF, 0xD8, 0xFF})), PLImageFormat::JPEG);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0x89, 'P', 'N', 'G'})), PLImageFormat::PNG);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0x0A, 5, 1})), PLImageFormat::PCX);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {'P', '2'})), PLImageFormat::PGM);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {'P', '5'})), PLImageFormat::PGM);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {'P', '6'})), PLImageFormat::Unknown);
    EXPECT_EQ(Sniff(WithBytes(64, 0, {0x0A, 5, 0})), PLImageFormat::Unknown);
    EXPECT_EQ(Sniff({}), PLImageFormat::Unknown);
    EXPECT_EQ(Sniff({'B'}), PLImageFormat::Unknown);
    EXPECT_EQ(Sniff(TgaLike({0})), PLImageFormat::TGA);
}

TEST(AutoDecoderSniff, TgaTestComesEarly) {
    // A GIF or TIFF signature puts 'I' or 'M' into byte 1 (the colour-map type), so it never
    // passes the TGA test; the signatures tested after TIFF can collide with a TGA header.
    auto gif = TgaLike({});
    std::memcpy(gif.data(), "GIF8", 4);
    EXPECT_EQ(Sniff(gif), PLImageFormat::GIF);
    auto tiff = TgaLike({});
    std::memcpy(tiff.data(), "MM\0*", 4);
    EXPECT_EQ(Sniff(tiff), PLImageFormat::TIFF);
    // A version-0 PCX header whose fields also make a valid TGA header is a TGA.
    auto pcx = TgaLike({0x0A});
    pcx[2] = 1;
    EXPECT_EQ(Sniff(pcx), PLImageFormat::TGA);
    pcx[16] = 4;
    EXPECT_EQ(Sniff(pcx), PLImageFormat::PCX);
    // So is a PICT-sized file with a TGA header.
    auto pict = WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFF});
    pict[1] = 1, pict[2] = 9, pict[7] = 24, pict[16] = 8;
    EXPECT_EQ(Sniff(pict), PLImageFormat::TGA);
    // The TGA fields one by one.
    auto bad = TgaLike({0});
    bad[1] = 2;
    EXPECT_EQ(Sniff(bad), PLImageFormat::Unknown);
    bad = TgaLike({0});
    bad[2] = 4;
    EXPECT_EQ(Sniff(bad), PLImageFormat::Unknown);
    bad = TgaLike({0});
    bad[7] = 12;
    EXPECT_EQ(Sniff(bad), PLImageFormat::Unknown);
    bad = TgaLike({0});
    bad[16] = 4;
    EXPECT_EQ(Sniff(bad), PLImageFormat::Unknown);
    // Too short to hold byte 16.
    auto shortTga = TgaLike({0});
    shortTga.resize(16);
    EXPECT_EQ(Sniff(shortTga), PLImageFormat::Unknown);
}

TEST(AutoDecoderSniff, PictOnlyBeyond540Bytes) {
    EXPECT_EQ(Sniff(WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFF})), PLImageFormat::PICT);
    EXPECT_EQ(Sniff(WithBytes(600, 522, {0x00, 0x11, 0x01})), PLImageFormat::PICT);
    EXPECT_EQ(Sniff(WithBytes(600, 522, {0x11, 0x01, 0x01, 0x00})), PLImageFormat::PICT);
    EXPECT_EQ(Sniff(WithBytes(540, 522, {0x00, 0x11, 0x02, 0xFF})), PLImageFormat::Unknown);
    EXPECT_EQ(Sniff(WithBytes(541, 522, {0x00, 0x11, 0x02, 0xFF})), PLImageFormat::PICT);
    EXPECT_EQ(Sniff(WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFE})), PLImageFormat::Unknown);
    // PICT is tested before JPEG and PNG, after TIFF.
    auto jpegToo = WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFF});
    jpegToo[0] = 0xFF, jpegToo[1] = 0xD8, jpegToo[2] = 0xFF;
    EXPECT_EQ(Sniff(jpegToo), PLImageFormat::PICT);
    auto tiffToo = WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFF});
    tiffToo[0] = 0x49, tiffToo[1] = 0x49, tiffToo[2] = 0x2A, tiffToo[3] = 0;
    EXPECT_EQ(Sniff(tiffToo), PLImageFormat::TIFF);
}

TEST(AutoDecoderSniff, EpsWithTiffPreview) {
    auto eps = WithBytes(64, 0, {0xC5, 0xD0, 0xD3, 0xC6});
    for (int i = 4; i < 28; ++i) eps[static_cast<size_t>(i)] = 0;
    eps[20] = 32;
    eps[24] = 16;
    EXPECT_EQ(Sniff(eps), PLImageFormat::EPSTIFF);
    auto swapped = eps;
    swapped[0] = 0xC6, swapped[1] = 0xD3, swapped[2] = 0xD0, swapped[3] = 0xC5;
    EXPECT_EQ(Sniff(swapped), PLImageFormat::EPSTIFF);
    auto noPreview = eps;
    noPreview[24] = 0;
    EXPECT_EQ(Sniff(noPreview), PLImageFormat::Unknown);
    auto noOffset = eps;
    noOffset[20] = 0;
    EXPECT_EQ(Sniff(noOffset), PLImageFormat::Unknown);
    eps.resize(27);
    EXPECT_EQ(Sniff(eps), PLImageFormat::Unknown);
}

TEST(AutoDecoderSniff, NameComesFirst) {
    auto bmp = WithBytes(64, 0, {'B', 'M'});
    EXPECT_EQ(Sniff(bmp, "C:\\pictures\\x.emf.bmp"), PLImageFormat::EMF);
    EXPECT_EQ(Sniff(bmp, "drawing.Wmf"), PLImageFormat::WMF);
    EXPECT_EQ(Sniff(bmp, "a.wmf.emf"), PLImageFormat::WMF);  // .WMF is looked for first
    EXPECT_EQ(Sniff(bmp, "emf.bmp"), PLImageFormat::BMP);
    EXPECT_EQ(Sniff(bmp, nullptr), PLImageFormat::BMP);
}

TEST(AutoDecoder, UnknownDataAndEmptyMemory) {
    EXPECT_DECODE_ERROR(WithBytes(64, 0, {'X'}), PLErr::UnknownFileType, "Decoder error: Unknown file type.\n");
    EXPECT_DECODE_ERROR(std::vector<uint8_t>(), PLErr::UnknownFileType, "Decoder error: Unknown file type.\n");
}

TEST(AutoDecoder, FormatsWithoutDecoderSayTheLibraryIsMissing) {
    CAutoDecoder decoder;
    struct Case {
        PLImageFormat format;
        std::vector<uint8_t> data;
    };
    auto eps = WithBytes(64, 0, {0xC5, 0xD0, 0xD3, 0xC6});
    eps[20] = 32;
    eps[24] = 16;
    std::vector<Case> cases = {
        {PLImageFormat::GIF, WithBytes(64, 0, {'G', 'I', 'F', '8'})},
        {PLImageFormat::TIFF, WithBytes(64, 0, {0x49, 0x49, 0x2A, 0x00})},
        {PLImageFormat::JPEG, WithBytes(64, 0, {0xFF, 0xD8, 0xFF})},
        {PLImageFormat::PNG, WithBytes(64, 0, {0x89, 'P', 'N', 'G'})},
        {PLImageFormat::EPSTIFF, eps},
        {PLImageFormat::PICT, WithBytes(600, 522, {0x00, 0x11, 0x02, 0xFF})},
    };
    int checked = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(Sniff(c.data), c.format);
        if (decoder.CanDecode(c.format)) continue;  // covered by that decoder's own tests
        EXPECT_DECODE_ERROR(c.data, PLErr::Unsupported, "Decoder error: Library not compiled for this file type.\n");
        ++checked;
    }
    EXPECT_TRUE(decoder.CanDecode(PLImageFormat::BMP));
    EXPECT_TRUE(decoder.CanDecode(PLImageFormat::TGA));
    EXPECT_TRUE(decoder.CanDecode(PLImageFormat::PCX));
    EXPECT_TRUE(decoder.CanDecode(PLImageFormat::PGM));
    RecordProperty("formats_without_decoder", checked);
}

TEST(AutoDecoder, EpsHandsItsTiffPreviewToTheTiffDecoder) {
    const std::vector<uint8_t> eps =
        ReadFileBytes(std::filesystem::path(LUMATRE_DECODE_DATA_DIR) / "corpus" / "eps" / "small.eps");
    ASSERT_GT(eps.size(), 30u);
    ASSERT_EQ(Sniff(eps), PLImageFormat::EPSTIFF);
    CAutoDecoder decoder;
    if (decoder.CanDecode(PLImageFormat::EPSTIFF)) {
        CPackedDibBitmap bmp;
        Decode(eps, bmp);
        EXPECT_EQ(bmp.GetSize(), (PLSize{5, 3}));
    }
    // A preview offset beyond the end of the file.
    auto broken = eps;
    broken[20] = 0xFF, broken[21] = 0xFF, broken[22] = 0xFF;
    EXPECT_EQ(DecodeExpectingFailure(broken).code, decoder.CanDecode(PLImageFormat::EPSTIFF) ? PLErr::EndOfFile
                                                                                           : PLErr::Unsupported);
}

TEST(AutoDecoder, RecognizedTexts) {
    EXPECT_STREQ(CAutoDecoder::RecognizedText(PLImageFormat::BMP), "Windows bitmap recognized.\n");
    EXPECT_STREQ(CAutoDecoder::RecognizedText(PLImageFormat::PICT), "Mac PICT recognized.\n");
    EXPECT_STREQ(CAutoDecoder::RecognizedText(PLImageFormat::TGA), "TGA file recognized.\n");
    EXPECT_STREQ(CAutoDecoder::RecognizedText(PLImageFormat::EPSTIFF), "TIFF preview in EPS file recognized.\n");
    EXPECT_STREQ(CAutoDecoder::RecognizedText(PLImageFormat::EMF), "EMF file recognized.\n");
    EXPECT_EQ(CAutoDecoder::RecognizedText(PLImageFormat::Unknown), nullptr);
}

}  // namespace
