// The real program: File > Open with the preview, Save As with the BMP type, Resize and
// Brightness from the Operations menu with Undo, and a capture saved under an automatic name
// without any dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CaptureSession.h"
#include "E2EDriver.h"

namespace {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;
using capture_e2e::kCmdPasteAsNewImage;

constexpr DWORD kShownWindowOnly = 0x20;  // "OptionsA": an image window for each capture
constexpr DWORD kSaveCaptures = 0x200;
constexpr DWORD kAutoName = 0x400;
constexpr UINT kCmdOpen = 0xE101;
constexpr UINT kCmdSaveAs = 0xE104;
constexpr UINT kCmdUndo = 0xE12B;
constexpr UINT kCmdDesktop = 32792;
constexpr UINT kCmdResize = 32794;
constexpr UINT kCmdBrightness = 32803;
constexpr int kFilterCombo = 1136;
constexpr int kFileList = 1120;

std::string ControlText(HWND control) {
  char text[512] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
  return std::string(text);
}

POINT CenterOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickOn(HWND control) {
  POINT c = CenterOf(control);
  e2e::MouseClick(c.x, c.y);
}

void TypeInto(HWND edit, const std::string& text) {
  ClickOn(edit);
  e2e::KeyPress(VK_END);
  e2e::KeyChord({VK_SHIFT, VK_HOME});
  e2e::KeyPress(VK_DELETE);
  e2e::TypeText(text);
}

// The child dialog of a file dialog that holds control id.
HWND TemplateChild(HWND fileDialog, int id) {
  for (HWND child = GetWindow(fileDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDlgItem(child, id)) return child;
  return nullptr;
}

BOOL CALLBACK FindEditChild(HWND w, LPARAM p) {
  char name[32] = "";
  GetClassNameA(w, name, sizeof name);
  if (lstrcmpiA(name, "Edit") == 0 && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
  }
  return TRUE;
}

// The file name field of a file dialog.
HWND NameEdit(HWND fileDialog) {
  HWND edit = GetDlgItem(fileDialog, 1152);
  if (edit && IsWindowVisible(edit)) return edit;
  edit = nullptr;
  EnumChildWindows(GetDlgItem(fileDialog, 1148), &FindEditChild, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

BOOL CALLBACK FindListView(HWND w, LPARAM p) {
  char name[32] = "";
  GetClassNameA(w, name, sizeof name);
  if (lstrcmpiA(name, "SysListView32") == 0) {
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
  }
  return TRUE;
}

class ProgramFileDialogs : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    SetOptions(kShownWindowOnly);
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    m_folder = std::string(base) + "lumatre-e2e-fd-" + std::to_string(GetCurrentProcessId());
    e2e::RemoveDirectoryTree(m_folder);
    CreateDirectoryA(m_folder.c_str(), nullptr);
    e2e::SetInputDelay(30);
  }
  void TearDown() override {
    CaptureSession::TearDown();
    e2e::RemoveDirectoryTree(m_folder);
  }
  // A dialog of the program with that caption, waited for.
  HWND WaitForDialog(const char* caption, DWORD ms = 15000) {
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
          for (HWND hwnd : Program().TopLevelWindows())
            if (e2e::WindowClassName(hwnd) == "#32770" && IsWindowVisible(hwnd) && ControlText(hwnd) == caption)
              return (found = hwnd) != nullptr;
          return false;
        },
        ms);
    if (found) e2e::ForceForeground(found, 5000);
    e2e::PumpFor(300);
    return found;
  }
  bool OpenPictureFromClipboard(int w, int h) {
    e2e::Image image(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.At(x, y) = 0xFF000000u | e2e::PatternPixel(1, x, y);
    if (!e2e::WriteClipboardDib(image)) return false;
    const int before = ImageWindowCount();
    Command(kCmdPasteAsNewImage);
    return e2e::WaitUntil([&] { return ImageWindowCount() == before + 1; }, 20000);
  }
  static bool Same(const e2e::Image& a, const e2e::Image& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
  }
  std::string m_folder;
};

TEST_F(ProgramFileDialogs, OperationsFromTheMenuChangeTheImageAndUndo) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(OpenPictureFromClipboard(40, 30));
  std::optional<e2e::Image> original = ActivePicture();
  ASSERT_TRUE(original);

