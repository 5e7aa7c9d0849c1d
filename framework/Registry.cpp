#include "Registry.h"

#include <cstring>

LONG CRegKey::Close() noexcept {
  m_key.reset();
  return ERROR_SUCCESS;
}

LONG CRegKey::Create(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired, DWORD* pdwDisposition) {
  if (!hKeyParent || !lpszKeyName) return ERROR_INVALID_PARAMETER;
  HKEY h = nullptr;
  DWORD disposition = 0;
  LONG r = ::RegCreateKeyExA(hKeyParent, lpszKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, samDesired, nullptr, &h,
                             &disposition);
  if (pdwDisposition) *pdwDisposition = disposition;
  if (r == ERROR_SUCCESS) m_key.reset(h);
  return r;
}

LONG CRegKey::Open(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired) {
  if (!hKeyParent || !lpszKeyName) return ERROR_INVALID_PARAMETER;
  HKEY h = nullptr;
  LONG r = ::RegOpenKeyExA(hKeyParent, lpszKeyName, 0, samDesired, &h);
  if (r == ERROR_SUCCESS) m_key.reset(h);
  return r;
}

LONG CRegKey::QueryValueType(LPCSTR lpszValueName, DWORD& dwType) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  DWORD type = 0;
  LONG r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, nullptr, nullptr);
  if (r == ERROR_SUCCESS) dwType = type;
  return r;
}

LONG CRegKey::QueryDWORDValue(LPCSTR lpszValueName, DWORD& dwValue) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  DWORD type = 0, value = 0, size = sizeof(value);
  LONG r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (r == ERROR_MORE_DATA) return ERROR_UNSUPPORTED_TYPE;
  if (r != ERROR_SUCCESS) return r;
  if (type != REG_DWORD || size != sizeof(DWORD)) return ERROR_UNSUPPORTED_TYPE;
  dwValue = value;
  return ERROR_SUCCESS;
}

LONG CRegKey::QueryStringValue(LPCSTR lpszValueName, std::string& value) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  // The value may change between the size query and the read: retry a few times.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LONG r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, nullptr, &size);
    if (r != ERROR_SUCCESS) return r;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
    std::string buf(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) return r;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
    // Stop at the first terminator; a value stored without one is taken whole.
    buf.resize(got);
    size_t nul = buf.find('\0');
    if (nul != std::string::npos) buf.resize(nul);
    value = std::move(buf);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LONG CRegKey::QueryBinaryValue(LPCSTR lpszValueName, std::vector<BYTE>& value) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LONG r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, nullptr, &size);
    if (r != ERROR_SUCCESS) return r;
    if (type != REG_BINARY) return ERROR_UNSUPPORTED_TYPE;
    std::vector<BYTE> buf(size);
    DWORD got = size;
    r = ::RegQueryValueExA(m_key.get(), lpszValueName, nullptr, &type, buf.empty() ? nullptr : buf.data(), &got);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) return r;
    if (type != REG_BINARY) return ERROR_UNSUPPORTED_TYPE;
    buf.resize(got);
    value = std::move(buf);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LONG CRegKey::SetDWORDValue(LPCSTR lpszValueName, DWORD dwValue) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegSetValueExA(m_key.get(), lpszValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                          sizeof(dwValue));
}

LONG CRegKey::SetStringValue(LPCSTR lpszValueName, LPCSTR lpszValue, DWORD dwType) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  if (!lpszValue) return ERROR_INVALID_PARAMETER;
  return ::RegSetValueExA(m_key.get(), lpszValueName, 0, dwType, reinterpret_cast<const BYTE*>(lpszValue),
                          static_cast<DWORD>(std::strlen(lpszValue) + 1));
}

LONG CRegKey::SetBinaryValue(LPCSTR lpszValueName, const void* pValue, ULONG nBytes) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  if (!pValue && nBytes) return ERROR_INVALID_PARAMETER;
  return ::RegSetValueExA(m_key.get(), lpszValueName, 0, REG_BINARY, static_cast<const BYTE*>(pValue), nBytes);
}

LONG CRegKey::DeleteValue(LPCSTR lpszValueName) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegDeleteValueA(m_key.get(), lpszValueName);
}

LONG CRegKey::DeleteSubKey(LPCSTR lpszSubKey) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegDeleteKeyA(m_key.get(), lpszSubKey);
}

LONG CRegKey::RecurseDeleteKey(LPCSTR lpszKey) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return AfxDeleteRegKeyTree(m_key.get(), lpszKey);
}

LONG CRegKey::Flush() {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegFlushKey(m_key.get());
}

std::vector<std::string> CRegKey::EnumValueNames() const {
  std::vector<std::string> names;
  if (!m_key) return names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof(name);
    LONG r = ::RegEnumValueA(m_key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  return names;
}

std::vector<std::string> CRegKey::EnumSubKeyNames() const {
  std::vector<std::string> names;
  if (!m_key) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof(name);
    LONG r = ::RegEnumKeyExA(m_key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  return names;
}

LONG AfxDeleteRegKeyTree(HKEY hKeyParent, LPCSTR lpszSubKey) {
  if (!hKeyParent || !lpszSubKey || !*lpszSubKey) return ERROR_INVALID_PARAMETER;
  CRegKey key;
  LONG r = key.Open(hKeyParent, lpszSubKey, KEY_READ | KEY_WRITE);
  if (r == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (r != ERROR_SUCCESS) return r;
  // Delete children first; re-enumerate since deletion shifts the indexes.
  for (int guard = 0; guard < 100000; ++guard) {
    std::vector<std::string> children = key.EnumSubKeyNames();
    if (children.empty()) break;
    for (const std::string& child : children) {
      r = AfxDeleteRegKeyTree(key.get(), child.c_str());
      if (r != ERROR_SUCCESS) return r;
    }
  }
  key.Close();
  r = ::RegDeleteKeyA(hKeyParent, lpszSubKey);
  return r == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : r;
}
