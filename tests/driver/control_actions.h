#pragma once
// Acting on controls the way a user would, by messages. Everything is posted or sent
// with a timeout, so an action that opens a modal dialog in the target (a message box, a
// folder browser) returns at once instead of blocking the test.

#include <windows.h>

#include <string>

namespace driver {

// Clicks a button, check box or radio button. A hidden or disabled control cannot be
// clicked by a user either: the result is then false and nothing is sent.
bool Click(HWND button);

// Replaces an edit's text. A single-line edit tells its parent EN_CHANGE by itself, just
// as when the user types; a multi-line edit does not, and neither does this.
bool SetEditText(HWND edit, const std::string& text);

// Types characters into an edit one WM_CHAR at a time (each one an EN_CHANGE);
// "\b" erases like the Backspace key.
bool TypeText(HWND edit, const std::string& text);

// The close box, Alt+F4 and the system menu's Close all arrive as this command.
bool CloseBySystemCommand(HWND topLevel);

// Picks an item of the window's system menu, as the mouse would.
bool PostSystemCommand(HWND topLevel, WPARAM command);

}  // namespace driver
