// The settings store against a private registry root: the first run, the exact layout written
// at exit, round trips, the read rules for every kind of value and bad input of every kind.
#include "DefaultSettingsValues.h"
#include "app/SettingsStore.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kProfile = "software\\Lumatre\\Lumatre";
const std::string kLayout = kProfile + "\\PrintLayout";
const std::string kHotkeys = kProfile + "\\Hotkey";
const std::string kCapture = kProfile + "\\CaptureOptions";

SettingsLocation At(const ScratchRegistry& user, HKEY machine = nullptr) {
  SettingsLocation location;
  location.userHive = user.hive();
  location.machineHive = machine ? machine : user.hive();
  return location;
}

std::string TestName() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

AppSettings Loaded(const ScratchRegistry& user) {
  AppSettings settings;
  LoadSettings(settings, At(user));
  return settings;
}

TEST(SettingsRecords, ConstructedValues) {
  AppSettings s;
  EXPECT_EQ(s.m_printLayout.pageSize.cx, 0);
  EXPECT_EQ(s.m_printLayout.printSize.cy, 0);
  EXPECT_EQ(s.m_printLayout.margins.left, 80);
  EXPECT_EQ(s.m_printLayout.margins.bottom, 80);
  EXPECT_EQ(s.m_printLayout.titleAlign, 4);
  EXPECT_EQ(s.m_printLayout.imageCenterFlags, 3);
  EXPECT_EQ(s.m_printLayout.printMode, 1);
  EXPECT_STREQ(s.m_printLayout.title, "");

  EXPECT_EQ(s.m_hotkeys.count, 14);
  const WORD codes[14] = {0x202C, 0xE043, 0xA042, 0xA053, 0xA052, 0xC043, 0xA045,
                          0xA050, 0xC04D, 0xA044, 0xC053, 0xC04C, 0x002C, 0x0071};
  for (int i = 0; i < kHotkeySlotCount; ++i) {
    EXPECT_EQ(s.m_hotkeys.hotkey[i], i < 14 ? codes[i] : 0) << i;
    EXPECT_EQ(s.m_hotkeys.registered[i], 0) << i;
  }

  const CaptureSettings& c = s.m_capture;
  EXPECT_EQ(c.optionsA, 0x00681669u);
  EXPECT_EQ(c.colorTransparency, 0x00C0C0C0u);
  EXPECT_EQ(c.colorViewBackground, RGB(0x66, 0x99, 0xCC));
  EXPECT_EQ(c.colorImageBackground, 0x00C0C0C0u);
  EXPECT_EQ(c.defaultCaptureAction, 9);
  EXPECT_EQ(c.captureDelayTime, 100);
  EXPECT_EQ(c.colorPickerOutputFormat, 0);
  EXPECT_EQ(c.sendMailImageType, 1);
  EXPECT_EQ(c.repeatLastMode, 0);
  EXPECT_EQ(c.autoSave.imageType, 0);
  EXPECT_STREQ(c.autoSave.leadFileName, "Luma");
  EXPECT_EQ(c.autoSave.digitCount, 5);
  EXPECT_EQ(c.autoSave.nextNumber, 1u);
  EXPECT_EQ(c.autoSave.options, 5u);
  for (const JpegSaveSettings* j : {&c.jpeg, static_cast<const JpegSaveSettings*>(&s.m_currentJpeg)}) {
    EXPECT_EQ(j->optimizeCoding, 0);
    EXPECT_EQ(j->quality, 95);
    EXPECT_EQ(j->smoothingFactor, 0);
    EXPECT_EQ(j->dpiX, 720);
    EXPECT_EQ(j->dpiY, 720);
  }
}

