// A private registry root for one test: HKCU\software\LumatreAppTest<pid>\<name>, removed
// again when the object goes away. Code under test treats it as a hive (it opens "software"
// beneath it).
#pragma once

#include <windows.h>

#include <string>

class ScratchRegistry {
 public:
  // withSoftware: create the "software" key the settings store opens first.
  explicit ScratchRegistry(const std::string& name, bool withSoftware = true);
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  HKEY hive() const { return m_hive; }

  // Helpers on paths relative to the hive.
  bool KeyExists(const std::string& path) const;
  void CreateKey(const std::string& path) const;
  void SetDword(const std::string& path, const char* name, DWORD value) const;
  void SetString(const std::string& path, const char* name, const std::string& value) const;
  // Any type and raw bytes (for texts without a terminator, odd sizes, wrong types).
  void SetRaw(const std::string& path, const char* name, DWORD type, const void* data,
              DWORD size) const;
  // Type of a value, or -1 when it or its key is missing.
  long ValueType(const std::string& path, const char* name) const;
  DWORD GetDword(const std::string& path, const char* name) const;
  std::string GetString(const std::string& path, const char* name) const;
  int ValueCount(const std::string& path) const;

 private:
  std::string m_path;  // below HKCU
  HKEY m_hive = nullptr;
};

// Removes a key with everything beneath it.
void DeleteRegistryTree(HKEY parent, const char* name);
