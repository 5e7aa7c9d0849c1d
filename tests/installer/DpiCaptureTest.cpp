// The manifest declares the program aware of the system's DPI: with Wine's "LogPixels" at 144
// (a display scaled to 150 %) a desktop capture still has the screen's physical size.
#include <windows.h>

#include <gtest/gtest.h>

#include "CaptureSession.h"

namespace {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;
const std::string kDesktopKey = "Control Panel\\Desktop";

class ScaledDisplay : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    m_oldDpi = e2e::ReadDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", 144));
  }
  void TearDown() override {
    CaptureSession::TearDown();
    if (m_oldDpi) {
      e2e::WriteDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", *m_oldDpi);
    } else {
      HKEY key = nullptr;
      if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, "LogPixels");
        ::RegCloseKey(key);
      }
    }
  }
  std::optional<DWORD> m_oldDpi;
};

TEST_F(ScaledDisplay, ADesktopCaptureHasThePhysicalSize) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  ASSERT_TRUE(::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(capture_e2e::PutMarker());
  ::PostMessageA(Frame(), WM_COMMAND, capture_e2e::kCmdDesktop, 0);
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture(20000);
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(picture->width, static_cast<int>(mode.dmPelsWidth));
  EXPECT_EQ(picture->height, static_cast<int>(mode.dmPelsHeight));
}

}  // namespace