TEST(SettingsRecords, ModeNamesExtensionsAndReset) {
  const char* names[14] = {"ActiveWindow", "ActiveWindowClient", "Control",   "Square",
                           "Rectangle",    "Circle",             "Ellipse",   "Polygon",
                           "PopupMenu",    "Desktop",            "SingleWindow", "RepeatLast",
                           "Default",      "ColorPicker"};
  for (int i = 0; i < 14; ++i) EXPECT_STREQ(CaptureModeName(i), names[i]);
  EXPECT_EQ(CaptureModeName(14), nullptr);
  EXPECT_EQ(CaptureModeName(-1), nullptr);
  EXPECT_STREQ(ImageTypeExtension(0), ".BMP");
  EXPECT_STREQ(ImageTypeExtension(1), ".JPG");
  EXPECT_STREQ(ImageTypeExtension(2), ".PNG");
  EXPECT_STREQ(ImageTypeExtension(3), ".GIF");
  EXPECT_STREQ(ImageTypeExtension(4), ".TIF");
  EXPECT_STREQ(ImageTypeExtension(5), "");
  EXPECT_STREQ(ImageTypeExtension(-1), "");

  HotkeyTable table;
  table.count = 3;
  table.registered[4] = 1;
  table.hotkey[0] = 0;
  table.hotkey[30] = 0x1234;
  table.Reset();
  EXPECT_EQ(table.count, 14);
  EXPECT_EQ(table.registered[4], 0);
  EXPECT_EQ(table.hotkey[0], 0x202C);
  EXPECT_EQ(table.hotkey[30], 0);
}

TEST(SettingsStore, FirstRunCreatesTheKeyPathAndEmptySections) {
  ScratchRegistry reg(TestName());
  AppSettings settings = Loaded(reg);
  for (const std::string& section : {kLayout, kHotkeys, kCapture}) {
    EXPECT_TRUE(reg.KeyExists(section)) << section;
    EXPECT_EQ(reg.ValueCount(section), 0) << section;
  }
  AppSettings constructed;
  EXPECT_EQ(settings.m_printLayout.margins.left, 120);
  EXPECT_EQ(settings.m_printLayout.margins.top, 120);
  EXPECT_EQ(settings.m_printLayout.margins.right, 120);
  EXPECT_EQ(settings.m_printLayout.margins.bottom, 120);
  EXPECT_EQ(std::memcmp(settings.m_hotkeys.hotkey, constructed.m_hotkeys.hotkey, 72), 0);
  EXPECT_EQ(settings.m_capture.optionsA, constructed.m_capture.optionsA);
  // No "JPEGDIP" stored: the resolutions stay 720 (both copies).
  EXPECT_EQ(settings.m_capture.jpeg.dpiX, 720);
  EXPECT_EQ(settings.m_capture.jpeg.dpiY, 720);
  EXPECT_EQ(settings.m_currentJpeg.dpiX, 720);
  EXPECT_STREQ(settings.m_programPath, "");  // no "InstallPath"
}

TEST(SettingsStore, ExitWritesEveryValueWithItsNameTypeAndText) {
  ScratchRegistry reg(TestName());
  AppSettings settings = Loaded(reg);
  CopyText(settings.m_capture.autoSave.directory, "C:\\Lumatre\\Output");
  SaveSettings(settings, At(reg));

  struct Text { const std::string* section; const char* name; const char* text; };
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
      {&kCapture, "AutoSavePath", "C:\\Lumatre\\Output"},
      {&kCapture, "AutoSaveLeadFileName", "Luma"},
  };
  for (const Text& t : texts) {
    EXPECT_EQ(reg.ValueType(*t.section, t.name), REG_SZ) << t.name;
    EXPECT_EQ(reg.GetString(*t.section, t.name), t.text) << t.name;
  }
  for (const defaults::Number& n : defaults::kNumbers) {
    const std::string& section = n.section == defaults::Section::PrintLayout ? kLayout : kCapture;
    EXPECT_EQ(reg.ValueType(section, n.name), REG_DWORD) << n.name;
    EXPECT_EQ(reg.GetDword(section, n.name), n.value) << n.name;
  }
  EXPECT_EQ(reg.ValueCount(kLayout), 7);
  EXPECT_EQ(reg.ValueCount(kHotkeys), 14);
  EXPECT_EQ(reg.ValueCount(kCapture), 19);
  // Nothing goes to the profile key itself, and "InstallPath" is never written.
  EXPECT_EQ(reg.ValueCount(kProfile), 0);
}

