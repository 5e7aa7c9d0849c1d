// The Options dialog on the screen with settings of the test's own: it runs modally on this
// thread while a second thread drives it with real mouse clicks and keys, reads its controls
// and the caption band's pixels; the settings, the hook table and the calls the dialog made are
// checked once it has ended.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BoxLog.h"
#include "E2EDriver.h"
#include "capture/HotkeyText.h"
#include "framework/Framework.h"
#include "resources/OptionsIds.h"
#include "resources/resource.h"
#include "ui/OptionsDialog.h"

namespace e2e = lumatre::e2e;

namespace {

constexpr DWORD kWaitMs = 10000;

// The program as the dialog sees it: settings, a hook table in memory, and a log of calls.
class FakeHost : public IOptionsHost {
 public:
  FakeHost() : m_keys(BuildKeyNames()) {
    HotkeyTable defaults;
    std::memcpy(library, defaults.hotkey, sizeof library);
    std::memcpy(settings.m_hotkeys.hotkey, defaults.hotkey, sizeof library);
    CopyText(settings.m_capture.autoSave.directory, "C:\\shots");
  }
  AppSettings& Settings() override { return settings; }
  const KeyNameMap& KeyNames() override { return m_keys; }
  std::string ModeName(int mode) override { return "Mode " + std::to_string(mode); }
  bool IsAutoStartEnabled() override { return autoStart; }
  bool SetAutoStart(bool on) override {
    Log(on ? "autostart on" : "autostart off");
    autoStart = on;
    return true;
  }
  void ClearRecentFileList() override { Log("clear recent"); }
  void ShowHelpTopic(int topic) override {
    Log("help " + std::to_string(topic));
    if (onHelp) onHelp();
  }
  void GetLibraryHotkeys(WORD* table) override { std::memcpy(table, library, sizeof library); }
  void SetLibraryHotkeys(const WORD* table) override {
    Log("set library");
    std::memcpy(library, table, sizeof library);
  }
  void UnregisterHotkeys() override { Log("unregister"); }
  void RegisterHotkeys() override { Log("register"); }

  std::vector<std::string> Calls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
  }

  AppSettings settings;
  WORD library[kHotkeySlotCount] = {};
  bool autoStart = false;
  std::function<void()> onHelp;

 private:
  void Log(const std::string& call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
  }
  KeyNameMap m_keys;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_calls;
};

// Runs the dialog modally here while script drives it from another thread; the dialog is
// cancelled if the script leaves it open.
INT_PTR RunOptions(COptionsDialog& options, const std::function<void(HWND)>& script) {
  std::thread driver([&] {
    HWND hwnd = nullptr;
    e2e::WaitUntil(
        [&] {
          hwnd = ::FindWindowA("#32770", "Options");
          return hwnd && ::IsWindowVisible(hwnd);
        },
        120000);
    if (hwnd) {
      EXPECT_TRUE(e2e::ForceForeground(hwnd, kWaitMs));
      e2e::PumpFor(200);
      script(hwnd);
    } else {
      ADD_FAILURE() << "no Options dialog";
      e2e::WaitUntil([&] { return (hwnd = ::FindWindowA("#32770", "Options")) != nullptr; }, 120000);
    }
    for (int i = 0; i < 100 && hwnd && ::IsWindow(hwnd); ++i) {
      ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
      ::Sleep(50);
    }
  });
  INT_PTR result = options.DoModal();
  driver.join();
  return result;
}

POINT CenterOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(HWND hwnd) {
  POINT p = CenterOf(hwnd);
  e2e::MouseClick(p.x, p.y);
}

// Clicks a check box on its box (left end), not in the middle of a long text.
void ClickBox(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  e2e::MouseClick(r.left + 6, (r.top + r.bottom) / 2);
}

HWND Tree(HWND dlg) { return ::GetDlgItem(dlg, IDC_PREFS_TREE); }

