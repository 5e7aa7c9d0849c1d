// Control and string ids of the shell's small dialogs (About box, Create New Image) in
// Dialogs.rc. Included by C++ code and by the resource script (windres), so only plain #defines
// live here. The dialog ids themselves (IDD_ABOUTBOX, IDD_NEWIMAGE) are in resource.h.
#pragma once

// About box (IDD_ABOUTBOX)
#define IDC_ABOUT_ICON 1001       // the program icon
#define IDC_ABOUT_VERSION 1002    // "Lumatre Version 1.0.0.1", from the version resource
#define IDC_ABOUT_COPYRIGHT 1003  // the copyright line, from the version resource
#define IDC_ABOUT_HOMEPAGE 1004   // link to the product's web page
#define IDC_ABOUT_EMAIL 1005      // link to the support mail address
#define IDC_ABOUT_WEB_LABEL 1006
#define IDC_ABOUT_EMAIL_LABEL 1007

// Create New Image (IDD_NEWIMAGE)
#define IDC_NEWIMAGE_WIDTH 1115
#define IDC_NEWIMAGE_WIDTH_UNIT 1116
#define IDC_NEWIMAGE_HEIGHT 1117
#define IDC_NEWIMAGE_HEIGHT_UNIT 1118
#define IDC_NEWIMAGE_HRES 1119
#define IDC_NEWIMAGE_VRES 1120
#define IDC_NEWIMAGE_HRES_UNIT 1121
#define IDC_NEWIMAGE_VRES_UNIT 1122
#define IDC_NEWIMAGE_WIDTH_LABEL 1123
#define IDC_NEWIMAGE_HEIGHT_LABEL 1124
#define IDC_NEWIMAGE_HRES_LABEL 1125
#define IDC_NEWIMAGE_VRES_LABEL 1126

// Strings of these dialogs
#define IDS_ABOUT_VERSION 2101            // "%1 Version %2"
#define IDS_NEWIMAGE_NOT_POSITIVE 2102
#define IDS_NEWIMAGE_RES_TOO_LARGE 2103   // %1: the largest resolution
#define IDS_NEWIMAGE_TOO_SMALL 2104
#define IDS_NEWIMAGE_TOO_LARGE 2105       // %1: the largest side in pixels
#define IDS_NEWIMAGE_TOO_MANY_BYTES 2106  // %1 x %2: the size in pixels
