// The open dialog with its preview and the save dialog with its JPEG options on the screen,
// driven with real input: the filter lists, the preview of a picture, of a folder and of a
// truncated file, the preview toggle, the JPEG options following the file type, an option kept
// after Cancel (and in force for the next JPEG written), a refused quality, a folder as a name.
#include <cstdio>
#include <fstream>
#include <memory>

#include "ScreenTestSupport.h"
#include "encode/EncoderChoice.h"
#include "resources/FileDialogsIds.h"
#include "FrameworkTestSupport.h"
#include "ui/BrowseEdit.h"
#include "ui/CustomSaveDlg.h"
#include "ui/FilePreviewDlg.h"
#include "win/DisplayBitmap.h"

using namespace fd_test;

namespace {

constexpr int kFilterCombo = 1136;  // cmb1 of the system's dialog

// A folder of its own with a picture, a truncated picture and a subfolder.
class PictureFolder {
 public:
  PictureFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "lumatre-fd-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(m_counter++);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~PictureFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((m_path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string file = m_path + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          ::RemoveDirectoryA(file.c_str());
        else
          ::DeleteFileA(file.c_str());
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    ::SetCurrentDirectoryA(temp);
    ::RemoveDirectoryA(m_path.c_str());
  }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  static inline int m_counter = 0;
};

// A 40 x 30 picture of one colour, written as PNG.
void WriteSolidPng(const std::string& path, COLORREF color) {
  CDisplayBitmap bitmap;
  bitmap.Create(40, 30, 32, false);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) bitmap.SetPixel(x, y, PLMakePixel(GetRValue(color), GetGValue(color), GetBValue(color)));
  PLCreateEncoder(PLImagePNG, PLJpegOptions{})->MakeFileFromBmp(path.c_str(), bitmap);
}

int CountColor(const RECT& r, COLORREF color) {
  e2e::Image image = e2e::CaptureScreenRect(r);
  const uint32_t rgb = e2e::FromColorref(color);
  int n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) n += image.Rgb(x, y) == rgb;
  return n;
}

// The first quantisation table of a JPEG file (64 values in file order), empty when none.
std::vector<int> FirstQuantTable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  for (size_t i = 2; i + 4 < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) != 0xFF) return {};
    const unsigned char marker = static_cast<unsigned char>(bytes[i + 1]);
    const size_t length = (static_cast<unsigned char>(bytes[i + 2]) << 8) | static_cast<unsigned char>(bytes[i + 3]);
    if (marker == 0xDB && i + 5 + 64 <= bytes.size()) {
      std::vector<int> table;
      for (int k = 0; k < 64; ++k) table.push_back(static_cast<unsigned char>(bytes[i + 5 + k]));
      return table;
    }
    i += 2 + length;
  }
  return {};
}

