// Byte sinks and saving to files: the block grows past its estimate, a save replaces the target
// only when it is complete, failures leave the old file and no stray temporary file behind,
// unwritable targets are refused before encoding, and the encoder is chosen by extension.

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#else
#include <windows.h>
#endif

#include "CodecTestUtil.h"
#include "encode/BMPEncoder.h"
#include "encode/EncoderChoice.h"
#include "encode/FileByteSink.h"
#include "encode/PNGEncoder.h"

using namespace codectest;

namespace {

// Writes some bytes, then fails like an encoder meeting a library error half-way.
class CFailingEncoder : public CImageEncoder {
protected:
    void DoEncode(const CDibBitmap&, CByteSink& sink) override {
        sink.WriteNBytes(5, "BROKE");
        throw CTextException(PLErr::Unsupported, "encoder failed half-way");
    }
};

bool HasTempFiles(const std::string& folder) {
    for (const std::string& name : ListFolder(folder))
        if (name.rfind("~lm", 0) == 0) return true;
    return false;
}

TEST(ByteSink, GrowsPastItsCapacity) {
    CMemoryByteSink sink;
    ASSERT_EQ(sink.Open(16), 0);
    EXPECT_STREQ(sink.GetName(), "Mem");
    std::vector<uint8_t> data(100000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    for (size_t i = 0; i < data.size(); i += 1000) sink.WriteNBytes(1000, data.data() + i);
    ASSERT_EQ(sink.GetPosition(), data.size());
    EXPECT_EQ(0, std::memcmp(sink.GetData(), data.data(), data.size()));
}

TEST(ByteSink, WriteAtFillsGapsWithZerosAndKeepsTheEnd) {
    CMemoryByteSink sink;
    ASSERT_EQ(sink.Open(4), 0);
    sink.WriteNBytes(3, "abc");
    sink.WriteAt(10, 2, "xy");
    ASSERT_EQ(sink.GetPosition(), 12u);
    EXPECT_EQ(0, std::memcmp(sink.GetData(), "abc\0\0\0\0\0\0\0xy", 12));
    sink.WriteAt(1, 1, "B");  // inside: the size stays
    EXPECT_EQ(sink.GetPosition(), 12u);
    EXPECT_EQ(sink.GetData()[1], 'B');
    sink.Extend(14);
    EXPECT_EQ(sink.GetPosition(), 14u);
    EXPECT_EQ(sink.GetData()[13], 0);
}

TEST(ByteSink, FilesBeyondTheLimitAreRefusedBeforeAllocating) {
    CMemoryByteSink sink;
    ASSERT_EQ(sink.Open(64), 0);
    std::string text;
    EXPECT_EQ(CaughtCode([&] { sink.WriteAt(CByteSink::MaxBytes, 1, "x"); }, &text), PLErr::EndOfFile);
    EXPECT_EQ(text, "Buffer overflow while encoding.\n");
    EXPECT_EQ(sink.GetPosition(), 0u);
}

TEST(ByteSink, CapacityEstimateFollowsTheBitmapsMemoryUse) {
    CHeapBitmap small;
    small.Create(10, 10, 8, false);
    EXPECT_EQ(CImageEncoder::EstimateFileSize(small), small.GetMemUsed() + 4096);
    CHeapBitmap large;
    large.Create(200, 100, 32, false);
    ASSERT_GE(large.GetMemUsed(), 20000u);
    EXPECT_EQ(CImageEncoder::EstimateFileSize(large), static_cast<size_t>(large.GetMemUsed() * 1.2));
}

TEST(FileSave, WritesTheFileAndLeavesNoTemporaryFile) {
    std::string folder = ScratchFolder("write");
    std::string path = folder + "/picture.bmp";
    CHeapBitmap bmp;
    FillTestPicture(bmp, 13, 7);
    CBMPEncoder().MakeFileFromBmp(path.c_str(), bmp);
    Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 54u + 40u * 7u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_FALSE(HasTempFiles(folder));
    EXPECT_EQ(ListFolder(folder).size(), 1u);
}

TEST(FileSave, ReplacesAnExistingFile) {
    std::string folder = ScratchFolder("replace");
    std::string path = folder + "/picture.png";
    ASSERT_TRUE(WriteFile(path, Bytes(100000, 'x')));
    CHeapBitmap bmp;
    FillTestPicture(bmp, 5, 5);
    CPNGEncoder().MakeFileFromBmp(path.c_str(), bmp);
    Bytes file = ReadFile(path);
    ASSERT_GT(file.size(), 8u);
    EXPECT_LT(file.size(), 100000u);
    EXPECT_EQ(file[1], 'P');
    EXPECT_FALSE(HasTempFiles(folder));
}

TEST(FileSave, AFailedEncodeKeepsTheOldFileAndLeavesNothingBehind) {
    std::string folder = ScratchFolder("failed");
    std::string path = folder + "/keep.bmp";
    const Bytes old(3000, 'k');
    ASSERT_TRUE(WriteFile(path, old));
    CHeapBitmap bmp;
    FillTestPicture(bmp, 4, 4);
    CFailingEncoder encoder;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { encoder.MakeFileFromBmp(path.c_str(), bmp); }, &text), PLErr::Unsupported);
    EXPECT_EQ(text, "encoder failed half-way");
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_FALSE(HasTempFiles(folder));

