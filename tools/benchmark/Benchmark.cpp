// lumabench: times every filter and every depth conversion of the image library on
// photo-like pictures and prints milliseconds and megapixels per second per operation.
//
//   lumabench [--sizes 1920x1080,4000x3000] [--runs 5] [--budget 1000] [--warmup 1] [--only text]
//             [--csv] [--write-images folder] [--no-run]
//
// Each operation first runs --warmup times untimed (the first run of an operation maps fresh
// memory for its results, which costs more than the work itself under Wine; --warmup 0 times
// that too), then at least --runs times, and again while its runs took less than
// --budget milliseconds in all (at most 5000 runs). Two figures are printed: the fastest run's
// wall time and the mean processor time of the thread per run (page faults included), which
// other programs on a busy machine do not disturb. Under Wine the thread's processor time
// moves in 10 ms steps, so only the mean over many runs is meaningful. "apply" rows time Apply from
// the picture into a scratch bitmap; "in place" rows time ApplyInPlace on a DIB, which is what
// the editor's commands run. Megapixels per second count the source picture's pixels.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "DibBitmap.h"
#include "PackedDibBitmap.h"
#include "TestPicture.h"
#include "filters/ColorFilters.h"
#include "filters/FlipFilters.h"
#include "filters/QuantizeFilter.h"
#include "filters/RegionFilters.h"
#include "filters/ResizeFilter.h"
#include "filters/RotateFilter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double DialogDegree = 0.01745329255555556;

// Processor time used by this thread, in milliseconds.
double ThreadCpuMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
    auto ticks = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
#else
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
#endif
}

struct Options {
    std::vector<std::pair<int, int>> sizes{{1920, 1080}, {4000, 3000}};
    int runs = 5;
    int warmup = 1;
    double budget = 1000.0;
    std::string only;
    bool csv = false;
    std::string imageFolder;
    bool run = true;
};

struct Operation {
    std::string name;
    // Makes the operation's input ready (not timed).
    std::function<void()> prepare;
    // The timed part.
    std::function<void()> run;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: lumabench [--sizes WxH,...] [--runs N] [--budget ms] [--warmup N] [--only text] [--csv]\n"
                 "                 [--write-images folder] [--no-run]\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--sizes") {
            const char* v = next();
            if (!v) return false;
            o.sizes.clear();
            std::string s = v;
            size_t pos = 0;
            while (pos <= s.size()) {
                size_t comma = s.find(',', pos);
                if (comma == std::string::npos) comma = s.size();
                int w = 0, h = 0;
                if (std::sscanf(s.substr(pos, comma - pos).c_str(), "%dx%d", &w, &h) != 2 || w < 1 || h < 1) return false;
                o.sizes.emplace_back(w, h);
                pos = comma + 1;
            }
        } else if (a == "--runs") {
            const char* v = next();
            if (!v || (o.runs = std::atoi(v)) < 1) return false;
        } else if (a == "--warmup") {
            const char* v = next();
            if (!v || (o.warmup = std::atoi(v)) < 0) return false;
        } else if (a == "--budget") {
            const char* v = next();
            if (!v || (o.budget = std::atof(v)) < 0) return false;
        } else if (a == "--only") {
            const char* v = next();
            if (!v) return false;
            o.only = v;
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--write-images") {
            const char* v = next();
            if (!v) return false;
            o.imageFolder = v;
        } else if (a == "--no-run") {
            o.run = false;
        } else {
            return false;
        }
    }
    return true;
}

// Copies the pixels of source into target when the geometry matches, else makes target a copy.
void Restore(CDibBitmap& target, const CDibBitmap& source) {
    if (target.GetWidth() == source.GetWidth() && target.GetHeight() == source.GetHeight() &&
        target.GetBitsPerPixel() == source.GetBitsPerPixel() && target.HasAlpha() == source.HasAlpha() &&
        !target.IsEmpty()) {
        const size_t bytes = static_cast<size_t>(source.GetPixelBytesPerLine());
        for (int32_t y = 0; y < source.GetHeight(); ++y) std::memcpy(target.GetLine(y), source.GetLine(y), bytes);
        return;
    }
    target.CreateCopy(source, 0);
}

class CBench {
public:
    CBench(const Options& options, int width, int height) : m_options(options), m_width(width), m_height(height) {}

    void Build();
    void RunAll();

private:
    void AddFilter(const std::string& name, std::function<std::unique_ptr<CImageFilter>()> make,
                   const CDibBitmap* source = nullptr);
    void AddConversion(const std::string& name, const CDibBitmap& source, uint16_t bpp, int paletteMode = 2,
                       int ditherMode = 0);

