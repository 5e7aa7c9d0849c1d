#include "CaptureSession.h"

namespace capture_e2e {

std::string Format1(const std::string& text, const std::string& arg) {
  std::string out = text;
  const size_t at = out.find("%1");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

bool PutMarker() { return e2e::WriteClipboardText(kMarker); }

bool MarkerStillThere() {
  return !e2e::ClipboardHasFormat(CF_DIB) && e2e::ReadClipboardText().value_or("") == kMarker;
}

std::optional<e2e::Image> WaitForClipboardPicture(DWORD timeoutMs) {
  if (!e2e::WaitUntil([] { return e2e::ClipboardHasFormat(CF_DIB); }, timeoutMs)) return std::nullopt;
  // The program puts the palette right after the picture; let it close the clipboard.
  std::optional<e2e::Image> picture;
  e2e::WaitUntil([&] { return (picture = e2e::ReadClipboardDib()).has_value(); }, 2000);
  return picture;
}

void SaveForFailure(const e2e::Image& image, const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = e2e::JoinPath(temp, "lumatre-capture-" + name + ".bmp");
  if (e2e::SaveBmp(image, path)) ADD_FAILURE() << "picture saved to " << path;
}

void CaptureSession::SetUp() {
  ASSERT_TRUE(m_copy.Ok()) << m_copy.Error();
  ASSERT_TRUE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre"));
  SetOptions(kClipboardOnly);
  ASSERT_TRUE(e2e::ClearClipboard());
}

void CaptureSession::TearDown() {
  if (m_lumatre.IsRunning()) m_lumatre.Terminate();
  for (auto& helper : m_helpers)
    if (helper->IsRunning()) helper->Terminate();
  m_helpers.clear();
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
}

void CaptureSession::SetOptions(DWORD optionsA) {
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "OptionsA", optionsA));
}

void CaptureSession::SetDword(const char* name, DWORD value) {
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, kCapture, name, value));
}

void CaptureSession::SetHotkey(const char* name, int slot, WORD code) {
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kHotkeys, name,
                               std::to_string(slot) + ", " + std::to_string(code)));
}

HWND CaptureSession::Start() {
  if (!m_lumatre.Start(m_copy.ExePath())) {
    ADD_FAILURE() << m_lumatre.LastError();
    return nullptr;
  }
  m_frame = m_lumatre.WaitForWindow(kFrameClass, 20000);
  if (!m_frame) {
    ADD_FAILURE() << "no main frame";
    return nullptr;
  }
  // The capture input is ready once the screen freezer exists (made just before the hotkeys are
  // registered) and the frame has returned from its start-up handler; a message box of the
  // start-up (refused hotkeys) also answers sent messages.
  auto freezerMade = [&] {
    for (HWND hwnd : m_lumatre.TopLevelWindows()) {
      const LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
      if ((exStyle & WS_EX_TOOLWINDOW) && e2e::WindowClassName(hwnd).rfind("Afx", 0) == 0)
        return true;
    }
    return false;
  };
  if (!e2e::WaitUntil(freezerMade, 20000)) {
    ADD_FAILURE() << "the capture input never started";
    return nullptr;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutA(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
  return m_frame;
}

HWND CaptureSession::StartPattern(int x, int y, int w, int h, int variant, const std::string& extra) {
  auto helper = std::make_unique<e2e::AppProcess>();
  std::string args = e2e::PatternArgs("Capture pattern", x, y, w, h, variant);
  if (!extra.empty()) args += " " + extra;
  if (!helper->Start(HelperPath(e2e::kPatternExe), args)) {
    ADD_FAILURE() << helper->LastError();
    return nullptr;
  }
  HWND hwnd = helper->WaitForVisibleWindow(e2e::kPatternDefaultClass, 10000);
  m_helpers.push_back(std::move(helper));
  if (!hwnd) {
    ADD_FAILURE() << "no pattern window";
    return nullptr;
  }
  EXPECT_TRUE(e2e::ForceForeground(hwnd));
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternPainted(hwnd, variant); }, 5000));
  return hwnd;
}

bool CaptureSession::PatternPainted(HWND hwnd, int variant) {
  e2e::Image shot = e2e::CaptureWindow(hwnd, true);
  return !shot.Empty() &&
         e2e::CountPixelsNotMatching(shot, RECT{0, 0, shot.width, shot.height},
                                     [variant](int x, int y) { return e2e::PatternPixel(variant, x, y); }) == 0;
}

void CaptureSession::SetPatternVariant(HWND hwnd, int variant) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, e2e::kPatternSetVariant, variant, 0, SMTO_NORMAL, 5000, &result);
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternPainted(hwnd, variant); }, 5000));
}

HWND CaptureSession::FindMessageBox() {
  for (HWND hwnd : m_lumatre.TopLevelWindows("#32770"))
    if (IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

HWND CaptureSession::WaitForMessageBox(DWORD timeoutMs) {
  HWND box = nullptr;
  e2e::WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeoutMs);
  return box;
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
  auto* longest = reinterpret_cast<std::string*>(lParam);
  if (e2e::WindowClassName(child) == "Static") {
    std::string text = e2e::WindowText(child);
    if (text.size() > longest->size()) *longest = text;
  }
  return TRUE;
}

}  // namespace

std::string CaptureSession::MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

bool CaptureSession::CloseWithEnter(HWND box) {
  if (!box) return false;
  e2e::ForceForeground(box);
  e2e::KeyPress(VK_RETURN);
  if (e2e::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 3000)) return true;
  ADD_FAILURE() << "Enter did not close the message box";
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  e2e::WaitUntil([&] { return !IsWindow(box); }, 3000);
  return false;
}

void CaptureSession::ExpectMessageBox(const std::string& text) {
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "no message box; expected: " << text;
  EXPECT_EQ(MessageBoxText(box), text);
  CloseWithEnter(box);
}

std::vector<HWND> CaptureSession::OtherVisibleWindows() {
  std::vector<HWND> others;
  for (HWND hwnd : m_lumatre.TopLevelWindows())
    if (hwnd != m_frame && IsWindowVisible(hwnd) && e2e::WindowClassName(hwnd) != "#32770")
      others.push_back(hwnd);
  return others;
}

void CaptureSession::HideFrame() {
  ShowWindow(m_frame, SW_HIDE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(m_frame); }, 5000));
}

void CaptureSession::Command(UINT id) { ::PostMessageA(Frame(), WM_COMMAND, id, 0); }

int CaptureSession::ImageWindowCount() {
  HWND client = ::FindWindowExA(Frame(), nullptr, "MDICLIENT", nullptr);
  int count = 0;
  for (HWND w = client ? ::GetWindow(client, GW_CHILD) : nullptr; w; w = ::GetWindow(w, GW_HWNDNEXT))
    if (e2e::WindowClassName(w) == "LumatreImageFrameClass") ++count;
  return count;
}

std::optional<e2e::Image> CaptureSession::ActivePicture() {
  e2e::ClearClipboard();
  Command(kCmdCopyAll);
  std::optional<e2e::Image> picture;
  e2e::WaitUntil([&] { return (picture = e2e::ReadClipboardDib()).has_value(); }, 10000);
  return picture;
}

}  // namespace capture_e2e
