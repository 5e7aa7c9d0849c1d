#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

void DeleteRegistryTree(HKEY parent, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
    for (;;) {
      char child[256];
      DWORD length = sizeof child;
      if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      DeleteRegistryTree(key, child);
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(parent, name);
}

namespace {

HKEY OpenPath(HKEY hive, const std::string& path, bool create) {
  HKEY key = nullptr;
  LONG status = create ? RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr)
                       : RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key);
  return status == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

namespace {

// One parent per test process, so that test programs running side by side never remove each
// other's keys.
std::string ParentPath() {
  return "software\\LumatreAppTest" + std::to_string(GetCurrentProcessId());
}

}  // namespace

ScratchRegistry::ScratchRegistry(const std::string& name, bool withSoftware)
    : m_path(ParentPath() + "\\" + name) {
  DeleteRegistryTree(HKEY_CURRENT_USER, m_path.c_str());
  m_hive = OpenPath(HKEY_CURRENT_USER, m_path, true);
  EXPECT_NE(m_hive, nullptr);
  if (withSoftware) CreateKey("software");
}

ScratchRegistry::~ScratchRegistry() {
  if (m_hive) RegCloseKey(m_hive);
  DeleteRegistryTree(HKEY_CURRENT_USER, m_path.c_str());
  // Leave nothing behind: the parent goes when it is empty.
  RegDeleteKeyA(HKEY_CURRENT_USER, ParentPath().c_str());
}

bool ScratchRegistry::KeyExists(const std::string& path) const {
  HKEY key = OpenPath(m_hive, path, false);
  if (key) RegCloseKey(key);
  return key != nullptr;
}

void ScratchRegistry::CreateKey(const std::string& path) const {
  HKEY key = OpenPath(m_hive, path, true);
  ASSERT_NE(key, nullptr) << path;
  RegCloseKey(key);
}

void ScratchRegistry::SetRaw(const std::string& path, const char* name, DWORD type,
                             const void* data, DWORD size) const {
  HKEY key = OpenPath(m_hive, path, true);
  ASSERT_NE(key, nullptr) << path;
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void ScratchRegistry::SetDword(const std::string& path, const char* name, DWORD value) const {
  SetRaw(path, name, REG_DWORD, &value, sizeof value);
}

void ScratchRegistry::SetString(const std::string& path, const char* name,
                                const std::string& value) const {
  SetRaw(path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

long ScratchRegistry::ValueType(const std::string& path, const char* name) const {
  HKEY key = OpenPath(m_hive, path, false);
  if (!key) return -1;
  DWORD type = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? static_cast<long>(type) : -1;
}

DWORD ScratchRegistry::GetDword(const std::string& path, const char* name) const {
  HKEY key = OpenPath(m_hive, path, false);
  if (!key) return 0xDEADBEEF;
  DWORD value = 0xDEADBEEF;
  DWORD size = sizeof value;
  RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

std::string ScratchRegistry::GetString(const std::string& path, const char* name) const {
  HKEY key = OpenPath(m_hive, path, false);
  if (!key) return "<no key>";
  DWORD size = 0;
  std::string result = "<no value>";
  if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 1, '\0');
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
    result = data.data();
  }
  RegCloseKey(key);
  return result;
}

int ScratchRegistry::ValueCount(const std::string& path) const {
  HKEY key = OpenPath(m_hive, path, false);
  if (!key) return -1;
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return static_cast<int>(values);
}