    std::string fresh = folder + "/fresh.bmp";
    EXPECT_NE(CaughtCode([&] { encoder.MakeFileFromBmp(fresh.c_str(), bmp); }), 0);
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_EQ(ListFolder(folder).size(), 1u);
}

TEST(FileSave, AnUnwritableTargetIsRefusedBeforeEncoding) {
    std::string folder = ScratchFolder("refused");
    CHeapBitmap bmp;
    FillTestPicture(bmp, 4, 4);
    CFailingEncoder encoder;  // would throw its own error if it ever ran

    std::string missing = folder + "/no such folder/x.bmp";
    std::string text;
    EXPECT_EQ(CaughtCode([&] { encoder.MakeFileFromBmp(missing.c_str(), bmp); }, &text), PLErr::OpenFailed);
    EXPECT_EQ(text, "Decoder error: Opening " + missing + " failed\n");

    // A folder in the target's place.
    std::string dir = folder + "/sub.bmp";
#ifdef _WIN32
    _mkdir(dir.c_str());
#else
    ::mkdir(dir.c_str(), 0777);
#endif
    EXPECT_EQ(CaughtCode([&] { encoder.MakeFileFromBmp(dir.c_str(), bmp); }), PLErr::OpenFailed);

    EXPECT_EQ(CaughtCode([&] { encoder.MakeFileFromBmp("", bmp); }), PLErr::OpenFailed);
    EXPECT_FALSE(HasTempFiles(folder));
}

TEST(FileSave, DiscardedSinkRemovesItsTemporaryFile) {
    std::string folder = ScratchFolder("discard");
    std::string path = folder + "/x.bin";
    {
        CFileByteSink sink;
        ASSERT_EQ(sink.Open(path.c_str(), 10), 0);
        EXPECT_TRUE(HasTempFiles(folder));
        EXPECT_EQ(PLPathFolder(sink.GetTempPath()), folder + "/");
        sink.WriteNBytes(4, "data");
    }  // never closed
    EXPECT_TRUE(ListFolder(folder).empty());
}

#ifdef _WIN32
TEST(FileSave, AReadOnlyFileIsRefusedAndKept) {
    std::string folder = ScratchFolder("readonly");
    std::string path = folder + "/locked.bmp";
    const Bytes old(10, 'r');
    ASSERT_TRUE(WriteFile(path, old));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    CHeapBitmap bmp;
    FillTestPicture(bmp, 4, 4);
    EXPECT_EQ(CaughtCode([&] { CBMPEncoder().MakeFileFromBmp(path.c_str(), bmp); }), PLErr::OpenFailed);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_FALSE(HasTempFiles(folder));
}

TEST(FileSave, BackslashPathsWork) {
    std::string folder = ScratchFolder("backslash");
    std::string path = folder + "\\pic.bmp";
    CHeapBitmap bmp;
    FillTestPicture(bmp, 3, 3);
    CBMPEncoder().MakeFileFromBmp(path.c_str(), bmp);
    EXPECT_EQ(ReadFile(folder + "/pic.bmp").size(), 54u + 12u * 3u);
    EXPECT_FALSE(HasTempFiles(folder));
}
#else
TEST(FileSave, AFullDiskKeepsTheOldFile) {
    // A file size limit makes the write fail the way a full disk does.
    std::string folder = ScratchFolder("full");
    std::string path = folder + "/big.bmp";
    const Bytes old(100, 'o');
    ASSERT_TRUE(WriteFile(path, old));
    CHeapBitmap bmp;
    FillTestPicture(bmp, 200, 200);  // 120054 bytes as BMP

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 50000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string text;
    int code = CaughtCode([&] { CBMPEncoder().MakeFileFromBmp(path.c_str(), bmp); }, &text);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(code, PLErr::OpenFailed);
    EXPECT_EQ(text, "Decoder error: Writing " + path + " failed\n");
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_FALSE(HasTempFiles(folder));
}
#endif

