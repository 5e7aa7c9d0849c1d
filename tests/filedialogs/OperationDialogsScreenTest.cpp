// The operation dialogs on a real document in a real frame, opened by their commands and driven
// with real input: OK without a change, the brightness field's limit against the slider's
// range, the resize dialog's start at 800 for a wide image, Apply twice and Revert, Box then
// Revert restoring the pixels exactly, a scale that would leave no pixel, Done and Undo, and
// Cancel taking an applied change back.
#include <memory>

#include "DocumentTestSupport.h"
#include "ScreenTestSupport.h"
#include "resources/FileDialogsIds.h"

BEGIN_MESSAGE_MAP(CDocTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
END_MESSAGE_MAP()

using namespace fd_test;

namespace {

class OperationDialogs : public DocumentFrameTest<CDocTestFrame> {
 protected:
  void SetUp() override {
    DocumentFrameTest<CDocTestFrame>::SetUp();
    e2e::SetInputDelay(30);
  }
  static std::unique_ptr<CDisplayBitmap> Copy(const CDibBitmap& b) {
    auto copy = std::make_unique<CDisplayBitmap>();
    copy->CreateCopy(b, 0);
    return copy;
  }
  static bool SamePixels(const CDibBitmap& a, const CDibBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
      for (int x = 0; x < a.GetWidth(); ++x)
        if (RGBOf(a, x, y) != RGBOf(b, x, y)) return false;
    return true;
  }
  // Runs command id (which opens the dialog captioned caption) while script drives it.
  void Drive(UINT id, const char* caption, const std::function<void(HWND)>& script) {
    RunDriven(
        [&] {
          Command(id);
          return INT_PTR(0);
        },
        caption, script);
  }
  static int ImageWidth(CQuorvaCaptureDoc* doc) { return doc->image ? doc->image->GetWidth() : -1; }
  static bool WaitForWidth(CQuorvaCaptureDoc* doc, int width) {
    return e2e::WaitUntil([&] { return ImageWidth(doc) == width; }, kWaitMs);
  }
  std::string LastStatus() { return frame->statusBar.GetPaneText(0); }
  static void Press(HWND dlg, int id) { ClickOn(::GetDlgItem(dlg, id)); }
  static int SliderPos(HWND dlg, int id) {
    return static_cast<int>(::SendDlgItemMessageA(dlg, id, TBM_GETPOS, 0, 0));
  }
};

TEST_F(OperationDialogs, CommandsAreEnabledWithAnImageWindow) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(12, 9));
  ASSERT_NE(doc, nullptr);
  for (UINT id : {ID_IMAGE_RESIZE, ID_IMAGE_SCALE, ID_IMAGE_STRETCH, ID_IMAGE_ROTATE_ANYANGLE, ID_IMAGE_BRIGHTNESS,
                  ID_IMAGE_CONTRAST, ID_IMAGE_INTENSITY}) {
    CommandState state;
    state.m_nID = id;
    EXPECT_TRUE(state.DoUpdate(frame, TRUE)) << id;
    EXPECT_EQ(state.enabled, 1) << id;
  }
}

TEST_F(OperationDialogs, BrightnessOkWithoutChangeAddsNoStepAndTheSliderReachesMinus100) {
  BoxLog log;
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  auto before = Copy(*doc->image);

  Drive(ID_IMAGE_BRIGHTNESS, "Change Brightness Effect", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_BRIGHTNESS_VALUE), "0");
    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_TRUE(SamePixels(*doc->image, *before));

  Drive(ID_IMAGE_BRIGHTNESS, "Change Brightness Effect", [&](HWND dlg) {
    HWND preview = ::GetDlgItem(dlg, IDC_ADJUST_PREVIEW);
    e2e::Image shownBefore = e2e::CaptureWindow(preview);
    // Typing "-100": the field takes three characters.
    TypeInto(::GetDlgItem(dlg, IDC_BRIGHTNESS_VALUE), "-100");
    EXPECT_TRUE(WaitForItemText(dlg, IDC_BRIGHTNESS_VALUE, "-10")) << ItemText(dlg, IDC_BRIGHTNESS_VALUE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return SliderPos(dlg, IDC_BRIGHTNESS_SLIDER) == -10; }, kWaitMs));
    // The slider still reaches -100, and the spin and the field follow it.
    ClickOn(::GetDlgItem(dlg, IDC_BRIGHTNESS_SLIDER));
    e2e::KeyPress(VK_HOME);
    EXPECT_TRUE(e2e::WaitUntil([&] { return SliderPos(dlg, IDC_BRIGHTNESS_SLIDER) == -100; }, kWaitMs));
    EXPECT_TRUE(WaitForItemText(dlg, IDC_BRIGHTNESS_VALUE, "-100")) << ItemText(dlg, IDC_BRIGHTNESS_VALUE);
    EXPECT_EQ(static_cast<int>(::SendDlgItemMessageA(dlg, IDC_BRIGHTNESS_SPIN, UDM_GETPOS32, 0, 0)), -100);
    // The preview follows.
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
          e2e::Image now = e2e::CaptureWindow(preview);
          RECT all{0, 0, now.width, now.height};
          return e2e::CountDifferentPixels(shownBefore, now, all) > 100;
        },
        kWaitMs));
    e2e::KeyPress(VK_RETURN);
  });
  ASSERT_TRUE(doc->CanUndo());
  EXPECT_FALSE(SamePixels(*doc->image, *before));
  EXPECT_EQ(LastStatus(), "Last command : Change the image brightness");
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *before));
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(OperationDialogs, ResizeOfAWideImageStartsAt800) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(3000, 20));
  ASSERT_NE(doc, nullptr);
  Drive(ID_IMAGE_RESIZE, "Resize Operation", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_RESIZE_WIDTH), "800");
    EXPECT_EQ(ItemText(dlg, IDC_RESIZE_HEIGHT), "20");
    EXPECT_EQ(SliderPos(dlg, IDC_RESIZE_WIDTH_SLIDER), 800);
    // Collapsed: the method part is out of reach, Apply and Revert are off.
    EXPECT_EQ(ItemText(dlg, IDC_RESIZE_ADVANCED), "A&dvanced >>");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_GAUSSIAN)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_APPLY)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_REVERT)));
    RECT collapsed = WindowRectOf(dlg);
    EXPECT_LE(collapsed.bottom, WindowRectOf(::GetDlgItem(dlg, IDC_RESIZE_BILINEAR)).top);
    Press(dlg, IDC_RESIZE_ADVANCED);
    EXPECT_TRUE(WaitForItemText(dlg, IDC_RESIZE_ADVANCED, "A&dvanced <<"));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_GAUSSIAN)));
    EXPECT_EQ(::IsDlgButtonChecked(dlg, IDC_RESIZE_BILINEAR), BST_CHECKED);
    EXPECT_GT(WindowRectOf(dlg).bottom, WindowRectOf(::GetDlgItem(dlg, IDC_RESIZE_RADIUS)).bottom);
    e2e::KeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(ImageWidth(doc), 3000);
  EXPECT_FALSE(doc->CanUndo());
}

