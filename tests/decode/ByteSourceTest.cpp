// Byte sources (memory and mapped file), the file open errors, progress reporting and the
// trace facility.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "DecodeTestUtil.h"
#include "decode/FileByteSource.h"
#include "decode/Trace.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

class CRecordingSink : public CProgressSink {
public:
    void OnProgress(double done) override { calls.push_back(done); }
    std::vector<double> calls;
};

// A scratch folder removed at the end of the test.
class ScratchFolder {
public:
    ScratchFolder() {
        m_path = fs::temp_directory_path() / ("lumatre-decode-" + std::to_string(reinterpret_cast<uintptr_t>(this)) +
                                              "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string File(const char* name, const std::vector<uint8_t>& content) const {
        std::string path = (m_path / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        return path;
    }
    std::string Path(const char* name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

// A 2 x 1 24-bit BMP.
std::vector<uint8_t> SmallBmp() {
    return Bytes().str("BM").le32(62).le32(0).le32(54).le32(40).le32(2).le32(1).le16(1).le16(24).le32(0).le32(8)
        .le32(0).le32(0).le32(0).le32(0).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(0).u8(0);
}

TEST(MemoryByteSource, ReadsAndTheEndOfTheData) {
    std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    CMemoryByteSource source;
    EXPECT_EQ(source.Open(block.data(), block.size()), 0);
    EXPECT_STREQ(source.GetName(), "Mem");
    EXPECT_EQ(source.GetFileSize(), 9u);
    EXPECT_EQ(source.ReadByte(), 1);
    EXPECT_EQ(source.ReadWordLE(), 0x0302);
    EXPECT_EQ(source.ReadWordBE(), 0x0405);
    EXPECT_EQ(source.GetBufferPtr(4), block.data() + 5);
    EXPECT_EQ(source.GetPosition(), 5u);
    EXPECT_EQ(source.ReadLongBE(), 0x06070809u);
    EXPECT_EQ(source.GetBytesLeft(), 0u);
    EXPECT_EQ(source.ReadEverything(), block.data() + 9);

    source.Close();
    EXPECT_EQ(source.Open(block.data(), block.size()), 0);
    EXPECT_EQ(source.ReadLongLE(), 0x04030201u);
    try {
        source.ReadNBytes(6);
        FAIL() << "read past the end";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), PLErr::EndOfFile);
        EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
    }
    EXPECT_EQ(source.GetPosition(), 4u);  // a failed read does not move
    EXPECT_THROW(source.GetBufferPtr(6), CTextException);
    EXPECT_NE(source.ReadNBytes(5), nullptr);  // exactly up to the end is fine
    EXPECT_THROW(source.ReadByte(), CTextException);
    EXPECT_THROW(source.Skip(UINT32_MAX), CTextException);
}

TEST(MemoryByteSource, EmptyAndNullBlocks) {
    CMemoryByteSource source;
    EXPECT_EQ(source.Open(nullptr, 100), 0);
    EXPECT_EQ(source.GetFileSize(), 0u);
    EXPECT_THROW(source.ReadByte(), CTextException);
    EXPECT_NE(source.GetBufferPtr(0), nullptr);
}

TEST(MemoryByteSource, ProgressAtEachKilobyteAndOnClose) {
    std::vector<uint8_t> block(3000, 0);
    CRecordingSink sink;
    CMemoryByteSource source(&sink);
    source.Open(block.data(), block.size());
    for (int i = 0; i < 30; ++i) source.ReadNBytes(100);
    ASSERT_EQ(sink.calls.size(), 2u);
    EXPECT_DOUBLE_EQ(sink.calls[0], 1100.0 / 3000.0);
    EXPECT_DOUBLE_EQ(sink.calls[1], 2100.0 / 3000.0);
    source.Close();
    ASSERT_EQ(sink.calls.size(), 3u);
    EXPECT_DOUBLE_EQ(sink.calls[2], 1.0);
    source.Close();  // once only
    EXPECT_EQ(sink.calls.size(), 3u);
}

TEST(FileByteSource, OpenErrors) {
    ScratchFolder folder;
    CFileByteSource source;
    EXPECT_EQ(source.Open(folder.Path("missing.bmp").c_str()), PLErr::FileNotFound);
    EXPECT_EQ(source.Open(folder.Path("no-such-folder/x.bmp").c_str()), PLErr::PathNotFound);
    EXPECT_EQ(source.Open(folder.File("empty.bmp", {}).c_str()), PLErr::AccessDenied);
    EXPECT_EQ(source.Open(""), PLErr::FileNotFound);
    EXPECT_FALSE(source.IsOpen());

    std::string path = folder.File("three.bin", {7, 8, 9});
    ASSERT_EQ(source.Open(path.c_str()), 0);
    EXPECT_STREQ(source.GetName(), path.c_str());
    EXPECT_EQ(source.GetFileSize(), 3u);
    EXPECT_EQ(source.ReadByte(), 7);
    EXPECT_EQ(source.ReadWordBE(), 0x0809);
    EXPECT_THROW(source.ReadByte(), CTextException);
    source.Close();
}

#ifdef _WIN32
TEST(FileByteSource, SharingViolationIsAccessDenied) {
    ScratchFolder folder;
    std::string path = folder.File("locked.bmp", SmallBmp());
    HANDLE locked = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    CFileByteSource source;
    EXPECT_EQ(source.Open(path.c_str()), PLErr::AccessDenied);
    ::CloseHandle(locked);
    EXPECT_EQ(source.Open(path.c_str()), 0);
}
#endif

TEST(MakeBmpFromFile, DecodesAndReportsOpenFailures) {
    ScratchFolder folder;
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    CRecordingSink sink;
    decoder.MakeBmpFromFile(folder.File("small.bmp", SmallBmp()).c_str(), bmp, 0, &sink);
    EXPECT_EQ(bmp.GetSize(), (PLSize{2, 1}));
    EXPECT_EQ(Stored(bmp, 1, 0), Rgb(6, 5, 4));
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_DOUBLE_EQ(sink.calls.back(), 1.0);

    struct Case {
        std::string path;
        int code;
    };
    for (const Case& c : {Case{folder.Path("missing.bmp"), PLErr::FileNotFound},
                          Case{folder.Path("gone/missing.bmp"), PLErr::PathNotFound},
                          Case{folder.File("empty.bmp", {}), PLErr::AccessDenied}}) {
        try {
            decoder.MakeBmpFromFile(c.path.c_str(), bmp);
            ADD_FAILURE() << c.path;
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), c.code) << c.path;
            EXPECT_EQ(std::string(e.GetText()), "Decoder error: Opening " + c.path + " failed\n");
        }
    }

