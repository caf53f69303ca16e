#include "window/app.h"

#include <commctrl.h>

#include <vector>

namespace {
CWinApp* g_app = nullptr;
// String-table entries are read through a buffer of this size.
constexpr int kStringBufferBytes = 5024;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

int RunApplication() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinApp* app = CWinApp::Current();
  if (!app) return 1;
  app->InitInstance();
  return app->ExitCode();
}

HINSTANCE AppInstance() { return ::GetModuleHandleA(nullptr); }

std::string LoadStringText(UINT id) {
  std::vector<char> buffer(kStringBufferBytes, '\0');
  int length = ::LoadStringA(AppInstance(), id, buffer.data(), kStringBufferBytes);
  return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}
