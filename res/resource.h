// Resource and control ids. The numbers are fixed: tests, and the people who
// know the program, find its windows and controls by them.
#pragma once

// Icons, bitmaps, dialogs.
#define IDI_FLIPSET 128
#define IDB_SPLASH 141
#define IDD_MAIN 102
#define IDD_SPLASH 139

// Main window (IDD_MAIN).
#define IDC_MAIN_ADD 1001
#define IDC_MAIN_DELETE 1002
#define IDC_MAIN_RUN 1003
#define IDC_MAIN_CLOSE 1004
#define IDC_MAIN_EDIT 1005
#define IDC_MAIN_CONFIGURATIONS 1006
#define IDC_MAIN_FILES 1034
#define IDC_MAIN_NETWORK 1035
#define IDC_MAIN_DESKTOP 1036
#define IDC_MAIN_START_EXTERNALS 1037
#define IDC_MAIN_SERVICES 1038
#define IDC_MAIN_STARTUP_NOTHING 1040
#define IDC_MAIN_STARTUP_ENABLE 1041
#define IDC_MAIN_STARTUP_DISABLE 1042
#define IDC_MAIN_ENABLE_ALL_NOW 1043
#define IDC_MAIN_DISABLE_ALL_NOW 1044
#define IDC_MAIN_STARTUP_GROUP 1045

// Splash (IDD_SPLASH).
#define IDC_SPLASH_PICTURE 1046

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
