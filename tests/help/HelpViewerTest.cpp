// The program's own help call opens the platform's HTML help viewer on the page and anchor that
// was asked for. The viewer loads its pages through the help-storage protocols ("mk:@MSITStore:",
// "its:", "ms-its:"); while the test runs, a protocol handler of its own is registered for them
// in this process, so every page the viewer asks for is recorded (and not loaded: the pages'
// rendering engine is not part of this test).
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChmFile.h"
#include "common/AppHelpers.h"

namespace {

std::vector<std::wstring> g_requests;

class CRecordingProtocol final : public IInternetProtocol {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IInternetProtocolRoot || riid == IID_IInternetProtocol) {
      *object = static_cast<IInternetProtocol*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink*, IInternetBindInfo*, DWORD, HANDLE_PTR) override {
    g_requests.push_back(url ? url : L"");
    return INET_E_RESOURCE_NOT_FOUND;
  }
  STDMETHODIMP Continue(PROTOCOLDATA*) override { return S_OK; }
  STDMETHODIMP Abort(HRESULT, DWORD) override { return S_OK; }
  STDMETHODIMP Terminate(DWORD) override { return S_OK; }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  STDMETHODIMP Read(void*, ULONG, ULONG* read) override {
    if (read) *read = 0;
    return S_FALSE;
  }
  STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP LockRequest(DWORD) override { return S_OK; }
  STDMETHODIMP UnlockRequest() override { return S_OK; }

 private:
  LONG m_references = 1;
};

class CRecordingFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // a static object
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* protocol = new CRecordingProtocol;
    HRESULT hr = protocol->QueryInterface(riid, object);
    protocol->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

CRecordingFactory g_factory;
const CLSID kClsidRecorder = {0x6c1e5a70, 0x3b1d, 0x4f3e, {0x9a, 0x51, 0x2d, 0x7e, 0x40, 0x13, 0x8c, 0x21}};
const wchar_t* const kSchemes[] = {L"mk", L"its", L"ms-its"};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// Processes messages until the viewer has asked for a page, or `rounds` times 20 ms have passed.
void WaitForRequest(int rounds = 500) {
  for (int i = 0; i < rounds && g_requests.empty(); ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

class HelpViewerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(SUCCEEDED(CoInternetGetSession(0, &s_session, 0)));
    for (const wchar_t* scheme : kSchemes)
      ASSERT_TRUE(SUCCEEDED(s_session->RegisterNameSpace(&g_factory, kClsidRecorder, scheme, 0, nullptr, 0)));
  }
  static void TearDownTestSuite() {
    // Close the viewer's windows (HH_CLOSE_ALL) before the handlers go.
    if (HMODULE viewer = GetModuleHandleA("hhctrl.ocx")) {
      using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
      if (auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(GetProcAddress(viewer, "HtmlHelpA")))
        htmlHelp(nullptr, nullptr, 0x0012, 0);
    }
    if (s_session) {
      for (const wchar_t* scheme : kSchemes) s_session->UnregisterNameSpace(&g_factory, scheme);
      s_session->Release();
      s_session = nullptr;
    }
    CoUninitialize();
  }
  void SetUp() override { g_requests.clear(); }

  static IInternetSession* s_session;
};

IInternetSession* HelpViewerTest::s_session = nullptr;

TEST_F(HelpViewerTest, EveryTopicOpensItsPageAndAnchor) {
  const std::string program = GetProgramFilePath();
  const std::string folder = program.substr(0, program.find_last_of('\\'));
  CChmFile chm;
  ASSERT_TRUE(chm.Open(Wide(folder + "\\Lumatre.chm")));
  // Help Topics (topic 0) and the Help buttons of the dialogs (1 to 7).
  for (int topic = kHelpIndex; topic <= kHelpWindowsManage; ++topic) {
    SCOPED_TRACE(topic);
    g_requests.clear();
    const std::string address = BuildHelpTopicPath(program.c_str(), topic);
    ASSERT_TRUE(OpenHtmlHelpTopic(address)) << address;
    WaitForRequest();
    ASSERT_EQ(1u, g_requests.size());
    const std::string expected = "mk:@MSITStore:" + folder + "\\Lumatre.chm::/" + HelpTopicPage(topic);
    EXPECT_EQ(0, lstrcmpiA(expected.c_str(), Narrow(g_requests[0]).c_str()))
        << "asked for " << expected << ", the viewer opened " << Narrow(g_requests[0]);
    // The page the viewer was sent to is in the file, with its anchor.
    std::string page, anchor, html;
    SplitTopic(HelpTopicPage(topic), page, anchor);
    ASSERT_TRUE(chm.Read(page, html));
    if (!anchor.empty()) {
      EXPECT_TRUE(HasAnchor(html, anchor));
    }
  }
}

TEST_F(HelpViewerTest, AMissingHelpFileOpensNothing) {
  const std::string program = GetProgramFilePath();
  const std::string elsewhere = program.substr(0, program.find_last_of('\\')) + "\\no-help-here\\Lumatre.exe";
  EXPECT_FALSE(OpenHtmlHelpTopic(BuildHelpTopicPath(elsewhere.c_str(), kHelpGeneralOptions)));
  WaitForRequest(50);
  EXPECT_TRUE(g_requests.empty());
}

}  // namespace
