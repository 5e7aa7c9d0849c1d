// lumabench_codecs: times encoding and decoding of every writable format, the way the program
// saves and opens files (MakeFileFromBmp to a file, MakeBmpFromFile through the auto decoder),
// on a 1920 x 1080 screenshot-like picture and a 4000 x 3000 photo-like picture.
//
//   lumabench_codecs [--runs N] [--only text] [--csv] [--write-files folder]
//
// Times are the process's CPU time (user and system), so that other work on a busy machine
// does not count; wall times are printed beside them. Each run repeats the operation until it
// has used 200 ms of CPU (at least once) and counts the mean; the fastest of --runs runs is
// reported. With --write-files the pictures (as binary PPM) and the encoded files stay in that
// folder, so that other programs can do the same work on the same data (compare-codecs.sh).
// The text output also shows, per picture, what creating a fresh 32-bit bitmap of its size and
// writing every pixel costs: the part of each decode that is memory, not the codec.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <time.h>
#endif

#include "DibBitmap.h"
#include "TestPicture.h"
#include "decode/AutoDecoder.h"
#include "encode/EncoderChoice.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 5;
    std::string only;
    bool csv = false;
    std::string folder;
};

void Usage() { std::fprintf(stderr, "usage: lumabench_codecs [--runs N] [--only text] [--csv] [--write-files folder]\n"); }

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--runs" && v) {
            o.runs = std::atoi(v);
            ++i;
            if (o.runs < 1) return false;
        } else if (a == "--only" && v) {
            o.only = v;
            ++i;
        } else if (a == "--write-files" && v) {
            o.folder = v;
            ++i;
        } else if (a == "--csv") {
            o.csv = true;
        } else {
            return false;
        }
    }
    return true;
}

// A deterministic screenshot-like picture: a desktop colour, windows with title-bar gradients,
// white client areas with lines of glyph-like text, buttons and a task bar.
void MakeScreenshot(CDibBitmap& bmp, int32_t width, int32_t height) {
    bmp.Create(width, height, 32, false);
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    auto fill = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1, PLPixel32 c) {
        for (int32_t y = std::max(0, y0); y < std::min(height, y1); ++y) {
            uint8_t* row = bmp.GetLine(y);
            for (int32_t x = std::max(0, x0); x < std::min(width, x1); ++x) std::memcpy(row + 4 * x, &c, 4);
        }
    };
    fill(0, 0, width, height, PLMakePixel(58, 110, 165));
    const int windows = 5;
    for (int w = 0; w < windows; ++w) {
        int32_t x0 = 40 + w * width / 7, y0 = 30 + w * height / 9;
        int32_t x1 = x0 + width / 2, y1 = y0 + height / 2;
        fill(x0 - 1, y0 - 1, x1 + 1, y1 + 1, PLMakePixel(64, 64, 64));
        for (int32_t x = x0; x < x1; ++x) {  // title bar: dark blue to light blue
            int t = (x - x0) * 255 / std::max(1, x1 - x0);
            fill(x, y0, x + 1, y0 + 22, PLMakePixel(static_cast<uint8_t>(10 + t * 150 / 255),
                                                    static_cast<uint8_t>(36 + t * 130 / 255),
                                                    static_cast<uint8_t>(106 + t * 120 / 255)));
        }
        fill(x0, y0 + 22, x1, y1, PLMakePixel(255, 255, 255));
        for (int32_t y = y0 + 34; y + 10 < y1 - 40; y += 16) {  // text lines
            int32_t x = x0 + 8;
            while (x < x1 - 60) {
                int32_t wordLength = 3 + static_cast<int32_t>(next() % 8);
                for (int c = 0; c < wordLength; ++c, x += 7)
                    for (int gy = 0; gy < 9; ++gy) {
                        unsigned glyph = next();
                        for (int gx = 0; gx < 6; ++gx)
                            if (glyph & (1u << gx)) fill(x + gx, y + gy, x + gx + 1, y + gy + 1, PLMakePixel(20, 20, 20));
                    }
                x += 7;
            }
        }
        for (int b = 0; b < 3; ++b)  // buttons
            fill(x1 - 90 * (b + 1), y1 - 32, x1 - 90 * b - 10, y1 - 8, PLMakePixel(225, 225, 225));
    }
    fill(0, height - 30, width, height, PLMakePixel(212, 208, 200));  // task bar
}

// CPU time of this process in milliseconds.
double CpuMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
#else
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
#endif
}

