#pragma once
// Application messages between the program's windows: WM_APP + n. They are always sent,
// never posted, so text pointers in wParam/lParam are valid only during the call.

constexpr unsigned kWmApp = 0x8000;

// The wizard: requests from a page carry the page's window in wParam and are answered at
// once by the reply message sent back to that window.
constexpr unsigned WM_APP_GET_PRODUCT_NAME = kWmApp + 1;
constexpr unsigned WM_APP_PRODUCT_NAME = kWmApp + 2;  // wParam: ProductName
constexpr unsigned WM_APP_DISABLE_BACK = kWmApp + 3;
constexpr unsigned WM_APP_ENABLE_BACK = kWmApp + 4;
constexpr unsigned WM_APP_DISABLE_NEXT = kWmApp + 5;
constexpr unsigned WM_APP_ENABLE_NEXT = kWmApp + 6;
// wParam: caption of the button with id 1; lParam non-zero shows the ">>" marker.
constexpr unsigned WM_APP_SET_CLOSE_BUTTON = kWmApp + 7;
constexpr unsigned WM_APP_GET_INFORMATION = kWmApp + 8;
constexpr unsigned WM_APP_INFORMATION = kWmApp + 9;  // wParam: InformationText
constexpr unsigned WM_APP_GET_LICENSE = kWmApp + 10;
constexpr unsigned WM_APP_LICENSE = kWmApp + 11;  // wParam: LicenseText
constexpr unsigned WM_APP_GET_SHORTCUT_FLAGS = kWmApp + 12;
// wParam: AnyStartMenuShortcut, lParam: AnyDesktopShortcut.
constexpr unsigned WM_APP_SHORTCUT_FLAGS = kWmApp + 13;
constexpr unsigned WM_APP_GET_HAS_SUMMARY_PAGE = kWmApp + 14;
constexpr unsigned WM_APP_HAS_SUMMARY_PAGE = kWmApp + 15;  // wParam: HasLicense
// To the frame: asks for DestinationFolder. To the destination page: asks for its folder.
constexpr unsigned WM_APP_GET_DESTINATION = kWmApp + 16;
constexpr unsigned WM_APP_DESTINATION = kWmApp + 17;  // wParam: folder text
constexpr unsigned WM_APP_GET_FILE_LIST = kWmApp + 18;
constexpr unsigned WM_APP_FILE_LIST = kWmApp + 19;  // wParam: FileListText
constexpr unsigned WM_APP_GET_SHORTCUT_LISTS = kWmApp + 20;
// wParam: Start Menu list, lParam: Desktop list; each "" when its box is unchecked.
constexpr unsigned WM_APP_SHORTCUT_LISTS = kWmApp + 21;
constexpr unsigned WM_APP_GET_LINK1 = kWmApp + 22;
constexpr unsigned WM_APP_LINK1 = kWmApp + 23;  // wParam: caption, lParam: target
constexpr unsigned WM_APP_GET_LINK2 = kWmApp + 24;
constexpr unsigned WM_APP_LINK2 = kWmApp + 25;
constexpr unsigned WM_APP_GET_LINK3 = kWmApp + 26;
constexpr unsigned WM_APP_LINK3 = kWmApp + 27;
constexpr unsigned WM_APP_GET_SHORTCUT_CHOICES = kWmApp + 28;
// wParam: Start Menu box checked, lParam: Desktop box checked.
constexpr unsigned WM_APP_SHORTCUT_CHOICES = kWmApp + 29;
constexpr unsigned WM_APP_INSTALL_ENDED = kWmApp + 30;  // wParam: 1 succeeded, 0 failed
constexpr unsigned WM_APP_RAISE_INSTALL_DIALOG = kWmApp + 31;
constexpr unsigned WM_APP_GET_ALL_USERS = kWmApp + 34;
constexpr unsigned WM_APP_ALL_USERS = kWmApp + 35;  // wParam: 1 all users, 0 current user