    const Options& m_options;
    int m_width, m_height;
    CPackedDibBitmap m_photo;   // 32 bits
    CPackedDibBitmap m_photo8;  // quantised (median cut)
    CPackedDibBitmap m_photo1;  // black and white
    CPackedDibBitmap m_pasted;  // a quarter-size picture for the paste filter
    CHeapBitmap m_scratch;
    CPackedDibBitmap m_work;
    std::vector<Operation> m_operations;
};

void CBench::AddFilter(const std::string& name, std::function<std::unique_ptr<CImageFilter>()> make,
                       const CDibBitmap* source) {
    const CDibBitmap* src = source ? source : &m_photo;
    m_operations.push_back({name + " (apply)", [] {}, [this, make, src] { make()->Apply(*src, m_scratch); }});
    m_operations.push_back({name + " (in place)", [this, src] { Restore(m_work, *src); },
                            [this, make] { make()->ApplyInPlace(m_work); }});
}

void CBench::AddConversion(const std::string& name, const CDibBitmap& source, uint16_t bpp, int paletteMode,
                           int ditherMode) {
    const CDibBitmap* src = &source;
    m_operations.push_back({name, [this, paletteMode, ditherMode] {
                                m_work.SetPaletteMode(paletteMode);
                                m_work.SetDitherMode(ditherMode);
                            },
                            [this, src, bpp] { m_work.CreateCopy(*src, bpp); }});
}

void CBench::Build() {
    MakeTestPicture(m_photo, m_width, m_height);
    CQuantizeFilter(CQuantizeFilter::MedianCut, CQuantizeFilter::NoDither).Apply(m_photo, m_photo8);
    m_photo1.CreateCopy(m_photo, 1);
    CCropFilter(0, std::max(1, m_width / 2), 0, std::max(1, m_height / 2)).Apply(m_photo, m_pasted);
    const int w = m_width, h = m_height;

    AddFilter("rotate 90 cw", [] { return std::make_unique<CRotateFilter>(-1.57079633, 0); });
    AddFilter("rotate 90 ccw", [] { return std::make_unique<CRotateFilter>(1.57079633, 0); });
    AddFilter("rotate 180", [] { return std::make_unique<CRotateFilter>(180 * DialogDegree, 0); });
    AddFilter("rotate 17", [] { return std::make_unique<CRotateFilter>(17 * DialogDegree, 0xFFFFFFFFu); });
    AddFilter("brightness +20", [] { return std::make_unique<CBrightnessFilter>(20); });
    AddFilter("contrast 1.5/140", [] { return std::make_unique<CContrastFilter>(1.5, 140); });
    AddFilter("intensity 60/100/1.0", [] { return std::make_unique<CIntensityFilter>(60.0, 100, 1.0); });
    AddFilter("intensity 30/0/2.0", [] { return std::make_unique<CIntensityFilter>(30.0, 0, 2.0); });
    AddFilter("grayscale", [] { return std::make_unique<CGrayscaleFilter>(); });
    AddFilter("invert", [] { return std::make_unique<CInvertFilter>(); });
    AddFilter("flip horizontal", [] { return std::make_unique<CFlipHorizontalFilter>(); });
    AddFilter("flip vertical", [] { return std::make_unique<CFlipVerticalFilter>(); });
    AddFilter("region move", [w, h] {
        const PLFilterRect sel{w / 8, h / 8, w / 2, h / 2};
        const PLFilterRect to{w / 4, h / 4, w / 4 + sel.Width(), h / 4 + sel.Height()};
        return std::make_unique<CRegionMoveFilter>(sel, sel, to, false, 0x00FFFFFFu);
    });
    AddFilter("paste", [this, w, h] {
        return std::make_unique<CPasteFilter>(m_pasted, PLFilterRect{0, 0, w / 2, h / 2},
                                              PLFilterRect{w / 3, h / 3, w / 3 + w / 2, h / 3 + h / 2});
    });
    AddFilter("crop", [w, h] { return std::make_unique<CCropFilter>(w / 4, w / 4 + w / 2, h / 4, h / 4 + h / 2); });
    // The resize kernels with the support ImageMagick gives them, to 50 % and to 150 %.
    for (int up = 0; up < 2; ++up) {
        const int nw = std::max(1, up ? w * 3 / 2 : w / 2), nh = std::max(1, up ? h * 3 / 2 : h / 2);
        const std::string to = up ? " 150%" : " 50%";
        AddFilter("resize box" + to, [nw, nh] { return std::make_unique<CBoxResizeFilter>(nw, nh, 0.5); });
        AddFilter("resize bilinear" + to, [nw, nh] { return std::make_unique<CBilinearResizeFilter>(nw, nh); });
        AddFilter("resize gaussian" + to, [nw, nh] { return std::make_unique<CGaussianResizeFilter>(nw, nh, 2.0); });
        AddFilter("resize hamming" + to, [nw, nh] { return std::make_unique<CHammingResizeFilter>(nw, nh, 4.0); });
    }
    static const char* const paletteNames[3] = {"median cut", "popularity", "fixed"};
    static const char* const ditherNames[3] = {"no dither", "ordered", "floyd-steinberg"};
    for (int p = 0; p < 3; ++p)
        for (int d = 0; d < 3; ++d)
            AddFilter(std::string("quantize ") + paletteNames[p] + " / " + ditherNames[d],
                      [p, d] { return std::make_unique<CQuantizeFilter>(p, d); });

    AddConversion("copy 32 -> 32", m_photo, 0);
    for (int p = 0; p < 3; ++p)
        for (int d = 0; d < 3; ++d)
            AddConversion(std::string("copy 32 -> 8 ") + paletteNames[p] + " / " + ditherNames[d], m_photo, 8, p, d);
    AddConversion("copy 32 -> 1", m_photo, 1);
    AddConversion("copy 8 -> 8", m_photo8, 0);
    AddConversion("copy 8 -> 32", m_photo8, 32);
    AddConversion("copy 8 -> 1", m_photo8, 1);
    AddConversion("copy 1 -> 1", m_photo1, 0);
    AddConversion("copy 1 -> 8", m_photo1, 8);
    AddConversion("copy 1 -> 32", m_photo1, 32);
}

