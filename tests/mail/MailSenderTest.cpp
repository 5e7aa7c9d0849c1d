// The mail sender against stand-in mail libraries: what reaches MAPISendMail, how each result
// is answered, and the messages when the library or its entry point is missing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FrameworkTestSupport.h"
#include "ui/MailSender.h"

namespace {

std::string TestFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

class MailSenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_log = std::string(temp) + "lumatre-mapi-" + std::to_string(::GetCurrentProcessId()) + ".log";
    ::DeleteFileA(m_log.c_str());
    ::SetEnvironmentVariableA("LUMATRE_FAKE_MAPI_LOG", m_log.c_str());
    ::SetEnvironmentVariableA("LUMATRE_FAKE_MAPI_RESULT", nullptr);
    CMailSender::SetLibraryName(m_library.c_str());
  }
  void TearDown() override {
    CMailSender::SetLibraryName(nullptr);
    for (const std::string& line : ReadLines(m_log)) {
      size_t at = line.find(" copy=");
      if (at != std::string::npos) ::DeleteFileA(line.substr(at + 6).c_str());
    }
    ::DeleteFileA(m_log.c_str());
  }

  std::string m_library = TestFolder() + "\\mapi\\MAPI32.DLL";
  std::string m_log;
  MessageBoxRecorder m_boxes;
};

TEST_F(MailSenderTest, EachAttachmentStandsOnItsOwnSpaceAtTheEnd) {
  struct Case {
    const char* note;
    int files;
    const char* expectedNote;
    std::vector<int> positions;
  };
  const Case cases[] = {
      {"", 2, "note=[  ]", {0, 1}},
      {"Hello", 1, "note=[Hello ]", {5}},
      {"a\r\nb", 3, "note=[a\\x0d\\x0ab   ]", {4, 5, 6}},
      {"x", 0, "note=[x]", {}},
  };
  const std::string paths[] = {"C:\\one.png", "C:\\two.jpg", "C:\\three.bmp"};
  for (const Case& c : cases) {
    ::DeleteFileA(m_log.c_str());
    CMailSender mail;
    ASSERT_EQ(mail.GetError(), CMailSender::kNone);
    mail.NoteText() = c.note;
    for (int i = 0; i < c.files; ++i) ASSERT_TRUE(mail.AddAttachment(paths[i].c_str(), "name"));
    EXPECT_TRUE(mail.Send(MAPI_DIALOG)) << c.note;
    std::vector<std::string> lines = ReadLines(m_log);
    ASSERT_EQ(lines.size(), 1u + c.files) << c.note;
    EXPECT_TRUE(Has(lines[0], c.expectedNote)) << lines[0];
    EXPECT_TRUE(Has(lines[0], "flags=9 ")) << lines[0];  // MAPI_DIALOG | MAPI_LOGON_UI
    EXPECT_TRUE(Has(lines[0], "files=" + std::to_string(c.files) + " ")) << lines[0];
    for (int i = 0; i < c.files; ++i) {
      EXPECT_TRUE(Has(lines[1 + i], "position=" + std::to_string(c.positions[i]) + " ")) << lines[1 + i];
      EXPECT_TRUE(Has(lines[1 + i], "path=" + paths[i] + " ")) << lines[1 + i];
    }
  }
  EXPECT_TRUE(m_boxes.boxes().empty());
}

TEST_F(MailSenderTest, ResultsSentCancelledAndLogonFailedAreNotErrors) {
  struct Case {
    const char* result;
    bool ok;
  };
  const Case cases[] = {{"0", true}, {"1", true}, {"3", true}, {"2", false}, {"11", false}, {"26", false}};
  for (const Case& c : cases) {
    m_boxes.clear();
    ::SetEnvironmentVariableA("LUMATRE_FAKE_MAPI_RESULT", c.result);
    CMailSender mail;
    mail.AddAttachment("C:\\x.bmp", "x.bmp");
    EXPECT_EQ(mail.Send(MAPI_DIALOG), c.ok) << c.result;
    if (c.ok) {
      EXPECT_TRUE(m_boxes.boxes().empty()) << c.result;
    } else {
      ASSERT_EQ(m_boxes.boxes().size(), 1u) << c.result;
      EXPECT_EQ(m_boxes.boxes()[0].text, "Send Mail failed to send message.");
    }
  }
}

TEST_F(MailSenderTest, TheOwnerIsDisabledAndCapturedDuringTheCallOnly) {
  HWND owner = ::CreateWindowExA(0, "STATIC", "mail owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
  HWND floating = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "floating bar", WS_POPUP | WS_VISIBLE, 300, 50, 80,
                                    40, owner, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner && floating);
  ::SetForegroundWindow(owner);
  ::SetActiveWindow(owner);
  {
    CMailSender mail;
    EXPECT_TRUE(mail.Send(0));
  }
  std::vector<std::string> lines = ReadLines(m_log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(Has(lines[0], "owner=1 owner_enabled=0 capture=1 focus_none=1")) << lines[0];
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_TRUE(::IsWindowEnabled(floating));
  EXPECT_NE(::GetCapture(), owner);
  ::DestroyWindow(floating);
  ::DestroyWindow(owner);
}

TEST_F(MailSenderTest, AMissingLibraryOrEntryPointIsReportedAndNothingIsSent) {
  struct Case {
    std::string library;
    int error;
    const char* message;
  };
  const Case cases[] = {
      {TestFolder() + "\\mapi\\no-such-mapi.dll", CMailSender::kNoLibrary, "Unable to load mail system support."},
      {TestFolder() + "\\mapi\\mapi_nosend.dll", CMailSender::kNoSendEntry, "Mail system DLL is invalid."},
  };
  for (const Case& c : cases) {
    m_boxes.clear();
    CMailSender::SetLibraryName(c.library.c_str());
    CMailSender mail;
    EXPECT_EQ(mail.GetError(), c.error) << c.library;
    ASSERT_EQ(m_boxes.boxes().size(), 1u) << c.library;
    EXPECT_EQ(m_boxes.boxes()[0].text, c.message);
    mail.AddAttachment("C:\\x.bmp", "x.bmp");
    EXPECT_FALSE(mail.Send(0));
  }
  EXPECT_TRUE(ReadLines(m_log).empty());
}

TEST_F(MailSenderTest, TheLibraryStaysLoadedWhileAnySenderLives) {
  std::string name = m_library.substr(m_library.find_last_of('\\') + 1);
  {
    CMailSender first;
    {
      CMailSender second;
      ASSERT_NE(::GetModuleHandleA(m_library.c_str()), nullptr);
    }
    // The second going away leaves the first able to send.
    EXPECT_NE(::GetModuleHandleA(m_library.c_str()), nullptr);
    EXPECT_TRUE(first.Send(0));
  }
  EXPECT_EQ(::GetModuleHandleA(m_library.c_str()), nullptr);
  EXPECT_EQ(ReadLines(m_log).size(), 1u);
}

}  // namespace