struct Timing {
    double cpuMs = 1e30;
    double wallMs = 1e30;
};

Timing Best(int runs, const std::function<void()>& fn) {
    Timing best;
    for (int r = 0; r < runs; ++r) {
        const double cpu0 = CpuMs();
        const auto wall0 = Clock::now();
        int count = 0;
        do {
            fn();
            ++count;
        } while (CpuMs() - cpu0 < 200.0 && count < 100);
        const double cpu = (CpuMs() - cpu0) / count;
        const double wall = std::chrono::duration<double, std::milli>(Clock::now() - wall0).count() / count;
        if (cpu < best.cpuMs) best.cpuMs = cpu;
        if (wall < best.wallMs) best.wallMs = wall;
    }
    return best;
}

long FileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::string folder = o.folder.empty() ? std::string("codec_bench_files") : o.folder;
#ifdef _WIN32
    _mkdir(folder.c_str());
#else
    ::mkdir(folder.c_str(), 0777);
#endif

    struct Picture {
        const char* name;
        int32_t width, height;
        void (*make)(CDibBitmap&, int32_t, int32_t);
    } pictures[] = {{"screen", 1920, 1080, MakeScreenshot}, {"photo", 4000, 3000, MakeTestPicture}};
    const char* formats[] = {"bmp", "jpg", "png", "tif", "gif"};

    if (o.csv) std::printf("picture,width,height,format,encode_cpu_ms,decode_cpu_ms,bytes,encode_wall_ms,decode_wall_ms\n");
    for (const Picture& p : pictures) {
        CHeapBitmap picture;
        try {
            p.make(picture, p.width, p.height);
        } catch (const CTextException& e) {
            std::fprintf(stderr, "lumabench_codecs: %s: %s\n", p.name, e.GetText());
            return 1;
        }
        const std::string base = folder + "/" + p.name + "-" + std::to_string(p.width) + "x" + std::to_string(p.height);
        if (!o.folder.empty() && !WritePpm(picture, (base + ".ppm").c_str()))
            std::fprintf(stderr, "lumabench_codecs: cannot write %s.ppm\n", base.c_str());
        if (!o.csv) {
            // Every decode creates its bitmap afresh and writes all of it; under Wine the first
            // touch of each new page is a large share of a decode. Shown for reference.
            Timing fresh = Best(o.runs, [&] {
                CHeapBitmap bmp;
                bmp.Create(p.width, p.height, 32, false);
                for (int32_t y = 0; y < p.height; ++y) std::memset(bmp.GetLine(y), 0xFF, static_cast<size_t>(p.width) * 4);
            });
            std::printf("%-8s %5dx%-5d new bitmap, every pixel written: %9.2f ms CPU (wall %9.2f)\n", p.name, p.width,
                        p.height, fresh.cpuMs, fresh.wallMs);
        }
        for (const char* format : formats) {
            const std::string label = std::string(p.name) + " " + format;
            if (!o.only.empty() && label.find(o.only) == std::string::npos) continue;
            const std::string path = base + "." + format;
            Timing encode, decode;
            std::string error;
            try {
                auto encoder = PLCreateEncoder(PLImageTypeFromPath(path));
                encode = Best(o.runs, [&] { encoder->MakeFileFromBmp(path.c_str(), picture); });
                CAutoDecoder decoder;
                decode = Best(o.runs, [&] {
                    CHeapBitmap decoded;
                    decoder.MakeBmpFromFile(path.c_str(), decoded, 0);
                });
            } catch (const CTextException& e) {
                error = e.GetText();
            }
            if (o.csv)
                std::printf("%s,%d,%d,%s,%.2f,%.2f,%ld,%.2f,%.2f\n", p.name, p.width, p.height, format, encode.cpuMs,
                            decode.cpuMs, FileSize(path), encode.wallMs, decode.wallMs);
            else if (!error.empty())
                std::printf("%-8s %5dx%-5d %-4s failed: %s\n", p.name, p.width, p.height, format, error.c_str());
            else
                std::printf("%-8s %5dx%-5d %-4s encode %9.2f ms  decode %9.2f ms CPU  (wall %9.2f / %9.2f)  %10ld bytes\n",
                            p.name, p.width, p.height, format, encode.cpuMs, decode.cpuMs, encode.wallMs,
                            decode.wallMs, FileSize(path));
            std::fflush(stdout);
            if (o.folder.empty()) std::remove(path.c_str());
        }
    }
    return 0;
}
