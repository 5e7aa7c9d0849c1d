#include "AppHelpers.h"

#include "framework/Handles.h"

#include <cstring>
#include <vector>

const char kAutoStartRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kAutoStartValueName[] = "Lumatre";

std::string GetProgramFilePath() {
  // Long paths need more than MAX_PATH: grow until the name fits.
  std::vector<char> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 6; ++attempt) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

namespace {

// Everything up to and including the last backslash; empty when there is none.
std::string FolderWithBackslash(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string EnsureOutputDirectory(const std::string& programFile) {
  const std::string folder = FolderWithBackslash(programFile);
  const std::string output = folder + "Output";
  DWORD attributes = GetFileAttributesA(output.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? output : folder;
  DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return folder;
  if (CreateDirectoryA(output.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
    return output;
  return folder;
}

const char* HelpTopicPage(int topic) {
  switch (topic) {
    case kHelpGeneralOptions: return "dialog.htm#generaloption";
    case kHelpResizeDialog: return "dialog.htm#resizedialog";
    case kHelpRotateDialog: return "dialog.htm#rotatedialog";
    case kHelpPrintLayout: return "dialog.htm#printlayout";
    case kHelpContrastDialog: return "dialog.htm#contrastdialog";
    case kHelpBrightnessDialog: return "dialog.htm#brightnessdialog";
    case kHelpWindowsManage: return "dialog.htm#windowsmanage";
    default: return "index.htm";
  }
}

std::string BuildHelpTopicPath(const char* programPath, int topic) {
  std::string path = programPath ? programPath : "";
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) path.resize(slash);
  path += "\\Lumatre.chm::/";
  path += HelpTopicPage(topic);
  return path;
}

bool OpenHtmlHelpTopic(const std::string& path) {
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
  // The viewer's windows live in its module: it stays loaded for the rest of the run.
  static HMODULE viewer = LoadLibraryA("hhctrl.ocx");
  if (!viewer) return false;
  auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(GetProcAddress(viewer, "HtmlHelpA"));
  if (!htmlHelp) return false;
  return htmlHelp(GetDesktopWindow(), path.c_str(), kDisplayTopic, 0) != nullptr;
}

bool IsAutoStartEnabled(HKEY hive) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(hive, kAutoStartRunKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  UniqueRegKey run(raw);
  DWORD type = 0;
  DWORD size = 0;
  return RegQueryValueExA(run.get(), kAutoStartValueName, nullptr, &type, nullptr, &size) ==
         ERROR_SUCCESS;
}

bool SetAutoStart(bool on, const char* programPath, HKEY hive) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(hive, kAutoStartRunKey, 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS)
    return false;
  UniqueRegKey run(raw);
  if (on) {
    const char* data = programPath ? programPath : "";
    return RegSetValueExA(run.get(), kAutoStartValueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data),
                          static_cast<DWORD>(strlen(data) + 1)) == ERROR_SUCCESS;
  }
  LONG status = RegDeleteValueA(run.get(), kAutoStartValueName);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

HCURSOR GetCursorAtPoint() {
  POINT point;
  if (!GetCursorPos(&point)) return nullptr;
  HWND window = WindowFromPoint(point);
  DWORD ownThread = GetCurrentThreadId();
  DWORD windowThread = window ? GetWindowThreadProcessId(window, nullptr) : ownThread;
  if (windowThread == ownThread) return GetCursor();
  if (!AttachThreadInput(ownThread, windowThread, TRUE)) return nullptr;
  HCURSOR cursor = GetCursor();
  AttachThreadInput(ownThread, windowThread, FALSE);
  return cursor;
}
