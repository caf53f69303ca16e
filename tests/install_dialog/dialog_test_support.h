#pragma once
// What the installation dialog tests share: a hidden owner window that records the
// dialog's report, a message pump that runs until a condition holds, a hook on a control
// that lets a test act at the moment the worker changes it, and the dialog opened on a
// payload made in the test.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "install_ui/dialog_install.h"
#include "tests/engine/engine_test_support.h"

namespace dialog_test {

// A hidden top-level window: the dialog's owner, keeping every WM_APP_INSTALL_ENDED wParam.
class ReportingOwner {
 public:
  ReportingOwner();
  ~ReportingOwner();
  HWND Handle() const { return hwnd_; }
  const std::vector<WPARAM>& Reports() const { return reports_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  std::vector<WPARAM> reports_;
};

// Dispatches messages (offering each to the dialog's PreTranslateMessage, as the wizard's
// loop does) until `done` holds; false after `timeoutMs`.
bool PumpUntil(const std::function<bool()>& done, HWND dialog = nullptr, DWORD timeoutMs = 60000);

// Calls `onText` with every text set on `control`, on the user-interface thread, while the
// thread that set it waits: a test acts there at a precise point of the run.
class TextHook {
 public:
  TextHook(HWND control, std::function<void(const std::string&)> onText);
  ~TextHook();

 private:
  static LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND control_;
  WNDPROC original_;
  std::function<void(const std::string&)> onText_;
};

std::string ControlText(HWND dialog, int id);

constexpr COLORREF kClrOut = 0x00FF0000;
constexpr COLORREF kClrIn = 0x000000FF;

// The installation dialog on `payload` into `destination`, handed over and started.
std::unique_ptr<CDialogInstall> OpenDialog(HWND owner, const engine_test::Payload& payload,
                                           const std::string& destination);

// Clicks the Cancel/Close button the way the user does.
void ClickCancelButton(HWND dialog);

}  // namespace dialog_test
