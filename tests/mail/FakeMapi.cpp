// A stand-in mail system for the tests: MAPISendMail records each call in the file named by
// LUMATRE_FAKE_MAPI_LOG, copies every attached file beside the log, and answers with the
// number in the file "<log>.result", or else in LUMATRE_FAKE_MAPI_RESULT (0 when neither). Built without MAPISendMail
// (FAKE_MAPI_NO_SEND) it stands for a broken mail library.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef FAKE_MAPI_NO_SEND
namespace {

std::string Env(const char* name) {
  char value[MAX_PATH * 2] = {};
  DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
  return n && n < sizeof value ? std::string(value) : std::string();
}

// Control characters of the note would break the one-record-per-line log.
std::string Printable(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    if (static_cast<unsigned char>(*p) < 32) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(*p));
      out += hex;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace
#endif

extern "C" {

#ifndef FAKE_MAPI_NO_SEND
__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                                FLAGS flags, ULONG reserved) {
  const std::string logPath = Env("LUMATRE_FAKE_MAPI_LOG");
  std::string result = Env("LUMATRE_FAKE_MAPI_RESULT");
  if (!logPath.empty()) {
    if (FILE* answer = std::fopen((logPath + ".result").c_str(), "r")) {
      char text[32] = {};
      if (std::fgets(text, sizeof text, answer)) result = text;
      std::fclose(answer);
    }
  }
  if (!logPath.empty()) {
    FILE* log = std::fopen(logPath.c_str(), "a");
    if (log) {
      HWND owner = reinterpret_cast<HWND>(uiParam);
      std::fprintf(log, "call session=%lu flags=%lu reserved=%lu owner=%d owner_enabled=%d capture=%d focus_none=%d recipients=%lu files=%lu note=[%s]\n",
                   static_cast<unsigned long>(session), static_cast<unsigned long>(flags),
                   static_cast<unsigned long>(reserved), owner != nullptr, owner ? ::IsWindowEnabled(owner) : 0,
                   owner && ::GetCapture() == owner, ::GetFocus() == nullptr,
                   message ? static_cast<unsigned long>(message->nRecipCount) : 0ul,
                   message ? static_cast<unsigned long>(message->nFileCount) : 0ul,
                   Printable(message ? message->lpszNoteText : nullptr).c_str());
      static int copies = 0;
      for (ULONG i = 0; message && i < message->nFileCount; ++i) {
        const MapiFileDesc& file = message->lpFiles[i];
        std::string copy = logPath + ".copy" + std::to_string(++copies);
        BOOL copied = file.lpszPathName && ::CopyFileA(file.lpszPathName, copy.c_str(), FALSE);
        std::fprintf(log, "file flags=%lu position=%lu path=%s name=%s copy=%s\n", static_cast<unsigned long>(file.flFlags),
                     static_cast<unsigned long>(file.nPosition), Printable(file.lpszPathName).c_str(),
                     Printable(file.lpszFileName).c_str(), copied ? copy.c_str() : "");
      }
      std::fclose(log);
    }
  }
  return result.empty() ? SUCCESS_SUCCESS : static_cast<ULONG>(std::strtoul(result.c_str(), nullptr, 10));
}
#else
__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return SUCCESS_SUCCESS; }
#endif

}  // extern "C"
