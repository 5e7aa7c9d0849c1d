#include "InstanceChecker.h"

#include <cstring>

namespace {

constexpr DWORD kMappingBytes = sizeof(DWORD);

}  // namespace

CInstanceChecker::CInstanceChecker(const char* applicationTitle)
    : m_name(std::string("CInstanceChecker_MMF_") + (applicationTitle ? applicationTitle : "")) {}

bool CInstanceChecker::PreviousInstanceRunning(HWND mainWindow) {
  if (m_owner) return false;
  HANDLE existing = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, m_name.c_str());
  if (existing) {
    m_mapping.reset(existing);
    return true;
  }
  HANDLE created = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      kMappingBytes, m_name.c_str());
  if (!created) return false;  // no way to tell: run rather than refuse to start
  // Two instances starting at the same moment both miss the mapping; the one that did not
  // create it must not overwrite the other's window.
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    m_mapping.reset(created);
    return true;
  }
  m_mapping.reset(created);
  m_owner = true;
  MappedView view(MapViewOfFile(m_mapping.get(), FILE_MAP_WRITE, 0, 0, kMappingBytes));
  if (view) {
    std::lock_guard<std::mutex> hold(m_lock);
    DWORD value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainWindow));
    std::memcpy(view.get(), &value, sizeof value);
  }
  return false;
}

HWND CInstanceChecker::ReadPreviousWindow() {
  if (!m_mapping) return nullptr;
  MappedView view(MapViewOfFile(m_mapping.get(), FILE_MAP_READ, 0, 0, kMappingBytes));
  if (!view) return nullptr;
  DWORD value = 0;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    std::memcpy(&value, view.get(), sizeof value);
  }
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}

bool CInstanceChecker::ActivatePreviousInstance() {
  if (m_owner || !m_mapping) return false;
  HWND previous = ReadPreviousWindow();
  m_mapping.reset();
  // The first instance may still be starting (no window stored yet) or may have gone.
  if (!previous || !IsWindow(previous)) return false;
  HWND popup = GetLastActivePopup(previous);
  if (!popup || !IsWindow(popup)) popup = previous;
  if (IsIconic(previous))
    ShowWindow(previous, SW_RESTORE);
  else if (!IsWindowVisible(previous))
    ShowWindow(previous, SW_SHOW);  // running in the tray
  SetForegroundWindow(popup);
  return true;
}
