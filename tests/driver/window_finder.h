#pragma once
// Finding the windows of a started program: its top-level windows (the dialogs and
// message boxes it shows) and the controls inside them, however deeply nested (pages are
// child dialogs, so their controls are grandchildren of the frame).

#include <windows.h>

#include <string>
#include <vector>

#include "tests/driver/wait.h"

namespace driver {

// Empty strings match anything; texts compare exactly, mnemonics included.
struct WindowQuery {
  std::string caption;
  std::string className;
  bool visibleOnly = true;
};

constexpr int kAnyId = -1;

struct ControlQuery {
  int id = kAnyId;
  std::string text;
  std::string className;
  bool visibleOnly = false;
};

std::vector<HWND> TopLevelWindows(DWORD processId, const WindowQuery& query);
// The first matching top-level window once one exists, or null after `timeout`.
HWND WaitForTopLevelWindow(DWORD processId, const WindowQuery& query, Millis timeout = kDefaultTimeout);

// Every descendant of `root` that matches, in the order the system enumerates them.
std::vector<HWND> FindControls(HWND root, const ControlQuery& query);
HWND FindControl(HWND root, const ControlQuery& query);

// Shorthands for the common cases. Ids repeat across child dialogs, so by default only a
// visible control counts.
HWND FindById(HWND root, int id, bool visibleOnly = true);
HWND FindByText(HWND root, const std::string& text, bool visibleOnly = true);

}  // namespace driver
