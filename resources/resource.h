// Resource ids of Lumatre. Framework ids (ID_APP_EXIT, ID_FILE_*, AFX_IDS_*, AFX_IDP_*) live
// in framework/FrameworkRes.h. Included by C++ code and by the resource script (windres), so
// only plain #defines live here.
#pragma once

// Menus, frames, icons
#define IDR_MAINFRAME 128          // main frame: no-document menu, icon, title, toolbar, accelerators
#define IDR_LUMATRETYPE 129        // image document template: menu, icon, document strings
#define IDR_TRAYMENU 155           // tray popup menu (also the empty workspace's context menu)
#define IDR_TABMENU 341            // context menu of a tab of the open-file tabs bar
#define IDR_VIEWMENU 343           // context menu of an image view
#define IDI_IMAGEFRAME 161         // icon of the image windows' class
#define IDI_TRAY 253               // 16 x 16 tray icon

// Toolbars (TOOLBAR resource and its BITMAP strip share the id)
#define IDR_TOOLBAR_MAIN 128       // the main toolbar (same id as IDR_MAINFRAME)
#define IDR_TOOLBAR_FULLSCREEN 131 // the floating "Full Screen" toolbar: button 32772 only
#define IDR_TOOLBAR_MENUIMAGES 234 // images of menu commands that have no main-toolbar button

// Cursors
#define IDC_TRACKING 101           // crosshair while drawing or picking on the screen; select mode over the image
#define IDC_COLORPICKER 103        // colour picker (hot spot at the dropper's tip)
#define IDC_GRABHAND 122           // closed hand: image being dragged
#define IDC_OPENHAND 133           // open hand: image can be scrolled by dragging
#define IDC_FREEZE 140             // class cursor of the screen freezer window
#define IDC_SELECTION 170          // over the selection in select mode: move

// Bitmaps
#define IDB_INFOPANEL 367          // 250 x 48, 256 colours: background of the tracker's info panel
// The high-colour button images (normal, hot, disabled) take the BITMAP ids from 4000 up; the
// generated CommandImages.h lists them per command.
#define IDB_BUTTON_IMAGE_FIRST 4000

// Sounds
#define IDR_WAVE_CAPTURE 339       // capture sound (RIFF PCM, mono, 22050 Hz, 8-bit)

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_OPTIONS 129            // the tree-style options dialog
#define IDD_WINDOWLIST 130         // "Windows"
#define IDD_RESIZE 142
#define IDD_ROTATE 150
#define IDD_SCALE 151
#define IDD_STRETCH 157
#define IDD_BRIGHTNESS 158
#define IDD_CONTRAST 159
#define IDD_INTENSITY 160
#define IDD_FILEPREVIEW 162        // child template of the open dialog
#define IDD_NEWIMAGE 163           // "Create New Image"
#define IDD_OPT_HOTKEY 165
#define IDD_PRINTLAYOUT 172
#define IDD_LAYOUTOPTIONS 173
#define IDD_OPT_GENERAL 344
#define IDD_OPT_OUTPUT 346
#define IDD_OPT_COLORSELECT 349
#define IDD_CUSTOMSAVE 364         // child template of the save dialog
#define IDD_OPT_IMAGESAVE 365
#define IDD_OPT_CAPTURE 368
#define IDD_OPT_COLORPICKER 369
#define IDD_PRINTSETUP 1539        // custom print setup template with the "&Layout" button

// Capture commands (the mode table; CaptureModeIndex in the comment)
#define ID_CAPTURE_ACTIVEWINDOW 1100        // 0
#define ID_CAPTURE_ACTIVEWINDOWCLIENT 32788 // 1
#define ID_CAPTURE_CONTROL 1101             // 2
#define ID_CAPTURE_SQUARE 32791             // 3
#define ID_CAPTURE_RECTANGLE 1168           // 4
#define ID_CAPTURE_CIRCLE 32790             // 5
#define ID_CAPTURE_ELLIPSE 1104             // 6
#define ID_CAPTURE_POLYGON 1152             // 7
#define ID_CAPTURE_MENU 1103                // 8
#define ID_CAPTURE_DESKTOP 32792            // 9
#define ID_CAPTURE_SINGLEWINDOW 32793       // 10
#define ID_CAPTURE_REPEATLAST 1232          // 11
#define ID_CAPTURE_DEFAULTACTION 32824      // 12
#define ID_CAPTURE_COLORPICKER 32859        // 13

// Image document commands
#define ID_IMAGE_RESIZE 32794
#define ID_IMAGE_ROTATE_ANYANGLE 32795
#define ID_IMAGE_ROTATE_CLOCKWISE 32796
#define ID_IMAGE_ROTATE_COUNTERCLOCKWISE 32797
#define ID_IMAGE_SCALE 32798
#define ID_IMAGE_STRETCH 32799
#define ID_IMAGE_CROP 32800
#define ID_IMAGE_FLIP_HORIZONTAL 32801
#define ID_IMAGE_FLIP_VERTICAL 32802
#define ID_IMAGE_BRIGHTNESS 32803
#define ID_IMAGE_CONTRAST 32804
#define ID_IMAGE_GRAYSCALE 32805
#define ID_IMAGE_INTENSITY 32807
#define ID_IMAGE_INVERT 32809
#define ID_EDIT_COPYALL 32856
#define ID_FILE_RELOAD 32857

// Image view commands
#define ID_VIEW_SELECTREGION 32808
#define ID_VIEW_ZOOM25 32811
#define ID_VIEW_ZOOM50 32812
#define ID_VIEW_ZOOM100 32813
#define ID_VIEW_ZOOM200 32814
#define ID_VIEW_ZOOM400 32815
#define ID_VIEW_SELECTALL 32819
#define ID_VIEW_ZOOMIN 32839
#define ID_VIEW_ZOOMOUT 32840
#define ID_VIEW_UNSELECTREGION 32848

// Main frame commands
#define ID_EDIT_PASTEASNEWIMAGE 32818
#define ID_OPTIONS 32822
#define ID_FILE_CLOSEALL 32847
#define ID_SHOWMAINWINDOW 32849
#define ID_EXPLORE_OUTPUT 32850
#define ID_HELP_HOMEPAGE 32854
#define ID_MENU_BANNER 666                  // first item of the popup menus: the vertical banner

// Workspace commands; 32771 is also the control-bar id of the open-file tabs bar
#define ID_WINDOW_TABS 32771
#define ID_WINDOW_FULLSCREEN 32772
#define ID_WINDOW_NEXT 32773
#define ID_WINDOW_PREVIOUS 32774
#define ID_WINDOW_CLOSEALL 32775
#define ID_WINDOW_SAVEALL 32776
#define ID_WINDOW_MANAGE 32777
#define ID_VIEW_TABBAR 32787

// Status bar panes (their strings are the pane prefixes)
#define ID_INDICATOR_POSITION 59142
#define ID_INDICATOR_COLOR 59143
#define ID_INDICATOR_IMAGESIZE 59144

// Strings shown in message boxes and dialogs
#define IDS_COLOR_BITS 130
#define IDS_IMAGE_SIZE 131
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
#define IDS_WINDOWS_ITEM 32778              // "&Windows..." at the end of the Window menu

// The product's addresses (configuration values: tray banner, logo, Home Page, About box)
#define IDS_HOMEPAGE_URL 2001
#define IDS_SUPPORT_EMAIL 2002
