#pragma once
// Application messages between the program's windows: WM_APP + n. They are always sent,
// never posted, so text pointers in wParam/lParam are valid only during the call.

constexpr unsigned kWmApp = 0x8000;

constexpr unsigned WM_APP_ARCHIVE_PROGRESS = kWmApp + 32;  // wParam: bytes written for one input block
constexpr unsigned WM_APP_ARCHIVE_STOP_QUERY = kWmApp + 33;  // answer non-zero to stop
