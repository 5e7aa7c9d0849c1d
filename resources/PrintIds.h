// Control ids of the print setup template and the print layout dialog and its page; only plain
// #defines live here. (Dialog ids: IDD_PRINTSETUP, IDD_PRINTLAYOUT, IDD_LAYOUTOPTIONS in
// resource.h.)
#pragma once

// The print setup template (its other controls keep the platform's ids from dlgs.h).
#define IDC_PRINTSETUP_LAYOUT 1179     // "&Layout"

// "Print Layout"
#define IDC_LAYOUT_TAB 1181
#define IDC_LAYOUT_PREVIEW 1183
#define IDC_LAYOUT_HELP 1091

// The "Layout" page
#define IDC_LAYOUT_INCHES 1040
#define IDC_LAYOUT_CENTIMETERS 1041
#define IDC_LAYOUT_CENTER_H 1184
#define IDC_LAYOUT_CENTER_V 1185
#define IDC_LAYOUT_METHOD 1186
#define IDC_LAYOUT_X 1187
#define IDC_LAYOUT_X_SPIN 1189
#define IDC_LAYOUT_Y 1190
#define IDC_LAYOUT_Y_SPIN 1191
#define IDC_LAYOUT_LEFT 834
#define IDC_LAYOUT_TOP 835
#define IDC_LAYOUT_RIGHT 836
#define IDC_LAYOUT_BOTTOM 837
#define IDC_LAYOUT_LEFT_SPIN 1194
#define IDC_LAYOUT_TOP_SPIN 1195
#define IDC_LAYOUT_RIGHT_SPIN 1196
#define IDC_LAYOUT_BOTTOM_SPIN 1197
#define IDC_LAYOUT_X_UNIT 1192
#define IDC_LAYOUT_Y_UNIT 1193
#define IDC_LAYOUT_LEFT_UNIT 827
#define IDC_LAYOUT_TOP_UNIT 828
#define IDC_LAYOUT_RIGHT_UNIT 829
#define IDC_LAYOUT_BOTTOM_UNIT 830
