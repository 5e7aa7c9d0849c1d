// Control ids of the workspace windows (the open-file tabs bar and the window list, dialog
// IDD_WINDOWLIST in Workspace.rc). Included by C++ code and by the resource script (windres), so
// only plain #defines live here.
#pragma once

// The tab control inside the open-file tabs bar.
#define IDC_VIEWTABCTRL 1005

// "Windows" (IDD_WINDOWLIST)
#define IDC_WINDOWLIST_ACTIVATE 1000
#define IDC_WINDOWLIST_CLOSE 1001
#define IDC_WINDOWLIST_SAVE 1002
#define IDC_WINDOWLIST_TILEHORZ 1003
#define IDC_WINDOWLIST_MINIMIZE 1004
#define IDC_WINDOWLIST_CASCADE 1005
#define IDC_WINDOWLIST_TILEVERT 1006
#define IDC_WINDOWLIST_LIST 1007
#define IDC_WINDOWLIST_LABEL 1008
