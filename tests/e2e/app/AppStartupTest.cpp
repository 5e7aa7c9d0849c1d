// Lumatre.exe for real: first start on an empty registry, the settings written at exit, the
// read rules seen through the running program, the hand-over to a running instance, the hidden
// start and closing to the tray.
#include "DefaultSettingsValues.h"
#include "E2EDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e = lumatre::e2e;

namespace {

constexpr const char* kFrameClass = "LumatreMainFrameClass";
constexpr UINT kAppExit = 0xE141;  // ID_APP_EXIT
const std::string kProfile = "Software\\Lumatre\\Lumatre";
const std::string kLayout = kProfile + "\\PrintLayout";
const std::string kHotkeys = kProfile + "\\Hotkey";
const std::string kCapture = kProfile + "\\CaptureOptions";

// Every test starts and ends with no settings of the program in the registry.
class AppStartup : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre")); }
  void TearDown() override { e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre"); }

  // Starts the copy and waits for its main frame (visible or not).
  HWND Start(e2e::AppProcess& process) {
    EXPECT_TRUE(copy.Ok()) << copy.Error();
    if (!process.Start(copy.ExePath())) {
      ADD_FAILURE() << process.LastError();
      return nullptr;
    }
    HWND frame = process.WaitForWindow(kFrameClass, 20000);
    EXPECT_NE(frame, nullptr) << "no main frame";
    return frame;
  }

  // File > Exit, then the process must end by itself.
  void Exit(e2e::AppProcess& process, HWND frame) {
    PostMessageA(frame, WM_COMMAND, kAppExit, 0);
    auto code = process.WaitForExit(20000);
    ASSERT_TRUE(code.has_value()) << "still running after Exit";
    EXPECT_EQ(*code, 0u);
  }

  e2e::AppCopy copy;
};

TEST_F(AppStartup, FirstStartCreatesTheOutputFolderAndTheEmptySections) {
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000));
  EXPECT_TRUE(e2e::DirectoryExists(copy.OutputFolder()));
  for (const std::string& section : {kLayout, kHotkeys, kCapture})
    EXPECT_TRUE(e2e::KeyExists(HKEY_CURRENT_USER, section)) << section;
  // Nothing is written before exit.
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, kCapture, "OptionsA"), -1);
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, kHotkeys, "ActiveWindow"), -1);
  Exit(lumatre, frame);
}

TEST_F(AppStartup, FileExitWritesEveryValueOfTheLayout) {
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000));
  // File > Exit through the menu with the keyboard, as a user would.
  ASSERT_TRUE(e2e::ForceForeground(frame));
  e2e::KeyChord({VK_MENU, 'F'});
  e2e::PumpFor(300);
  e2e::KeyPress('X');
  auto code = lumatre.WaitForExit(20000);
  if (!code) {  // the menu texts may differ: end it the direct way and still check the values
    ADD_FAILURE() << "File > Exit by keyboard did not end the program";
    Exit(lumatre, frame);
  }

  struct Text { const std::string* section; const char* name; std::string text; };
  const Text texts[] = {
      {&kLayout, "SizePage", "0, 0"},
      {&kLayout, "SizePrint", "0, 0"},
      {&kLayout, "Title", ""},
      {&kLayout, "Margins", "120, 120, 120, 120"},
      {&kHotkeys, "ActiveWindow", "0, 8236"},
      {&kHotkeys, "ActiveWindowClient", "1, 57411"},
      {&kHotkeys, "Control", "2, 41026"},
      {&kHotkeys, "Square", "3, 41043"},
      {&kHotkeys, "Rectangle", "4, 41042"},
      {&kHotkeys, "Circle", "5, 49219"},
      {&kHotkeys, "Ellipse", "6, 41029"},
      {&kHotkeys, "Polygon", "7, 41040"},
      {&kHotkeys, "PopupMenu", "8, 49229"},
      {&kHotkeys, "Desktop", "9, 41028"},
      {&kHotkeys, "SingleWindow", "10, 49235"},
      {&kHotkeys, "RepeatLast", "11, 49228"},
      {&kHotkeys, "Default", "12, 44"},
      {&kHotkeys, "ColorPicker", "13, 113"},
      {&kCapture, "JPEGDIP", "720, 720"},
      {&kCapture, "AutoSavePath", copy.OutputFolder()},
      {&kCapture, "AutoSaveLeadFileName", "Luma"},
  };
  for (const Text& t : texts) {
    EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, *t.section, t.name), REG_SZ) << t.name;
    EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, *t.section, t.name).value_or("<missing>"), t.text)
        << t.name;
  }
  for (const defaults::Number& n : defaults::kNumbers) {
    const std::string& section = n.section == defaults::Section::PrintLayout ? kLayout : kCapture;
    EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, section, n.name), REG_DWORD) << n.name;
    EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, section, n.name).value_or(0xDEADBEEF), n.value)
        << n.name;
  }
}

