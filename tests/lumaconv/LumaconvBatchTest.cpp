// lumaconv's batch work, run as its own process: a batch with a bad file in it, wildcards,
// refused arguments; and every operation compared bit for bit with the same operation done by
// the editor's commands on a real image document.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "DocumentTestSupport.h"
#include "EditOperations.h"

BEGIN_MESSAGE_MAP(CDocTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
END_MESSAGE_MAP()

namespace {

struct ProcessRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;
};

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

// Runs lumaconv with the arguments; what it printed on stdout, "\r" removed.
ProcessRun Lumaconv(const std::string& args, const std::string& folder) {
  ProcessRun run;
  static int calls = 0;
  const std::string outPath = folder + "\\stdout" + std::to_string(++calls) + ".txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE out = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  const std::string exe = ProgramFolder() + "lumaconv.exe";
  std::string command = "\"" + exe + "\" " + args;
  if (::CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    ::WaitForSingleObject(pi.hProcess, 60000);
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  } else {
    ADD_FAILURE() << "cannot start " << exe;
  }
  ::CloseHandle(out);
  {
    std::ifstream in(outPath, std::ios::binary);
    for (char c; in.get(c);)
      if (c != '\r') run.out += c;
  }
  ::DeleteFileA(outPath.c_str());
  return run;
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SaveBmp(const CDibBitmap& bitmap, const std::string& path) {
  PLCreateEncoder(0)->MakeFileFromBmp(path.c_str(), bitmap);
}

std::unique_ptr<CDisplayBitmap> Decode(const std::string& path) {
  auto bitmap = std::make_unique<CDisplayBitmap>();
  CAutoDecoder().MakeBmpFromFile(path.c_str(), *bitmap, 32);
  return bitmap;
}

TEST(LumaconvBatch, ABadFileNeverStopsTheOthersNorLeavesAnOutput) {
  ScratchFolder folder;
  SaveBmp(*MakePattern(8, 6), folder.File("a.bmp"));
  SaveBmp(*MakePattern(5, 4), folder.File("c.bmp"));
  std::ofstream(folder.File("b.bmp"), std::ios::binary) << "BM not really a bitmap";
  ProcessRun run = Lumaconv("--gray --out " + Quote(folder.path()) + " --format png " + Quote(folder.File("a.bmp")) + " " +
                         Quote(folder.File("b.bmp")) + " " + Quote(folder.File("c.bmp")),
                     folder.path());
  EXPECT_EQ(run.exitCode, 1u) << run.out;
  EXPECT_NE(run.out.find("[1/3] " + folder.File("a.bmp") + " -> "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("b.png: failed: error "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("[3/3] "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3 files: 2 done, 1 failed\n"), std::string::npos) << run.out;
  EXPECT_TRUE(Exists(folder.path() + "/a.png"));
  EXPECT_TRUE(Exists(folder.path() + "/c.png"));
  EXPECT_FALSE(Exists(folder.path() + "/b.png"));
  EXPECT_EQ(Decode(folder.path() + "/c.png")->GetWidth(), 5);

  // Wildcards; the input's own format where none is asked for, which here would write over
  // the inputs: refused, and they stay as they were.
  run = Lumaconv("--invert --out " + Quote(folder.path()) + " " + Quote(folder.path() + "\\?.bmp"), folder.path());
  EXPECT_NE(run.out.find("a.bmp: failed: error 5: The output would replace the input."), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3 files: 0 done, 3 failed\n"), std::string::npos) << run.out;
  EXPECT_EQ(RGBOf(*Decode(folder.File("a.bmp")), 0, 0), RGBOf(*MakePattern(8, 6), 0, 0));
  run = Lumaconv("--invert --out " + Quote(folder.path()) + " --format tif " + Quote(folder.path() + "\\?.bmp"),
                 folder.path());
  EXPECT_NE(run.out.find("3 files: 2 done, 1 failed\n"), std::string::npos) << run.out;
  EXPECT_EQ(RGBOf(*Decode(folder.path() + "/a.tif"), 0, 0), 0xFFFFFFu - RGBOf(*MakePattern(8, 6), 0, 0));
}

TEST(LumaconvBatch, RefusedArgumentsChangeNothing) {
  ScratchFolder folder;
  SaveBmp(*MakePattern(4, 4), folder.File("in.bmp"));
  const std::string in = Quote(folder.File("in.bmp")), out = Quote(folder.File("out.png"));
  const std::string cases[] = {
      "--rotate x " + in + " " + out,         "--resize 0x5 " + in + " " + out,
      "--crop 1,2,0,4 " + in + " " + out,     "--contrast 1.55,0 " + in + " " + out,
      "--flip d " + in + " " + out,           "--filter lanczos " + in + " " + out,
      "--brightness 101 " + in + " " + out,   "--format webp --out " + Quote(folder.path()) + " " + in,
      "--format png " + in + " " + out,       "--out " + Quote(folder.path()),
  };
  for (const std::string& args : cases) {
    ProcessRun run = Lumaconv(args, folder.path());
    EXPECT_EQ(run.exitCode, 2u) << args << "\n" << run.out;
    EXPECT_FALSE(Exists(folder.File("out.png"))) << args;
  }
  // A crop that misses the picture fails as an error, with no output.
  ProcessRun run = Lumaconv("--crop 10,10,3,3 " + in + " " + out, folder.path());
  EXPECT_EQ(run.exitCode, 1u) << run.out;
  EXPECT_NE(run.out.find("lies outside the 4x4 picture"), std::string::npos) << run.out;
  EXPECT_FALSE(Exists(folder.File("out.png")));
}

class LumaconvMatchesTheEditor : public DocumentFrameTest<CDocTestFrame> {
 public:
  void MenuCommand(UINT id) { Command(id); }
};

TEST_F(LumaconvMatchesTheEditor, EveryOperationBitForBit) {
  struct Case {
    const char* args;
    std::function<void(CQuorvaCaptureDoc&, LumaconvMatchesTheEditor&)> edit;
  };
  using RK = ResizeKind;
  using RM = ResizeMethod;
  const Case cases[] = {
      {"--rotate 90", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_ROTATE_CLOCKWISE); }},
      {"--rotate 270", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_ROTATE_COUNTERCLOCKWISE); }},
      {"--rotate 17", [](auto& d, auto&) { RotateImageByDegrees(d, -17, RGB(255, 255, 255)); }},
      {"--flip h", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_FLIP_HORIZONTAL); }},
      {"--flip v", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_FLIP_VERTICAL); }},
      {"--gray", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_GRAYSCALE); }},
      {"--invert", [](auto&, auto& t) { t.MenuCommand(ID_IMAGE_INVERT); }},
      {"--brightness -45", [](auto& d, auto&) { ChangeBrightness(d, -45); }},
      {"--contrast 1.5,20", [](auto& d, auto&) { AdjustContrast(d, 15, 20); }},
      {"--resize 23x17", [](auto& d, auto&) { ResizeImage(d, RK::kResize, RM::kBilinear, SIZE{23, 17}); }},
      {"--filter hamming --resize 50x9", [](auto& d, auto&) { ResizeImage(d, RK::kResize, RM::kHamming, SIZE{50, 9}); }},
      {"--scale 150 --filter box", [](auto& d, auto&) { ResizeImage(d, RK::kScale, RM::kBox, SIZE{150, 0}); }},
      {"--scale 33 --filter gaussian", [](auto& d, auto&) { ResizeImage(d, RK::kScale, RM::kGaussian, SIZE{33, 0}); }},
      {"--crop 3,2,10,8", [](auto& d, auto&) { CropToSelection(d, RECT{3, 2, 13, 10}); }},
      {"--crop -4,20,100,100", [](auto& d, auto&) { CropToSelection(d, RECT{-4, 20, 96, 120}); }},
      {"--gray --rotate 90 --brightness 10",
       [](auto& d, auto& t) {
         t.MenuCommand(ID_IMAGE_GRAYSCALE);
         t.MenuCommand(ID_IMAGE_ROTATE_CLOCKWISE);
         ChangeBrightness(d, 10);
       }},
  };
  const std::string in = folder.File("pattern.bmp");
  SaveBmp(*MakePattern(24, 22), in);
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string out = folder.File("out" + std::to_string(++n) + ".bmp");
    ProcessRun run = Lumaconv(std::string(c.args) + " " + Quote(in) + " " + Quote(out), folder.path());
    ASSERT_EQ(run.exitCode, 0u) << run.out;
    CQuorvaCaptureDoc* doc = NewFromPending(Decode(in));
    ASSERT_NE(doc, nullptr);
    c.edit(*doc, *this);
    auto converted = Decode(out);
    ASSERT_EQ(converted->GetWidth(), doc->image->GetWidth());
    ASSERT_EQ(converted->GetHeight(), doc->image->GetHeight());
    int different = 0;
    for (int y = 0; y < converted->GetHeight(); ++y)
      for (int x = 0; x < converted->GetWidth(); ++x) different += RGBOf(*converted, x, y) != RGBOf(*doc->image, x, y);
    EXPECT_EQ(different, 0);
    doc->SetModifiedFlag(FALSE);
    app.CloseAllDocuments(TRUE);
  }
}

}  // namespace
