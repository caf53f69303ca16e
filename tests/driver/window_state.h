#pragma once
// Reading what a window of another process shows. Text is fetched with WM_GETTEXT sent
// with a timeout, because GetWindowText does not ask another process's edit controls for
// their current text, and a hung target must not hang the test.

#include <windows.h>

#include <string>

namespace driver {

std::string WindowText(HWND window);
std::string ClassName(HWND window);
int ControlId(HWND window);

// Visible on screen: the window and every parent have WS_VISIBLE.
bool IsShown(HWND window);
bool IsEnabled(HWND window);
// For check boxes and radio buttons.
bool IsChecked(HWND button);

// A caption without its mnemonic markers: "&Next >" reads "Next >", "&&" reads "&".
std::string WithoutMnemonics(const std::string& caption);

}  // namespace driver
