// The command-line converter, run as its own process: conversions into every writable format,
// the depth and JPEG options, --info, and failures that report code and text on stderr, exit
// non-zero and leave no output file (nor damage an existing one).

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CodecTestUtil.h"

using namespace codectest;

namespace {

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

// The text of a file, line ends as "\n" (a console program writes "\r\n").
std::string ReadText(const std::string& path) {
    std::string text;
    for (uint8_t c : ReadFile(path))
        if (c != '\r') text += static_cast<char>(c);
    return text;
}

// Runs lumaconv with arguments (already quoted as needed) and collects what it printed.
ProcessResult Lumaconv(const std::string& args) {
    ProcessResult run;
    static int counter = 0;
    ++counter;
    const std::string outPath = "lumaconv_out" + std::to_string(counter) + ".txt";
    const std::string errPath = "lumaconv_err" + std::to_string(counter) + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(out, INVALID_HANDLE_VALUE) << GetLastError();
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(err, INVALID_HANDLE_VALUE) << GetLastError();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::string exe = ProgramFolder() + "lumaconv.exe";
    std::string command = "\"" + exe + "\" " + args;
    if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                       &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << exe;
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return run;
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::unique_ptr<CHeapBitmap> DecodeFile(const std::string& path, int wanted = 0) {
    auto bmp = std::make_unique<CHeapBitmap>();
    CAutoDecoder().MakeBmpFromFile(path.c_str(), *bmp, wanted);
    return bmp;
}

TEST(Lumaconv, ConvertsIntoEveryWritableFormat) {
    std::string folder = ScratchFolder("lumaconv_all");
    std::string in = DataPath("png_rgb8.png");
    auto source = DecodeFile(in);
    for (const char* ext : {"bmp", "png", "tif", "gif", "jpg"}) {
        std::string out = folder + "/out." + ext;
        ProcessResult r = Lumaconv(Quote(in) + " " + Quote(out));
        EXPECT_EQ(r.exitCode, 0u) << ext << ": " << r.err;
        EXPECT_TRUE(r.err.empty()) << r.err;
        auto back = DecodeFile(out, 32);
        Difference d = Compare(*back, *source);
        if (std::string(ext) == "jpg")
            EXPECT_LE(d.meanColour, 8.0);  // a small picture with sharp colour detail
        else if (std::string(ext) == "gif")
            EXPECT_LE(d.meanColour, 8.0);
        else
            EXPECT_EQ(d.maxColour, 0) << ext;
    }
}

TEST(Lumaconv, DepthOption) {
    std::string folder = ScratchFolder("lumaconv_depth");
    ProcessResult r = Lumaconv("--depth 8 " + Quote(DataPath("png_rgb8.png")) + " " + Quote(folder + "/d8.bmp"));
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(DecodeFile(folder + "/d8.bmp")->GetBitsPerPixel(), 8);
    r = Lumaconv("--depth 32 " + Quote(DataPath("png_p8.png")) + " " + Quote(folder + "/d32.tif"));
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(DecodeFile(folder + "/d32.tif")->GetBitsPerPixel(), 32);
    r = Lumaconv(Quote(DataPath("png_p8.png")) + " " + Quote(folder + "/keep.tif"));
    EXPECT_EQ(DecodeFile(folder + "/keep.tif")->GetBitsPerPixel(), 8);
}

TEST(Lumaconv, JpegOptions) {
    std::string folder = ScratchFolder("lumaconv_jpeg");
    std::string in = Quote(DataPath("png_rgb8.png"));
    ASSERT_EQ(Lumaconv("--quality 30 --dpi 300,150 " + in + " " + Quote(folder + "/a.jpg")).exitCode, 0u);
    ASSERT_EQ(Lumaconv("--quality 30 --optimize " + in + " " + Quote(folder + "/b.jpg")).exitCode, 0u);
    ASSERT_EQ(Lumaconv("--quality 95 --smoothing 50 " + in + " " + Quote(folder + "/c.jpg")).exitCode, 0u);
    Bytes a = ReadFile(folder + "/a.jpg"), b = ReadFile(folder + "/b.jpg"), c = ReadFile(folder + "/c.jpg");
    ASSERT_GT(a.size(), 20u);
    EXPECT_EQ(a[13], 1);
    EXPECT_EQ((a[14] << 8) | a[15], 300);
    EXPECT_EQ((a[16] << 8) | a[17], 150);
    EXPECT_LT(b.size(), a.size());
    EXPECT_GT(c.size(), a.size());
}

TEST(Lumaconv, InfoPrintsFormatSizeDepthAndAlpha) {
    ProcessResult r = Lumaconv("--info " + Quote(DataPath("png_rgba8.png")));
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "format: PNG\nwidth: 45\nheight: 27\nbits per pixel: 32\nalpha: yes\n");
    r = Lumaconv("--info " + Quote(DataPath("gif_basic.gif")));
    EXPECT_EQ(r.out, "format: GIF\nwidth: 45\nheight: 27\nbits per pixel: 8\nalpha: no\n");
    r = Lumaconv("--info " + Quote(DataPath("tif_bilevel_fax.tif")));
    EXPECT_EQ(r.out, "format: TIFF\nwidth: 45\nheight: 27\nbits per pixel: 1\nalpha: no\n");
}

TEST(Lumaconv, FailuresReportAndLeaveNoFile) {
    std::string folder = ScratchFolder("lumaconv_fail");
    // Missing input.
    ProcessResult r = Lumaconv(Quote(folder + "/missing.png") + " " + Quote(folder + "/x.bmp"));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "lumaconv: error 4: Decoder error: Opening " + folder + "/missing.png failed\n");
    // Damaged input.
    Bytes broken = ReadFile(DataPath("png_rgb8.png"));
    broken.resize(100);
    ASSERT_TRUE(WriteFile(folder + "/broken.png", broken));
    r = Lumaconv(Quote(folder + "/broken.png") + " " + Quote(folder + "/x.bmp"));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "lumaconv: error 11: End of file reached while decoding.\n");
    // Unknown output type: refused before decoding.
    r = Lumaconv(Quote(DataPath("png_rgb8.png")) + " " + Quote(folder + "/x.jpeg"));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("error 8: "), std::string::npos) << r.err;
    // Unwritable output.
    r = Lumaconv(Quote(DataPath("png_rgb8.png")) + " " + Quote(folder + "/no/x.bmp"));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("error -1: Decoder error: Opening "), std::string::npos) << r.err;
    EXPECT_EQ(ListFolder(folder), std::vector<std::string>{"broken.png"});

    // An existing output survives a failed conversion.
    ASSERT_TRUE(WriteFile(folder + "/old.bmp", Bytes(50, 'o')));
    r = Lumaconv(Quote(folder + "/broken.png") + " " + Quote(folder + "/old.bmp"));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(ReadFile(folder + "/old.bmp"), Bytes(50, 'o'));
    EXPECT_EQ(ListFolder(folder).size(), 2u);
}

TEST(Lumaconv, UsageErrorsExitTwo) {
    EXPECT_EQ(Lumaconv("").exitCode, 2u);
    EXPECT_EQ(Lumaconv("onlyone.png").exitCode, 2u);
    EXPECT_EQ(Lumaconv("--depth 16 a.png b.bmp").exitCode, 2u);
    EXPECT_EQ(Lumaconv("--quality 101 a.png b.jpg").exitCode, 2u);
    EXPECT_EQ(Lumaconv("--dpi 300 a.png b.jpg").exitCode, 2u);
    EXPECT_EQ(Lumaconv("--frobnicate a.png b.jpg").exitCode, 2u);
    ProcessResult r = Lumaconv("--help");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_NE(r.out.find("usage: lumaconv"), std::string::npos);
}

}  // namespace
