#pragma once
// Identifiers of the setup program's resources and of the controls in its dialogs. The
// resource script includes this file too, so it holds only #defines.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_SETUP 102
#define IDD_PAGE_WELCOME 137
#define IDD_PAGE_INFORMATION 138
#define IDD_PAGE_LICENSE 139
#define IDD_PAGE_DESTINATION 140
#define IDD_PAGE_SUMMARY 141
#define IDD_BACKGROUND 142
#define IDD_PAGE_FINISH 144
#define IDD_INSTALL 151

// Strings
#define IDS_ABOUTBOX 101
#define IDS_HISTORY_RECENT 102
#define IDS_HISTORY_EARLY 103

// Icon and cursor
#define IDR_MAINFRAME 128
#define IDC_LINK_HAND 136

// Resources of type "Setup" carried by a product's setup program
#define IDR_SETUP_UNINSTALLER 143
#define IDR_SETUP_DATA 145
#define IDR_SETUP_INFORMATION 146
#define IDR_SETUP_LICENSE 147
#define IDR_SETUP_SUMMARY 148
#define IDR_SETUP_PRODUCT 149
#define IDB_BACKGROUND 150

// System menu command of the about box
#define IDM_ABOUTBOX 0x0010

// Wizard frame (102)
#define IDC_CLOSE_BUTTON 1
#define IDC_NEXT 1000
#define IDC_BACK 1001
#define IDC_FINISH_MARKER 1027
#define IDC_CAPTION_BAND 1056

// Welcome page (137)
#define IDC_WELCOME_INSTALL 1004
#define IDC_WELCOME_CLICK 1005

// Information (138), licence (139), destination (140) and summary (141) pages
#define IDC_PAGE_TEXT 1006
#define IDC_INFO_LINK1 1007
#define IDC_INFO_LINK2 1008
#define IDC_INFO_LINK3 1009
#define IDC_LICENSE_ACCEPT 1009
#define IDC_LICENSE_DECLINE 1010
#define IDC_BROWSE 1000
#define IDC_START_MENU 1012
#define IDC_DESKTOP 1013
#define IDC_ALL_USERS 1024
#define IDC_CURRENT_USER 1025

// Finish page (144)
#define IDC_RESULT_TEXT 1017
#define IDC_RUN_BOX 1018
#define IDC_RUN_LIST 1019
#define IDC_OPEN_BOX 1020
#define IDC_OPEN_LIST 1021
#define IDC_FINISH_LINK1 1022
#define IDC_FINISH_LINK2 1023
#define IDC_FINISH_LINK3 1024

// About box (100)
#define IDC_LIBRARY_LINK 1002
#define IDC_CONTACT_LINK 1003
#define IDC_HISTORY 1023

// Installation dialog (151)
#define IDC_INSTALL_CANCEL 1000
#define IDC_INSTALL_WAIT_BAR 1015
#define IDC_INSTALL_PROGRESS 1016
#define IDC_INSTALL_STATUS 1017
#define IDC_INSTALL_ELAPSED 1026
#define IDC_INSTALL_CAPTION 1056
