// Plain text on the clipboard and the colour picker's copy option.
#include <gtest/gtest.h>

#include "E2EDriver.h"
#include "common/Settings.h"
#include "capture/ClipboardText.h"
#include "capture/ColorPicker.h"
#include "framework/Handles.h"

namespace e2e = lumatre::e2e;

namespace {

TEST(ClipboardText, PutsTheTextAsPlainTextReplacingEverything) {
  ASSERT_TRUE(e2e::WriteClipboardDib(e2e::Image(3, 2, 0xFF112233u)));
  EXPECT_EQ(SetClipboardText("#0000FF", nullptr), 1);
  EXPECT_EQ(e2e::ReadClipboardText().value_or("?"), "#0000FF");
  EXPECT_FALSE(e2e::ClipboardHasFormat(CF_DIB));
  EXPECT_FALSE(e2e::ClipboardHasFormat(CF_BITMAP));
}

TEST(ClipboardText, EmptyAndNullTexts) {
  EXPECT_EQ(SetClipboardText("", nullptr), 1);
  EXPECT_EQ(e2e::ReadClipboardText().value_or("?"), "");
  EXPECT_EQ(SetClipboardText(nullptr, nullptr), 1);
  EXPECT_EQ(e2e::ReadClipboardText().value_or("?"), "");
}

TEST(ClipboardText, LongTextArrivesWhole) {
  const std::string text(5000, 'x');
  EXPECT_EQ(SetClipboardText(text.c_str(), nullptr), 1);
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), text);
}

TEST(ClipboardText, WithAnOwnerWindow) {
  UniqueWindow owner(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(owner);
  EXPECT_EQ(SetClipboardText("owned", owner.get()), 1);
  EXPECT_EQ(GetClipboardOwner(), owner.get());
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "owned");
}

TEST(ClipboardText, ClipboardHeldByAnotherWindowIsReported) {
  ASSERT_TRUE(e2e::WriteClipboardText("kept"));
  UniqueWindow holder(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(OpenClipboard(holder.get()));
  // Held by this thread's other window: another open fails; the call gives up after a while.
  EXPECT_EQ(SetClipboardText("lost", nullptr), 0);
  CloseClipboard();
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "kept");
}

TEST(ColorCopy, TheOptionDecides) {
  ASSERT_TRUE(e2e::WriteClipboardText("untouched"));
  EXPECT_FALSE(CopyColorText(RGB(0, 0, 255), kDefaultOptionsA & ~kOptColorToClipboard, kColorVC));
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "untouched");
  EXPECT_TRUE(CopyColorText(RGB(0, 0, 255), kOptColorToClipboard, kColorVC));
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "0x00FF0000");
  EXPECT_TRUE(CopyColorText(RGB(255, 255, 255), kOptColorToClipboard, kColorHSB));
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "0, 1.0000, 0.0000");
}

}  // namespace
