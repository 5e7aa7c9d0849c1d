// What the image documents need from the program around them. The application object and the
// main frame implement these interfaces; the documents find them through AfxGetApp() and
// AfxGetMainWnd(), so tests can put their own application and frame in place.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/Settings.h"
#include "framework/CmdTarget.h"

class CAutoDecoder;
class CDocument;
class CFrameWnd;
class CDisplayBitmap;
class CProgressSink;

// Posted to the main window after a document was made, opened or closed, so that the tabs bar
// follows the number of documents.
constexpr UINT UWM_UPDATETABBAR = WM_USER + 204;  // 1228
// Posted by an image view to itself at its first update when its document is a new capture
// (the view clears the document's newCapture as it posts); its handler passes the document to
// IImageDocumentFrame::RunCaptureOutputs.
constexpr UINT UWM_CAPTUREOUTPUTS = WM_USER + 206;  // 1230

// The application's side.
class IImageDocumentApp {
 public:
  // The settings records (JPEG options stored and current, mail image type, colours).
  virtual AppSettings& GetDocumentSettings() = 0;
  // Hands over the picture the next new document takes (File New, Paste As New Image); null
  // when there is none.
  virtual std::unique_ptr<CDisplayBitmap> TakePendingImage() = 0;
  // The decoder every document opens its files with.
  virtual CAutoDecoder& GetAutoDecoder() = 0;
  // Mails one file as an attachment under displayName (Simple MAPI flags). False when nothing
  // was sent.
  virtual bool SendMailAttachment(const std::string& path, const std::string& displayName, unsigned flags) = 0;
  // Opens a topic of the program's help file (the operation dialogs' Help buttons).
  virtual void ShowHelpTopic(int topic) {}

 protected:
  ~IImageDocumentApp() = default;
};

// The main frame's side.
class IImageDocumentFrame {
 public:
  // The device bitmap of a capture waiting to become a document, or null.
  virtual HBITMAP GetCapturedBitmap() const = 0;
  // Runs the outputs of a new capture document (clipboard, file, printer) as the settings say.
  // The frame of a program without capture outputs does nothing.
  virtual void RunCaptureOutputs(CDocument* doc) {}

 protected:
  ~IImageDocumentFrame() = default;
};

// The editing side of an image view that the document passes commands to (the view of the
// active image window).
class IImageEditView {
 public:
  virtual bool HasSelection() const = 0;
  virtual void CropSelection() = 0;
  virtual void CutSelection() = 0;
  virtual void CopySelection() = 0;
  virtual void PasteFromClipboard() = 0;

 protected:
  ~IImageEditView() = default;
};

// The status texts of an image view that the main frame shows in its panes. The frame's update
// handlers of the panes ask the active view for them at idle time.
class IImageStatusSource {
 public:
  // The text of the pane with id paneId (ID_INDICATOR_POSITION, ID_INDICATOR_COLOR,
  // ID_INDICATOR_IMAGESIZE). False when the view has nothing to tell there: the pane then shows
  // its first text.
  virtual bool GetStatusText(UINT paneId, std::string& text) const = 0;

 protected:
  ~IImageStatusSource() = default;
};

// What an image-fact pane of a frame shows: the text of the active image view of activeChild
// (null: no window is active), or the pane's first text (its string resource) when there is no
// image view or the view has nothing to tell.
std::string ImageStatusPaneText(CFrameWnd* activeChild, UINT paneId);
// Lets the main window's status panes take their texts now rather than at the next idle time:
// after a change made inside a modal dialog (Apply of the resize dialogs), where the program's
// idle time does not come until the dialog ends.
void RefreshMainStatusPanes();

// The progress sink of the main window: a progress bar in the status bar's message pane.
CProgressSink* GetMainProgressSink();
// Ends the main window's progress: the bar goes when it still shows (an operation that failed
// or stopped half-way) and the next report starts afresh.
void EndMainProgress();

// Shows the wait cursor for one scope of long work and makes sure the status bar's progress
// bar is gone at its end, whichever way the scope is left.
class CBusyCursor {
 public:
  CBusyCursor() = default;
  ~CBusyCursor() { EndMainProgress(); }
  CBusyCursor(const CBusyCursor&) = delete;
  CBusyCursor& operator=(const CBusyCursor&) = delete;

 private:
  CWaitCursor m_wait;  // restored after the bar went
};
// Puts a text into the main window's status bar message pane (when it has one).
void SetMainStatusMessage(const char* text);
