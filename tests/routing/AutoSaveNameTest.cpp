// Automatic names of saved captures: digits, the counter's wrap and limit, the existing-file
// question and the missing folder, first against a scripted file system, then against real
// folders with the program's own message texts.
#include <gtest/gtest.h>

#include <map>

#include "FrameworkTestSupport.h"
#include "capture/CaptureOutputs.h"
#include "resources/resource.h"

namespace {

class FakeEnvironment : public IAutoSaveEnvironment {
 public:
  AutoSaveLookup Lookup(const std::string& path) override {
    lookups.push_back(path);
    auto it = files.find(path);
    return it == files.end() ? AutoSaveLookup::kFree : it->second;
  }
  void ShowLimitReached() override { ++limitShown; }
  int AskReplaceExisting(const std::string& path) override {
    asked.push_back(path);
    return answer;
  }
  void ShowDirectoryMissing(const std::string& directory) override { missing.push_back(directory); }

  std::map<std::string, AutoSaveLookup> files;
  std::vector<std::string> lookups, asked, missing;
  int limitShown = 0;
  int answer = IDYES;
};

AutoSaveSettings Settings(const char* directory, WORD digits, DWORD next, DWORD options) {
  AutoSaveSettings s;
  CopyText(s.directory, directory);
  s.digitCount = digits;
  s.nextNumber = next;
  s.options = options;
  return s;
}

TEST(AutoSaveName, DefaultsGiveFiveDigitsAndAdvance) {
  AutoSaveSettings s = Settings("C:\\out", 5, 1, kAutoSaveReplaceExisting | kAutoSaveWrapCounter);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "C:\\out\\Luma00001.BMP");
  EXPECT_EQ(s.nextNumber, 2u);
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "C:\\out\\Luma00002.BMP");
  EXPECT_EQ(s.nextNumber, 3u);
}

TEST(AutoSaveName, WrapAtTheLimitStartsAgainAtOne) {
  AutoSaveSettings s = Settings("D:\\x", 5, 99999, kAutoSaveWrapCounter);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma99999.BMP");
  EXPECT_EQ(s.nextNumber, 1u);
  EXPECT_EQ(env.limitShown, 0);
}

TEST(AutoSaveName, SixDigitsAndTheImageTypesExtension) {
  AutoSaveSettings s = Settings("D:\\x", 6, 1, kAutoSaveWrapCounter);
  s.imageType = kImagePng;
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma000001.PNG");
  s.imageType = kImageJpeg;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma000002.JPG");
  s.imageType = 77;  // an odd registry value still saves, as a bitmap
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma000003.BMP");
}

TEST(AutoSaveName, ThreeDigitNumberFitsThreeDigitsButNotTwoWithoutWrap) {
  AutoSaveSettings s = Settings("D:\\x", 3, 123, 0);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma123.BMP");
  EXPECT_EQ(s.nextNumber, 124u);

  s = Settings("D:\\x", 2, 123, 0);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  EXPECT_EQ(env.limitShown, 1);
  EXPECT_EQ(s.nextNumber, 123u);
  EXPECT_TRUE(env.lookups.size() == 1u);  // no lookup for the refused one
}

TEST(AutoSaveName, NumberAboveTheLimitWithWrapUsesTheLargestName) {
  AutoSaveSettings s = Settings("D:\\x", 2, 123, kAutoSaveWrapCounter);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma99.BMP");
  EXPECT_EQ(s.nextNumber, 24u);  // 124 modulo 100
}

TEST(AutoSaveName, LastNumberWithoutWrapIsStillSavedThenRefused) {
  AutoSaveSettings s = Settings("D:\\x", 2, 99, 0);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "D:\\x\\Luma99.BMP");
  EXPECT_EQ(s.nextNumber, 100u);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  EXPECT_EQ(env.limitShown, 1);
}

TEST(AutoSaveName, DigitCountOutsideTwoToSixIsHeldInside) {
  AutoSaveSettings s = Settings("D:\\x", 0, 7, kAutoSaveWrapCounter);
  EXPECT_EQ(AutoSaveFileName(s, 7), "Luma07.BMP");
  s.digitCount = 40;
  EXPECT_EQ(AutoSaveFileName(s, 7), "Luma000007.BMP");
}

TEST(AutoSaveName, ExistingFileAsksUnlessReplacingIsOn) {
  const std::string path = "D:\\x\\Luma00004.BMP";
  FakeEnvironment env;
  env.files[path] = AutoSaveLookup::kExists;

  AutoSaveSettings s = Settings("D:\\x", 5, 4, kAutoSaveReplaceExisting);
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), path);  // replaced without a question
  EXPECT_TRUE(env.asked.empty());

  for (int answer : {IDNO, IDCANCEL}) {
    s = Settings("D:\\x", 5, 4, 0);
    env.answer = answer;
    EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
    EXPECT_EQ(s.nextNumber, 4u);  // not advanced
  }
  s = Settings("D:\\x", 5, 4, 0);
  env.answer = IDYES;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), path);
  EXPECT_EQ(s.nextNumber, 5u);
  EXPECT_EQ(env.asked.size(), 3u);
  EXPECT_EQ(env.asked[0], path);
}