std::vector<std::string> TreeTexts(HWND dlg) {
  std::vector<std::string> texts;
  HWND tree = Tree(dlg);
  for (auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
       item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    char text[64] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    texts.push_back(text);
  }
  return texts;
}

// The visible page (a child dialog of the Options dialog).
HWND Page(HWND dlg) {
  for (HWND w = ::GetWindow(dlg, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
    if (e2e::WindowClassName(w) == "#32770" && ::IsWindowVisible(w)) return w;
  return nullptr;
}

// Clicks the tree item of page index and waits until a page with control id shows.
bool ShowPageByClick(HWND dlg, int index, int controlOnPage) {
  HWND tree = Tree(dlg);
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (int i = 0; i < index && item; ++i)
    item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  if (!item) return false;
  RECT r{};
  std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
  if (!::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return false;
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(tree, &p);
  e2e::MouseClick(p.x, p.y);
  return e2e::WaitUntil([&] { return Page(dlg) && ::GetDlgItem(Page(dlg), controlOnPage); }, kWaitMs);
}

HWND Item(HWND dlg, int id) { return ::GetDlgItem(Page(dlg), id); }
bool Checked(HWND dlg, int id) { return ::SendMessageA(Item(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND dlg, int id) { return ::IsWindowEnabled(Item(dlg, id)) != FALSE; }
std::string Text(HWND dlg, int id) { return e2e::WindowText(Item(dlg, id)); }

// Focuses a control of the page as a Tab would.
void Focus(HWND dlg, int id) {
  ::SendMessageA(Page(dlg), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dlg, id)), TRUE);
  e2e::PumpFor(100);
}

// Replaces an edit's text by typing.
void TypeInto(HWND dlg, int id, const std::string& text) {
  Click(Item(dlg, id));
  e2e::KeyChord({VK_CONTROL, 'A'});
  e2e::KeyPress(VK_HOME);
  e2e::KeyChord({VK_SHIFT, VK_END});
  e2e::KeyPress(VK_DELETE);
  e2e::TypeText(text);
}

std::string ComboText(HWND combo) {
  auto index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return "";
  char text[64] = "";
  ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

// Presses key on a focused drop list until it shows text.
bool SelectByKey(HWND dlg, int id, WORD key, const std::string& text) {
  Focus(dlg, id);
  for (int i = 0; i < 6; ++i) {
    if (ComboText(Item(dlg, id)) == text) return true;
    e2e::KeyPress(key);
    e2e::PumpFor(50);
  }
  return ComboText(Item(dlg, id)) == text;
}

bool SameCapture(const CaptureSettings& a, const CaptureSettings& b) {
  return a.optionsA == b.optionsA && a.colorTransparency == b.colorTransparency &&
         a.colorViewBackground == b.colorViewBackground && a.colorImageBackground == b.colorImageBackground &&
         a.defaultCaptureAction == b.defaultCaptureAction && a.captureDelayTime == b.captureDelayTime &&
         std::memcmp(&a.autoSave, &b.autoSave, sizeof a.autoSave) == 0 &&
         std::memcmp(&a.jpeg, &b.jpeg, sizeof a.jpeg) == 0 &&
         a.colorPickerOutputFormat == b.colorPickerOutputFormat && a.sendMailImageType == b.sendMailImageType &&
         a.repeatLastMode == b.repeatLastMode;
}

TEST(OptionsDialog, ShowsTheTreeAndCaptionAndOkChangesOnlyTheVisitedPage) {
  BoxLog boxes;
  FakeHost host;
  const CaptureSettings before = host.settings.m_capture;
  COptionsDialog options(host);
  std::vector<std::string> tree;
  std::string caption;
  e2e::Image band;
  RECT bandRect{};
  bool soundWas = false;
  INT_PTR result = RunOptions(options, [&](HWND dlg) {
    tree = TreeTexts(dlg);
    caption = e2e::WindowText(::GetDlgItem(dlg, IDC_PREFS_CAPTION));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Page(dlg) && Item(dlg, IDC_GEN_SOUND); }, kWaitMs));
    // The mail type list: JPEG (the stored 1) selected, the five types in their order.
    EXPECT_EQ(ComboText(Item(dlg, IDC_GEN_MAIL_TYPE)), "JPEG");
    EXPECT_EQ(::SendMessageA(Item(dlg, IDC_GEN_MAIL_TYPE), CB_GETCOUNT, 0, 0), 5);
    soundWas = Checked(dlg, IDC_GEN_SOUND);
    ClickBox(Item(dlg, IDC_GEN_SOUND));
    EXPECT_TRUE(e2e::WaitUntil([&] { return Checked(dlg, IDC_GEN_SOUND) != soundWas; }, kWaitMs));
    // Reset Recent File List acts at once and disables itself.
    Click(Item(dlg, IDC_GEN_RESET_RECENT));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Enabled(dlg, IDC_GEN_RESET_RECENT); }, kWaitMs));
    // Escape inside the page closes nothing.
    Click(Item(dlg, IDC_GEN_MAIL_TYPE));
    e2e::KeyPress(VK_ESCAPE);  // closes the open list
    e2e::PumpFor(200);
    e2e::KeyPress(VK_ESCAPE);
    e2e::PumpFor(300);
    EXPECT_TRUE(::IsWindowVisible(dlg));
    HWND captionBand = ::GetDlgItem(dlg, IDC_PREFS_CAPTION);
    ::GetWindowRect(captionBand, &bandRect);
    band = e2e::CaptureScreenRect(bandRect);
    Click(::GetDlgItem(dlg, IDOK));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(tree, (std::vector<std::string>{"General Options", "Capture Options", "Hotkey Options", "Capture Output",
                                            "Color Select", "Image Save", "Color Picker"}));
  EXPECT_EQ(caption, "General Options");
  // Only bit 0 changed; the autostart entry got the box's state; the hotkeys were left alone.
  CaptureSettings expected = before;
  expected.optionsA ^= kOptPlaySound;
  EXPECT_TRUE(SameCapture(host.settings.m_capture, expected)) << std::hex << host.settings.m_capture.optionsA;
  EXPECT_EQ(soundWas, (before.optionsA & kOptPlaySound) != 0);
  EXPECT_EQ(host.Calls(), (std::vector<std::string>{"clear recent", "autostart off"}));
  EXPECT_EQ(boxes.Count(), 0);

  // The band: black at the left end, the button face at the right end, darker in between.
  ASSERT_FALSE(band.Empty());
  const int y = band.height - 2;  // below the text
  const uint32_t face = e2e::FromColorref(::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(band.Rgb(0, y), 0u);
  const uint32_t right = band.Rgb(band.width - 1, y);
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(static_cast<int>((right >> shift) & 0xFF), static_cast<int>((face >> shift) & 0xFF), 3) << std::hex << right;
  const uint32_t middle = band.Rgb(band.width / 2, y);
  EXPECT_LT(middle & 0xFF, right & 0xFF);
  EXPECT_GT(middle & 0xFF, 0u);
  // The page caption's letters, in the button face, over the dark left part.
  int lettering = 0;
  for (int yy = 0; yy < band.height; ++yy)
    for (int x = 5; x < band.width / 4; ++x) lettering += band.Rgb(x, yy) == face;
  EXPECT_GT(lettering, 20);
}

TEST(OptionsDialog, HotkeysOnTheSameKeyAreRefusedAndNewKeysGoToTheLibrary) {
  BoxLog boxes;
  FakeHost host;
  COptionsDialog options(host);
  int pageAfterRefusal = -1;
  INT_PTR result = RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 2, 1159));
    EXPECT_EQ(e2e::WindowText(::GetDlgItem(dlg, IDC_PREFS_CAPTION)), "Hotkey Options");
    // Desktop (Ctrl+Alt+D) becomes Ctrl+Alt+S, which Square has already.
    EXPECT_TRUE(Checked(dlg, 1156));
    EXPECT_TRUE(Checked(dlg, 1157));
    EXPECT_EQ(ComboText(Item(dlg, 1159)), "D");
    EXPECT_EQ(::SendMessageA(Item(dlg, 1159), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(BuildKeyNames().size() + 1));
    ASSERT_TRUE(SelectByKey(dlg, 1159, 'S', "S"));
    e2e::KeyPress(VK_RETURN);  // OK
    EXPECT_EQ(boxes.WaitForBox(1), "You cannot assign two operations to the same hotkey");
    e2e::PumpFor(300);
    EXPECT_TRUE(::IsWindowVisible(dlg));
    pageAfterRefusal = options.Dialog().GetCurrentPage();
    // Square: no key, Ctrl+Alt; Desktop: no key, Ctrl only (Alt cleared): accepted.
    ASSERT_TRUE(SelectByKey(dlg, 1147, VK_HOME, "None"));
    ASSERT_TRUE(SelectByKey(dlg, 1159, VK_HOME, "None"));
    ClickBox(Item(dlg, 1157));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Checked(dlg, 1157); }, kWaitMs));
    // Color Picker (F2) becomes Shift+F2.
    ClickBox(Item(dlg, 1179));
    EXPECT_TRUE(e2e::WaitUntil([&] { return Checked(dlg, 1179); }, kWaitMs));
    Click(::GetDlgItem(dlg, IDOK));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(pageAfterRefusal, 2);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_EQ(host.library[kModeSquare], 0xA000);
  EXPECT_EQ(host.library[kModeDesktop], 0x8000);
  EXPECT_EQ(host.library[kModeColorPicker], 0x4071);
  EXPECT_EQ(host.library[kModeRectangle], 0xA052);
  EXPECT_EQ(std::memcmp(host.library, host.settings.m_hotkeys.hotkey, sizeof host.library), 0);
  // General Options was shown first, so it is applied too (the autostart entry as it was).
  EXPECT_EQ(host.Calls(), (std::vector<std::string>{"autostart off", "unregister", "set library", "register"}));
}

