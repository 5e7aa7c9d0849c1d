// The world an image document lives in, for the tests: an application with settings, a
// pending image and a recording mailer; a main frame with a status bar and a captured bitmap;
// a document manager whose file-name prompt answers from a script; the document type 129.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ChildFrame.h"
#include "DocumentHost.h"
#include "FrameworkTestSupport.h"
#include "QuorvaCaptureDoc.h"
#include "SimpleImageView.h"
#include "decode/AutoDecoder.h"
#include "encode/EncoderChoice.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

class CDocTestApp : public CWinApp, public AppSettings, public IImageDocumentApp {
 public:
  CDocTestApp() : CWinApp("Lumatre Document Test") {}

  struct Mail {
    std::string path;
    std::string displayName;
    unsigned flags;
    bool fileExisted;
    std::string bytes;
  };

  AppSettings& GetDocumentSettings() override { return *this; }
  std::unique_ptr<CDisplayBitmap> TakePendingImage() override { return std::move(pending); }
  CAutoDecoder& GetAutoDecoder() override { return decoder; }
  bool SendMailAttachment(const std::string& path, const std::string& displayName, unsigned flags) override {
    Mail mail{path, displayName, flags, ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, {}};
    std::ifstream in(path, std::ios::binary);
    mail.bytes.assign(std::istreambuf_iterator<char>(in), {});
    mails.push_back(mail);
    return true;
  }

  void ShowHelpTopic(int topic) override { helpTopics.push_back(topic); }

  std::unique_ptr<CDisplayBitmap> pending;
  CAutoDecoder decoder;
  std::vector<Mail> mails;
  std::vector<int> helpTopics;
};

class CScriptedDocManager : public CDocManager {
 public:
  BOOL DoPromptFileName(std::string& fileName, UINT, DWORD, BOOL bOpen, CDocTemplate*) override {
    ++prompts;
    lastOpen = bOpen;
    if (answer.empty()) return FALSE;
    fileName = answer;
    return TRUE;
  }
  std::string answer;  // empty: the user cancels
  int prompts = 0;
  BOOL lastOpen = FALSE;
};

class CDocTestFrame : public CMDIFrameWnd, public IImageDocumentFrame {
 public:
  HBITMAP GetCapturedBitmap() const override { return captured; }
  HBITMAP captured = nullptr;
  CStatusBar statusBar;
  int tabBarPosts = 0;

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_COLOR, ID_INDICATOR_IMAGESIZE};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 4)) return -1;
    RecalcLayout();
    return 0;
  }
  LRESULT OnUpdateTabBar(WPARAM, LPARAM) {
    ++tabBarPosts;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

// The enabled state a command's update handlers give it.
struct CommandState : CCmdUI {
  int enabled = -1;
  void Enable(BOOL bOn) override {
    enabled = bOn ? 1 : 0;
    m_bEnableChanged = TRUE;
  }
};

// A folder of its own under the temporary folder, removed with its files afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "lumatre-doc-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(m_counter++);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((m_path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string file = m_path + "\\" + data.cFileName;
        ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(file.c_str());
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    ::SetCurrentDirectoryA(temp);  // an open moves the current folder here
    ::RemoveDirectoryA(m_path.c_str());
  }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  static inline int m_counter = 0;
};

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 32-bit picture whose every pixel differs: red = 10 x, green = 20 y, blue = 7.
inline std::unique_ptr<CDisplayBitmap> MakePattern(int width, int height) {
  auto bitmap = std::make_unique<CDisplayBitmap>();
  bitmap->Create(width, height, 32, false);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->SetPixel(x, y, PLMakePixel(static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 * y), 7, 0));
  return bitmap;
}

inline uint32_t RGBOf(const CDibBitmap& bitmap, int x, int y) {
  return bitmap.GetPixel(x, y) & 0x00FFFFFFu;
}

// A test on a shown main frame of type Frame (a CDocTestFrame) with the image document type, the
// scripted document manager, a scratch folder and message boxes answered Yes; the documents are
// closed and the frame destroyed afterwards.
template <class Frame>
class DocumentFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = new CScriptedDocManager;
    app.m_pDocManager = manager;
    app.AddDocTemplate(new CMultiDocTemplate(IDR_LUMATRETYPE, &AfxNewObject<CQuorvaCaptureDoc, CDocument>,
                                             &AfxNewObject<CChildFrame, CFrameWnd>,
                                             &AfxNewObject<CSimpleImageView, CView>));
    frame = new Frame;
    PrepareFrame();
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    frame->ShowWindow(SW_SHOW);
    app.m_pMainWnd = frame;
  }
  void TearDown() override {
    app.CloseAllDocuments(TRUE);
    if (app.m_pMainWnd) ::DestroyWindow(app.m_pMainWnd->m_hWnd);
    app.m_pMainWnd = nullptr;
    DrainQuit();
  }
  // What the frame needs before its window is made.
  virtual void PrepareFrame() {}

  CQuorvaCaptureDoc* NewFromPending(std::unique_ptr<CDisplayBitmap> picture) {
    app.pending = std::move(picture);
    app.OnFileNew();
    PumpMessages();
    auto docs = manager->GetDocuments();
    return docs.empty() ? nullptr : dynamic_cast<CQuorvaCaptureDoc*>(docs.back());
  }
  void Command(UINT id) {
    frame->SendMessage(WM_COMMAND, id, 0);
    PumpMessages();
  }

  CDocTestApp app;
  CScriptedDocManager* manager = nullptr;
  Frame* frame = nullptr;
  ScratchFolder folder;
  MessageBoxRecorder boxes{IDYES};
};
