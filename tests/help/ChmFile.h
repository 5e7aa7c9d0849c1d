// Reads the pages of a compiled help file through the platform's own InfoTech storage (itss.dll,
// the reader the HTML help viewer itself uses), independent of the compiler that made the file.
#pragma once

#include <string>

class CChmFile {
 public:
  CChmFile();
  ~CChmFile();
  CChmFile(const CChmFile&) = delete;
  CChmFile& operator=(const CChmFile&) = delete;

  // Opens `path`; false when the storage service is missing or the file is not a compiled help file.
  bool Open(const std::wstring& path);
  // The bytes of the file `name` inside the help file (for example "dialog.htm"); false when
  // there is no such file.
  bool Read(const std::string& name, std::string& content) const;

 private:
  struct IStorage* m_storage = nullptr;
  bool m_comStarted = false;
};

// The topic part of a help address "page#anchor": page and anchor (empty when there is none).
void SplitTopic(const std::string& topic, std::string& page, std::string& anchor);

// Whether `html` holds an anchor named `anchor` (<a name="..."> or an id attribute).
bool HasAnchor(const std::string& html, const std::string& anchor);