TEST(OptionsDialog, ResetShowsTheDefaultKeysButCancelKeepsTheLibrary) {
  BoxLog boxes;
  FakeHost host;
  host.library[kModeDesktop] = 0xC041;  // Ctrl+Shift+A
  WORD before[kHotkeySlotCount];
  std::memcpy(before, host.library, sizeof before);
  COptionsDialog options(host);
  std::string keyAfterReset;
  bool shiftAfterReset = true;
  RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 2, 1159));
    EXPECT_EQ(ComboText(Item(dlg, 1159)), "A");
    EXPECT_TRUE(Checked(dlg, 1158));
    Click(Item(dlg, IDC_HOT_RESET));
    e2e::WaitUntil([&] { return ComboText(Item(dlg, 1159)) == "D"; }, kWaitMs);
    keyAfterReset = ComboText(Item(dlg, 1159));
    shiftAfterReset = Checked(dlg, 1158);
    Click(::GetDlgItem(dlg, IDCANCEL));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_EQ(keyAfterReset, "D");
  EXPECT_FALSE(shiftAfterReset);
  EXPECT_EQ(std::memcmp(before, host.library, sizeof before), 0);
  EXPECT_TRUE(host.Calls().empty());
}

TEST(OptionsDialog, CaptureOutputFollowsTheBoxesAndStoresTheCutNames) {
  BoxLog boxes;
  FakeHost host;
  AutoSaveSettings& a = host.settings.m_capture.autoSave;
  host.settings.m_capture.optionsA &= ~(kOptOutputFile | kOptOutputWindow);
  host.settings.m_capture.optionsA |= kOptAutoName;
  a.digitCount = 9;
  a.nextNumber = 1000001;
  CopyText(a.leadFileName, "cap.shot");
  const std::string longPath = "C:\\" + std::string(297, 'p');
  CopyText(a.directory, longPath.c_str());
  COptionsDialog options(host);
  std::string digits, start, directory;
  std::vector<int> enabledWhenClear, enabledAfterSave, enabledAfterNaming;
  bool windowChecked = false;
  INT_PTR result = RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 3, IDC_OUT_SAVE));
    digits = Text(dlg, IDC_OUT_DIGITS);
    start = Text(dlg, IDC_OUT_START_NO);
    directory = Text(dlg, IDC_OUT_DIRECTORY);
    for (int id : kSaveDependentIds)
      if (Enabled(dlg, id)) enabledWhenClear.push_back(id);
    ClickBox(Item(dlg, IDC_OUT_SAVE));
    e2e::WaitUntil([&] { return Enabled(dlg, IDC_OUT_AUTONAME); }, kWaitMs);
    windowChecked = Checked(dlg, IDC_OUT_WINDOW);
    for (int id : kSaveDependentIds)
      if (Enabled(dlg, id)) enabledAfterSave.push_back(id);
    ClickBox(Item(dlg, IDC_OUT_AUTONAME));
    e2e::WaitUntil([&] { return !Enabled(dlg, IDC_OUT_DIRECTORY); }, kWaitMs);
    for (int id : kSaveDependentIds)
      if (Enabled(dlg, id)) enabledAfterNaming.push_back(id);
    Click(::GetDlgItem(dlg, IDOK));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(digits, "2");
  EXPECT_EQ(start, "1");
  EXPECT_EQ(directory, longPath.substr(0, 250));
  EXPECT_TRUE(enabledWhenClear.empty());
  EXPECT_TRUE(windowChecked);
  EXPECT_EQ(enabledAfterSave.size(), 17u);
  EXPECT_EQ(enabledAfterNaming, (std::vector<int>{IDC_OUT_AUTONAME}));
  EXPECT_STREQ(a.leadFileName, "cap");
  EXPECT_EQ(a.digitCount, 2);
  EXPECT_EQ(a.nextNumber, 1u);
  EXPECT_EQ(std::string(a.directory), longPath.substr(0, 250));
  const DWORD o = host.settings.m_capture.optionsA;
  EXPECT_TRUE(o & kOptOutputFile);
  EXPECT_TRUE(o & kOptOutputWindow);
  EXPECT_FALSE(o & kOptAutoName);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST(OptionsDialog, ALeadNameOfAFullStopIsStoredEmpty) {
  for (const char* typed : {".", "\\", "a/b"}) {
    BoxLog boxes;
    FakeHost host;
    COptionsDialog options(host);
    RunOptions(options, [&](HWND dlg) {
      ASSERT_TRUE(ShowPageByClick(dlg, 3, IDC_OUT_LEAD_NAME));
      TypeInto(dlg, IDC_OUT_LEAD_NAME, typed);
      e2e::WaitUntil([&] { return Text(dlg, IDC_OUT_LEAD_NAME) == typed; }, kWaitMs);
      Click(::GetDlgItem(dlg, IDOK));
      e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
    });
    EXPECT_STREQ(host.settings.m_capture.autoSave.leadFileName, std::string(typed) == "a/b" ? "a" : "") << typed;
    EXPECT_EQ(boxes.Count(), 0);
  }
}

