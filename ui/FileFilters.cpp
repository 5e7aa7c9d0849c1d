#include "FileFilters.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Replace1(const std::string& format, const std::string& value) {
  std::string out = format;
  size_t at = out.find("%1");
  if (at != std::string::npos) out.replace(at, 2, value);
  return out;
}

}  // namespace

const std::array<int, 9> kJpegControlIds = {1214, 1213, 1212, 1211, 1210, 1205, 1206, 1208, 1209};

std::vector<FileFilterEntry> OpenFilterEntries(const std::string& allFilesText) {
  std::vector<FileFilterEntry> entries = {
      {"BMP File", "*.bmp;*.dib;*.rle"},
      {"JPEG File", "*.jpg;*.jpeg;*.jif"},
      {"PNG File", "*.png"},
      {"PICT File", "*.pct"},
      {"TIFF File", "*.tif;*.eps"},
      {"TARGA File", "*.tga"},
      {"Windows Metafile", "*.wmf"},
      {"Windows Enhanced Metafile", "*.emf"},
      {"PCX File", "*.pcx"},
      {"Portable Greymap File", "*.pgm"},
      {"GIF File", "*.gif"},
  };
  std::string all;
  for (const FileFilterEntry& e : entries) all += (all.empty() ? "" : ";") + e.patterns;
  entries.push_back({"All supported graphic formats", all});
  entries.push_back({allFilesText, "*.*"});
  return entries;
}

std::vector<FileFilterEntry> SaveFilterEntries() {
  return {
      {"JPEG file (*.jpg)", "*.jpg"}, {"BMP file (*.bmp)", "*.bmp"}, {"PNG file (*.png)", "*.png"},
      {"TIFF file (*.tif)", "*.tif"}, {"GIF file (*.gif)", "*.gif"},
  };
}

std::string JoinFilter(const std::vector<FileFilterEntry>& entries) {
  std::string filter;
  for (const FileFilterEntry& e : entries) {
    filter += e.description;
    filter.push_back('\0');
    filter += e.patterns;
    filter.push_back('\0');
  }
  filter.push_back('\0');
  return filter;
}

SavePatternSlots UpperCasedPatterns(const std::vector<FileFilterEntry>& entries) {
  SavePatternSlots slots;
  for (size_t i = 0; i < slots.size() && i < entries.size(); ++i) {
    std::string upper = entries[i].patterns.substr(0, kPatternSlotChars - 1);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    slots[i] = upper;
  }
  return slots;
}

bool JpegControlsEnabled(DWORD filterIndex, const SavePatternSlots& slots) {
  if (filterIndex < 1 || filterIndex > slots.size()) return false;
  return slots[filterIndex - 1] == "*.JPG";
}

std::string PreviewDepthText(const std::string& format, bool hasImage, int bitsPerPixel) {
  return Replace1(format, hasImage ? std::to_string(bitsPerPixel) : std::string(" "));
}

std::string PreviewSizeText(const std::string& format, bool hasImage, int width, int height) {
  if (!hasImage) return Replace1(format, " ");
  char size[48];
  std::snprintf(size, sizeof size, "(%d,%d)", width, height);
  return Replace1(format, size);
}

RECT AlignToFileList(const RECT& control, const RECT& fileList) {
  return RECT{fileList.left, control.top, fileList.right, control.bottom};
}

SavePrompt DecideSavePrompt(bool autoSavePending, DWORD optionsA) {
  return (autoSavePending && (optionsA & kOptAutoName)) ? SavePrompt::kAutomaticName : SavePrompt::kDialog;
}

bool NamesFolder(const std::string& path) {
  if (path.empty() || path.back() == '\\' || path.back() == '/') return true;
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