TEST(SettingsStore, EveryFieldRoundTrips) {
  ScratchRegistry reg(TestName());
  AppSettings out;
  PrintLayoutSettings& l = out.m_printLayout;
  l.pageSize = SIZE{2100, 2970};
  l.printSize = SIZE{-5, 1000};
  l.margins = RECT{1, 2, 3, 4};
  l.titleAlign = 0xFFFF;
  l.imageCenterFlags = 1;
  l.printMode = 3;
  CopyText(l.title, "A title, with commas\tand tabs");
  for (int i = 0; i < 14; ++i) out.m_hotkeys.hotkey[i] = static_cast<WORD>(0x8000 + 'A' + i);
  CaptureSettings& c = out.m_capture;
  c.optionsA = 0xFFFFFFFF;
  c.colorTransparency = 0x00123456;
  c.colorViewBackground = 0;
  c.colorImageBackground = 0x00FFFFFF;
  c.defaultCaptureAction = 4;
  c.captureDelayTime = 15000;
  c.colorPickerOutputFormat = 8;
  c.sendMailImageType = 4;
  c.repeatLastMode = 2;
  c.autoSave.imageType = 2;
  CopyText(c.autoSave.directory, "D:\\shots");
  CopyText(c.autoSave.leadFileName, "shot_");
  c.autoSave.digitCount = 6;
  c.autoSave.nextNumber = 999999;
  c.autoSave.options = 7;
  c.jpeg = JpegSaveSettings{1, 50, 20, 300, 0};
  SaveSettings(out, At(reg));

  AppSettings in = Loaded(reg);
  EXPECT_EQ(in.m_printLayout.pageSize.cx, 2100);
  EXPECT_EQ(in.m_printLayout.pageSize.cy, 2970);
  EXPECT_EQ(in.m_printLayout.printSize.cx, -5);
  EXPECT_EQ(in.m_printLayout.printSize.cy, 1000);
  EXPECT_EQ(in.m_printLayout.margins.left, 1);
  EXPECT_EQ(in.m_printLayout.margins.top, 2);
  EXPECT_EQ(in.m_printLayout.margins.right, 3);
  EXPECT_EQ(in.m_printLayout.margins.bottom, 4);
  EXPECT_EQ(in.m_printLayout.titleAlign, 0xFFFF);
  EXPECT_EQ(in.m_printLayout.imageCenterFlags, 1);
  EXPECT_EQ(in.m_printLayout.printMode, 3);
  EXPECT_STREQ(in.m_printLayout.title, "A title, with commas\tand tabs");
  EXPECT_EQ(std::memcmp(in.m_hotkeys.hotkey, out.m_hotkeys.hotkey, 72), 0);
  EXPECT_EQ(in.m_capture.optionsA, 0xFFFFFFFFu);
  EXPECT_EQ(in.m_capture.colorTransparency, 0x00123456u);
  EXPECT_EQ(in.m_capture.colorViewBackground, 0u);
  EXPECT_EQ(in.m_capture.colorImageBackground, 0x00FFFFFFu);
  EXPECT_EQ(in.m_capture.defaultCaptureAction, 4);
  EXPECT_EQ(in.m_capture.captureDelayTime, 15000);
  EXPECT_EQ(in.m_capture.colorPickerOutputFormat, 8);
  EXPECT_EQ(in.m_capture.sendMailImageType, 4);
  EXPECT_EQ(in.m_capture.repeatLastMode, 2);
  EXPECT_EQ(in.m_capture.autoSave.imageType, 2);
  EXPECT_STREQ(in.m_capture.autoSave.directory, "D:\\shots");
  EXPECT_STREQ(in.m_capture.autoSave.leadFileName, "shot_");
  EXPECT_EQ(in.m_capture.autoSave.digitCount, 6);
  EXPECT_EQ(in.m_capture.autoSave.nextNumber, 999999u);
  EXPECT_EQ(in.m_capture.autoSave.options, 7u);
  for (const JpegSaveSettings* j : {&in.m_capture.jpeg, &in.m_currentJpeg}) {
    EXPECT_EQ(j->optimizeCoding, 1);
    EXPECT_EQ(j->quality, 50);
    EXPECT_EQ(j->smoothingFactor, 20);
    EXPECT_EQ(j->dpiX, 300);
    EXPECT_EQ(j->dpiY, 0);  // a stored 0 is a value like any other
  }
}

