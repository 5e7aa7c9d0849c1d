// Resource ids of the framework tests.
#pragma once

#define IDR_TESTFRAME 200
#define IDR_TESTDOC 201
#define IDD_TEST 100

#define IDS_TEST_FORMAT 300
#define IDS_TEST_PLAIN 301
#define IDS_TEST_LONG 302
#define IDS_TEST_PANE 303

#define IDC_VALUE 1001
#define IDC_NAME 1002
#define IDC_COUNT 1003
#define IDC_CHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDC_REAL 1009
#define IDC_BUFFER 1010

#define ID_TEST_ROTATE 32001
#define ID_TEST_APPONLY 32002
#define ID_TEST_NOHANDLER 32003
#define ID_TEST_CHECKED 32004

// Control bars: a toolbar (resource and bitmap strip of 16 x 15 images), malformed toolbars and
// the toolbar's commands.
#define IDR_TESTTOOLBAR 210
#define IDR_TB_BADVERSION 211
#define IDR_TB_TRUNCATED 212
#define IDR_TB_NOBITMAP 213
#define IDR_TB_FEWIMAGES 214
#define IDR_TB_ZEROSIZE 215
#define IDR_TB_MISSING 219

#define ID_TEST_TB_RUN 32010
#define ID_TEST_TB_DISABLED 32011
#define ID_TEST_TB_CHECK 32012
#define ID_TEST_TB_NOHANDLER 32013
#define ID_TEST_TB_LONGTIP 32014