TEST_F(OperationDialogs, ApplyTwiceThenRevertReturnsToTheFirstApplyAndCancelToTheStart) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  auto original = Copy(*doc->image);
  std::unique_ptr<CDisplayBitmap> firstResult;
  Drive(ID_IMAGE_RESIZE, "Resize Operation", [&](HWND dlg) {
    TypeInto(::GetDlgItem(dlg, IDC_RESIZE_WIDTH), "20");
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_APPLY)) != FALSE; }, kWaitMs));
    Press(dlg, IDC_RESIZE_APPLY);
    ASSERT_TRUE(WaitForWidth(doc, 20));
    e2e::PumpFor(100);
    firstResult = Copy(*doc->image);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_APPLY)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_REVERT)));
    TypeInto(::GetDlgItem(dlg, IDC_RESIZE_WIDTH), "10");
    Press(dlg, IDC_RESIZE_APPLY);
    ASSERT_TRUE(WaitForWidth(doc, 10));
    Press(dlg, IDC_RESIZE_REVERT);
    ASSERT_TRUE(WaitForWidth(doc, 20));
    EXPECT_TRUE(WaitForItemText(dlg, IDC_RESIZE_WIDTH, "20"));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, IDC_RESIZE_REVERT)));
    e2e::KeyPress(VK_ESCAPE);
  });
  ASSERT_NE(firstResult, nullptr);
  // Cancel: the picture as it was when the dialog opened, and nothing to undo.
  EXPECT_TRUE(SamePixels(*doc->image, *original));
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_EQ(doc->GetPendingCommand(), nullptr);
  EXPECT_EQ(doc->backupImage, nullptr);
}

TEST_F(OperationDialogs, StretchWithBoxAppliedAndRevertedRestoresThePixelsExactly) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  auto original = Copy(*doc->image);
  Drive(ID_IMAGE_STRETCH, "Stretch Operation", [&](HWND dlg) {
    Press(dlg, IDC_STRETCH_ADVANCED);
    EXPECT_TRUE(WaitForItemText(dlg, IDC_STRETCH_ADVANCED, "A&dvanced <<"));
    Press(dlg, IDC_STRETCH_BOX);
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsDlgButtonChecked(dlg, IDC_STRETCH_BOX) == BST_CHECKED; }, kWaitMs));
    TypeInto(::GetDlgItem(dlg, IDC_STRETCH_HORZ), "50");
    Press(dlg, IDC_STRETCH_APPLY);
    ASSERT_TRUE(WaitForWidth(doc, 20));
    EXPECT_EQ(doc->image->GetHeight(), 30);
    Press(dlg, IDC_STRETCH_REVERT);
    ASSERT_TRUE(WaitForWidth(doc, 40));
    EXPECT_TRUE(WaitForItemText(dlg, IDC_STRETCH_HORZ, "100"));
    e2e::KeyPress(VK_RETURN);  // Done
  });
  EXPECT_TRUE(SamePixels(*doc->image, *original));
  EXPECT_FALSE(doc->CanUndo());  // a reverted change is not kept
}