TEST(SettingsStore, SavedJpegValuesAreTheStoredCopy) {
  ScratchRegistry reg(TestName());
  AppSettings settings;
  settings.m_currentJpeg.quality = 10;  // changed by a Save As dialog: not a setting
  SaveSettings(settings, At(reg));
  EXPECT_EQ(reg.GetDword(kCapture, "JPEGQuality"), 95u);
}

TEST(SettingsStore, ValuesOfTheWrongTypeKeepTheirFields) {
  ScratchRegistry reg(TestName());
  reg.SetString(kCapture, "OptionsA", "0");
  reg.SetString(kCapture, "CaptureDelayTime", "5");
  DWORD two = 2;
  reg.SetRaw(kCapture, "DefaultCaptureAction", REG_BINARY, &two, 4);
  reg.SetRaw(kCapture, "JPEGQuality", REG_DWORD, &two, 2);  // a DWORD of two bytes
  reg.SetRaw(kCapture, "ColorTransparency", REG_QWORD, "\1\0\0\0\0\0\0\0", 8);
  reg.SetDword(kCapture, "AutoSavePath", 7);
  reg.SetRaw(kCapture, "AutoSaveLeadFileName", REG_EXPAND_SZ, "x%TEMP%", 8);
  reg.SetDword(kLayout, "Title", 1);
  reg.SetDword(kLayout, "Margins", 10);
  reg.SetDword(kLayout, "SizePage", 10);
  reg.SetDword(kHotkeys, "ActiveWindow", 9);
  reg.SetDword(kCapture, "JPEGDIP", 1);
  reg.SetRaw(kLayout, "SizePrint", REG_MULTI_SZ, "1\0002\0\0", 6);
  AppSettings s = Loaded(reg);
  AppSettings constructed;
  EXPECT_EQ(s.m_capture.optionsA, constructed.m_capture.optionsA);
  EXPECT_EQ(s.m_capture.captureDelayTime, 100);
  EXPECT_EQ(s.m_capture.defaultCaptureAction, 9);
  EXPECT_EQ(s.m_capture.jpeg.quality, 95);
  EXPECT_EQ(s.m_capture.colorTransparency, 0x00C0C0C0u);
  EXPECT_STREQ(s.m_capture.autoSave.directory, "");
  EXPECT_STREQ(s.m_capture.autoSave.leadFileName, "Luma");
  EXPECT_STREQ(s.m_printLayout.title, "");
  EXPECT_EQ(s.m_printLayout.margins.left, 120);
  EXPECT_EQ(s.m_printLayout.margins.bottom, 120);
  EXPECT_EQ(s.m_printLayout.pageSize.cx, 0);
  EXPECT_EQ(s.m_printLayout.printSize.cx, 0);
  EXPECT_EQ(s.m_hotkeys.hotkey[0], 0x202C);
  EXPECT_EQ(s.m_capture.jpeg.dpiX, 720);
  EXPECT_EQ(s.m_capture.jpeg.dpiY, 720);
}

TEST(SettingsStore, SixteenBitValuesTakeTheLowBits) {
  ScratchRegistry reg(TestName());
  reg.SetDword(kCapture, "CaptureDelayTime", 0x12345678);
  reg.SetDword(kLayout, "TitleAlign", 0xFFFF0001);
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_capture.captureDelayTime, 0x5678);
  EXPECT_EQ(s.m_printLayout.titleAlign, 1);
}

TEST(SettingsStore, AHotkeyValueSelectsItsSlotByItsFirstNumber) {
  ScratchRegistry reg(TestName());
  reg.SetString(kHotkeys, "ActiveWindow", "9, 8237");
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_hotkeys.hotkey[9], 8237);    // Desktop's slot, not ActiveWindow's
  EXPECT_EQ(s.m_hotkeys.hotkey[0], 0x202C);  // ActiveWindow keeps its default
}

