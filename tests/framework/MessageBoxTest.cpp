// String resources, %1..%9 formatting and message boxes through the replaceable box function.
#include <gtest/gtest.h>

#include <string>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

TEST(Strings, LoadResStringReadsTheTable) {
  EXPECT_EQ(LoadResString(IDS_TEST_PLAIN), "Plain text");
  EXPECT_EQ(LoadResString(IDS_TEST_FORMAT), "Copy %1 to %2?");
  std::string longText = LoadResString(IDS_TEST_LONG);
  EXPECT_GT(longText.size(), 256u);
  EXPECT_EQ(longText.substr(longText.size() - 5), "done.");
  EXPECT_EQ(LoadResString(IDR_TESTFRAME), "Test Frame\nDocument\n");
  std::string missing = "x";
  EXPECT_FALSE(AfxLoadString(12345, missing));
  EXPECT_TRUE(missing.empty());
}

TEST(Strings, FrameworkStringsMatchTheBuiltInTexts) {
  // The table (Framework.rc) and the built-in fallback agree.
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_INT), "Please enter an integer.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_INT_RANGE), "Please enter an integer between %1 and %2.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_UINT), "Please enter a positive integer.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_REAL), "Please enter a number.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_REAL_RANGE), "Please enter a number between %1 and %2.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_STRING_SIZE), "Please enter no more than %1 characters.");
  // From a module without them (the system's), the built-in texts serve.
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_INT_RANGE, kernel), "Please enter an integer between %1 and %2.");
  EXPECT_EQ(LoadResString(AFX_IDP_PARSE_STRING_SIZE, kernel), "Please enter no more than %1 characters.");
}

TEST(Strings, PercentArgumentsAreReplaced) {
  std::string out;
  AfxFormatString2(out, IDS_TEST_FORMAT, "a.png", "b.png");
  EXPECT_EQ(out, "Copy a.png to b.png?");
  AfxFormatString1(out, IDS_TEST_FORMAT, "only");
  EXPECT_EQ(out, "Copy only to ?");
  AfxFormatString2(out, IDS_TEST_FORMAT, nullptr, "x");
  EXPECT_EQ(out, "Copy  to x?");

  const LPCSTR args[] = {"one", "two", "three", "4", "5", "6", "7", "8", "nine"};
  AfxFormatStrings(out, "%9 %1%2 %3", args, 9);
  EXPECT_EQ(out, "nine onetwo three");
  // Other uses of '%' stay as they are; arguments are not formatted again.
  AfxFormatStrings(out, "100% %0 %x %%1 %", args, 1);
  EXPECT_EQ(out, "100% %0 %x %one %");
  const LPCSTR tricky[] = {"%2", "second"};
  AfxFormatStrings(out, "%1 and %2", tricky, 2);
  EXPECT_EQ(out, "%2 and second");
  AfxFormatStrings(out, static_cast<LPCSTR>(nullptr), args, 1);
  EXPECT_EQ(out, "");
}

TEST(MessageBoxes, TextCaptionAndDefaultIcons) {
  MessageBoxRecorder boxes(IDYES);
  CWinApp app("Box Title");
  EXPECT_EQ(AfxMessageBox("Hello"), IDYES);
  EXPECT_EQ(AfxMessageBox(IDS_TEST_PLAIN, MB_YESNO), IDYES);
  EXPECT_EQ(AfxMessageBox(IDS_TEST_PLAIN, MB_OK | MB_ICONSTOP), IDYES);
  ASSERT_EQ(boxes.boxes().size(), 3u);
  EXPECT_EQ(boxes.boxes()[0].text, "Hello");
  EXPECT_EQ(boxes.boxes()[0].caption, "Box Title");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(boxes.boxes()[1].text, "Plain text");
  EXPECT_EQ(boxes.boxes()[1].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(boxes.boxes()[2].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST(MessageBoxes, TheOwnerIsTheVisibleMainWindow) {
  MessageBoxRecorder boxes;
  CWinApp app("Owner Test");
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Owner"));
  app.m_pMainWnd = frame;
  AfxMessageBox("hidden main window");
  frame->ShowWindow(SW_SHOW);
  AfxMessageBox("visible main window");
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_NE(boxes.boxes()[0].owner, frame->m_hWnd);
  EXPECT_EQ(boxes.boxes()[1].owner, frame->m_hWnd);
  app.m_pMainWnd = nullptr;
  frame->DestroyWindow();
}

TEST(MessageBoxes, WithoutAnApplicationTheExeNameIsTheCaption) {
  MessageBoxRecorder boxes;
  AfxMessageBox("no app");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "framework_messagebox");
}

TEST(MessageBoxes, AMissingStringStillShowsSomething) {
  MessageBoxRecorder boxes;
  AfxMessageBox(54321);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("54321"), std::string::npos);
}
