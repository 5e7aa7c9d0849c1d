// The outputs of a capture in the real program: with the default settings Print Screen opens an
// image window, puts the picture on the clipboard and saves it as Output\Luma00001.BMP, equal to
// the screen pixel for pixel; the counter goes on across a restart. Then the naming rules with
// their questions and messages, and a failed save that keeps the window and its picture.
#include <gtest/gtest.h>

#include "../capture/CaptureSession.h"

using namespace capture_e2e;

namespace {

constexpr int kX = 160, kY = 120, kW = 300, kH = 200;
constexpr UINT kCmdExit = 0xE141;
constexpr UINT kCmdUndo = 0xE12B;
constexpr UINT kCmdRedo = 0xE12C;
constexpr UINT kCmdCopyAll = 32856;
constexpr UINT kCmdRotateClockwise = 32796;
constexpr UINT kCmdInvert = 32809;
constexpr UINT kCmdCrop = 32800;
constexpr char kImageFrameClass[] = "LumatreImageFrameClass";
// The default "OptionsA" without popping the main window up after each capture, so that the
// screen stays as the next capture will see it.
constexpr DWORD kDefaultsStayHidden = 0x00681669 & ~0x8u;

const std::string kText141 =
    "The Directory of %1 doesn't exist. Please choose correct directory from Options menu item.";
const std::string kText142 = "File %1 has always existed. Would you like replace it?";
const std::string kText143 = "The start number of file name reach maxium value!";

RECT WholeScreen() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// A BMP file's picture (file header, then a packed DIB).
std::optional<e2e::Image> ReadBmpFile(const std::string& path) {
  auto bytes = e2e::ReadFileBytes(path);
  if (!bytes || bytes->size() < 14 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') return std::nullopt;
  return e2e::DecodePackedDib(bytes->data() + 14, bytes->size() - 14);
}

class CaptureOutputs : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    // Back to the program's defaults: every output setting as a fresh installation has it.
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
  }

  // The program with a pattern window in front, its own frame out of the way, and the screen as
  // the capture will see it.
  void StartForCapture() {
    ASSERT_TRUE(Start());
    if (IsWindowVisible(Frame())) HideFrame();
    ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 1));
    e2e::PumpFor(200);
    m_screen = e2e::CaptureScreenRect(WholeScreen());
  }

  void PrintScreen() {
    ASSERT_TRUE(ForceForegroundPattern());
    e2e::KeyPress(VK_SNAPSHOT);
  }
  bool ForceForegroundPattern() {
    HWND pattern = FindWindowA(e2e::kPatternDefaultClass, nullptr);
    return pattern && e2e::ForceForeground(pattern);
  }

  // Waits until the file exists and its size stays put.
  bool WaitForFile(const std::string& path, DWORD timeoutMs = 15000) {
    size_t last = 0;
    int stable = 0;
    return e2e::WaitUntil(
        [&] {
          auto bytes = e2e::ReadFileBytes(path);
          if (!bytes || bytes->size() < 64) return false;  // not yet a picture (or the old stand-in)
          stable = bytes->size() == last ? stable + 1 : 0;
          last = bytes->size();
          return stable >= 2;
        },
        timeoutMs, 100);
  }

  std::vector<HWND> ImageWindows() {
    std::vector<HWND> found;
    HWND client = FindWindowExA(Frame(), nullptr, "MDIClient", nullptr);
    for (HWND child = client ? GetWindow(client, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT))
      if (e2e::WindowClassName(child) == kImageFrameClass) found.push_back(child);
    return found;
  }
  bool WaitForImageWindows(size_t count, DWORD timeoutMs = 15000) {
    return e2e::WaitUntil([&] { return ImageWindows().size() == count; }, timeoutMs);
  }

  void ExpectScreenPicture(const std::string& path, const std::string& name) {
    ASSERT_TRUE(WaitForFile(path)) << path;
    std::optional<e2e::Image> saved = ReadBmpFile(path);
    ASSERT_TRUE(saved) << "not a readable BMP: " << path;
    ASSERT_EQ(saved->width, m_screen.width);
    ASSERT_EQ(saved->height, m_screen.height);
    const int differing = e2e::CountDifferentPixels(*saved, m_screen, RECT{0, 0, saved->width, saved->height});
    EXPECT_EQ(differing, 0) << name;
    if (differing) {
      SaveForFailure(*saved, name + "-saved");
      SaveForFailure(m_screen, name + "-screen");
    }
  }

  // Ends the program through File Exit and waits for it to be gone.
  void Exit() {
    PostMessageA(Frame(), WM_COMMAND, kCmdExit, 0);
    ASSERT_TRUE(Program().WaitForExit(15000).has_value()) << "the program did not end";
  }

  std::optional<DWORD> StoredNumber() { return e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "AutoSaveStartNO"); }

  void AnswerBox(HWND box, int id) {
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, id, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000));
  }

  std::string Output(const std::string& name) { return e2e::JoinPath(m_copy.OutputFolder(), name); }

  e2e::Image m_screen;
};