TEST(OptionsDialog, ABadDelayIsRefusedAndItsPageShown) {
  for (const char* typed : {"20000", "abc"}) {
    BoxLog boxes;
    FakeHost host;
    COptionsDialog options(host);
    std::string box;
    int pageAfter = -1;
    bool open = false;
    RunOptions(options, [&](HWND dlg) {
      ASSERT_TRUE(ShowPageByClick(dlg, 1, IDC_CAP_DELAY));
      EXPECT_EQ(Text(dlg, IDC_CAP_DELAY), "100");
      TypeInto(dlg, IDC_CAP_DELAY, typed);
      e2e::WaitUntil([&] { return Text(dlg, IDC_CAP_DELAY) == typed; }, kWaitMs);
      // Away to another page, then OK: the delay's page comes back.
      ASSERT_TRUE(ShowPageByClick(dlg, 5, IDC_JPG_QUALITY));
      Click(::GetDlgItem(dlg, IDOK));
      box = boxes.WaitForBox(1);
      e2e::PumpFor(300);
      open = ::IsWindowVisible(dlg) != FALSE;
      pageAfter = options.Dialog().GetCurrentPage();
      // A delay of 700 is taken.
      TypeInto(dlg, IDC_CAP_DELAY, "700");
      Click(::GetDlgItem(dlg, IDOK));
      e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
    });
    EXPECT_FALSE(box.empty()) << typed;
    if (std::string(typed) == "20000") {
      EXPECT_NE(box.find("15000"), std::string::npos) << box;
    }
    EXPECT_TRUE(open) << typed;
    EXPECT_EQ(pageAfter, 1) << typed;
    EXPECT_EQ(host.settings.m_capture.captureDelayTime, 700) << typed;
  }
}