TEST_F(AppStartup, StoredValuesComeBackThroughTheHookLibrary) {
  // Hotkeys go into the hook library at start-up and are fetched from it at exit.
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, "ActiveWindow", "9, 8237"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, "Control", "45, 65"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kLayout, "Margins", "10, 20"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "OptionsA", "not a number"));
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "AutoSaveLeadFileName", 12));
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "CaptureDelayTime", 250));
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  e2e::PumpFor(500);
  Exit(lumatre, frame);
  auto text = [](const std::string& section, const char* name) {
    return e2e::ReadString(HKEY_CURRENT_USER, section, name).value_or("<missing>");
  };
  // "9, 8237" under ActiveWindow set the Desktop slot; "45, 65" set slot 9 (45 mod 36) later.
  EXPECT_EQ(text(kHotkeys, "ActiveWindow"), "0, 8236");
  EXPECT_EQ(text(kHotkeys, "Desktop"), "9, 65");
  EXPECT_EQ(text(kHotkeys, "Control"), "2, 41026");
  EXPECT_EQ(text(kLayout, "Margins"), "10, 20, 120, 120");
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, kCapture, "OptionsA"), REG_DWORD);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "OptionsA").value_or(0), 0x00681669u);
  EXPECT_EQ(text(kCapture, "AutoSaveLeadFileName"), "Luma");
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "CaptureDelayTime").value_or(0), 250u);
}

TEST_F(AppStartup, TheHotkeyTableLivesInTheHookLibraryWhileRunning) {
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, "ColorPicker", "13, 114"));
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  {
    // The copy's own library file: its shared table is the one the program uses.
    HMODULE hook = LoadLibraryA(e2e::JoinPath(copy.Folder(), "QuorvaHook.dll").c_str());
    ASSERT_NE(hook, nullptr);
    using TableFunction = int (*)(WORD*);
    auto get = reinterpret_cast<TableFunction>(GetProcAddress(hook, "TSY_GetCaptureHotKey"));
    auto set = reinterpret_cast<TableFunction>(GetProcAddress(hook, "TSY_SetCaptureHotKey"));
    ASSERT_TRUE(get && set);
    WORD table[36] = {};
    // Handed over by the deferred start-up message.
    EXPECT_TRUE(e2e::WaitUntil([&] { get(table); return table[13] == 114 && table[0] == 0x202C; }, 5000));
    // A change made in the library while the program runs (as the options dialog does) is what
    // the program saves at exit.
    table[4] = 0xE052;
    set(table);
    FreeLibrary(hook);
  }
  Exit(lumatre, frame);
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kHotkeys, "Rectangle").value_or(""), "4, 57426");
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kHotkeys, "ColorPicker").value_or(""), "13, 114");
}

TEST_F(AppStartup, ResetCounterOptionStartsNumberingAtOne) {
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "AutoSaveOptions", 0x2));
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "AutoSaveStartNO", 57));
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  Exit(lumatre, frame);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "AutoSaveStartNO").value_or(0), 1u);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "AutoSaveOptions").value_or(0), 2u);

  // Without the option the number is kept.
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "AutoSaveOptions", 0x5));
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "AutoSaveStartNO", 57));
  e2e::AppProcess again;
  frame = Start(again);
  ASSERT_TRUE(frame);
  Exit(again, frame);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "AutoSaveStartNO").value_or(0), 57u);
}

TEST_F(AppStartup, StartHiddenOption) {
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "OptionsA", 0x00681669 | 0x2));
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  e2e::PumpFor(1500);
  EXPECT_FALSE(IsWindowVisible(frame));
  EXPECT_TRUE(lumatre.IsRunning());
  Exit(lumatre, frame);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "OptionsA").value_or(0), 0x0068166Bu);
}

TEST_F(AppStartup, TitleBarCloseHidesAndExitEnds) {
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000));
  ASSERT_TRUE(e2e::ForceForeground(frame));
  e2e::KeyChord({VK_MENU, VK_F4});  // the system Close command
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) == FALSE; }, 5000));
  e2e::PumpFor(500);
  EXPECT_TRUE(lumatre.IsRunning());
  EXPECT_TRUE(IsWindow(frame));
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, kCapture, "OptionsA"), -1);  // not exited

  // The Close command sent another way (title-bar button, system menu) does the same.
  ShowWindow(frame, SW_RESTORE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 5000));
  PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) == FALSE; }, 5000));
  EXPECT_TRUE(lumatre.IsRunning());

  Exit(lumatre, frame);
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, kCapture, "OptionsA"), REG_DWORD);
}

