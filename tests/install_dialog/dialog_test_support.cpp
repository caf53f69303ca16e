#include "tests/install_dialog/dialog_test_support.h"

#include "install_ui/install_hand_over.h"
#include "resources/resource_ids.h"
#include "window/message_window.h"

namespace dialog_test {

namespace {
constexpr char kOwnerClass[] = "BrisklayInstallDialogTestOwner";
}

ReportingOwner::ReportingOwner() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kOwnerClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  hwnd_ = CreateWindowExA(0, kOwnerClass, "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ReportingOwner::~ReportingOwner() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK ReportingOwner::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ReportingOwner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_APP_INSTALL_ENDED && self) {
    self->reports_.push_back(wParam);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, HWND dialog, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog && IsWindow(dialog) && WalkPreTranslateTree(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) break;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

TextHook::TextHook(HWND control, std::function<void(const std::string&)> onText)
    : control_(control), onText_(std::move(onText)) {
  SetPropA(control_, "TextHook", this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
}

TextHook::~TextHook() {
  if (IsWindow(control_)) {
    SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(control_, "TextHook");
  }
}

LRESULT CALLBACK TextHook::HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TextHook*>(GetPropA(hwnd, "TextHook"));
  WNDPROC original = self->original_;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(hwnd, "TextHook");
    self->control_ = nullptr;
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = CallWindowProcA(original, hwnd, message, wParam, lParam);
  if (message == WM_SETTEXT && lParam) self->onText_(reinterpret_cast<const char*>(lParam));
  return result;
}

std::string ControlText(HWND dialog, int id) {
  char text[512] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::unique_ptr<CDialogInstall> OpenDialog(HWND owner, const engine_test::Payload& payload,
                                           const std::string& destination) {
  return OpenInstallDialog(owner, engine_test::PlanFor(payload, destination));
}

void ClickCancelButton(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL_CANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INSTALL_CANCEL)));
}

}  // namespace dialog_test
