#include "tests/driver/window_state.h"

#include <cstdlib>
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

HWND FocusedWindow(HWND topLevel) {
  const DWORD thread = GetWindowThreadProcessId(topLevel, nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (thread == 0 || !GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

int FirstVisibleLine(HWND edit) {
  DWORD_PTR line = 0;
  if (edit == nullptr || !SendWithTimeout(edit, EM_GETFIRSTVISIBLELINE, 0, 0, &line)) return -1;
  return static_cast<int>(line);
}

// Without pointers EM_GETSEL packs both positions into its result, which is all another
// process can read (the texts tested here are far below 64 K characters).
EditSelection Selection(HWND edit) {
  DWORD_PTR packed = 0;
  if (edit == nullptr || !SendWithTimeout(edit, EM_GETSEL, 0, 0, &packed)) return {-1, -1};
  return {static_cast<int>(LOWORD(packed)), static_cast<int>(HIWORD(packed))};
}

bool IsCentredOnWorkArea(HWND window) {
  RECT rect;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetWindowRect(window, &rect) ||
      !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return false;
  }
  const RECT& area = monitor.rcWork;
  const auto off = [](LONG a, LONG b, LONG c, LONG d) { return (a + b) - (c + d); };
  return std::abs(off(rect.left, rect.right, area.left, area.right)) <= 2 &&
         std::abs(off(rect.top, rect.bottom, area.top, area.bottom)) <= 2;
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