TEST(SettingsStore, HotkeySlotsAreTakenModulo36) {
  ScratchRegistry reg(TestName());
  reg.SetString(kHotkeys, "Control", "45, 65");
  reg.SetString(kHotkeys, "Square", "-1, 66");   // never a slot before the table
  reg.SetString(kHotkeys, "Circle", "20, 67");   // a slot past the 14 modes
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_hotkeys.hotkey[9], 65);
  EXPECT_EQ(s.m_hotkeys.hotkey[35], 66);
  EXPECT_EQ(s.m_hotkeys.hotkey[20], 67);
  EXPECT_EQ(s.m_hotkeys.hotkey[2], 0xA042);
  EXPECT_EQ(HotkeySlotOf(36), 0);
  EXPECT_EQ(HotkeySlotOf(-36), 0);
  EXPECT_EQ(HotkeySlotOf(-37), 35);
  EXPECT_EQ(HotkeySlotOf(static_cast<LONG>(0x80000000u)), 16);  // -2147483648 = -59652324 * 36 + 16
}

TEST(SettingsStore, LaterHotkeysOverrideEarlierOnesForTheSameSlot) {
  // The load order is ActiveWindow, ActiveWindowClient, Desktop, ...: a value of "Desktop"
  // comes after one of "ActiveWindow" aimed at the Desktop slot.
  ScratchRegistry reg(TestName());
  reg.SetString(kHotkeys, "ActiveWindow", "9, 1000");
  reg.SetString(kHotkeys, "Desktop", "9, 2000");
  reg.SetString(kHotkeys, "Polygon", "3, 3000");     // read after "Square"
  reg.SetString(kHotkeys, "Square", "3, 4000");
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_hotkeys.hotkey[9], 2000);
  EXPECT_EQ(s.m_hotkeys.hotkey[3], 3000);
}

TEST(SettingsStore, GarbageInHotkeyPairsKeepsTheTable) {
  ScratchRegistry reg(TestName());
  reg.SetString(kHotkeys, "ActiveWindow", "garbage");
  reg.SetString(kHotkeys, "ActiveWindowClient", "");
  reg.SetString(kHotkeys, "Control", ",,,  \t\n");
  reg.SetString(kHotkeys, "Square", "x, 77");           // slot stays the mode's own
  reg.SetString(kHotkeys, "Rectangle", "99999999999, 78");  // out of range: own slot
  reg.SetString(kHotkeys, "Ellipse", "6, 12abc");       // not a number: code unchanged
  reg.SetString(kHotkeys, "Polygon", "7, 70000");       // cut to 16 bits
  AppSettings s = Loaded(reg);
  AppSettings constructed;
  EXPECT_EQ(s.m_hotkeys.hotkey[0], constructed.m_hotkeys.hotkey[0]);
  EXPECT_EQ(s.m_hotkeys.hotkey[1], constructed.m_hotkeys.hotkey[1]);
  EXPECT_EQ(s.m_hotkeys.hotkey[2], constructed.m_hotkeys.hotkey[2]);
  EXPECT_EQ(s.m_hotkeys.hotkey[3], 77);
  EXPECT_EQ(s.m_hotkeys.hotkey[4], 78);
  EXPECT_EQ(s.m_hotkeys.hotkey[6], constructed.m_hotkeys.hotkey[6]);
  EXPECT_EQ(s.m_hotkeys.hotkey[7], 70000 & 0xFFFF);
}

TEST(SettingsStore, MarginsGivenInPartAreCompletedWith120) {
  struct Case { const char* text; LONG l, t, r, b; };
  const Case cases[] = {
      {"10, 20", 10, 20, 120, 120},
      {"10 20 30 40 50 60", 10, 20, 30, 40},
      {"", 120, 120, 120, 120},
      {"x, 5", 120, 5, 120, 120},
      {"-3,\t4\n5", -3, 4, 5, 120},
  };
  for (const Case& c : cases) {
    ScratchRegistry reg(TestName());
    reg.SetString(kLayout, "Margins", c.text);
    AppSettings s = Loaded(reg);
    EXPECT_EQ(s.m_printLayout.margins.left, c.l) << c.text;
    EXPECT_EQ(s.m_printLayout.margins.top, c.t) << c.text;
    EXPECT_EQ(s.m_printLayout.margins.right, c.r) << c.text;
    EXPECT_EQ(s.m_printLayout.margins.bottom, c.b) << c.text;
  }
}

