#include "tests/driver/window_state.h"

#include <vector>

namespace driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, result) != 0;
}

}  // namespace

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (window == nullptr || !SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &length)) return "";
  std::vector<char> buffer(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendWithTimeout(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied)) {
    return "";
  }
  return std::string(buffer.data(), copied < length ? copied : length);
}

std::string ClassName(HWND window) {
  char name[256] = {};
  if (window == nullptr || GetClassNameA(window, name, sizeof name) == 0) return "";
  return name;
}

int ControlId(HWND window) { return window == nullptr ? 0 : GetDlgCtrlID(window); }

bool IsShown(HWND window) { return window != nullptr && IsWindowVisible(window); }

bool IsEnabled(HWND window) { return window != nullptr && IsWindowEnabled(window); }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  return button != nullptr && SendWithTimeout(button, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

std::string WithoutMnemonics(const std::string& caption) {
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

}  // namespace driver
