// Resource ids shared by kwiet.rc and the code. Names of bitmaps and icons are
// strings and stand with the ids they go with.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_SETTIME 101
#define IDD_DISPLAY 102
#define IDD_WARNING 103

// About dialog (100)
#define IDC_ABOUT_VERSION 1021

// Set-time dialog (101)
#define IDC_HEADER_BAND 10
#define IDC_HEADER_TITLE 11
#define IDC_HEADER_SUBTITLE 12
#define IDC_CLOCK_FRAME 99
#define IDC_MODE_PERIOD 100
#define IDC_PERIOD_HOURS 101
#define IDC_PERIOD_MINUTES 102
#define IDC_PERIOD_SECONDS 103
#define IDC_MODE_CLOCK 104
#define IDC_CLOCK_HOUR 105
#define IDC_CLOCK_MINUTE 106
#define IDC_CLOCK_COLON 107
#define IDC_CLOCK_SUMMARY 108
#define IDC_LABEL_MINUTES 110
#define IDC_LABEL_HOURS 111
#define IDC_LABEL_SECONDS 112
#define IDC_SETTIME_OK 1000
#define IDC_SETTIME_CANCEL 1001

// Countdown display window (102)
#define IDC_DISPLAY_BACK 100
#define IDC_DISPLAY_CLOCK 101
#define IDC_DISPLAY_TEXT 102

// Warning dialog (103)
#define IDC_WARNING_ICON 100
#define IDC_WARNING_SECONDS 101
#define IDC_WARNING_TEXT 102
#define IDC_WARNING_CANCEL 1001

// String table: the top block of the id range
#define IDS_HEADER_TITLE 65520
#define IDS_HEADER_SUBTITLE 65521
#define IDS_PAUSE 65522
#define IDS_RESTART 65523
#define IDS_FORCE 65524
#define IDS_WARNING_SOUND 65525
#define IDS_SET_TIME 65526
#define IDS_SHOW_TIME 65527
#define IDS_ABOUT 65528
#define IDS_EXIT 65529
#define IDS_POWEROFF_REFUSED 65530
#define IDS_ERROR_CODE 65531

// Tray menu commands
#define IDM_CAPTION 0x99
#define IDM_PAUSE 0x100
#define IDM_RESTART 0x101
#define IDM_FORCE 0x102
#define IDM_WARNING_SOUND 0x103
#define IDM_SET_TIME 0x104
#define IDM_SHOW_TIME 0x105
#define IDM_ABOUT 0x106
#define IDM_EXIT 0x107

// Bitmaps and icons, loaded by name
#define RES_MAINICON "MAINICON"
#define RES_WARNINGICON "WARNINGICON"
#define RES_CLOCK_0 "BM_CLOCK_0"
#define RES_CLOCK_1 "BM_CLOCK_1"
#define RES_CLOCK_2 "BM_CLOCK_2"
#define RES_CLOCK_3 "BM_CLOCK_3"
#define RES_MAIN_BACK "BM_MAIN_BACK"
#define RES_MENU_CAPTION "BM_MENU_CAPTION"
#define RES_MENU_CHECKED "BM_MENU_CHECKED"
#define RES_MENU_UNCHECKED "BM_MENU_UNCHECKED"
#define RES_MENU_CLOCK "BM_MENU_CLOCK"
#define RES_MENU_RESTART "BM_MENU_RESTART"
#define RES_MENU_INFO "BM_MENU_INFO"
#define RES_MENU_EXIT "BM_MENU_EXIT"
#define RES_HEADER "HEADER"
