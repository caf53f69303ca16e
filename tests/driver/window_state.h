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

// The window with the keyboard focus in the thread that owns `topLevel`, or null.
HWND FocusedWindow(HWND topLevel);

// What an edit control of another process shows: the index of its first visible line,
// and its selection as [start, end) character positions (equal when nothing is
// selected). Both read -1 when the edit does not answer.
int FirstVisibleLine(HWND edit);
struct EditSelection {
  int start;
  int end;
};
EditSelection Selection(HWND edit);

// Whether the window's middle is the middle of the work area (the screen less the task
// bar) of its monitor, give or take a pixel of rounding.
bool IsCentredOnWorkArea(HWND window);

// A caption without its mnemonic markers: "&Next >" reads "Next >", "&&" reads "&".
std::string WithoutMnemonics(const std::string& caption);

}  // namespace driver