TEST_F(CaptureOutputs, PrintScreenOpensAWindowCopiesAndSavesNumberedFiles) {
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(PutMarker());
  PrintScreen();
  ExpectScreenPicture(Output("Luma00001.BMP"), "first");
  EXPECT_TRUE(WaitForImageWindows(1));
  std::optional<e2e::Image> clip = WaitForClipboardPicture();
  ASSERT_TRUE(clip) << "nothing on the clipboard";
  EXPECT_EQ(e2e::CountDifferentPixels(*clip, m_screen, RECT{0, 0, clip->width, clip->height}), 0);

  if (IsWindowVisible(Frame())) HideFrame();
  ASSERT_TRUE(ForceForegroundPattern());
  e2e::PumpFor(300);
  m_screen = e2e::CaptureScreenRect(WholeScreen());
  PrintScreen();
  ExpectScreenPicture(Output("Luma00002.BMP"), "second");
  EXPECT_TRUE(WaitForImageWindows(2));
  EXPECT_EQ(e2e::ListFiles(m_copy.OutputFolder()).size(), 2u);

  // The saved windows hold no unsaved changes: Exit ends at once and stores the counter.
  Exit();
  EXPECT_EQ(StoredNumber().value_or(0), 3u);

  // The next run goes on from there.
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  ExpectScreenPicture(Output("Luma00003.BMP"), "after-restart");
  Exit();
  EXPECT_EQ(StoredNumber().value_or(0), 4u);
}

// The clipboard is given the picture only when somebody pastes it; one nobody pasted while the
// program ran is handed over as it ends.
TEST_F(CaptureOutputs, APictureNotPastedYetOutlivesTheProgram) {
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(PutMarker());
  PrintScreen();
  ExpectScreenPicture(Output("Luma00001.BMP"), "offered");
  Exit();
  std::optional<e2e::Image> clip = WaitForClipboardPicture();
  ASSERT_TRUE(clip) << "nothing on the clipboard after the program ended";
  EXPECT_EQ(e2e::CountDifferentPixels(*clip, m_screen, RECT{0, 0, clip->width, clip->height}), 0);
}

TEST_F(CaptureOutputs, FiveDigitsWrapAfter99999) {
  SetDword("AutoSaveStartNO", 99999);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  ASSERT_TRUE(WaitForFile(Output("Luma99999.BMP")));
  Exit();
  EXPECT_EQ(StoredNumber().value_or(0), 1u);
}

TEST_F(CaptureOutputs, SixDigitsAndThreeDigitNumbers) {
  SetDword("AutoSaveDigitCount", 6);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  EXPECT_TRUE(WaitForFile(Output("Luma000001.BMP")));
  Exit();

  SetDword("AutoSaveDigitCount", 3);
  SetDword("AutoSaveStartNO", 123);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  EXPECT_TRUE(WaitForFile(Output("Luma123.BMP")));
  Exit();
  EXPECT_EQ(StoredNumber().value_or(0), 124u);
}

TEST_F(CaptureOutputs, TwoDigitsWithoutWrapReachTheLimitAndKeepTheWindow) {
  SetDword("AutoSaveDigitCount", 2);
  SetDword("AutoSaveStartNO", 123);
  SetDword("AutoSaveOptions", 0x1);  // replace, no wrap
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  ExpectMessageBox(kText143);
  EXPECT_TRUE(WaitForImageWindows(1));
  EXPECT_TRUE(e2e::ListFiles(m_copy.OutputFolder()).empty());
}

