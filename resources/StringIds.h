#pragma once
// Ids of the string table (resources/Strings.rc); plain macros so windres can read them.
// The table holds every text the user sees, in Simplified Chinese and in English.

// The main window.
#define IDS_MAIN_CAPTION 100
#define IDS_REPAIR 101
#define IDS_DISABLE 102
#define IDS_DEVICES 103
#define IDS_MENU 104
#define IDS_STATUS_STOPPED 105
#define IDS_STATUS_RUNNING 106
#define IDS_STATUS_UNKNOWN 107
#define IDS_MENU_SERVICES 110
#define IDS_MENU_UPDATES 111
#define IDS_MENU_NETWORK 112
#define IDS_MENU_DEFAULT_PRINTER 113
#define IDS_MENU_ABOUT 114

// Messages of the repair and the disable.
#define IDS_ERROR_TITLE 120
#define IDS_REPAIR_CANNOT_STOP 121
#define IDS_REPAIR_STOP_TIMEOUT 122
#define IDS_REPAIR_FILES_LEFT 123
#define IDS_DISABLE_CANNOT_STOP 124
#define IDS_DISABLE_STOP_TIMEOUT 125
#define IDS_REASON_SEPARATOR 126

// The about window.
#define IDS_ABOUT_CAPTION 140
#define IDS_ABOUT_NOTICE 141
#define IDS_ABOUT_FREEWARE 142
#define IDS_ABOUT_DONATE 143
#define IDS_ABOUT_DONATE_TIP 144
#define IDS_BROWSER_ERROR 145
#define IDS_BROWSER_ERROR_TITLE 146

// The default printer dialog.
#define IDS_PRINTER_CAPTION 160
#define IDS_PRINTER_SET 161
#define IDS_PRINTER_SETTING 162
#define IDS_PRINTER_DONE 163
#define IDS_PRINTER_DONE_TITLE 164
#define IDS_PRINTER_FAILED 165

// An error no handler expected.
#define IDS_APP_NAME 180
#define IDS_UNEXPECTED_ERROR 181
