#include "tests/driver/control_actions.h"

#include "tests/driver/window_state.h"

namespace driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

}  // namespace

bool Click(HWND button) {
  if (!IsShown(button) || !IsEnabled(button)) return false;
  return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

bool SetEditText(HWND edit, const std::string& text) {
  if (edit == nullptr) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result) != 0 &&
         result != 0;
}

bool TypeText(HWND edit, const std::string& text) {
  if (edit == nullptr) return false;
  for (char c : text) {
    if (!PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1)) return false;
  }
  return true;
}

bool CloseBySystemCommand(HWND topLevel) { return PostSystemCommand(topLevel, SC_CLOSE); }

bool PostSystemCommand(HWND topLevel, WPARAM command) {
  return topLevel != nullptr && PostMessageA(topLevel, WM_SYSCOMMAND, command, 0) != 0;
}

}  // namespace driver
