// Opening web addresses and files through the shell.
//
// OpenLink asks the shell to "open" the target; when the shell cannot (no association, for
// example), it runs the browser registered for ".htm" files with the target as its argument.
// The system calls go through IShellLinkSystem so that tests can stand in for the shell, the
// registry and WinExec; the real one is the default.
#pragma once

#include <windows.h>

#include <string>

class IShellLinkSystem {
 public:
  virtual ~IShellLinkSystem() = default;
  // ShellExecute(owner none, "open", target, no parameters, no directory, showCommand); the
  // shell's result code (above 32 on success).
  virtual int ShellOpen(const std::string& target, int showCommand) = 0;
  // The default value of HKEY_CLASSES_ROOT\<subKey>, at most maxChars characters (terminator
  // included). False when the key or value is missing or longer.
  virtual bool ReadClassesRootDefault(const std::string& subKey, size_t maxChars, std::string& value) = 0;
  // WinExec(commandLine, showCommand); its result (above 31 on success).
  virtual int RunCommandLine(const std::string& commandLine, int showCommand) = 0;
};

// The real shell, registry and WinExec.
IShellLinkSystem& DefaultShellLinkSystem();
// The system OpenLink uses when none is given (the real one unless replaced). Passing null
// restores the real one. Returns the previous one.
IShellLinkSystem* SetShellLinkSystem(IShellLinkSystem* system);

// Opens target (a web address, "mailto:" address or file) and returns the result code: the
// shell's when it succeeded or no browser is registered, else WinExec's. Above 32 is success.
int OpenLink(const std::string& target, int showCommand);
int OpenLink(const std::string& target, int showCommand, IShellLinkSystem& system);

// The command line that runs a registered browser command with target: the command is cut
// where "\"%1\"" begins, or else where "%1" begins (else kept whole), then a space and the
// target are appended.
std::string BuildBrowserCommand(const std::string& command, const std::string& target);

// The message for a failed OpenLink result: "Can't open link:\n\n" and the reason.
std::string OpenLinkErrorText(int code);
// Shows OpenLinkErrorText(code) in a message box with the exclamation icon.
void ShowOpenLinkError(int code);
