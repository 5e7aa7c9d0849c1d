#include "FolderBrowser.h"

#include <shlobj.h>

namespace {

struct BrowseState {
  const std::string* initial;
};

int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data) {
  const auto* state = reinterpret_cast<const BrowseState*>(data);
  switch (message) {
    case BFFM_INITIALIZED:
      if (state && !state->initial->empty())
        ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->initial->c_str()));
      break;
    case BFFM_SELCHANGED: {
      char path[MAX_PATH] = "";
      auto* item = reinterpret_cast<LPITEMIDLIST>(lParam);
      if (item && ::SHGetPathFromIDListA(item, path))
        ::SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder) {
  BrowseState state{&initialFolder};
  char display[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
  if (!item) return std::nullopt;
  char path[MAX_PATH] = "";
  const bool ok = ::SHGetPathFromIDListA(item, path) != FALSE;
  ::CoTaskMemFree(item);
  if (!ok) return std::nullopt;
  return std::string(path);
}