  // Brightness 50, OK: the pixels change; Undo gives them back.
  Command(kCmdBrightness);
  HWND dlg = WaitForDialog("Change Brightness Effect");
  ASSERT_NE(dlg, nullptr);
  TypeInto(GetDlgItem(dlg, 1088), "50");
  e2e::KeyPress(VK_RETURN);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 10000));
  std::optional<e2e::Image> brighter = ActivePicture();
  ASSERT_TRUE(brighter);
  EXPECT_FALSE(Same(*brighter, *original));
  auto sum = [](const e2e::Image& image) {
    long long total = 0;
    for (uint32_t p : image.pixels) total += (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
    return total;
  };
  EXPECT_GT(sum(*brighter), sum(*original));
  Command(kCmdUndo);
  std::optional<e2e::Image> undone = ActivePicture();
  ASSERT_TRUE(undone);
  EXPECT_TRUE(Same(*undone, *original));

  // Resize to 200 x 100 with Gaussian, Done, Undo.
  Command(kCmdResize);
  dlg = WaitForDialog("Resize Operation");
  ASSERT_NE(dlg, nullptr);
  TypeInto(GetDlgItem(dlg, 1028), "200");
  TypeInto(GetDlgItem(dlg, 1030), "100");
  ClickOn(GetDlgItem(dlg, 5));     // A&dvanced >>
  ClickOn(GetDlgItem(dlg, 1042));  // Gaussian
  ClickOn(GetDlgItem(dlg, 4));     // Apply
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dlg, 3)) != FALSE; }, 10000));  // Revert
  e2e::KeyPress(VK_RETURN);                                                                            // Done
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 10000));
  std::optional<e2e::Image> resized = ActivePicture();
  ASSERT_TRUE(resized);
  EXPECT_EQ(resized->width, 200);
  EXPECT_EQ(resized->height, 100);
  Command(kCmdUndo);
  undone = ActivePicture();
  ASSERT_TRUE(undone);
  EXPECT_TRUE(Same(*undone, *original));
}

TEST_F(ProgramFileDialogs, SaveAsWithTheBmpTypeWritesABmpAndOpenPreviewsIt) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(OpenPictureFromClipboard(40, 30));
  Command(kCmdSaveAs);
  HWND dlg = WaitForDialog("Save As");
  ASSERT_NE(dlg, nullptr);
  HWND combo = GetDlgItem(dlg, kFilterCombo);
  ClickOn(combo);
  e2e::KeyPress(VK_DOWN);
  e2e::KeyPress(VK_RETURN);
  HWND options = TemplateChild(dlg, 1205);
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(options, 1205)); }, 10000));
  const std::string target = m_folder + "\\saved.bmp";
  TypeInto(NameEdit(dlg), target);
  e2e::KeyPress(VK_RETURN);
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FileExists(target); }, 15000));
  e2e::PumpFor(500);
  std::optional<std::vector<uint8_t>> bytes = e2e::ReadFileBytes(target);
  ASSERT_TRUE(bytes && bytes->size() > 54);
  EXPECT_EQ((*bytes)[0], 'B');
  EXPECT_EQ((*bytes)[1], 'M');

  // File > Open: the preview tells the size and depth of the selected picture, and it opens
  // (a copy: the saved file is open already, and opening it again only brings its window up).
  ASSERT_TRUE(CopyFileA(target.c_str(), (m_folder + "\\copy.bmp").c_str(), FALSE));
  Command(kCmdOpen);
  dlg = WaitForDialog("Open");
  ASSERT_NE(dlg, nullptr);
  TypeInto(NameEdit(dlg), m_folder);
  e2e::KeyPress(VK_RETURN);  // into the folder
  e2e::PumpFor(800);
  HWND list = nullptr;
  EnumChildWindows(GetDlgItem(dlg, kFileList), &FindListView, reinterpret_cast<LPARAM>(&list));
  if (!list) EnumChildWindows(dlg, &FindListView, reinterpret_cast<LPARAM>(&list));
  ASSERT_NE(list, nullptr);
  RECT lr{};
  GetWindowRect(list, &lr);
  e2e::MouseClick(lr.right - 10, lr.bottom - 10);  // an empty place of the list
  e2e::KeyPress(VK_HOME);                          // the first file: copy.bmp
  HWND preview = TemplateChild(dlg, 1110);
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ControlText(GetDlgItem(preview, 1114)) == "Image size : (40,30)"; }, 10000))
      << ControlText(GetDlgItem(preview, 1114));
  const std::string depth = ControlText(GetDlgItem(preview, 1113));
  EXPECT_TRUE(depth == "Color bits : 24" || depth == "Color bits : 32") << depth;
  const int before = ImageWindowCount();
  e2e::KeyPress(VK_RETURN);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ImageWindowCount() == before + 1; }, 15000));
  EXPECT_EQ(FindMessageBox(), nullptr);
}

