// capturebench: the time from the end of a capture's waits to the file on disk and the picture
// on the clipboard, on the path a capture with the default outputs takes: the raster copy of
// the area into a device bitmap, the new document's copy of it, the clipboard's copy of the
// pixels offered on the clipboard (handed over at the first paste), and the automatic save in
// BMP, PNG or JPEG (with the stored JPEG options).
//
//   capturebench [--size 1920x1080] [--runs 7] [--folder path] [--no-clipboard] [--photo]
//                [--serial] [--detail] [--keep]
//
// --serial puts the picture on the clipboard before saving, as one step ("clip"), the way the
// program did before it offered the picture. --detail also times, outside the totals, the
// clipboard's parts alone (the copy of the pixels into a global block, handing that to the
// clipboard directly, and the first paste of an offered picture, which pays that hand-over
// then) and encoding into memory without writing the file. --keep keeps every run's picture, as
// the editor keeps the window of each capture open: no picture's memory is freed for the next
// one to take over, so every run pays for fresh pages.
//
// The desktop of the size asked for is the real screen repeated as tiles into a still image of
// the screen (the picture the screen freezer holds); the area is copied from it as a frozen
// capture would be. With --photo the desktop is a photo-like picture instead (the worst case for
// the compressing formats). Prints, per format, the fastest and the median run in milliseconds and the
// share of each step of the fastest run, and the file's size; with --detail the medians of the
// parts timed alone.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestPicture.h"
#include "TextException.h"
#include "capture/CaptureBitmap.h"
#include "encode/ByteSink.h"
#include "encode/EncoderChoice.h"
#include "framework/Handles.h"
#include "win/DibGdi.h"
#include "win/DisplayBitmap.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Steps {
  double grab = 0, document = 0, clipboard = 0, save = 0;
  double Total() const { return grab + document + clipboard + save; }
};