TEST_F(CaptureOutputs, ExistingFileQuestionWithAndWithoutReplacing) {
  const std::string first = Output("Luma00001.BMP");
  // Replacing off: No and Cancel keep the old file and the number, Yes replaces it.
  SetOptions(kDefaultsStayHidden);
  SetDword("AutoSaveOptions", 0x4);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(e2e::WriteFileBytes(first, "old", 3));
  for (int answer : {IDNO, IDCANCEL}) {
    PrintScreen();
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), Format1(kText142, first));
    AnswerBox(box, answer);
    e2e::PumpFor(300);
    EXPECT_EQ(e2e::ReadFileBytes(first)->size(), 3u);
  }
  EXPECT_TRUE(WaitForImageWindows(2));
  m_screen = e2e::CaptureScreenRect(WholeScreen());
  PrintScreen();
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), Format1(kText142, first));  // the number did not move
  AnswerBox(box, IDYES);
  ExpectScreenPicture(first, "replaced-after-yes");
  EXPECT_TRUE(WaitForImageWindows(3));
  Program().Terminate();

  // Replacing on: no question.
  SetDword("AutoSaveOptions", 0x5);
  SetDword("AutoSaveStartNO", 1);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(e2e::WriteFileBytes(first, "old", 3));
  PrintScreen();
  ExpectScreenPicture(first, "replaced-silently");
  EXPECT_EQ(FindMessageBox(), nullptr);
}

TEST_F(CaptureOutputs, MissingFolderIsReportedAndTheWindowKeepsThePicture) {
  const std::string missing = e2e::JoinPath(m_copy.Folder(), "no-such-folder");
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "AutoSavePath", missing));
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  ExpectMessageBox(Format1(kText141, missing));
  EXPECT_TRUE(WaitForImageWindows(1));
  EXPECT_FALSE(e2e::DirectoryExists(missing));
  // The picture is still there to be saved: the clipboard got it too.
  std::optional<e2e::Image> clip = WaitForClipboardPicture();
  ASSERT_TRUE(clip);
  EXPECT_EQ(e2e::CountDifferentPixels(*clip, m_screen, RECT{0, 0, clip->width, clip->height}), 0);
}

TEST_F(CaptureOutputs, ClipboardOnlyOpensNoWindow) {
  SetOptions(kClipboardOnly);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(PutMarker());
  PrintScreen();
  std::optional<e2e::Image> clip = WaitForClipboardPicture();
  ASSERT_TRUE(clip);
  e2e::PumpFor(500);
  EXPECT_TRUE(ImageWindows().empty());
  EXPECT_TRUE(e2e::ListFiles(m_copy.OutputFolder()).empty());
}

TEST_F(CaptureOutputs, NoOutputChosenStillOpensAWindow) {
  SetOptions(0);
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  ASSERT_TRUE(PutMarker());
  PrintScreen();
  EXPECT_TRUE(WaitForImageWindows(1));
  e2e::PumpFor(300);
  EXPECT_TRUE(MarkerStillThere());
  EXPECT_TRUE(e2e::ListFiles(m_copy.OutputFolder()).empty());
}

// Editing in the image window of a capture: commands sent to the main frame reach the active
// image window's document; Copy All shows what the image holds.
TEST_F(CaptureOutputs, RotateInvertAndUndoInTheCapturesWindow) {
  SetOptions(0x20 | 0x2);  // an image window only, the program in the tray
  ASSERT_NO_FATAL_FAILURE(StartForCapture());
  PrintScreen();
  ASSERT_TRUE(WaitForImageWindows(1));
  e2e::PumpFor(300);

  auto command = [&](UINT id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Frame(), WM_COMMAND, id, 0, SMTO_NORMAL, 20000, &result);
  };
  auto imageNow = [&]() -> std::optional<e2e::Image> {
    if (!e2e::ClearClipboard()) return std::nullopt;
    command(kCmdCopyAll);
    return WaitForClipboardPicture();
  };
  auto sameAsScreen = [&](const e2e::Image& image) {
    return image.width == m_screen.width && image.height == m_screen.height &&
           e2e::CountDifferentPixels(image, m_screen, RECT{0, 0, image.width, image.height}) == 0;
  };

  std::optional<e2e::Image> image = imageNow();
  ASSERT_TRUE(image);
  EXPECT_TRUE(sameAsScreen(*image));

  command(kCmdRotateClockwise);
  image = imageNow();
  ASSERT_TRUE(image);
  EXPECT_NEAR(image->width, m_screen.height, 2);
  EXPECT_NEAR(image->height, m_screen.width, 2);

  command(kCmdInvert);
  command(kCmdUndo);
  command(kCmdUndo);
  image = imageNow();
  ASSERT_TRUE(image);
  EXPECT_TRUE(sameAsScreen(*image)) << "undo did not bring the capture back";

  command(kCmdRedo);
  image = imageNow();
  ASSERT_TRUE(image);
  EXPECT_NEAR(image->width, m_screen.height, 2);
  command(kCmdUndo);

  // Crop without a selection leaves the picture as it is.
  command(kCmdCrop);
  image = imageNow();
  ASSERT_TRUE(image);
  EXPECT_TRUE(sameAsScreen(*image));
}

}  // namespace