TEST(AutoSaveName, MissingFolderIsReportedAndNothingAdvances) {
  FakeEnvironment env;
  env.files["E:\\gone\\Luma00001.BMP"] = AutoSaveLookup::kDirectoryMissing;
  AutoSaveSettings s = Settings("E:\\gone", 5, 1, kAutoSaveReplaceExisting | kAutoSaveWrapCounter);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  ASSERT_EQ(env.missing.size(), 1u);
  EXPECT_EQ(env.missing[0], "E:\\gone");
  EXPECT_EQ(s.nextNumber, 1u);
}

TEST(AutoSaveName, FolderWithATrailingBackslashGetsNoSecondOne) {
  AutoSaveSettings s = Settings("C:\\", 5, 1, kAutoSaveWrapCounter);
  FakeEnvironment env;
  EXPECT_EQ(MakeAutoSaveName(s, env).value_or(""), "C:\\Luma00001.BMP");
}

TEST(CaptureRouting, WhichOutputsOpenAnImageWindow) {
  EXPECT_TRUE(CaptureOpensImageWindow(0));                                        // no output at all
  EXPECT_FALSE(CaptureOpensImageWindow(kOptOutputClipboard));                     // clipboard only
  EXPECT_TRUE(CaptureOpensImageWindow(kOptOutputClipboard | kOptOutputWindow));
  EXPECT_TRUE(CaptureOpensImageWindow(kOptOutputClipboard | kOptOutputFile));
  EXPECT_TRUE(CaptureOpensImageWindow(kOptOutputPrinter));
  EXPECT_FALSE(CaptureOpensImageWindow(kOptOutputClipboard | kOptPlaySound | kOptAutoName));
  EXPECT_TRUE(CaptureOpensImageWindow(kDefaultOptionsA));
}

// --- The real file system and the program's message texts ---

class RealFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    folder = std::string(base) + "lumatre-names-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"Luma00001.BMP", "Luma00002.BMP", "luma00003.bmp"})
      ::DeleteFileA((folder + "\\" + name).c_str());
    ::RemoveDirectoryA((folder + "\\Luma00004.BMP").c_str());
    ::RemoveDirectoryA(folder.c_str());
  }
  void Touch(const std::string& name) {
    HANDLE h = ::CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
  }
  std::string folder;
  CAutoSaveEnvironment env;
  MessageBoxRecorder boxes{IDNO};
};

TEST_F(RealFolder, LookupTellsFilesFoldersAndMissingDirectories) {
  EXPECT_EQ(env.Lookup(folder + "\\Luma00001.BMP"), AutoSaveLookup::kFree);
  Touch("luma00003.bmp");
  EXPECT_EQ(env.Lookup(folder + "\\Luma00003.BMP"), AutoSaveLookup::kExists);  // case does not matter
  ::CreateDirectoryA((folder + "\\Luma00004.BMP").c_str(), nullptr);
  EXPECT_EQ(env.Lookup(folder + "\\Luma00004.BMP"), AutoSaveLookup::kFree);  // a folder: the save reports it
  EXPECT_EQ(env.Lookup(folder + "\\missing\\Luma00001.BMP"), AutoSaveLookup::kDirectoryMissing);
  EXPECT_EQ(env.Lookup("Q:\\surely\\not\\there\\Luma00001.BMP"), AutoSaveLookup::kDirectoryMissing);
}

TEST_F(RealFolder, MessagesUseTheProgramsTexts) {
  Touch("Luma00001.BMP");
  AutoSaveSettings s = Settings(folder.c_str(), 5, 1, 0);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            "File " + folder + "\\Luma00001.BMP has always existed. Would you like replace it?");
  EXPECT_EQ(boxes.boxes()[0].type & 0xF, static_cast<UINT>(MB_YESNOCANCEL));
  EXPECT_EQ(boxes.boxes()[0].type & 0xF0, static_cast<UINT>(MB_ICONQUESTION));

  boxes.clear();
  s = Settings((folder + "\\missing").c_str(), 5, 1, kAutoSaveReplaceExisting);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "The Directory of " + folder +
                                       "\\missing doesn't exist. Please choose correct directory from Options menu item.");

  boxes.clear();
  s = Settings(folder.c_str(), 2, 100, 0);
  EXPECT_FALSE(MakeAutoSaveName(s, env).has_value());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "The start number of file name reach maxium value!");
}

}  // namespace
