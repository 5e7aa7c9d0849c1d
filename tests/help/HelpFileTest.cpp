// The compiled help beside the program holds every topic the program opens, with its anchor,
// and its table of contents, index and cross references lead to pages and anchors that exist.
// The file is read through the platform's own help storage (itss.dll), as the viewer reads it.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ChmFile.h"
#include "common/AppHelpers.h"

namespace {

// Splits a help address "C:\dir\Lumatre.chm::/page#anchor" into the file and the topic.
void SplitAddress(const std::string& address, std::string& file, std::string& topic) {
  size_t sep = address.find("::/");
  file = address.substr(0, sep);
  topic = sep == std::string::npos ? std::string() : address.substr(sep + 3);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The values of `attribute` in the sitemap objects (<param name="Local" value="...">) or links
// (href="...") of a page.
std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    found.push_back((*it)[1].str());
  return found;
}

const std::regex kLocal("<param name=\"Local\" value=\"([^\"]+)\"", std::regex::icase);
const std::regex kHref("<a [^>]*href=\"([^\"]+)\"", std::regex::icase);
const std::regex kImage("<img [^>]*src=\"([^\"]+)\"", std::regex::icase);

class HelpFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string file, topic;
    SplitAddress(BuildHelpTopicPath(GetProgramFilePath().c_str(), kHelpIndex), file, topic);
    ASSERT_TRUE(m_chm.Open(Wide(file))) << "cannot open " << file;
  }

  // Checks that `target` ("page#anchor", relative to the help file's root) exists.
  void ExpectTarget(const std::string& target, const std::string& from) {
    std::string page, anchor, html;
    SplitTopic(target, page, anchor);
    if (page.empty()) return;  // an anchor of the same page: checked with that page
    ASSERT_TRUE(m_chm.Read(page, html)) << from << ": no page " << page;
    if (!anchor.empty()) {
      EXPECT_TRUE(HasAnchor(html, anchor)) << from << ": no anchor " << target;
    }
  }

  CChmFile m_chm;
};

TEST_F(HelpFileTest, EveryTopicTheProgramOpensExistsWithItsAnchor) {
  struct Case {
    int topic;
    const char* expected;
  };
  const Case cases[] = {
      {kHelpGeneralOptions, "dialog.htm#generaloption"},  {kHelpResizeDialog, "dialog.htm#resizedialog"},
      {kHelpRotateDialog, "dialog.htm#rotatedialog"},     {kHelpPrintLayout, "dialog.htm#printlayout"},
      {kHelpContrastDialog, "dialog.htm#contrastdialog"}, {kHelpBrightnessDialog, "dialog.htm#brightnessdialog"},
      {kHelpWindowsManage, "dialog.htm#windowsmanage"},   {kHelpIndex, "index.htm"},
      {8, "index.htm"},                                   {-1, "index.htm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.topic);
    std::string file, topic;
    SplitAddress(BuildHelpTopicPath(GetProgramFilePath().c_str(), c.topic), file, topic);
    EXPECT_EQ(c.expected, topic);
    std::string page, anchor, html;
    SplitTopic(topic, page, anchor);
    ASSERT_TRUE(m_chm.Read(page, html)) << "no page " << page;
    EXPECT_NE(std::string::npos, html.find("<title>")) << page;
    if (!anchor.empty()) {
      EXPECT_TRUE(HasAnchor(html, anchor)) << topic;
    }
  }
}

TEST_F(HelpFileTest, AMissingPageOrAnchorIsNoticed) {
  std::string html;
  EXPECT_FALSE(m_chm.Read("nosuchpage.htm", html));
  ASSERT_TRUE(m_chm.Read("dialog.htm", html));
  EXPECT_FALSE(HasAnchor(html, "nosuchanchor"));
  EXPECT_FALSE(HasAnchor(html, "generaloptio"));
}

TEST_F(HelpFileTest, ContentsAndIndexLeadToPagesAndAnchorsThatExist) {
  for (const char* sitemap : {"Lumatre.hhc", "Lumatre.hhk"}) {
    SCOPED_TRACE(sitemap);
    std::string text;
    ASSERT_TRUE(m_chm.Read(sitemap, text));
    std::vector<std::string> locals = Matches(text, kLocal);
    EXPECT_GE(locals.size(), 10u);
    for (const std::string& local : locals) ExpectTarget(local, sitemap);
  }
}

TEST_F(HelpFileTest, ContentsListEveryTopicTheProgramOpens) {
  std::string text;
  ASSERT_TRUE(m_chm.Read("Lumatre.hhc", text));
  std::vector<std::string> locals = Matches(text, kLocal);
  const std::set<std::string> listed(locals.begin(), locals.end());
  for (int topic = kHelpIndex; topic <= kHelpWindowsManage; ++topic)
    EXPECT_EQ(1u, listed.count(HelpTopicPage(topic))) << HelpTopicPage(topic);
}

TEST_F(HelpFileTest, LinksAndPicturesOfEveryPageExist) {
  std::string toc;
  ASSERT_TRUE(m_chm.Read("Lumatre.hhc", toc));
  std::set<std::string> pages;
  for (const std::string& local : Matches(toc, kLocal)) {
    std::string page, anchor;
    SplitTopic(local, page, anchor);
    pages.insert(page);
  }
  EXPECT_GE(pages.size(), 10u);
  for (const std::string& page : pages) {
    SCOPED_TRACE(page);
    std::string html;
    ASSERT_TRUE(m_chm.Read(page, html));
    for (const std::string& href : Matches(html, kHref)) {
      if (href[0] == '#') {
        EXPECT_TRUE(HasAnchor(html, href.substr(1))) << href;
      } else {
        ExpectTarget(href, page);
      }
    }
    for (const std::string& image : Matches(html, kImage)) {
      std::string bytes;
      EXPECT_TRUE(m_chm.Read(image, bytes)) << "missing picture " << image;
    }
  }
}

}  // namespace