TEST(EncoderChoice, ExtensionsAreLowerCasedAndOnlyTheFiveCount) {
    EXPECT_EQ(PLImageTypeFromPath("a.jpg"), PLImageJPEG);
    EXPECT_EQ(PLImageTypeFromPath("C:\\x\\A.JPG"), PLImageJPEG);
    EXPECT_EQ(PLImageTypeFromPath("a.b.Png"), PLImagePNG);
    EXPECT_EQ(PLImageTypeFromPath("a.TIF"), PLImageTIFF);
    EXPECT_EQ(PLImageTypeFromPath("a.bmp"), PLImageBMP);
    EXPECT_EQ(PLImageTypeFromPath("a.gif"), PLImageGIF);
    EXPECT_EQ(PLImageTypeFromPath("a.jpeg"), PLImageUnknown);
    EXPECT_EQ(PLImageTypeFromPath("a.tiff"), PLImageUnknown);
    EXPECT_EQ(PLImageTypeFromPath("folder.png/file"), PLImageUnknown);
    EXPECT_EQ(PLImageTypeFromPath("noext"), PLImageUnknown);
    EXPECT_EQ(PLFileExtension("x.emf.BMP"), "bmp");
    EXPECT_STREQ(PLImageTypeExtension(PLImageTIFF), ".TIF");
    EXPECT_STREQ(PLImageTypeExtension(7), "");
    EXPECT_EQ(PLCreateEncoder(9), nullptr);
}

TEST(EncoderChoice, UpperCaseJpgSavesAJpeg) {
    std::string folder = ScratchFolder("choice");
    CHeapBitmap bmp;
    FillIndexed(bmp, 9, 5, 8);  // not 32 bits: converted for JPEG
    std::string path = folder + "/SHOT.JPG";
    PLSaveImageFile(path, bmp);
    Bytes file = ReadFile(path);
    ASSERT_GT(file.size(), 3u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
}

TEST(EncoderChoice, AnUnknownExtensionIsRefusedAndWritesNothing) {
    std::string folder = ScratchFolder("unknown");
    CHeapBitmap bmp;
    FillTestPicture(bmp, 4, 4);
    std::string text;
    EXPECT_EQ(CaughtCode([&] { PLSaveImageFile(folder + "/a.jpeg", bmp); }, &text), PLErr::UnknownFileType);
    EXPECT_EQ(text, "Can't save files of type \".jpeg\": use .bmp, .jpg, .png, .tif or .gif.");
    EXPECT_EQ(CaughtCode([&] { PLSaveImageFile(folder + "/noext", bmp); }, &text), PLErr::UnknownFileType);
    EXPECT_TRUE(ListFolder(folder).empty());
}

TEST(EncoderChoice, EachTypeWritesItsFormat) {
    std::string folder = ScratchFolder("types");
    CPackedDibBitmap bmp;
    FillTestPicture(bmp, 6, 4);
    const struct {
        const char* name;
        Bytes magic;
    } cases[] = {
        {"a.bmp", {'B', 'M'}},
        {"a.jpg", {0xFF, 0xD8, 0xFF}},
        {"a.png", {0x89, 'P', 'N', 'G'}},
        {"a.tif", {'I', 'I', 42, 0}},
        {"a.gif", {'G', 'I', 'F', '8', '7', 'a'}},
    };
    for (const auto& c : cases) {
        std::string path = folder + "/" + c.name;
        PLSaveImageFile(path, bmp);
        Bytes file = ReadFile(path);
        ASSERT_GE(file.size(), c.magic.size()) << c.name;
        EXPECT_TRUE(std::equal(c.magic.begin(), c.magic.end(), file.begin())) << c.name;
    }
}

}  // namespace
