// Resource, control and command ids of both programs, shared by the .rc files
// and the C++ (plain #define so that windres reads it too).
#ifndef QUARVEL_RESOURCE_IDS_H
#define QUARVEL_RESOURCE_IDS_H

// ---- Quarvel --------------------------------------------------------------
#define IDD_STATUS 102  // status dialog

#define IDC_INDICATOR 1010    // bitmap static: indicator square
#define IDC_STOP 1013         // push button "Stop"
#define IDC_STATUS_LINE 1014  // status line
#define IDC_TITLE 1015        // program title
#define IDC_WAIT_DETAIL 1016  // under the status line: why the wait goes on

#define IDB_INDICATOR_GREEN 107  // blink phase 1, also "position found"
#define IDB_INDICATOR_RED 108    // blink phase 2
#define IDB_INDICATOR_BLACK 109  // idle, before the first poll

#define IDS_BLUETOOTH_ON 110   // "Bluetooth activation"
#define IDS_BLUETOOTH_OFF 111  // "Bluetooth deactivation"
#define IDS_CONNECTING 112     // "Connecting..."
#define IDS_WAITING 113        // "Waiting for GPS-data..."
#define IDS_SAVING 114         // "Saving..."
#define IDS_LOADING 115        // "Loading settings..."

// ---- QuarvelConfig --------------------------------------------------------
#define IDD_CONFIG 114             // form, Pocket PC layout
#define IDD_CONFIG_SMARTPHONE 415  // form, Smartphone layout
#define IDD_SHORTCUT_NAME 115      // shortcut name dialog

#define IDC_LABEL 65535  // labels (static texts without an id)
#define IDC_COPYRIGHT 1007
#define IDC_PORT 1018  // editable combo: port name
#define IDC_BLUETOOTH 1037
#define IDC_COORDINATES_ONLY 1038
#define IDC_MAP_TYPE 1039  // drop-down list: map type
#define IDC_LITE_MAP 1040
#define IDC_SHORTCUT_NAME 1041  // edit: shortcut name
#define IDC_FORMAT 1042         // drop-down list: the format of the copied line

// Menus and the menu-bar records of the same ids.
#define IDM_CONFIG 114
#define IDM_SHORTCUT_NAME 116

// Commands of the form's soft keys and menu.
#define IDM_EXIT 102
#define IDM_SAVE 40020  // right soft key; opens the "Save" pop-up
#define IDM_MAIN_CONFIG 40006
#define IDM_SHORTCUT 40007
// Commands of the name dialog's soft keys and menu.
#define IDM_NAME_OK 104
#define IDM_NAME_CANCEL 108
#define IDM_NAME_MENU_CANCEL 40009
#define IDM_NAME_MENU_OK 40010

// Soft-key labels.
#define IDS_EXIT 103
#define IDS_SAVE 40008
#define IDS_OK 40013
#define IDS_CANCEL 40014

#endif
