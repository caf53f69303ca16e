// A small dialog program for proving the driver before the real wizard exists. It shows
// the kinds of windows the wizard shows (buttons, an edit, a check box, a nested child
// dialog, message boxes) and reports what it received in statics the tests can read.
//
// Command line: the quoted program path, then optionally one argument:
//   a number  - the exit code of the Quit button
//   "fail"    - an error message box before any window, then exit code 1
// Cancel (Escape, the close box, Alt+F4) ends with exit code 3.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/message_box.h"
#include "tests/driver/stand_in/stand_in_ids.h"

namespace {

constexpr int kCancelExitCode = 3;

int g_quitCode = 0;
int g_changeCount = 0;
int g_altKCount = 0;
bool g_altKeyHandled = false;

std::string Argument() {
  const char* line = GetCommandLineA();
  const char* open = std::strchr(line, '"');
  const char* close = open ? std::strchr(open + 1, '"') : nullptr;
  if (close == nullptr || close[1] == '\0') return "";
  return close + 2;
}

void ShowCount(HWND dialog, int id, const char* label, int count) {
  SetDlgItemTextA(dialog, id, (std::string(label) + std::to_string(count)).c_str());
}

void Ask(HWND dialog) {
  const int answer = ShowMessageBox(dialog, "Proceed with the test?", "Question", kMbYesNo | kMbIconQuestion);
  SetDlgItemTextA(dialog, ID_ANSWER, answer == kIdYes ? "Yes" : answer == kIdNo ? "No" : "?");
}

INT_PTR CALLBACK ChildProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void PlaceChildPage(HWND dialog) {
  HWND page = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(STAND_IN_CHILD_DIALOG), dialog, ChildProc, 0);
  SetWindowLongPtrA(page, GWLP_ID, ID_CHILD_PAGE);
  SetWindowPos(page, nullptr, 0, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(page, SW_SHOW);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      PlaceChildPage(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case ID_ASK: Ask(dialog); return TRUE;
        case ID_DISABLED: SetDlgItemTextA(dialog, ID_ANSWER, "disabled button clicked"); return TRUE;
        case ID_HIDDEN: SetDlgItemTextA(dialog, ID_ANSWER, "hidden button clicked"); return TRUE;
        case ID_QUIT: PostQuitMessage(g_quitCode); return TRUE;
        case IDCANCEL: PostQuitMessage(kCancelExitCode); return TRUE;
        case ID_EDIT:
          if (HIWORD(wParam) == EN_CHANGE) ShowCount(dialog, ID_CHANGE_COUNT, "changes: ", ++g_changeCount);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

// The same one-action-per-Alt-press rule the wizard applies to its Alt shortcuts, so the
// tests show the driver's Alt presses are seen as real ones.
bool FilterAltK(HWND dialog, const MSG& msg) {
  if (GetKeyState(VK_MENU) >= 0) {
    g_altKeyHandled = false;
    return false;
  }
  if (g_altKeyHandled) return false;
  const bool isK = msg.wParam == 'K' || msg.wParam == 'k';
  if (!isK || (msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSCHAR)) return false;
  g_altKeyHandled = true;
  ShowCount(dialog, ID_ALT_K_COUNT, "alt-k: ", ++g_altKCount);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string argument = Argument();
  if (argument == "fail") {
    ShowMessageBox(nullptr, "Couldn't start: stand-in told to fail!", "Error", kMbOk | kMbIconError);
    return 1;
  }
  g_quitCode = std::atoi(argument.c_str());
  HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(STAND_IN_DIALOG), nullptr, DialogProc, 0);
  ShowWindow(dialog, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (FilterAltK(dialog, msg)) continue;
    if (IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(dialog);
  return static_cast<int>(msg.wParam);
}
