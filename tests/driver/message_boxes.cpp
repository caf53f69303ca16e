#include "tests/driver/message_boxes.h"

#include "tests/driver/control_actions.h"
#include "tests/driver/window_finder.h"
#include "tests/driver/window_state.h"

namespace driver {

namespace {

constexpr char kDialogClass[] = "#32770";

}  // namespace

bool IsMessageBox(HWND window) {
  return ClassName(window) == kDialogClass && GetDlgItem(window, kMessageTextId) != nullptr;
}

HWND WaitForMessageBox(DWORD processId, const std::string& caption, Millis timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(processId, {caption, kDialogClass, true})) {
          if (IsMessageBox(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageTextId)); }

bool PressMessageBoxButton(HWND box, int buttonId) { return Click(GetDlgItem(box, buttonId)); }

bool PressMessageBoxButton(HWND box, const std::string& caption) {
  const std::string wanted = WithoutMnemonics(caption);
  for (HWND button : FindControls(box, {kAnyId, "", "Button", true})) {
    if (WithoutMnemonics(WindowText(button)) == wanted) return Click(button);
  }
  return false;
}

}  // namespace driver
