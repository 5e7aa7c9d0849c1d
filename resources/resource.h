// Resource ids of Lumatre. Framework ids (ID_APP_EXIT, ID_FILE_*, AFX_IDS_*, AFX_IDP_*) live
// in framework/FrameworkRes.h.
#pragma once

// Menus, frames, icons
#define IDR_MAINFRAME 128          // main frame: menu, icon, title
#define IDR_LUMATRETYPE 129        // image document template: menu, icon
#define IDR_TRAYMENU 155           // tray popup menu
#define IDI_TRAY 253               // 16 x 16 tray icon

// Sounds
#define IDR_WAVE_CAPTURE 339       // capture sound (RIFF PCM, mono, 22050 Hz, 8-bit)

// Strings shown in message boxes
#define IDS_MENU_CAPTURE_HOWTO 132
#define IDS_MENU_CAPTURE_NOTE 133
#define IDS_NO_POPUP_MENU 134
#define IDS_NO_ACTIVE_WINDOW 135
#define IDS_TRAY_MODE_UNSUPPORTED 138
#define IDS_CHOOSE_DIRECTORY 139
#define IDS_PROMPT_SAVE_COUNT 140
#define IDS_AUTOSAVE_NO_DIRECTORY 141
#define IDS_AUTOSAVE_FILE_EXISTS 142
#define IDS_AUTOSAVE_LIMIT 143
#define IDS_PRINTER_TROUBLE 151
#define IDS_RELOAD_DISCARD 152
#define IDS_CONVERT_TO_24BIT 1233
#define IDS_HOTKEY_DUPLICATE 1234
#define IDS_HOTKEY_CONFLICT 1235
