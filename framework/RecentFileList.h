// CRecentFileList: the most recently used files, shown in the File menu in place of the item
// ID_FILE_MRU_FILE1 and kept in the profile section "Recent File List" as "File1".."FileN".
//
// The list has a fixed number of slots (GetSize()); slots past the last file are empty
// strings. Entry 0 is the most recent.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCmdUI;

class CRecentFileList {
 public:
  // nStart: the command id of the first entry (ID_FILE_MRU_FILE1). lpszEntryFormat holds one
  // %d for the 1-based entry number. nMaxDispLen: menu labels longer than that are shortened.
  CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen = 30);
  virtual ~CRecentFileList() = default;

  // Number of slots (not of files).
  int GetSize() const { return static_cast<int>(m_arrNames.size()); }
  // Number of files in the list.
  int GetCount() const;
  // The path in a slot; an empty string for an empty slot or an index out of range.
  const std::string& operator[](int nIndex) const;

  // Puts the path first; an entry for the same file (compared without regard to case, after
  // making the path full) moves up instead of appearing twice. Empty paths are ignored.
  virtual void Add(LPCSTR lpszPathName);
  // Removes a slot's entry; the later entries move up. Out-of-range indexes are ignored.
  virtual void Remove(int nIndex);

  // The menu label of an entry: the path shortened to nMaxDispLen characters ("C:\...\name"),
  // only the file name when it is in lpszCurDir. FALSE for an empty slot.
  virtual BOOL GetDisplayName(std::string& strName, int nIndex, LPCSTR lpszCurDir, BOOL bAtLeastName = TRUE) const;

  // Replaces the menu item pCmdUI stands for (ID_FILE_MRU_FILE1 and the entries put there
  // before) with one item per file, labelled "&1 path", "&2 path", ... With no files, the
  // original item stays, disabled.
  virtual void UpdateMenu(CCmdUI* pCmdUI);

  // Reads "File1".."FileN" of the section through the application's profile functions;
  // blank values are skipped.
  virtual void ReadList();
  // Deletes the section's values and writes the current entries.
  virtual void WriteList();

  const std::string& GetSection() const { return m_strSectionName; }
  UINT GetStartID() const { return m_nStart; }

 protected:
  std::vector<std::string> m_arrNames;
  std::string m_strSectionName;
  std::string m_strEntryFormat;
  std::string m_strOriginal;  // the menu text of ID_FILE_MRU_FILE1 as first seen
  UINT m_nStart;
  int m_nMaxDisplayLength;
};

// Shortens a path to at most nMaxLength characters as "C:\...\dir\name.ext", keeping the file
// name whole when bAtLeastName (even when that alone is longer).
std::string AfxAbbreviateName(const std::string& path, int nMaxLength, BOOL bAtLeastName);
// Full path of a file name (relative names are resolved against the current folder).
std::string AfxFullPath(LPCSTR lpszFileIn);
// Case-insensitive comparison of two paths as the file system compares names.
BOOL AfxComparePath(LPCSTR lpszPath1, LPCSTR lpszPath2);
