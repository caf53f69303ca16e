#pragma once
// Message boxes of a started program: dialogs of class "#32770" whose message is the
// static control 0xFFFF. Other dialogs share the class, so that static is what tells a
// message box apart.

#include <windows.h>

#include <string>

#include "tests/driver/wait.h"

namespace driver {

constexpr int kMessageTextId = 0xFFFF;

bool IsMessageBox(HWND window);

// A visible message box of the process, with this caption unless `caption` is empty;
// null if none appears within `timeout`.
HWND WaitForMessageBox(DWORD processId, const std::string& caption = "", Millis timeout = kDefaultTimeout);

std::string MessageBoxText(HWND box);

// Presses a button by its id (IDOK, IDYES, ...) or by its caption ("Yes" or "&Yes").
bool PressMessageBoxButton(HWND box, int buttonId);
bool PressMessageBoxButton(HWND box, const std::string& caption);

}  // namespace driver
