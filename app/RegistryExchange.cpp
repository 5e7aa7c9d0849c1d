#include "RegistryExchange.h"

#include "common/Settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Texts larger than this are treated as unreadable: no setting of ours comes near it, and a
// bigger value is garbage that must not make us allocate without bound.
constexpr DWORD kMaxTextBytes = 1024 * 1024;

bool ParseLong(const std::string& token, LONG& out) {
  const char* begin = token.c_str();
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(begin, &end, 10);
  if (end == begin || *end != '\0' || errno == ERANGE) return false;
  out = static_cast<LONG>(value);
  return true;
}

}  // namespace

CRegistryExchange::CRegistryExchange(Direction direction) : m_direction(direction) {}

CRegistryExchange::~CRegistryExchange() { Close(); }

bool CRegistryExchange::OpenRoot(HKEY hive, const char* registryKey, const char* profileName) {
  return OpenPath(hive, registryKey, profileName, true);
}

bool CRegistryExchange::OpenRootReadOnly(HKEY hive, const char* registryKey,
                                         const char* profileName) {
  return OpenPath(hive, registryKey, profileName, false);
}

bool CRegistryExchange::OpenPath(HKEY hive, const char* registryKey, const char* profileName,
                                 bool writable) {
  Close();
  m_writable = writable;
  const REGSAM access = writable ? (KEY_READ | KEY_WRITE) : KEY_READ;
  HKEY raw = nullptr;
  if (RegOpenKeyExA(hive, "software", 0, access, &raw) != ERROR_SUCCESS) return false;
  UniqueRegKey key(raw);
  for (const char* name : {registryKey, profileName}) {
    if (!name || !*name) continue;
    raw = nullptr;
    LONG status = writable ? RegCreateKeyExA(key.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             access, nullptr, &raw, nullptr)
                           : RegOpenKeyExA(key.get(), name, 0, access, &raw);
    if (status != ERROR_SUCCESS) return false;
    key.reset(raw);
  }
  m_root = std::move(key);
  return true;
}

bool CRegistryExchange::SelectSection(const char* section) {
  m_section.reset();
  if (!m_root) return false;
  HKEY raw = nullptr;
  const char* name = section ? section : "";
  LONG status = m_writable
                    ? RegCreateKeyExA(m_root.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, nullptr, &raw, nullptr)
                    : RegOpenKeyExA(m_root.get(), name, 0, KEY_READ, &raw);
  if (status != ERROR_SUCCESS) return false;
  m_section.reset(raw);
  return true;
}

HKEY CRegistryExchange::CurrentKey() const {
  return m_section ? m_section.get() : m_root.get();
}

void CRegistryExchange::Close() {
  m_section.reset();
  if (m_root && m_dirty) RegFlushKey(m_root.get());
  m_root.reset();
  m_dirty = false;
}

bool CRegistryExchange::ReadText(const char* name, std::string& text) const {
  HKEY key = CurrentKey();
  if (!key) return false;
  // The value may change between asking its size and reading it: try a few times.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ || size > kMaxTextBytes) return false;
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    LONG status = RegQueryValueExA(key, name, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS || type != REG_SZ || got > size) return false;
    // A stored text need not be zero-terminated: stop at its end or its first zero.
    text.assign(data.data(), strnlen(data.data(), got));
    return true;
  }
  return false;
}

bool CRegistryExchange::WriteValue(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = CurrentKey();
  if (!key) return false;
  if (RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    return false;
  m_dirty = true;
  return true;
}

void CRegistryExchange::ExchangeText(const char* name, char* buffer, size_t size) {
  if (!buffer || size == 0) return;
  if (IsLoading()) {
    std::string text;
    if (ReadText(name, text)) CopyText(buffer, size, text.c_str());
    return;
  }
  // Never past the buffer, even when it lost its terminator.
  size_t length = strnlen(buffer, size - 1);
  std::string text(buffer, length);
  WriteValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(length + 1));
}

void CRegistryExchange::Exchange32(const char* name, DWORD& value) {
  if (IsLoading()) {
    HKEY key = CurrentKey();
    if (!key) return;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof data)
      value = data;
    return;
  }
  WriteValue(name, REG_DWORD, &value, sizeof value);
}

void CRegistryExchange::Exchange32(const char* name, LONG& value) {
  DWORD data = static_cast<DWORD>(value);
  Exchange32(name, data);
  value = static_cast<LONG>(data);
}

void CRegistryExchange::Exchange16(const char* name, WORD& value) {
  DWORD data = value;
  Exchange32(name, data);
  value = static_cast<WORD>(data & 0xFFFF);
}

void CRegistryExchange::ParseNumbers(const std::string& text, LONG* fields, int count) {
  static const char kSeparators[] = " ,\t\r\n";
  size_t position = 0;
  for (int index = 0; index < count; ++index) {
    size_t begin = text.find_first_not_of(kSeparators, position);
    if (begin == std::string::npos) return;
    size_t end = text.find_first_of(kSeparators, begin);
    if (end == std::string::npos) end = text.size();
    ParseLong(text.substr(begin, end - begin), fields[index]);
    position = end;
  }
}

void CRegistryExchange::WriteNumbers(const char* name, const LONG* fields, int count) {
  std::string text;
  char number[16];
  for (int index = 0; index < count; ++index) {
    std::snprintf(number, sizeof number, index == 0 ? "%ld" : ", %ld",
                  static_cast<long>(fields[index]));
    text += number;
  }
  WriteValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void CRegistryExchange::ExchangePair(const char* name, LONG& first, LONG& second) {
  LONG fields[2] = {first, second};
  if (IsLoading()) {
    std::string text;
    if (!ReadText(name, text)) return;
    ParseNumbers(text, fields, 2);
    first = fields[0];
    second = fields[1];
    return;
  }
  WriteNumbers(name, fields, 2);
}

void CRegistryExchange::ExchangeQuad(const char* name, LONG (&values)[4]) {
  if (IsLoading()) {
    std::string text;
    if (ReadText(name, text)) ParseNumbers(text, values, 4);
    return;
  }
  WriteNumbers(name, values, 4);
}
