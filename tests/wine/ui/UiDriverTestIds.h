// Ids of the UI driver's own test dialogs (UiDriverTest.rc).
#pragma once

// A dialog with one control of each kind the driver handles.
#define IDD_DRIVER_TEST 900
#define IDC_DRIVER_EDIT 901
#define IDC_DRIVER_CHECK 902
#define IDC_DRIVER_LIST 903
#define IDC_DRIVER_COMBO 904
#define IDC_DRIVER_EVENT 905     // the dialog writes here what it was told
#define IDC_DRIVER_STOP_BOX 906  // MessageBoxA with MB_ICONSTOP
#define IDC_DRIVER_QUESTION 907  // MessageBoxA with MB_YESNO | MB_ICONQUESTION
#define IDC_DRIVER_DISABLED 908
#define IDC_DRIVER_FIRST 909
#define IDC_DRIVER_SECOND 910
#define IDC_DRIVER_PLAIN_LIST 911  // a list box without LBS_NOTIFY

// A dialog whose Start button waits in a loop that handles only the
// dialog's own messages, as the program's waits do, and shows a message box
// in the middle of it.
#define IDD_DRIVER_BUSY 920
#define IDC_BUSY_START 921
#define IDC_BUSY_GO_ON 922
#define IDC_BUSY_STATUS 923
