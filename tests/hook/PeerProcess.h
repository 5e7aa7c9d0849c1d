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
                        &m_info))
      ADD_FAILURE() << "cannot start " << command;
  }
  ~PeerProcess() {
    if (m_info.hProcess) {
      if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 1);
      CloseHandle(m_info.hThread);
      CloseHandle(m_info.hProcess);
    }
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Waits for the process to end; its exit code, or 0xFFFFFFFF on a timeout.
  DWORD Wait(DWORD ms = 30000) {
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, ms) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
  }
  DWORD Id() const { return m_info.dwProcessId; }

 private:
  PROCESS_INFORMATION m_info{};
};

inline DWORD RunPeer(const std::string& args) { return PeerProcess(args).Wait(); }
