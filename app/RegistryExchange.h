// CRegistryExchange: reads or writes the values of one registry root and its sections, by the
// encodings of Lumatre's settings store. One object serves one load or one save; the direction
// is fixed when it is made.
//
// Encodings:
//   32-bit / 16-bit number  REG_DWORD (a 16-bit field takes the low 16 bits)
//   text                    REG_SZ
//   pair                    REG_SZ "%ld, %ld"
//   quad                    REG_SZ "%ld, %ld, %ld, %ld"
// A value that is missing, of another type or unreadable leaves its field as it was. Texts are
// cut to their buffers and always zero-terminated. Nothing here reports a failure to the user.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <cstddef>
#include <string>

class CRegistryExchange {
 public:
  enum Direction { kLoad, kSave };

  explicit CRegistryExchange(Direction direction);
  ~CRegistryExchange();
  CRegistryExchange(const CRegistryExchange&) = delete;
  CRegistryExchange& operator=(const CRegistryExchange&) = delete;

  bool IsLoading() const { return m_direction == kLoad; }

  // Opens hive\software, then creates (or opens) registryKey and profileName beneath it, with
  // read and write access. Used by both directions, so loading creates a missing key path.
  // Switching roots closes (and flushes) the previous one. False when no root could be opened;
  // every exchange is then a no-op.
  bool OpenRoot(HKEY hive, const char* registryKey, const char* profileName);
  // The same path opened for reading only; sections are then opened, never created.
  bool OpenRootReadOnly(HKEY hive, const char* registryKey, const char* profileName);

  // Makes `section` (a sub-key of the root) current: created when the root is writable, opened
  // for reading otherwise. When that fails the root itself serves as the section (false).
  bool SelectSection(const char* section);

  // Load: read by the rules above. Save: write the field and mark the object dirty.
  void ExchangeText(const char* name, char* buffer, size_t size);
  template <size_t N>
  void ExchangeText(const char* name, char (&buffer)[N]) {
    ExchangeText(name, buffer, N);
  }
  void Exchange32(const char* name, DWORD& value);
  void Exchange32(const char* name, LONG& value);
  void Exchange16(const char* name, WORD& value);
  void ExchangePair(const char* name, LONG& first, LONG& second);
  void ExchangeQuad(const char* name, LONG (&values)[4]);

  // Reads a REG_SZ value whole (load direction only). False when missing, of another type or
  // unreadable.
  bool ReadText(const char* name, std::string& text) const;

  // Flushes the root when anything was written, then closes the section and the root.
  void Close();

  bool IsOpen() const { return static_cast<bool>(m_root); }
  bool IsDirty() const { return m_dirty; }
  // The key that values currently go to: the selected section, or the root.
  HKEY CurrentKey() const;

  // Splits `text` at blanks, commas, tabs and newlines and stores up to `count` decimal numbers
  // into `fields`, in order. A token that is missing or not a decimal number within the range of
  // a LONG leaves its field unchanged; tokens past `count` are ignored.
  static void ParseNumbers(const std::string& text, LONG* fields, int count);

 private:
  bool OpenPath(HKEY hive, const char* registryKey, const char* profileName, bool writable);
  void WriteNumbers(const char* name, const LONG* fields, int count);
  bool WriteValue(const char* name, DWORD type, const void* data, DWORD size);

  Direction m_direction;
  bool m_writable = false;
  bool m_dirty = false;
  UniqueRegKey m_root;
  UniqueRegKey m_section;
};