TEST_F(OperationDialogs, ScaleThatLeavesNoPixelIsRefusedWithAReason) {
  BoxLog log;
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  Drive(ID_IMAGE_SCALE, "Scale Image Operation", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_SCALE_VALUE), "100");
    TypeInto(::GetDlgItem(dlg, IDC_SCALE_VALUE), "1");
    Press(dlg, IDC_SCALE_APPLY);
    EXPECT_EQ(log.WaitForBox(1), LoadResString(IDS_SIZE_TOO_SMALL));
    EXPECT_EQ(ImageWidth(doc), 40);
    TypeInto(::GetDlgItem(dlg, IDC_SCALE_VALUE), "50");
    Press(dlg, IDC_SCALE_APPLY);
    EXPECT_TRUE(WaitForWidth(doc, 20));
    e2e::KeyPress(VK_RETURN);  // Done: one undo step
  });
  EXPECT_EQ(doc->image->GetHeight(), 15);
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_EQ(log.Count(), 1);
}

TEST_F(OperationDialogs, ResizeWithGaussianDoneThenUndoGivesTheOriginalBack) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  auto original = Copy(*doc->image);
  Drive(ID_IMAGE_RESIZE, "Resize Operation", [&](HWND dlg) {
    TypeInto(::GetDlgItem(dlg, IDC_RESIZE_WIDTH), "200");
    TypeInto(::GetDlgItem(dlg, IDC_RESIZE_HEIGHT), "100");
    Press(dlg, IDC_RESIZE_ADVANCED);
    Press(dlg, IDC_RESIZE_GAUSSIAN);
    Press(dlg, IDC_RESIZE_APPLY);
    ASSERT_TRUE(WaitForWidth(doc, 200));
    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(doc->image->GetHeight(), 100);
  ASSERT_TRUE(doc->CanUndo());
  EXPECT_EQ(LastStatus(), "Last command : Stretch the image to size specified in pixels");
  doc->OnEditUndo();
  EXPECT_TRUE(SamePixels(*doc->image, *original));
}

TEST_F(OperationDialogs, ContrastAndIntensityStartValuesAndDoneRunsOneCommand) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  Drive(ID_IMAGE_CONTRAST, "Adjust Contrast Effect", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_CONTRAST_VALUE), "10");
    EXPECT_EQ(ItemText(dlg, IDC_OFFSET_VALUE), "125");
    e2e::KeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(doc->CanUndo());
  Drive(ID_IMAGE_INTENSITY, "Intensity", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_INTENSITY_VALUE), "20");
    EXPECT_EQ(ItemText(dlg, IDC_OFFSET_VALUE), "128");
    EXPECT_EQ(ItemText(dlg, IDC_EXPONENT_VALUE), "10");
    TypeInto(::GetDlgItem(dlg, IDC_INTENSITY_VALUE), "200");
    EXPECT_TRUE(e2e::WaitUntil([&] { return SliderPos(dlg, IDC_INTENSITY_SLIDER) == 200; }, kWaitMs));
    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_EQ(LastStatus(), "Last command : Adjust the image intensity");
  Drive(ID_IMAGE_ROTATE_ANYANGLE, "Rotate Any Angle Operation", [&](HWND dlg) {
    EXPECT_EQ(ItemText(dlg, IDC_ROTATE_ANGLE), "0");
    TypeInto(::GetDlgItem(dlg, IDC_ROTATE_ANGLE), "90");
    EXPECT_TRUE(e2e::WaitUntil([&] { return SliderPos(dlg, IDC_ROTATE_ANGLE_SLIDER) == 90; }, kWaitMs));
    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(doc->image->GetHeight(), 40);  // a quarter turn
  EXPECT_EQ(LastStatus(), "Last command : Rotate the image by the select angle");
}

TEST_F(OperationDialogs, EachHelpButtonOpensItsTopic) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(40, 30));
  ASSERT_NE(doc, nullptr);
  struct Case {
    UINT command;
    const char* caption;
    int helpButton;
    std::vector<int> topics;  // what the button asks for (none for Intensity)
  };
  const Case cases[] = {
      {ID_IMAGE_ROTATE_ANYANGLE, "Rotate Any Angle Operation", IDC_ROTATE_HELP, {3}},
      {ID_IMAGE_BRIGHTNESS, "Change Brightness Effect", IDC_ADJUST_HELP, {6}},
      {ID_IMAGE_CONTRAST, "Adjust Contrast Effect", IDC_ADJUST_HELP, {5}},
      {ID_IMAGE_INTENSITY, "Intensity", IDC_ADJUST_HELP, {}},
      {ID_IMAGE_RESIZE, "Resize Operation", IDC_RESIZE_HELP, {2}},
      {ID_IMAGE_SCALE, "Scale Image Operation", IDC_SCALE_HELP, {2}},
      {ID_IMAGE_STRETCH, "Stretch Operation", IDC_STRETCH_HELP, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    app.helpTopics.clear();
    Drive(c.command, c.caption, [&](HWND dlg) {
      Press(dlg, c.helpButton);
      e2e::PumpFor(200);
      e2e::KeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(app.helpTopics, c.topics);
  }
  EXPECT_FALSE(doc->CanUndo());
}

}  // namespace