// Median milliseconds of each part timed alone for --detail.
struct Detail {
  std::vector<double> block, put, paste, encode;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int width = 1920, height = 1080, runs = 7;
  bool clipboard = true, photo = false, serial = false, detail = false, keep = false;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string folder = temp;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "capturebench: --size WIDTHxHEIGHT\n");
        return 2;
      }
    } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--folder") && i + 1 < argc) {
      folder = argv[++i];
    } else if (!std::strcmp(argv[i], "--photo")) {
      photo = true;
    } else if (!std::strcmp(argv[i], "--no-clipboard")) {
      clipboard = false;
    } else if (!std::strcmp(argv[i], "--serial")) {
      serial = true;
    } else if (!std::strcmp(argv[i], "--detail")) {
      detail = true;
    } else if (!std::strcmp(argv[i], "--keep")) {
      keep = true;
    } else {
      std::fprintf(stderr,
                   "usage: capturebench [--size WxH] [--runs N] [--folder path] [--no-clipboard] [--photo] [--serial]"
                   " [--detail] [--keep]\n");
      return 2;
    }
  }
  if (!folder.empty() && folder.back() != '\\') folder += '\\';

  // The still image of a desktop of the size asked for.
  WindowDC screen(nullptr);
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  UniqueBitmap still(::CreateCompatibleBitmap(screen.get(), width, height));
  UniqueDC stillDC(::CreateCompatibleDC(screen.get()));
  if (!still || !stillDC) {
    std::fprintf(stderr, "capturebench: cannot make a %dx%d still image\n", width, height);
    return 1;
  }
  SelectObjectGuard selected(stillDC.get(), still.get());
  if (photo) {
    CDisplayBitmap picture;
    MakeTestPicture(picture, width, height);
    RECT whole{0, 0, width, height};
    picture.DrawEx(stillDC.get(), &whole, &whole, nullptr, true, COLORONCOLOR);
  } else {
    for (int y = 0; y < height; y += screenH)
      for (int x = 0; x < width; x += screenW) ::BitBlt(stillDC.get(), x, y, screenW, screenH, screen.get(), 0, 0, SRCCOPY);
  }

  CaptureArea area;
  area.SetRectangle(RECT{0, 0, width, height});
  PLJpegOptions jpeg;  // the stored options of a fresh installation
  jpeg.quality = 95;
  jpeg.dpiX = jpeg.dpiY = 720;

  std::printf("capture to file: %dx%d desktop (%s), %d runs%s, clipboard %s\n", width, height,
              photo ? "photo-like picture" : "the screen tiled", runs, keep ? " keeping every picture" : "",
              !clipboard ? "off" : serial ? "on, put before saving" : "on, offered");
  std::printf("%-5s %9s %9s   %7s %7s %7s %7s   %10s", "type", "best ms", "median", "grab", "doc", "clip", "save",
              "file bytes");
  if (detail) std::printf("   %7s %7s %7s %7s", "block", "put", "paste", "encode");
  std::printf("\n");
  const struct {
    const char* name;
    int type;
  } formats[] = {{"BMP", PLImageBMP}, {"PNG", PLImagePNG}, {"JPEG", PLImageJPEG}};
  for (const auto& format : formats) {
    const std::string path = folder + "capturebench" + PLImageTypeExtension(format.type);
    std::vector<double> totals;
    std::vector<std::unique_ptr<CDisplayBitmap>> kept;
    Steps best;
    Detail parts;
    try {
      for (int run = 0; run < runs; ++run) {
        Steps steps;
        auto t0 = Clock::now();
        UniqueBitmap captured = MakeCaptureBitmap(area, stillDC.get(), RGB(192, 192, 192), ALTERNATE);
        auto t1 = Clock::now();
        auto owned = std::make_unique<CDisplayBitmap>();
        CDisplayBitmap& picture = *owned;
        picture.CreateFromHBitmap(captured.get());
        captured.reset();
        auto t2 = Clock::now();
        if (clipboard) {
          if (serial)
            picture.CopyToClipboard();
          else
            picture.OfferToClipboard();
        }
        auto t3 = Clock::now();
        std::unique_ptr<CImageEncoder> encoder = PLCreateEncoder(format.type, jpeg);
        encoder->MakeFileFromBmp(path.c_str(), picture);
        auto t4 = Clock::now();
        steps.grab = Ms(t0, t1);
        steps.document = Ms(t1, t2);
        steps.clipboard = Ms(t2, t3);
        steps.save = Ms(t3, t4);
        totals.push_back(steps.Total());
        if (steps.Total() < best.Total() || run == 0) best = steps;

        if (detail) {
          auto d0 = Clock::now();
          HGLOBAL block = picture.GetDIBCopy();
          auto d1 = Clock::now();
          dibgdi::PutDibOnClipboard(picture, block);
          auto d2 = Clock::now();
          picture.OfferToClipboard();
          auto p0 = Clock::now();
          {
            ClipboardGuard reading(nullptr, 500);
            if (!reading || ::GetClipboardData(CF_DIB) == nullptr)
              throw CTextException(PLErr::Unsupported, "the offered picture could not be pasted");
          }
          auto p1 = Clock::now();
          parts.paste.push_back(Ms(p0, p1));
          CMemoryByteSink sink;
          if (sink.Open(CImageEncoder::EstimateFileSize(picture)) != 0) throw CTextException(PLErr::NoMemory, "no memory");
          auto d3 = Clock::now();
          encoder->SaveBmp(picture, sink);
          auto d4 = Clock::now();
          parts.block.push_back(Ms(d0, d1));
          parts.put.push_back(Ms(d1, d2));
          parts.encode.push_back(Ms(d3, d4));
        }
        if (keep) kept.push_back(std::move(owned));
      }
    } catch (const CTextException& e) {
      std::fprintf(stderr, "capturebench: %s: %s\n", format.name, e.GetText());
      return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info);
    std::printf("%-5s %9.1f %9.1f   %7.1f %7.1f %7.1f %7.1f   %10lu", format.name, best.Total(), Median(totals),
                best.grab, best.document, best.clipboard, best.save,
                static_cast<unsigned long>(info.nFileSizeLow));
    if (detail)
      std::printf("   %7.1f %7.1f %7.1f %7.1f", Median(parts.block), Median(parts.put), Median(parts.paste),
                  Median(parts.encode));
    std::printf("\n");
    ::DeleteFileA(path.c_str());
  }
  return 0;
}