TEST(OptionsDialog, ColorPickerFormatsFollowTheClipboardBox) {
  BoxLog boxes;
  FakeHost host;
  host.settings.m_capture.optionsA &= ~kOptColorToClipboard;
  host.settings.m_capture.colorPickerOutputFormat = kColorVB;
  COptionsDialog options(host);
  std::vector<bool> enabledBefore, enabledAfter;
  bool vbChecked = false;
  std::string htmlText;
  RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 6, IDC_PICK_TO_CLIPBOARD));
    for (int id : kColorPickerFormatIds) enabledBefore.push_back(Enabled(dlg, id));
    vbChecked = Checked(dlg, IDC_PICK_VB);
    htmlText = Text(dlg, IDC_PICK_HTML);
    ClickBox(Item(dlg, IDC_PICK_TO_CLIPBOARD));
    e2e::WaitUntil([&] { return Enabled(dlg, IDC_PICK_HSB); }, kWaitMs);
    for (int id : kColorPickerFormatIds) enabledAfter.push_back(Enabled(dlg, id));
    ClickBox(Item(dlg, IDC_PICK_TO_CLIPBOARD));  // clear again: the format stays
    e2e::WaitUntil([&] { return !Enabled(dlg, IDC_PICK_HSB); }, kWaitMs);
    Click(::GetDlgItem(dlg, IDOK));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_EQ(enabledBefore, std::vector<bool>(9, false));
  EXPECT_EQ(enabledAfter, std::vector<bool>(9, true));
  EXPECT_TRUE(vbChecked);
  EXPECT_EQ(htmlText, " &HTML   ->  Format: #FFFFFF");
  EXPECT_EQ(host.settings.m_capture.colorPickerOutputFormat, kColorVB);
  EXPECT_FALSE(host.settings.m_capture.optionsA & kOptColorToClipboard);
}

