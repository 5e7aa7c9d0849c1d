// The system's folder browser: file-system folders only, with a status line showing the folder
// under the selection, starting at a given folder.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The folder the user chose; nothing when the browser was cancelled or the choice is not a
// file-system folder.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder);
