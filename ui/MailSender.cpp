#include "MailSender.h"

#include <new>

#include "framework/CmdTarget.h"
#include "framework/MessageBox.h"

namespace {

const char*& LibraryName() {
  static const char* name = "MAPI32.DLL";
  return name;
}

// One handle for the process, with the number of senders using it: a sender going away must
// not unload the library under another that is still sending.
struct SharedLibrary {
  HMODULE module = nullptr;
  int users = 0;
};

SharedLibrary& Library() {
  static SharedLibrary library;
  return library;
}

void ReleaseLibrary() {
  SharedLibrary& library = Library();
  if (library.users > 0 && --library.users == 0 && library.module) {
    ::FreeLibrary(library.module);
    library.module = nullptr;
  }
}

// The program's other top-level windows (floating bars, modeless boxes) are disabled while
// the mail system's own window is up, and enabled again afterwards.
class ModelessWindowsOff {
 public:
  explicit ModelessWindowsOff(HWND owner) : m_owner(owner) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &ModelessWindowsOff::Collect, reinterpret_cast<LPARAM>(this));
    for (HWND hWnd : m_disabled) ::EnableWindow(hWnd, FALSE);
  }
  ~ModelessWindowsOff() {
    for (HWND hWnd : m_disabled)
      if (::IsWindow(hWnd)) ::EnableWindow(hWnd, TRUE);
  }
  ModelessWindowsOff(const ModelessWindowsOff&) = delete;
  ModelessWindowsOff& operator=(const ModelessWindowsOff&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND hWnd, LPARAM param) {
    auto* self = reinterpret_cast<ModelessWindowsOff*>(param);
    if (hWnd != self->m_owner && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd))
      self->m_disabled.push_back(hWnd);
    return TRUE;
  }

  HWND m_owner;
  std::vector<HWND> m_disabled;
};

}  // namespace

const char* CMailSender::SetLibraryName(const char* name) {
  const char* previous = LibraryName();
  LibraryName() = name ? name : "MAPI32.DLL";
  return previous;
}

CMailSender::CMailSender() {
  SharedLibrary& library = Library();
  if (!library.module) {
    library.module = ::LoadLibraryA(LibraryName());
    if (!library.module) {
      m_error = kNoLibrary;
      AfxMessageBox("Unable to load mail system support.");
      return;
    }
  }
  ++library.users;
  m_pSendMail = reinterpret_cast<LPMAPISENDMAIL>(::GetProcAddress(library.module, "MAPISendMail"));
  if (!m_pSendMail) {
    m_error = kNoSendEntry;
    AfxMessageBox("Mail system DLL is invalid.");
  }
}

CMailSender::~CMailSender() {
  if (m_error != kNoLibrary) ReleaseLibrary();
}

bool CMailSender::AddAttachment(const char* pathName, const char* fileName) {
  try {
    if (m_files.size() <= m_fileCount) m_files.resize(m_fileCount + 1);
  } catch (const std::bad_alloc&) {
    m_error = kNoMemory;
    return false;
  }
  MapiFileDesc& file = m_files[m_fileCount++];
  file = MapiFileDesc{};
  file.lpszPathName = const_cast<LPSTR>(pathName);
  file.lpszFileName = const_cast<LPSTR>(fileName);
  return true;
}

bool CMailSender::Send(ULONG flags) {
  if (!m_pSendMail) return false;
  CWaitCursor wait;

  // Each attachment stands on its own space at the end of the text.
  const size_t textLength = m_noteText.size();
  m_noteText.append(m_fileCount, ' ');
  for (size_t i = 0; i < m_fileCount; ++i) m_files[i].nPosition = static_cast<ULONG>(textLength + i);
  m_message.lpszNoteText = m_noteText.data();
  m_message.nFileCount = static_cast<ULONG>(m_fileCount);
  m_message.lpFiles = m_fileCount ? m_files.data() : nullptr;

  // The owner: the program's top-level window that a box would have now.
  HWND owner = AfxGetSafeOwner();
  if (owner) owner = ::GetAncestor(owner, GA_ROOTOWNER);
  ULONG result;
  {
    ModelessWindowsOff modeless(owner);
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (owner) {
      ::EnableWindow(owner, FALSE);
      ::SetCapture(owner);
    }
    ::SetFocus(nullptr);
    result = m_pSendMail(0, reinterpret_cast<ULONG_PTR>(owner), &m_message, flags | MAPI_LOGON_UI, 0);
    if (owner) {
      if (::GetCapture() == owner) ::ReleaseCapture();
      if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
      ::SetActiveWindow(nullptr);
      ::SetActiveWindow(owner);
      ::SetFocus(owner);
    }
  }
  m_message.lpszNoteText = nullptr;
  m_message.lpFiles = nullptr;

  if (result == SUCCESS_SUCCESS || result == MAPI_USER_ABORT || result == MAPI_E_LOGIN_FAILURE) return true;
  AfxMessageBox("Send Mail failed to send message.");
  return false;
}
