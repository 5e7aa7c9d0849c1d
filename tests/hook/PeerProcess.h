// Starts hook_peer.exe (built beside the tests) as a second process.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class PeerProcess {
 public:
  explicit PeerProcess(const std::string& args) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir.resize(dir.find_last_of('\\') + 1);
    std::string command = "\"" + dir + "hook_peer.exe\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &info_))
      ADD_FAILURE() << "cannot start " << command;
  }
  ~PeerProcess() {
    if (info_.hProcess) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
      CloseHandle(info_.hThread);
      CloseHandle(info_.hProcess);
    }
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Waits for the process to end; its exit code, or 0xFFFFFFFF on a timeout.
  DWORD Wait(DWORD ms = 30000) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

inline DWORD RunPeer(const std::string& args) { return PeerProcess(args).Wait(); }