TEST(OptionsDialog, ResetDefaultColorSurvivesCancelAndSwatchesShowTheirColours) {
  BoxLog boxes;
  FakeHost host;
  host.settings.m_capture.colorViewBackground = RGB(10, 200, 30);
  host.settings.m_capture.colorImageBackground = RGB(1, 2, 3);
  host.settings.m_capture.colorTransparency = RGB(250, 0, 250);
  COptionsDialog options(host);
  int greenBefore = 0, defaultAfter = 0;
  RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 4, IDC_COL_RESET));
    e2e::PumpFor(300);
    auto count = [&](COLORREF c) {
      RECT r{};
      ::GetWindowRect(Item(dlg, IDC_COL_VIEW_SWATCH), &r);
      e2e::Image image = e2e::CaptureScreenRect(r);
      int n = 0;
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) n += image.Rgb(x, y) == e2e::FromColorref(c);
      return n;
    };
    greenBefore = count(RGB(10, 200, 30));
    Click(Item(dlg, IDC_COL_RESET));
    e2e::WaitUntil([&] { return count(kDefaultColorViewBackground) > 50; }, kWaitMs);
    defaultAfter = count(kDefaultColorViewBackground);
    Click(::GetDlgItem(dlg, IDCANCEL));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_GT(greenBefore, 50);
  EXPECT_GT(defaultAfter, 50);
  EXPECT_EQ(host.settings.m_capture.colorViewBackground, kDefaultColorViewBackground);
  EXPECT_EQ(host.settings.m_capture.colorImageBackground, kDefaultColorImageBackground);
  EXPECT_EQ(host.settings.m_capture.colorTransparency, kDefaultColorTransparency);
}