TEST_F(AppStartup, SecondStartHandsOverToTheFirst) {
  e2e::AppProcess first;
  HWND frame = Start(first);
  ASSERT_TRUE(frame);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000));
  // The first instance sits in the tray.
  PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) == FALSE; }, 5000));

  e2e::AppProcess second;
  ASSERT_TRUE(second.Start(copy.ExePath())) << second.LastError();
  auto code = second.WaitForExit(20000);
  ASSERT_TRUE(code.has_value()) << "the second instance keeps running";
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, 5000));
  EXPECT_FALSE(IsIconic(frame));
  EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == frame; }, 5000));
  EXPECT_TRUE(first.IsRunning());
  // The second process never showed a window of its own.
  EXPECT_TRUE(second.TopLevelWindows(kFrameClass).empty());
  Exit(first, frame);
}

TEST_F(AppStartup, BadRegistryContentIsNoCrash) {
  // Sections given as values, overlong texts, garbage in pairs.
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kProfile, "Hotkey", "a value, not a key"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kLayout, "Title", std::string(5000, 't')));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "AutoSavePath",
                               "C:\\" + std::string(3000, 'p')));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "AutoSaveLeadFileName",
                               std::string(400, 'n')));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, "Square", ",,,-,+,x,\t\n"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, "Circle", "-2147483648, -1"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "JPEGDIP", "garbage"));
  const BYTE odd[3] = {1, 2, 3};
  ASSERT_TRUE(e2e::WriteRaw(HKEY_CURRENT_USER, kCapture, "OptionsA", REG_DWORD, odd, 3));
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  e2e::PumpFor(500);
  Exit(lumatre, frame);
  auto text = [](const std::string& section, const char* name) {
    return e2e::ReadString(HKEY_CURRENT_USER, section, name).value_or("<missing>");
  };
  EXPECT_EQ(text(kLayout, "Title"), std::string(255, 't'));
  EXPECT_EQ(text(kCapture, "AutoSavePath").size(), 259u);
  EXPECT_EQ(text(kCapture, "AutoSaveLeadFileName"), std::string(127, 'n'));
  EXPECT_EQ(text(kHotkeys, "Square"), "3, 41043");
  EXPECT_EQ(text(kHotkeys, "Circle"), "5, 49219");  // slot 16 took the code; Circle kept its own
  EXPECT_EQ(text(kCapture, "JPEGDIP"), "720, 720");
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "OptionsA").value_or(0), 0x00681669u);
  EXPECT_EQ(text(kProfile, "Hotkey"), "a value, not a key");
}

TEST_F(AppStartup, RecentFilesAreEmptiedAtExitOnlyWhenAsked) {
  const std::string recent = kProfile + "\\Recent File List";
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, recent, "File1", "C:\\pictures\\one.bmp"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, recent, "File2", "C:\\pictures\\two.png"));
  {
    e2e::AppProcess lumatre;
    HWND frame = Start(lumatre);
    ASSERT_TRUE(frame);
    Exit(lumatre, frame);
  }
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, recent, "File1").value_or(""), "C:\\pictures\\one.bmp");
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, recent, "File2").value_or(""), "C:\\pictures\\two.png");

  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "OptionsA", 0x00681669 | 0x40000));
  {
    e2e::AppProcess lumatre;
    HWND frame = Start(lumatre);
    ASSERT_TRUE(frame);
    Exit(lumatre, frame);
  }
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, recent, "File1"), -1);
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, recent, "File2"), -1);
}

TEST_F(AppStartup, NoStartWithoutTheHookLibrary) {
  ASSERT_TRUE(DeleteFileA(e2e::JoinPath(copy.Folder(), "QuorvaHook.dll").c_str()));
  e2e::AppProcess lumatre;
  // The system may refuse the start at once, or start the process and end it.
  if (lumatre.Start(copy.ExePath())) {
    auto code = lumatre.WaitForExit(20000);
    ASSERT_TRUE(code.has_value());
    EXPECT_NE(*code, 0u);
    EXPECT_TRUE(lumatre.TopLevelWindows(kFrameClass).empty());
  }
  EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, kProfile));
}

TEST_F(AppStartup, HelpWithoutAHelpFileIsNoCrash) {
  constexpr UINT kHelpFinder = 0xE143;  // ID_HELP_FINDER
  e2e::AppProcess lumatre;
  HWND frame = Start(lumatre);
  ASSERT_TRUE(frame);
  PostMessageA(frame, WM_COMMAND, kHelpFinder, 0);
  e2e::PumpFor(1000);
  EXPECT_TRUE(lumatre.IsRunning());
  Exit(lumatre, frame);
}

}  // namespace