TEST(SettingsStore, JpegResolutionPair) {
  struct Case { const char* text; WORD x, y; };
  const Case cases[] = {
      {nullptr, 720, 720},   // missing: the constructed values stay
      {"0, 0", 0, 0},
      {"300", 300, 720},
      {"-5, 150", 720, 150},
      {"abc, def", 720, 720},
      {"96, 96, 96", 96, 96},
  };
  for (const Case& c : cases) {
    ScratchRegistry reg(TestName());
    if (c.text) reg.SetString(kCapture, "JPEGDIP", c.text);
    AppSettings s = Loaded(reg);
    const char* label = c.text ? c.text : "(missing)";
    EXPECT_EQ(s.m_capture.jpeg.dpiX, c.x) << label;
    EXPECT_EQ(s.m_capture.jpeg.dpiY, c.y) << label;
    EXPECT_EQ(s.m_currentJpeg.dpiX, c.x) << label;
    EXPECT_EQ(s.m_currentJpeg.dpiY, c.y) << label;
  }
}

TEST(SettingsStore, SizesArePairsThatKeepMissingNumbers) {
  ScratchRegistry reg(TestName());
  reg.SetString(kLayout, "SizePage", "2100");
  reg.SetString(kLayout, "SizePrint", "  1500 ,\t-20\r\n");
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_printLayout.pageSize.cx, 2100);
  EXPECT_EQ(s.m_printLayout.pageSize.cy, 0);
  EXPECT_EQ(s.m_printLayout.printSize.cx, 1500);
  EXPECT_EQ(s.m_printLayout.printSize.cy, -20);
}

TEST(SettingsStore, OverlongTextsAreCutToTheirBuffers) {
  ScratchRegistry reg(TestName());
  reg.SetString(kLayout, "Title", std::string(1000, 'T'));
  reg.SetString(kCapture, "AutoSavePath", "C:\\" + std::string(600, 'p'));
  reg.SetString(kCapture, "AutoSaveLeadFileName", std::string(5000, 'n'));
  reg.SetString(kLayout, "Margins", "1, 2, 3, 4" + std::string(100000, ' ') + "5");
  AppSettings s = Loaded(reg);
  EXPECT_EQ(std::strlen(s.m_printLayout.title), 255u);
  EXPECT_EQ(std::strlen(s.m_capture.autoSave.directory), 259u);
  EXPECT_EQ(std::string(s.m_capture.autoSave.directory, 3), "C:\\");
  EXPECT_EQ(std::strlen(s.m_capture.autoSave.leadFileName), 127u);
  EXPECT_EQ(s.m_printLayout.margins.bottom, 4);
  // Written back, the cut texts stay whole and terminated.
  SaveSettings(s, At(reg));
  EXPECT_EQ(reg.GetString(kLayout, "Title"), std::string(255, 'T'));
  EXPECT_EQ(reg.GetString(kCapture, "AutoSaveLeadFileName"), std::string(127, 'n'));
}

TEST(SettingsStore, TextsWithoutTerminatorAreRead) {
  ScratchRegistry reg(TestName());
  reg.SetRaw(kLayout, "Title", REG_SZ, "abc", 3);
  reg.SetRaw(kCapture, "AutoSaveLeadFileName", REG_SZ, "pre\0fix", 7);
  AppSettings s = Loaded(reg);
  EXPECT_STREQ(s.m_printLayout.title, "abc");
  EXPECT_STREQ(s.m_capture.autoSave.leadFileName, "pre");
}

TEST(SettingsStore, EmptyPathAndLeadNameKeepTheirValues) {
  ScratchRegistry reg(TestName());
  reg.SetString(kCapture, "AutoSavePath", "");
  reg.SetString(kCapture, "AutoSaveLeadFileName", "");
  reg.SetString(kLayout, "Title", "");
  AppSettings s;
  CopyText(s.m_capture.autoSave.directory, "C:\\Out");
  CopyText(s.m_printLayout.title, "old");
  LoadSettings(s, At(reg));
  EXPECT_STREQ(s.m_capture.autoSave.directory, "C:\\Out");
  EXPECT_STREQ(s.m_capture.autoSave.leadFileName, "Luma");
  EXPECT_STREQ(s.m_printLayout.title, "");  // a title is taken as it is, even empty
}