TEST(OpenDialog, PreviewsPicturesButNotFoldersOrBrokenFiles) {
  BoxLog boxes;
  PictureFolder folder;
  const COLORREF kRed = RGB(200, 30, 40);
  WriteSolidPng(folder.File("pic.png"), kRed);
  {
    // The same picture cut short.
    std::ifstream in(folder.File("pic.png"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream out(folder.File("trunc.png"), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
  }
  ::CreateDirectoryA(folder.File("sub").c_str(), nullptr);
  e2e::SetInputDelay(30);

  CFilePreviewDlg dlg(nullptr, OFN_FILEMUSTEXIST);
  dlg.SetTitle("Open");
  dlg.m_ofn.lpstrInitialDir = folder.path().c_str();
  INT_PTR result = RunDriven([&] { return dlg.DoModal(); }, "Open", [&](HWND hwnd) {
    // The filter: 13 entries, starting on "All supported graphic formats".
    HWND combo = ::GetDlgItem(hwnd, kFilterCombo);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 13);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 11);
    char text[128] = "";
    ::SendMessageA(combo, CB_GETLBTEXT, 11, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "All supported graphic formats");

    HWND child = TemplateChild(hwnd, IDC_PREVIEW_AREA);
    ASSERT_NE(child, nullptr);
    // The group and the picture take the file list's width.
    RECT list = WindowRectOf(::GetDlgItem(hwnd, IDC_FILEDLG_FILELIST));
    for (int id : {IDC_PREVIEW_GROUP, IDC_PREVIEW_AREA}) {
      RECT r = WindowRectOf(::GetDlgItem(child, id));
      EXPECT_EQ(r.left, list.left) << id;
      EXPECT_EQ(r.right, list.right) << id;
    }
    EXPECT_EQ(ItemText(child, IDC_PREVIEW_BITS), "Color bits :  ");
    EXPECT_EQ(ItemText(child, IDC_PREVIEW_SIZE), "Image size :  ");
    EXPECT_EQ(::IsDlgButtonChecked(child, IDC_PREVIEW_CHECK), BST_CHECKED);

    // A picture: its depth and size, and its pixels in the preview.
    ASSERT_TRUE(ClickListItem(hwnd, "pic"));
    EXPECT_TRUE(WaitForItemText(child, IDC_PREVIEW_SIZE, "Image size : (40,30)")) << ItemText(child, IDC_PREVIEW_SIZE);
    EXPECT_EQ(ItemText(child, IDC_PREVIEW_BITS), "Color bits : 32");
    RECT area = WindowRectOf(::GetDlgItem(child, IDC_PREVIEW_AREA));
    EXPECT_TRUE(e2e::WaitUntil([&] { return CountColor(area, kRed) == 40 * 30; }, kWaitMs))
        << CountColor(area, kRed);

    // A folder: the preview stays as it was.
    ASSERT_TRUE(ClickListItem(hwnd, "sub"));
    e2e::PumpFor(500);
    EXPECT_EQ(ItemText(child, IDC_PREVIEW_SIZE), "Image size : (40,30)");
    EXPECT_EQ(CountColor(area, kRed), 40 * 30);

    // A truncated file: an empty preview, blank texts and no message.
    ASSERT_TRUE(ClickListItem(hwnd, "trunc"));
    EXPECT_TRUE(WaitForItemText(child, IDC_PREVIEW_SIZE, "Image size :  ")) << ItemText(child, IDC_PREVIEW_SIZE);
    EXPECT_EQ(ItemText(child, IDC_PREVIEW_BITS), "Color bits :  ");
    EXPECT_TRUE(e2e::WaitUntil([&] { return CountColor(area, kRed) == 0; }, kWaitMs));
    EXPECT_EQ(boxes.Count(), 0);

    // The toggle: off blanks everything, on loads the selection again.
    ASSERT_TRUE(ClickListItem(hwnd, "pic"));
    EXPECT_TRUE(WaitForItemText(child, IDC_PREVIEW_SIZE, "Image size : (40,30)"));
    ClickOn(::GetDlgItem(child, IDC_PREVIEW_CHECK));
    EXPECT_TRUE(WaitForItemText(child, IDC_PREVIEW_SIZE, "Image size :  "));
    EXPECT_TRUE(e2e::WaitUntil([&] { return CountColor(area, kRed) == 0; }, kWaitMs));
    ClickOn(::GetDlgItem(child, IDC_PREVIEW_CHECK));
    EXPECT_TRUE(WaitForItemText(child, IDC_PREVIEW_SIZE, "Image size : (40,30)"));
    EXPECT_TRUE(e2e::WaitUntil([&] { return CountColor(area, kRed) == 40 * 30; }, kWaitMs));

    // Palette messages reach the preview (a true-colour screen changes nothing, and says so).
    EXPECT_EQ(::SendMessageA(child, WM_QUERYNEWPALETTE, 0, 0), FALSE);

    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(lstrcmpiA(dlg.GetPathName().c_str(), folder.File("pic.png").c_str()), 0) << dlg.GetPathName();
  EXPECT_EQ(boxes.Count(), 0);
}

TEST(SaveDialog, JpegOptionsFollowTheTypeAndOutliveCancel) {
  BoxLog boxes;
  PictureFolder folder;
  ::CreateDirectoryA(folder.File("sub").c_str(), nullptr);
  JpegSaveSettings current;  // quality 95
  e2e::SetInputDelay(30);

  CCustomSaveDlg dlg(current);
  dlg.SetTitle("Save As");
  dlg.m_ofn.lpstrInitialDir = folder.path().c_str();
  INT_PTR result = RunDriven([&] { return dlg.DoModal(); }, "Save As", [&](HWND hwnd) {
    HWND combo = ::GetDlgItem(hwnd, kFilterCombo);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    HWND child = TemplateChild(hwnd, IDC_JPEG_QUALITY);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ItemText(child, IDC_JPEG_GROUP), "JPEG compression options:");
    EXPECT_EQ(ItemText(child, IDC_JPEG_QUALITY), "95");
    EXPECT_EQ(ItemText(child, IDC_JPEG_DPIX), "720");
    auto allJpegControls = [&](bool enabled) {
      for (int id : kJpegControlIds)
        if ((::IsWindowEnabled(::GetDlgItem(child, id)) != FALSE) != enabled) return false;
      return true;
    };
    EXPECT_TRUE(allJpegControls(true));

    // "BMP file (*.bmp)" disables the options; JPEG enables them again.
    ClickOn(combo);
    e2e::KeyPress(VK_DOWN);
    e2e::KeyPress(VK_RETURN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return allJpegControls(false); }, kWaitMs));
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    ClickOn(combo);
    e2e::KeyPress(VK_UP);
    e2e::KeyPress(VK_RETURN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return allJpegControls(true); }, kWaitMs));

    // Quality 80 is in force at once.
    TypeInto(::GetDlgItem(child, IDC_JPEG_QUALITY), "80");
    EXPECT_TRUE(e2e::WaitUntil([&] { return current.quality == 80; }, kWaitMs)) << current.quality;
    // The spin reaches its end and stops there.
    ClickOn(::GetDlgItem(child, IDC_JPEG_OPTIMIZE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return current.optimizeCoding == 1; }, kWaitMs));
    ClickOn(::GetDlgItem(child, IDC_JPEG_OPTIMIZE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return current.optimizeCoding == 0; }, kWaitMs));

    // 150 is refused when the name is confirmed: the range message, the dialog stays.
    // Each keystroke is an edit: "1" and "15" are taken, "150" is not.
    TypeInto(::GetDlgItem(child, IDC_JPEG_QUALITY), "150");
    e2e::PumpFor(200);
    EXPECT_EQ(current.quality, 15);
    HWND nameEdit = ::GetDlgItem(hwnd, 1152);  // edt1
    if (!nameEdit || !::IsWindowVisible(nameEdit)) nameEdit = FindDescendant(::GetDlgItem(hwnd, 1148), "Edit");
    ASSERT_NE(nameEdit, nullptr);
    TypeInto(nameEdit, "picture");
    e2e::KeyPress(VK_RETURN);
    EXPECT_EQ(boxes.WaitForBox(1), "Please enter an integer between 0 and 100.");
    e2e::PumpFor(300);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    TypeInto(::GetDlgItem(child, IDC_JPEG_QUALITY), "80");

    // A folder typed as the name: no file, the dialog stays open.
    TypeInto(nameEdit, folder.File("sub"));
    e2e::KeyPress(VK_RETURN);
    e2e::PumpFor(800);
    EXPECT_TRUE(::IsWindow(hwnd) && ::IsWindowVisible(hwnd));

    // Cancel.
    e2e::KeyPress(VK_ESCAPE);
    e2e::WaitUntil([&] { return !::IsWindow(hwnd); }, kWaitMs);
  });
  EXPECT_EQ(result, IDCANCEL);
  // The options stay for the rest of the run.
  EXPECT_EQ(current.quality, 80);
  EXPECT_EQ(current.optimizeCoding, 0);

  // The next JPEG written with the current options has the quantisation of quality 80.
  CDisplayBitmap bitmap;
  bitmap.Create(16, 16, 32, false);
  PLJpegOptions options;
  options.quality = current.quality;
  const std::string jpeg80 = folder.File("q80.jpg");
  PLCreateEncoder(PLImageJPEG, options)->MakeFileFromBmp(jpeg80.c_str(), bitmap);
  std::vector<int> table = FirstQuantTable(jpeg80);
  ASSERT_EQ(table.size(), 64u);
  EXPECT_EQ(table[0], 6);  // libjpeg's base 16 scaled by (200 - 2 x 80) %, rounded
  EXPECT_EQ(table[1], 4);  // base 11
  ::DeleteFileA(jpeg80.c_str());
  // No file was written by the dialog.
  EXPECT_EQ(::GetFileAttributesA(folder.File("picture.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

namespace {

// A plain window to hold a browse field.
class CHostWnd : public CWnd {};

TEST(BrowseEdit, FileAndFolderModesPutTheChosenPathIntoTheField) {
  PictureFolder folder;
  WriteSolidPng(folder.File("pic.png"), RGB(1, 2, 3));
  e2e::SetInputDelay(30);
  CHostWnd host;
  ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                            "Browse test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 120, nullptr, nullptr));
  CBrowseEdit fileField;
  ASSERT_TRUE(fileField.Create(WS_VISIBLE | WS_TABSTOP, RECT{10, 10, 310, 32}, &host, 100));
  EXPECT_FALSE(fileField.IsFolderMode());
  // The edit takes the width less the height, the button a square at the right.
  RECT edit = WindowRectOf(fileField.GetEdit()), button = WindowRectOf(fileField.GetButton());
  EXPECT_EQ(edit.right - edit.left, 300 - 22);
  EXPECT_EQ(button.right - button.left, 22);
  EXPECT_EQ(button.left, edit.right);
  // Focus given to the control goes to its edit.
  fileField.SetFocus();
  EXPECT_EQ(::GetFocus(), fileField.GetEdit());

  // File mode: the open dialog; the chosen file goes into the field.
  INT_PTR ignored = RunDriven(
      [&] {
        // The button's click runs the dialog inside it.
        ::SendMessageA(fileField.GetButton(), BM_CLICK, 0, 0);
        return INT_PTR(0);
      },
      "Open", [&](HWND dlg) {
        HWND name = ::GetDlgItem(dlg, 1152);
        if (!name || !::IsWindowVisible(name)) name = FindDescendant(::GetDlgItem(dlg, 1148), "Edit");
        TypeInto(name, folder.File("pic.png"));
        e2e::KeyPress(VK_RETURN);
        e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
      });
  (void)ignored;
  e2e::WaitUntil([&] {
    PumpMessages(50);
    return lstrcmpiA(fileField.GetPath().c_str(), folder.File("pic.png").c_str()) == 0;
  }, kWaitMs);
  EXPECT_EQ(lstrcmpiA(fileField.GetPath().c_str(), folder.File("pic.png").c_str()), 0) << fileField.GetPath();

  // Folder mode: the folder browser starts at the field's folder; OK keeps it.
  CBrowseEdit folderField;
  ASSERT_TRUE(folderField.Create(WS_VISIBLE | WS_TABSTOP | CBrowseEdit::kFolderModeStyle, RECT{10, 40, 310, 62}, &host,
                                 101));
  EXPECT_TRUE(folderField.IsFolderMode());
  folderField.SetPath(folder.path());
  RunDriven(
      [&] {
        folderField.Browse();
        return INT_PTR(0);
      },
      "Browse for Folder", [&](HWND dlg) {
        e2e::PumpFor(500);
        e2e::KeyPress(VK_RETURN);
        e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
      });
  EXPECT_EQ(lstrcmpiA(folderField.GetPath().c_str(), folder.path().c_str()), 0) << folderField.GetPath();
  host.DestroyWindow();
}

}  // namespace
