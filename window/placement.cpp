#include "window/placement.h"

namespace {

int CentredStart(LONG windowStart, LONG windowEnd, LONG areaStart, LONG areaEnd) {
  const LONG size = windowEnd - windowStart;
  const LONG start = areaStart + (areaEnd - areaStart - size) / 2;
  return start < areaStart ? areaStart : start;
}

}  // namespace

RECT CentredInWorkArea(const RECT& window, const RECT& workArea) {
  const int left = CentredStart(window.left, window.right, workArea.left, workArea.right);
  const int top = CentredStart(window.top, window.bottom, workArea.top, workArea.bottom);
  return RECT{left, top, left + (window.right - window.left), top + (window.bottom - window.top)};
}

void CentreOnWorkArea(HWND window, HWND reference) {
  RECT rect;
  if (!::GetWindowRect(window, &rect)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR handle = ::MonitorFromWindow(reference ? reference : window, MONITOR_DEFAULTTONEAREST);
  if (!::GetMonitorInfoA(handle, &monitor)) return;
  const RECT centred = CentredInWorkArea(rect, monitor.rcWork);
  ::SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
