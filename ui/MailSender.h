// Sending files as mail attachments through Simple MAPI.
//
// MAPI32.DLL is loaded at run time, once for the whole process: every CMailSender shares the
// handle, and the last one to go unloads it. A sender that could not load the library or find
// MAPISendMail has said so in a message box already and sends nothing.
#pragma once

#include <windows.h>
#include <mapi.h>

#include <string>
#include <vector>

class CMailSender {
 public:
  enum Error { kNone = 0, kNoLibrary = 1, kNoSendEntry = 2, kNoMemory = 5 };

  CMailSender();
  ~CMailSender();
  CMailSender(const CMailSender&) = delete;
  CMailSender& operator=(const CMailSender&) = delete;

  // Adds a file; the strings are not copied, the caller keeps them alive until Send returns.
  // False (and kNoMemory) when the list cannot grow.
  bool AddAttachment(const char* pathName, const char* fileName);
  // The text of the message; Send appends one space per attachment, where each one stands.
  std::string& NoteText() { return m_noteText; }
  // Sends with flags | MAPI_LOGON_UI. True when sent, cancelled by the user or when the logon
  // failed (the user has seen the mail system's own message then); otherwise shows "Send Mail
  // failed to send message." and returns false.
  bool Send(ULONG flags);

  int GetError() const { return m_error; }
  size_t GetAttachmentCount() const { return m_fileCount; }

  // The library loaded ("MAPI32.DLL" unless a test names another). Returns the previous name.
  static const char* SetLibraryName(const char* name);

 private:
  MapiMessage m_message{};
  std::vector<MapiFileDesc> m_files;
  size_t m_fileCount = 0;
  std::string m_noteText;
  int m_error = kNone;
  LPMAPISENDMAIL m_pSendMail = nullptr;
};
