// Opening links: the error texts, the browser command line, and OpenLink's fallback to the
// registered browser with a scripted shell and registry in place of the real ones.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FrameworkTestSupport.h"
#include "ui/ShellActions.h"

namespace {

class FakeShell : public IShellLinkSystem {
 public:
  int shellResult = 42;
  int execResult = 33;
  std::map<std::string, std::string> classesRoot;  // key -> default value
  std::vector<std::string> calls;

  int ShellOpen(const std::string& target, int showCommand) override {
    calls.push_back("open " + target + " " + std::to_string(showCommand));
    return shellResult;
  }
  bool ReadClassesRootDefault(const std::string& subKey, size_t maxChars, std::string& value) override {
    calls.push_back("read " + subKey);
    auto it = classesRoot.find(subKey);
    if (it == classesRoot.end() || it->second.size() >= maxChars) return false;
    value = it->second;
    return true;
  }
  int RunCommandLine(const std::string& commandLine, int showCommand) override {
    calls.push_back("exec " + commandLine + " " + std::to_string(showCommand));
    return execResult;
  }
};

}  // namespace

TEST(OpenLinkErrorText, EveryShellErrorHasItsReason) {
  struct Case {
    int code;
    const char* reason;
  };
  const Case cases[] = {
      {0, "The operating system is out\nof memory or resources."},
      {2, "The specified file was not found."},
      {3, "The specified path was not found."},
      {5, "The operating system denied\naccess to the specified file."},
      {8, "There was not enough memory to complete the operation."},
      {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
      {26, "A sharing violation occurred. "},
      {27, "The filename association is\nincomplete or invalid."},
      {28, "The DDE transaction could not\nbe completed because the request timed out."},
      {29, "The DDE transaction failed."},
      {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
      {31, "There is no application associated\nwith the given filename extension."},
      {32, "The specified dynamic-link library was not found."},
      {1, "Unknown Error (1) occurred."},
      {4, "Unknown Error (4) occurred."},
      {-7, "Unknown Error (-7) occurred."},
  };
  for (const Case& c : cases) EXPECT_EQ(OpenLinkErrorText(c.code), std::string("Can't open link:\n\n") + c.reason) << c.code;
}

TEST(OpenLinkErrorText, IsShownWithTheExclamationIcon) {
  MessageBoxRecorder boxes;
  ShowOpenLinkError(31);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, OpenLinkErrorText(31));
  EXPECT_EQ(boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST(BuildBrowserCommand, CutsAtTheArgumentPlaceholder) {
  struct Case {
    const char* command;
    const char* expected;
  };
  const std::string url = "http://www.lumatre.example/";
  const Case cases[] = {
      {"\"C:\\b.exe\" \"%1\"", "\"C:\\b.exe\"  http://www.lumatre.example/"},
      {"\"C:\\b.exe\" -nohome \"%1\" -new", "\"C:\\b.exe\" -nohome  http://www.lumatre.example/"},
      {"b.exe %1", "b.exe  http://www.lumatre.example/"},
      {"b.exe -url %1 -x", "b.exe -url  http://www.lumatre.example/"},
      {"b.exe", "b.exe http://www.lumatre.example/"},
      {"\"%1\"", " http://www.lumatre.example/"},
      // The quoted form wins even when a bare %1 comes first.
      {"b.exe %1 \"%1\"", "b.exe %1  http://www.lumatre.example/"},
      // Other placeholders stay.
      {"b.exe %L", "b.exe %L http://www.lumatre.example/"},
      {"b.exe \"%2\"", "b.exe \"%2\" http://www.lumatre.example/"},
      {"b.exe %", "b.exe % http://www.lumatre.example/"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildBrowserCommand(c.command, url), c.expected) << c.command;
  EXPECT_EQ(BuildBrowserCommand("b.exe %1", ""), "b.exe  ");
}

TEST(OpenLink, ReturnsTheShellsCodeWhenItOpened) {
  FakeShell shell;
  shell.shellResult = 42;
  EXPECT_EQ(OpenLink("http://a.example/", SW_SHOW, shell), 42);
  EXPECT_EQ(shell.calls, (std::vector<std::string>{"open http://a.example/ 5"}));
}

TEST(OpenLink, WithoutAssociationRunsTheRegisteredBrowser) {
  FakeShell shell;
  shell.shellResult = 31;
  shell.execResult = 33;
  shell.classesRoot[".htm"] = "htmlfile";
  shell.classesRoot["htmlfile\\shell\\open\\command"] = "\"C:\\Web\\browser.exe\" -nohome \"%1\"";
  EXPECT_EQ(OpenLink("http://a.example/", SW_SHOWMAXIMIZED, shell), 33);
  EXPECT_EQ(shell.calls, (std::vector<std::string>{
                             "open http://a.example/ 3",
                             "read .htm",
                             "read htmlfile\\shell\\open\\command",
                             "exec \"C:\\Web\\browser.exe\" -nohome  http://a.example/ 3",
                         }));
}

TEST(OpenLink, ReportsTheShellsCodeWhenNoBrowserCanBeFound) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> registry;
  };
  const Case cases[] = {
      {"no .htm class", {}},
      {"no open command", {{".htm", "htmlfile"}}},
      {"empty class", {{".htm", ""}, {"\\shell\\open\\command", "b.exe %1"}}},
      {"blank command", {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "  "}}},
      {"class name too long", {{".htm", std::string(300, 'x')}}},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    shell.shellResult = 31;
    shell.classesRoot = c.registry;
    EXPECT_EQ(OpenLink("http://a.example/", SW_SHOW, shell), 31) << c.name;
    for (const std::string& call : shell.calls) EXPECT_NE(call.rfind("exec", 0), 0u) << c.name;
  }
}

TEST(OpenLink, ABrowserThatFailsToStartGivesWinExecsCode) {
  FakeShell shell;
  shell.shellResult = 31;
  shell.execResult = ERROR_FILE_NOT_FOUND;
  shell.classesRoot[".htm"] = "htmlfile";
  shell.classesRoot["htmlfile\\shell\\open\\command"] = "missing.exe %1";
  EXPECT_EQ(OpenLink("http://a.example/", SW_SHOW, shell), 2);
}

TEST(OpenLink, UsesTheSystemItIsGivenUntilRestored) {
  FakeShell shell;
  shell.shellResult = 77;
  IShellLinkSystem* previous = SetShellLinkSystem(&shell);
  EXPECT_EQ(previous, &DefaultShellLinkSystem());
  EXPECT_EQ(OpenLink("mailto:a@b.example", SW_SHOW), 77);
  EXPECT_EQ(SetShellLinkSystem(nullptr), &shell);
  EXPECT_EQ(SetShellLinkSystem(nullptr), &DefaultShellLinkSystem());
  EXPECT_EQ(shell.calls.size(), 1u);
}
