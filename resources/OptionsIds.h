// Control ids of the Options dialog (IDD_OPTIONS) and its seven pages in Options.rc. Included by
// C++ code and by the resource script (windres), so only plain #defines live here. The dialog ids
// themselves (IDD_OPTIONS, IDD_OPT_...) are in resource.h. Pages are separate dialogs, so the
// same number may name different controls on different pages.
#pragma once

// The frame dialog (IDD_OPTIONS)
#define IDC_PREFS_PAGEFRAME 1004  // hidden frame: the page area
#define IDC_PREFS_CAPTION 1009    // the caption band
#define IDC_PREFS_TREE 1010       // the page names
#define IDC_PREFS_HELP 1011       // "Help"

// General Options (IDD_OPT_GENERAL)
#define IDC_GEN_HIDE_ON_MINIMIZE 239
#define IDC_GEN_START_HIDDEN 1162
#define IDC_GEN_SHOW_AFTER_CAPTURE 238
#define IDC_GEN_SOUND 1083
#define IDC_GEN_CLEAR_RECENT_ON_EXIT 1242
#define IDC_GEN_AUTOSTART 1244
#define IDC_GEN_PROMPT_SAVE 1161
#define IDC_GEN_MAIL_TYPE 1220
#define IDC_GEN_MAIL_TYPE_LABEL 1221
#define IDC_GEN_RESET_RECENT 1243

// Capture Options (IDD_OPT_CAPTURE)
#define IDC_CAP_INCLUDE_POINTER 1163
#define IDC_CAP_FREEZE 1215
#define IDC_CAP_DELAY 1205
#define IDC_CAP_WINDING 1040
#define IDC_CAP_ALTERNATE 1041
#define IDC_CAP_REPEAT_TRACK_LAST 1042
#define IDC_CAP_REPEAT_DIRECT 1043
#define IDC_CAP_REPEAT_ONLY_TRACK 1044
#define IDC_CAP_DEFAULT_ACTION 1217

// Hotkey Options (IDD_OPT_HOTKEY): per row Ctrl / Alt / Shift / key list (see OptionsLogic.h)
#define IDC_HOT_RESET 1176

// Capture Output (IDD_OPT_OUTPUT)
#define IDC_OUT_WINDOW 983
#define IDC_OUT_CLIPBOARD 1169
#define IDC_OUT_PRINT 1170
#define IDC_OUT_PRINT_NO_DIALOG 1106
#define IDC_OUT_SAVE 1171
#define IDC_OUT_AUTONAME 1183
#define IDC_OUT_DIRECTORY 1173
#define IDC_OUT_BROWSE 1098
#define IDC_OUT_LEAD_NAME 1177
#define IDC_OUT_DIGITS 1176
#define IDC_OUT_DIGITS_SPIN 1184
#define IDC_OUT_START_NO 1178
#define IDC_OUT_START_NO_SPIN 1185
#define IDC_OUT_IMAGE_TYPE 1034
#define IDC_OUT_REPLACE 1186
#define IDC_OUT_WRAP 1241
#define IDC_OUT_RESET_COUNTER 266
#define IDC_OUT_LABEL_DIRECTORY 1172
#define IDC_OUT_LABEL_LEAD 1174
#define IDC_OUT_LABEL_DIGITS 1175
#define IDC_OUT_LABEL_START 1180
#define IDC_OUT_LABEL_TYPE 1179

// Color Select (IDD_OPT_COLORSELECT)
#define IDC_COL_VIEW_SWATCH 1198
#define IDC_COL_IMAGE_SWATCH 1199
#define IDC_COL_TRANSPARENT_SWATCH 1200
#define IDC_COL_VIEW_CHOOSE 1197
#define IDC_COL_IMAGE_CHOOSE 1196
#define IDC_COL_TRANSPARENT_CHOOSE 1195
#define IDC_COL_RESET 1201

// Image Save (IDD_OPT_IMAGESAVE)
#define IDC_JPG_OPTIMIZE 1210
#define IDC_JPG_QUALITY 1205
#define IDC_JPG_QUALITY_SPIN 1211
#define IDC_JPG_SMOOTHING 1206
#define IDC_JPG_SMOOTHING_SPIN 1212
#define IDC_JPG_DPI_X 1208
#define IDC_JPG_DPI_X_SPIN 1213
#define IDC_JPG_DPI_Y 1209
#define IDC_JPG_DPI_Y_SPIN 1214

// Color Picker (IDD_OPT_COLORPICKER)
#define IDC_PICK_TO_CLIPBOARD 1218
#define IDC_PICK_HTML 1048
#define IDC_PICK_DOTNET 1040
#define IDC_PICK_VC 1041
#define IDC_PICK_VB 1042
#define IDC_PICK_VFP 1043
#define IDC_PICK_JAVA 1044
#define IDC_PICK_DELPHI 1045
#define IDC_PICK_RGB 1046
#define IDC_PICK_HSB 1047
