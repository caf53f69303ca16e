#include "tests/driver/window_finder.h"

#include "tests/driver/window_state.h"

namespace driver {

namespace {

bool Matches(HWND window, const std::string& text, const std::string& className, bool visibleOnly) {
  if (visibleOnly && !IsShown(window)) return false;
  if (!className.empty() && ClassName(window) != className) return false;
  return text.empty() || WindowText(window) == text;
}

struct TopLevelSearch {
  DWORD processId;
  const WindowQuery* query;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TopLevelSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const WindowQuery& q = *search->query;
  if (owner == search->processId && Matches(window, q.caption, q.className, q.visibleOnly)) {
    search->found.push_back(window);
  }
  return TRUE;
}

struct ControlSearch {
  const ControlQuery* query;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectControl(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ControlSearch*>(context);
  const ControlQuery& q = *search->query;
  if ((q.id == kAnyId || ControlId(window) == q.id) && Matches(window, q.text, q.className, q.visibleOnly)) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const WindowQuery& query) {
  TopLevelSearch search{processId, &query, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const WindowQuery& query, Millis timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const auto windows = TopLevelWindows(processId, query);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeout);
  return found;
}

std::vector<HWND> FindControls(HWND root, const ControlQuery& query) {
  ControlSearch search{&query, {}};
  if (root != nullptr) EnumChildWindows(root, CollectControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindControl(HWND root, const ControlQuery& query) {
  const auto found = FindControls(root, query);
  return found.empty() ? nullptr : found.front();
}

HWND FindById(HWND root, int id, bool visibleOnly) {
  ControlQuery query;
  query.id = id;
  query.visibleOnly = visibleOnly;
  return FindControl(root, query);
}

HWND FindByText(HWND root, const std::string& text, bool visibleOnly) {
  ControlQuery query;
  query.text = text;
  query.visibleOnly = visibleOnly;
  return FindControl(root, query);
}

}  // namespace driver