TEST(SettingsStore, UnterminatedBuffersAreWrittenCut) {
  ScratchRegistry reg(TestName());
  AppSettings s;
  std::memset(s.m_printLayout.title, 'A', sizeof s.m_printLayout.title);
  std::memset(s.m_capture.autoSave.leadFileName, 'B', sizeof s.m_capture.autoSave.leadFileName);
  SaveSettings(s, At(reg));
  EXPECT_EQ(reg.GetString(kLayout, "Title"), std::string(255, 'A'));
  EXPECT_EQ(reg.GetString(kCapture, "AutoSaveLeadFileName"), std::string(127, 'B'));
}

TEST(SettingsStore, SectionNamesTakenByValuesStillWork) {
  // A value named like a section sits beside the section key: values and keys do not clash.
  ScratchRegistry reg(TestName());
  reg.SetString(kProfile, "Hotkey", "not a key");
  reg.SetDword(kProfile, "CaptureOptions", 5);
  reg.SetString("software\\Lumatre", "Lumatre", "not a key either");
  AppSettings s = Loaded(reg);
  EXPECT_TRUE(reg.KeyExists(kHotkeys));
  EXPECT_TRUE(reg.KeyExists(kCapture));
  s.m_capture.captureDelayTime = 250;
  SaveSettings(s, At(reg));
  AppSettings again = Loaded(reg);
  EXPECT_EQ(again.m_capture.captureDelayTime, 250);
  EXPECT_EQ(reg.GetString(kProfile, "Hotkey"), "not a key");
}

TEST(SettingsStore, NoSoftwareKeyMeansNothingIsReadOrWritten) {
  ScratchRegistry reg(TestName(), /*withSoftware=*/false);
  AppSettings s = Loaded(reg);
  EXPECT_EQ(s.m_printLayout.margins.left, 120);
  EXPECT_EQ(s.m_capture.optionsA, kDefaultOptionsA);
  SaveSettings(s, At(reg));
  EXPECT_FALSE(reg.KeyExists("software"));
}

TEST(SettingsStore, InstallPathReplacesTheProgramPath) {
  ScratchRegistry user(TestName());
  ScratchRegistry machine(TestName() + "Machine");
  SettingsLocation location = At(user, machine.hive());

  AppSettings s;
  CopyText(s.m_programPath, "C:\\Here\\Lumatre.exe");
  LoadSettings(s, location);  // nothing stored: unchanged, and nothing created
  EXPECT_STREQ(s.m_programPath, "C:\\Here\\Lumatre.exe");
  EXPECT_FALSE(machine.KeyExists(kProfile));

  machine.SetString(kProfile, "InstallPath", "");
  LoadSettings(s, location);
  EXPECT_STREQ(s.m_programPath, "C:\\Here\\Lumatre.exe");

  machine.SetString(kProfile, "InstallPath", "D:\\Other\\Lumatre.exe");
  LoadSettings(s, location);
  EXPECT_STREQ(s.m_programPath, "D:\\Other\\Lumatre.exe");

  machine.SetString(kProfile, "InstallPath", std::string(400, 'x'));
  LoadSettings(s, location);
  EXPECT_EQ(std::strlen(s.m_programPath), 259u);

  SaveSettings(s, location);
  EXPECT_EQ(user.ValueType(kProfile, "InstallPath"), -1);
}

TEST(SettingsStore, StartupResetOfTheAutoSaveCounter) {
  AutoSaveSettings a;
  a.nextNumber = 77;
  a.options = kAutoSaveReplaceExisting;
  ApplyStartupAutoSaveReset(a);
  EXPECT_EQ(a.nextNumber, 77u);
  a.options = kAutoSaveResetAtStart;
  ApplyStartupAutoSaveReset(a);
  EXPECT_EQ(a.nextNumber, 1u);
}

}  // namespace
