// CRegKey: an owned registry key with typed value access. Every function returns the
// platform's error code (ERROR_SUCCESS when it worked); a value of another type than the one
// asked for gives ERROR_UNSUPPORTED_TYPE and leaves the output untouched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Handles.h"

class CRegKey {
 public:
  CRegKey() noexcept = default;
  explicit CRegKey(HKEY hKey) noexcept : m_key(hKey) {}
  CRegKey(CRegKey&&) noexcept = default;
  CRegKey& operator=(CRegKey&&) noexcept = default;

  HKEY get() const noexcept { return m_key.get(); }
  operator HKEY() const noexcept { return m_key.get(); }  // NOLINT(google-explicit-constructor)
  explicit operator bool() const noexcept { return static_cast<bool>(m_key); }
  void Attach(HKEY hKey) noexcept { m_key.reset(hKey); }
  [[nodiscard]] HKEY Detach() noexcept { return m_key.release(); }
  LONG Close() noexcept;

  // Opens (Create: or creates) lpszKeyName below hKeyParent, closing any key held before.
  LONG Create(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired = KEY_READ | KEY_WRITE,
              DWORD* pdwDisposition = nullptr);
  LONG Open(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired = KEY_READ | KEY_WRITE);

  LONG QueryDWORDValue(LPCSTR lpszValueName, DWORD& dwValue) const;
  // REG_SZ (and REG_EXPAND_SZ, not expanded); a missing terminator is tolerated.
  LONG QueryStringValue(LPCSTR lpszValueName, std::string& value) const;
  LONG QueryBinaryValue(LPCSTR lpszValueName, std::vector<BYTE>& value) const;
  // Type of a value (REG_SZ, REG_DWORD, ...), or ERROR_FILE_NOT_FOUND.
  LONG QueryValueType(LPCSTR lpszValueName, DWORD& dwType) const;

  LONG SetDWORDValue(LPCSTR lpszValueName, DWORD dwValue);
  LONG SetStringValue(LPCSTR lpszValueName, LPCSTR lpszValue, DWORD dwType = REG_SZ);
  LONG SetBinaryValue(LPCSTR lpszValueName, const void* pValue, ULONG nBytes);

  LONG DeleteValue(LPCSTR lpszValueName);
  // Deletes a direct sub-key that has no sub-keys of its own.
  LONG DeleteSubKey(LPCSTR lpszSubKey);
  // Deletes a sub-key with everything below it.
  LONG RecurseDeleteKey(LPCSTR lpszKey);
  LONG Flush();

  // Names of the values / sub-keys of this key.
  std::vector<std::string> EnumValueNames() const;
  std::vector<std::string> EnumSubKeyNames() const;

 private:
  UniqueRegKey m_key;
};

// Deletes hKeyParent\lpszSubKey and everything below it. ERROR_SUCCESS also when it was missing.
LONG AfxDeleteRegKeyTree(HKEY hKeyParent, LPCSTR lpszSubKey);