TEST(OptionsDialog, CancelAfterEditsOnThreePagesChangesNothingAndHelpOpensTheTopic) {
  BoxLog boxes;
  FakeHost host;
  const CaptureSettings before = host.settings.m_capture;
  COptionsDialog options(host);
  bool addedWhileOpen = true;
  host.onHelp = [&] {
    static CColorPickerPage extra(host);
    addedWhileOpen = options.Dialog().AddPage(extra, "Extra");
  };
  RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(e2e::WaitUntil([&] { return Page(dlg) && Item(dlg, IDC_GEN_SOUND); }, kWaitMs));
    ClickBox(Item(dlg, IDC_GEN_SOUND));
    ASSERT_TRUE(ShowPageByClick(dlg, 1, IDC_CAP_DELAY));
    TypeInto(dlg, IDC_CAP_DELAY, "5000");
    ASSERT_TRUE(ShowPageByClick(dlg, 5, IDC_JPG_QUALITY));
    TypeInto(dlg, IDC_JPG_QUALITY, "12");
    Click(::GetDlgItem(dlg, IDC_PREFS_HELP));
    e2e::WaitUntil([&] { return !host.Calls().empty(); }, kWaitMs);
    Click(::GetDlgItem(dlg, IDCANCEL));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_TRUE(SameCapture(host.settings.m_capture, before));
  EXPECT_EQ(host.Calls(), (std::vector<std::string>{"help 1"}));
  EXPECT_FALSE(addedWhileOpen);
  EXPECT_EQ(boxes.Count(), 0);
}

// Browse opens the folder browser titled "Choose directory:"; cancelling it keeps the folder.
TEST(OptionsDialog, BrowseOpensTheFolderBrowserAndCancelKeepsTheFolder) {
  BoxLog boxes;
  FakeHost host;
  COptionsDialog options(host);
  bool titled = false;
  std::string after;
  RunOptions(options, [&](HWND dlg) {
    ASSERT_TRUE(ShowPageByClick(dlg, 3, IDC_OUT_BROWSE));
    Click(Item(dlg, IDC_OUT_BROWSE));
    HWND browser = nullptr;
    e2e::WaitUntil(
        [&] {
          browser = nullptr;
          for (HWND w : e2e::ThreadWindows(GetWindowThreadProcessId(dlg, nullptr)))
            if (IsWindowVisible(w) && e2e::WindowClassName(w) == "#32770" && e2e::WindowText(w) != "Options") browser = w;
          return browser != nullptr;
        },
        kWaitMs);
    ASSERT_NE(browser, nullptr);
    for (HWND w : e2e::ChildWindows(browser))
      if (e2e::WindowText(w) == "Choose directory:") titled = true;
    ::PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    e2e::WaitUntil([&] { return !::IsWindow(browser); }, kWaitMs);
    after = Text(dlg, IDC_OUT_DIRECTORY);
    Click(::GetDlgItem(dlg, IDCANCEL));
    e2e::WaitUntil([&] { return !::IsWindow(dlg); }, kWaitMs);
  });
  EXPECT_TRUE(titled);
  EXPECT_EQ(after, "C:\\shots");
}

}  // namespace