// The first quantisation table of a JPEG file (64 values in file order), empty when none.
std::vector<int> FirstQuantTable(const std::vector<uint8_t>& bytes) {
  for (size_t i = 2; i + 4 < bytes.size();) {
    if (bytes[i] != 0xFF) return {};
    const size_t length = (static_cast<size_t>(bytes[i + 2]) << 8) | bytes[i + 3];
    if (bytes[i + 1] == 0xDB && i + 5 + 64 <= bytes.size()) return std::vector<int>(bytes.begin() + i + 5, bytes.begin() + i + 5 + 64);
    i += 2 + length;
  }
  return {};
}

TEST_F(ProgramFileDialogs, QualityChangedThenCancelledHoldsForTheNextJpegSave) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(OpenPictureFromClipboard(40, 30));
  Command(kCmdSaveAs);
  HWND dlg = WaitForDialog("Save As");
  ASSERT_NE(dlg, nullptr);
  HWND options = TemplateChild(dlg, 1205);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ControlText(GetDlgItem(options, 1205)), "95");
  TypeInto(GetDlgItem(options, 1205), "80");
  e2e::KeyPress(VK_ESCAPE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 10000));

  Command(kCmdSaveAs);
  dlg = WaitForDialog("Save As");
  ASSERT_NE(dlg, nullptr);
  options = TemplateChild(dlg, 1205);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ControlText(GetDlgItem(options, 1205)), "80");
  const std::string target = m_folder + "\\q80.jpg";
  TypeInto(NameEdit(dlg), target);
  e2e::KeyPress(VK_RETURN);
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FileExists(target); }, 15000));
  e2e::PumpFor(500);
  std::optional<std::vector<uint8_t>> bytes = e2e::ReadFileBytes(target);
  ASSERT_TRUE(bytes);
  std::vector<int> table = FirstQuantTable(*bytes);
  ASSERT_EQ(table.size(), 64u);
  EXPECT_EQ(table[0], 6);  // libjpeg's base 16 at quality 80 (95 would give 2)
  EXPECT_EQ(table[1], 4);  // base 11
}

TEST_F(ProgramFileDialogs, CaptureWithAutomaticSaveAndNamingShowsNoDialog) {
  SetOptions(kShownWindowOnly | kSaveCaptures | kAutoName);
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, capture_e2e::kCapture, "AutoSavePath", m_folder));
  SetDword("AutoSaveStartNO", 1);
  SetDword("AutoSaveImageType", 0);
  ASSERT_TRUE(Start());
  Command(kCmdDesktop);
  const std::string expected = m_folder + "\\Luma00001.BMP";
  bool dialogSeen = false;
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        for (HWND hwnd : Program().TopLevelWindows())
          if (e2e::WindowClassName(hwnd) == "#32770" && IsWindowVisible(hwnd)) dialogSeen = true;
        return e2e::FileExists(expected);
      },
      30000));
  EXPECT_FALSE(dialogSeen);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ImageWindowCount() == 1; }, 10000));
}

}  // namespace
