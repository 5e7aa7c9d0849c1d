// Send Mail of the real program with the stand-in mail library beside it: what is attached in
// each of the five "SendMailImageType" types, a saved unmodified file attached as it is, the
// answers of the mail system, and no temporary file left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "CaptureSession.h"
#include "E2EDriver.h"
#include "HeapBitmap.h"
#include "decode/AutoDecoder.h"

namespace {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;
using capture_e2e::kCmdPasteAsNewImage;

constexpr DWORD kDefaultOptions = 0x00681669;
constexpr UINT kCmdSendMail = 0xE10C;
constexpr UINT kCmdRecentFile1 = 0xE110;
constexpr UINT kCmdSave = 0xE103;

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The value of "key=" in a log line, up to the next space (paths here have none).
std::string Field(const std::string& line, const std::string& key) {
  size_t at = line.find(" " + key + "=");
  if (at == std::string::npos) return {};
  at += key.size() + 2;
  return line.substr(at, line.find(' ', at) - at);
}

std::vector<std::string> TemporaryMailFiles() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  return e2e::ListFiles(temp, "TSY*.tmp");
}

class MailDocument : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    SetOptions(kDefaultOptions);
    const std::string fake = e2e::JoinPath(e2e::ExecutableFolder(), "mapi\\MAPI32.DLL");
    ASSERT_TRUE(::CopyFileA(fake.c_str(), e2e::JoinPath(m_copy.Folder(), "MAPI32.DLL").c_str(), FALSE));
    m_log = e2e::JoinPath(m_copy.Folder(), "mapi.log");
    ::SetEnvironmentVariableA("LUMATRE_FAKE_MAPI_LOG", m_log.c_str());
    m_leftoversBefore = TemporaryMailFiles();
  }
  void TearDown() override {
    CaptureSession::TearDown();
    ::SetEnvironmentVariableA("LUMATRE_FAKE_MAPI_LOG", nullptr);
  }
  // The mail system's answer to the next calls.
  void Answer(int result) {
    std::ofstream(m_log + ".result") << result;
  }
  // A 24-bit pattern picture pasted into a new (untitled) image window.
  bool PasteNewImage(int w, int h) {
    e2e::Image image(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.At(x, y) = 0xFF000000u | e2e::PatternPixel(1, x, y);
    m_picture = image;
    if (!e2e::WriteClipboardDib(image)) return false;
    Command(kCmdPasteAsNewImage);
    return e2e::WaitUntil([&] { return e2e::FindTopLevelWindows(Program().Pid()).size() > 0; }, 5000);
  }
  // Sends the active image and waits for the call to reach the mail library and for the lines
  // of all its files (the library writes the call's line first); its log lines.
  std::vector<std::string> SendMail(size_t callsBefore) {
    Command(kCmdSendMail);
    std::vector<std::string> lines;
    e2e::WaitUntil([&] {
      lines = ReadLines(m_log);
      size_t calls = 0, lastCall = 0;
      for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind("call ", 0) == 0) ++calls, lastCall = i;
      if (calls <= callsBefore) return false;
      const std::string files = Field(lines[lastCall], "files");
      return lines.size() - lastCall - 1 >= static_cast<size_t>(std::atoi(files.c_str()));
    }, 15000);
    return lines;
  }
  // No temporary mail file of the program remains (once its call has returned).
  bool NoLeftovers() {
    return e2e::WaitUntil([&] { return TemporaryMailFiles().size() <= m_leftoversBefore.size(); }, 5000);
  }

  std::string m_log;
  std::vector<std::string> m_leftoversBefore;
  e2e::Image m_picture;
};

TEST_F(MailDocument, EachImageTypeIsAttachedAsACompleteFileOfThatType) {
  struct Case {
    DWORD type;
    const char* name;
    PLImageFormat format;
    bool exact;  // lossless: the same pixels
  };
  const Case cases[] = {
      {0, "Lumatre.bmp", PLImageFormat::BMP, true},  {1, "Lumatre.jpg", PLImageFormat::JPEG, false},
      {2, "Lumatre.png", PLImageFormat::PNG, true},  {3, "Lumatre.gif", PLImageFormat::GIF, false},
      {4, "Lumatre.tif", PLImageFormat::TIFF, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetDword("SendMailImageType", c.type);
    ::DeleteFileA(m_log.c_str());
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PasteNewImage(40, 30));
    std::vector<std::string> lines = SendMail(0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Field(lines[0], "flags"), "9");  // MAPI_DIALOG, with the logon interface
    EXPECT_EQ(Field(lines[0], "files"), "1");
    EXPECT_EQ(Field(lines[1], "name"), c.name);
    EXPECT_EQ(Field(lines[1], "position"), "0");
    const std::string path = Field(lines[1], "path");
    EXPECT_NE(path.find("TSY"), std::string::npos) << path;
    const std::string copy = Field(lines[1], "copy");
    ASSERT_FALSE(copy.empty()) << lines[1];

    std::optional<std::vector<uint8_t>> bytes = e2e::ReadFileBytes(copy);
    ASSERT_TRUE(bytes && !bytes->empty());
    EXPECT_EQ(CAutoDecoder::SniffFormat(nullptr, bytes->data(), bytes->size()), c.format);
    CAutoDecoder decoder;
    CHeapBitmap decoded;
    ASSERT_NO_THROW(decoder.MakeBmpFromFile(copy.c_str(), decoded, 32, nullptr));
    EXPECT_EQ(decoded.GetWidth(), 40);
    EXPECT_EQ(decoded.GetHeight(), 30);
    if (c.exact) {
      int wrong = 0;
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
          wrong += (decoded.GetPixel(x, y) & 0x00FFFFFFu) != m_picture.Rgb(x, y);
        }
      EXPECT_EQ(wrong, 0);
    }
    EXPECT_TRUE(NoLeftovers());
    Program().Terminate();
  }
}

TEST_F(MailDocument, AnswersOfTheMailSystemAndNoFileLeftAfterAny) {
  SetDword("SendMailImageType", 2);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(PasteNewImage(20, 10));
  struct Case {
    int result;
    const char* message;  // shown after the call; empty: none
  };
  const Case cases[] = {{0, ""}, {1, ""}, {3, ""}, {2, "Send Mail failed to send message."}, {26, "Send Mail failed to send message."}};
  size_t calls = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    Answer(c.result);
    std::vector<std::string> lines = SendMail(calls++);
    ASSERT_FALSE(lines.empty());
    if (*c.message) {
      ExpectMessageBox(c.message);
    } else {
      e2e::PumpFor(300);
      EXPECT_EQ(FindMessageBox(), nullptr);
    }
    EXPECT_TRUE(NoLeftovers());
  }
}

TEST_F(MailDocument, ASavedUnmodifiedFileIsAttachedItselfAndNoCopyIsMade) {
  // A saved picture, opened from the recent-file list.
  const std::string file = e2e::JoinPath(m_copy.Folder(), "holiday.bmp");
  e2e::Image image(12, 8, 0xFF336699u);
  ASSERT_TRUE(e2e::SaveBmp(image, file));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, capture_e2e::kProfile + "\\Recent File List", "File1", file));
  ASSERT_TRUE(Start());
  Command(kCmdRecentFile1);
  std::vector<std::string> lines = SendMail(0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Field(lines[1], "path"), file);
  EXPECT_EQ(Field(lines[1], "name"), "holiday.bmp");
  EXPECT_EQ(TemporaryMailFiles().size(), m_leftoversBefore.size());
  EXPECT_TRUE(e2e::FileExists(file));
}

}  // namespace