    // A file that fails while decoding still ends its progress and is closed (it can be
    // removed at once, even on Windows).
    auto truncated = SmallBmp();
    truncated.resize(40);
    std::string bad = folder.File("bad.bmp", truncated);
    sink.calls.clear();
    EXPECT_THROW(decoder.MakeBmpFromFile(bad.c_str(), bmp, 0, &sink), CTextException);
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_DOUBLE_EQ(sink.calls.back(), 1.0);
    std::error_code ec;
    EXPECT_TRUE(fs::remove(bad, ec)) << ec.message();
}

TEST(MakeBmpFromFile, NameIsTestedBeforeTheBytes) {
    // A bitmap saved as x.emf.bmp is handed to the metafile decoder (which cannot read it, or
    // is not part of a non-Windows build): never decoded as a bitmap.
    ScratchFolder folder;
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    for (const char* name : {"x.emf.bmp", "X.WMF.BMP"}) {
        try {
            decoder.MakeBmpFromFile(folder.File(name, SmallBmp()).c_str(), bmp);
            ADD_FAILURE() << name;
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), PLErr::Unsupported) << name;
        }
    }
    decoder.MakeBmpFromFile(folder.File("x.bmp", SmallBmp()).c_str(), bmp);
    EXPECT_EQ(bmp.GetWidth(), 2);
}

TEST(Trace, LevelsAndFile) {
    ScratchFolder folder;
    std::string log = folder.Path("trace.txt");
    PLTraceSetFile(log.c_str());
    PLTraceSetLevel(2);
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    decoder.MakeBmpFromMemory(SmallBmp().data(), SmallBmp().size(), bmp);
    EXPECT_THROW(decoder.MakeBmpFromMemory("junk", 4, bmp), CTextException);
    std::string file = folder.File("traced.bmp", SmallBmp());
    decoder.MakeBmpFromFile(file.c_str(), bmp);
    PLTraceSetLevel(0);
    PLTrace(1, "not written\n");
    PLTraceSetFile(nullptr);
    PLTrace(0, "nowhere\n");

    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("--- Decoding from memory at "), std::string::npos);
    EXPECT_NE(text.find("--- Decoding file " + file + ". ---\n"), std::string::npos);
    EXPECT_NE(text.find("Windows bitmap recognized.\n"), std::string::npos);
    EXPECT_NE(text.find("Bitmap header is ok.\n"), std::string::npos);
    EXPECT_EQ(text.find("Decoding finished.\n"), std::string::npos);  // level 3
    EXPECT_NE(text.find("Decoder error: Unknown file type.\n"), std::string::npos);
    EXPECT_EQ(text.find("not written"), std::string::npos);
    EXPECT_EQ(text.find("nowhere"), std::string::npos);
    PLTraceSetLevel(0);
}

// Every decoder failure goes through the one error path, which traces its text: data cut short
// before the rows (found by the decoders' own checks), inside the header (found by the byte
// source) and inside a library-backed format.
TEST(Trace, EveryFailureIsTraced) {
    std::vector<uint8_t> bmpRowsCut = SmallBmp();
    bmpRowsCut.resize(bmpRowsCut.size() - 6);
    std::vector<uint8_t> bmpHeaderCut = SmallBmp();
    bmpHeaderCut.resize(30);
    const std::vector<uint8_t> pgmRowsCut = Bytes().str("P5 4 4 255\n").u8(1).u8(2);
    const std::vector<uint8_t> gifHeaderCut = Bytes().str("GIF89a").u8(4).u8(0).u8(3);
    const struct {
        const char* what;
        const std::vector<uint8_t>* file;
        const char* text;
    } kCases[] = {
        {"bmp rows cut", &bmpRowsCut, "End of file reached while decoding.\n"},
        {"bmp header cut", &bmpHeaderCut, "End of file reached while decoding.\n"},
        {"pgm rows cut", &pgmRowsCut, "End of file reached while decoding.\n"},
        {"gif header cut", &gifHeaderCut, "End of file reached while decoding.\n"},
    };
    ScratchFolder folder;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        std::string log = folder.Path((std::string(c.what) + ".txt").c_str());
        PLTraceSetFile(log.c_str());
        PLTraceSetLevel(0);
        DecodeFailure f = DecodeExpectingFailure(*c.file);
        PLTraceSetFile(nullptr);
        ASSERT_TRUE(f.threw);
        EXPECT_EQ(f.code, PLErr::EndOfFile);
        EXPECT_EQ(f.text, c.text);
        std::ifstream in(log);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
