#include "ShellActions.h"

#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "framework/MessageBox.h"

namespace {

// Longest class name read for ".htm" and longest browser command, terminator included.
constexpr size_t kMaxRegistryText = MAX_PATH;

class CRealShellLinkSystem : public IShellLinkSystem {
 public:
  int ShellOpen(const std::string& target, int showCommand) override {
    HINSTANCE result = ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, showCommand);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
  }

  bool ReadClassesRootDefault(const std::string& subKey, size_t maxChars, std::string& value) override {
    if (maxChars == 0) return false;
    std::vector<char> buffer(maxChars, '\0');
    LONG size = static_cast<LONG>(buffer.size());
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, subKey.c_str(), buffer.data(), &size) != ERROR_SUCCESS) return false;
    buffer.back() = '\0';
    value = buffer.data();
    return true;
  }

  int RunCommandLine(const std::string& commandLine, int showCommand) override {
    return static_cast<int>(::WinExec(commandLine.c_str(), static_cast<UINT>(showCommand)));
  }
};

IShellLinkSystem*& CurrentSystem() {
  static IShellLinkSystem* current = &DefaultShellLinkSystem();
  return current;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

IShellLinkSystem& DefaultShellLinkSystem() {
  static CRealShellLinkSystem system;
  return system;
}

IShellLinkSystem* SetShellLinkSystem(IShellLinkSystem* system) {
  IShellLinkSystem* previous = CurrentSystem();
  CurrentSystem() = system ? system : &DefaultShellLinkSystem();
  return previous;
}

int OpenLink(const std::string& target, int showCommand) { return OpenLink(target, showCommand, *CurrentSystem()); }

int OpenLink(const std::string& target, int showCommand, IShellLinkSystem& system) {
  int result = system.ShellOpen(target, showCommand);
  if (result > 32) return result;

  // No association for the target itself: hand it to the registered web browser.
  std::string htmlClass;
  if (!system.ReadClassesRootDefault(".htm", kMaxRegistryText, htmlClass) || IsBlank(htmlClass)) return result;
  std::string command;
  if (!system.ReadClassesRootDefault(htmlClass + "\\shell\\open\\command", kMaxRegistryText, command) ||
      IsBlank(command))
    return result;
  return system.RunCommandLine(BuildBrowserCommand(command, target), showCommand);
}

std::string BuildBrowserCommand(const std::string& command, const std::string& target) {
  std::string program = command;
  size_t cut = program.find("\"%1\"");
  if (cut == std::string::npos) cut = program.find("%1");
  if (cut != std::string::npos) program.resize(cut);
  return program + " " + target;
}

std::string OpenLinkErrorText(int code) {
  const char* reason = nullptr;
  switch (code) {
    case 0: reason = "The operating system is out\nof memory or resources."; break;
    case SE_ERR_FNF: reason = "The specified file was not found."; break;
    case SE_ERR_PNF: reason = "The specified path was not found."; break;
    case SE_ERR_ACCESSDENIED: reason = "The operating system denied\naccess to the specified file."; break;
    case SE_ERR_OOM: reason = "There was not enough memory to complete the operation."; break;
    case ERROR_BAD_FORMAT: reason = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case SE_ERR_SHARE: reason = "A sharing violation occurred. "; break;
    case SE_ERR_ASSOCINCOMPLETE: reason = "The filename association is\nincomplete or invalid."; break;
    case SE_ERR_DDETIMEOUT: reason = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case SE_ERR_DDEFAIL: reason = "The DDE transaction failed."; break;
    case SE_ERR_DDEBUSY:
      reason = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
      break;
    case SE_ERR_NOASSOC: reason = "There is no application associated\nwith the given filename extension."; break;
    case SE_ERR_DLLNOTFOUND: reason = "The specified dynamic-link library was not found."; break;
    default: break;
  }
  std::string text = "Can't open link:\n\n";
  if (reason) {
    text += reason;
  } else {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "Unknown Error (%d) occurred.", code);
    text += buffer;
  }
  return text;
}

void ShowOpenLinkError(int code) { AfxMessageBox(OpenLinkErrorText(code).c_str(), MB_OK | MB_ICONEXCLAMATION); }
