#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_PRODUCT_SELECT 102

// Icon group and picture.
#define IDR_MAINFRAME 128
#define IDB_PICTURE 129

// String table.
#define IDS_ABOUTBOX 101
#define IDS_CATALOG_NOT_FOUND 102
#define IDS_INIT_ERROR_CAPTION 103
#define IDS_ERROR_CAPTION 104
#define IDS_WRONG_NUMBER 105
#define IDS_SETUP_NOT_FOUND 106
// The localization names and the set-up window captions, one of each per row of the language
// table (ui/LanguageTable.h).
#define IDS_LOCALIZATION_ENGLISH 107
#define IDS_LOCALIZATION_FRENCH 108
#define IDS_LOCALIZATION_GERMAN 109
#define IDS_LOCALIZATION_ITALIAN 110
#define IDS_LOCALIZATION_RUSSIAN 111
#define IDS_SETUP_CAPTION_ENGLISH 115
#define IDS_SETUP_CAPTION_GERMAN 116
#define IDS_SETUP_CAPTION_FRENCH 117
#define IDS_SETUP_CAPTION_ITALIAN 118
#define IDS_SETUP_CAPTION_RUSSIAN 119
#define IDS_CHOOSE_LOCALIZATION 112
#define IDS_ENTER_NUMBER 113
#define IDS_VERSION_FORMAT 122
// The program cannot tell its own folder, where its catalogue is.
#define IDS_PROGRAM_FOLDER_UNKNOWN 123

// Controls of the product selection dialog.
#define IDC_NEXT 1000
#define IDC_BACK 1001
#define IDC_NUMBER 1002
#define IDC_LOCALIZATIONS 1003
#define IDC_PROMPT 1004
#define IDC_PICTURE 129

// Controls of the About box.
#define IDC_VERSION 1005
#define IDC_COPYRIGHT 1006
#define IDC_ABOUT_ICON 1007

// The system-menu command that opens the About box.
#define IDM_ABOUTBOX 0x0010
