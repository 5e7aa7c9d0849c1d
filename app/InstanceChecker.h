// CInstanceChecker: keeps Lumatre to one running instance per session. The first instance
// leaves its main window's handle in a 4-byte named file mapping "CInstanceChecker_MMF_<title>";
// a later instance finds the mapping, brings that window forward and ends.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <mutex>
#include <string>

class CInstanceChecker {
 public:
  explicit CInstanceChecker(const char* applicationTitle);
  CInstanceChecker(const CInstanceChecker&) = delete;
  CInstanceChecker& operator=(const CInstanceChecker&) = delete;

  // True when another instance holds the mapping (its handle is kept for
  // ActivatePreviousInstance). Otherwise creates the mapping, stores `mainWindow` (may be null)
  // in it, keeps it open for the life of this object and returns false.
  bool PreviousInstanceRunning(HWND mainWindow);

  // Reads the first instance's main window, restores it when it is minimised or hidden and
  // brings its last active pop-up to the foreground; then closes the mapping. False when there
  // was no usable window to hand over to.
  bool ActivatePreviousInstance();

  // The window handle kept in the mapping by the first instance; null when none.
  HWND ReadPreviousWindow();

  const std::string& MappingName() const { return m_name; }

 private:
  std::string m_name;
  UniqueHandle m_mapping;
  bool m_owner = false;  // this process created the mapping
  std::mutex m_lock;
};