void CBench::RunAll() {
    const double megapixels = static_cast<double>(m_width) * m_height / 1e6;
    for (const Operation& op : m_operations) {
        if (!m_options.only.empty() && op.name.find(m_options.only) == std::string::npos) continue;
        double best = -1.0;
        std::string error;
        double spent = 0.0, cpu = 0.0;
        int runs = 0;
        for (int w = 0; w < m_options.warmup && error.empty(); ++w) {
            try {
                op.prepare();
                op.run();
            } catch (const CTextException& e) {
                error = e.GetText();
            }
        }
        for (int run = 0; error.empty() && run < 5000 && (run < m_options.runs || spent < m_options.budget); ++run) {
            try {
                op.prepare();
                const double cpuStart = ThreadCpuMs();
                const auto start = Clock::now();
                op.run();
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                cpu += ThreadCpuMs() - cpuStart;
                ++runs;
                spent += ms;
                if (best < 0 || ms < best) best = ms;
                // Slow operations need fewer rounds to find their best time.
                if (ms > 3000 && run >= 1) break;
            } catch (const CTextException& e) {
                error = e.GetText();
                break;
            }
        }
        if (!error.empty()) {
            if (m_options.csv)
                std::printf("%s,%d,%d,,,,\"%s\"\n", op.name.c_str(), m_width, m_height, error.c_str());
            else
                std::printf("%-46s %5dx%-5d   failed: %s\n", op.name.c_str(), m_width, m_height, error.c_str());
        } else {
            const double cpuMs = runs > 0 ? cpu / runs : 0.0;
            if (m_options.csv)
                std::printf("%s,%d,%d,%.3f,%.1f,%.3f,\n", op.name.c_str(), m_width, m_height, best,
                            megapixels / (best / 1000.0), cpuMs);
            else
                std::printf("%-46s %5dx%-5d %9.2f ms %8.1f Mpx/s %9.2f cpu ms %8.1f Mpx/s\n", op.name.c_str(), m_width,
                            m_height, best, megapixels / (best / 1000.0), cpuMs,
                            cpuMs > 0 ? megapixels / (cpuMs / 1000.0) : 0.0);
        }
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage();
        return 2;
    }
    if (options.csv) std::printf("operation,width,height,ms,mpx_per_s,cpu_ms,error\n");
    for (const auto& size : options.sizes) {
        try {
            CBench bench(options, size.first, size.second);
            bench.Build();
            if (!options.imageFolder.empty()) {
                CPackedDibBitmap picture;
                MakeTestPicture(picture, size.first, size.second);
                const std::string base = options.imageFolder + "/photo-" + std::to_string(size.first) + "x" + std::to_string(size.second);
                if (!WritePpm(picture, (base + ".ppm").c_str()) || !WriteBmp24(picture, (base + ".bmp").c_str())) {
                    std::fprintf(stderr, "lumabench: cannot write %s.ppm / .bmp\n", base.c_str());
                    return 1;
                }
            }
            if (options.run) bench.RunAll();
        } catch (const CTextException& e) {
            std::fprintf(stderr, "lumabench: %dx%d: %s\n", size.first, size.second, e.GetText());
            return 1;
        }
    }
    return 0;
}
