#pragma once
// Message maps: each window class lists the messages it handles, WTL-style. The macros
// expand into an override of ProcessWindowMessage; a class that handles nothing itself
// simply has no map and inherits its base's. The entry macros have names of their own
// (HANDLE_...) because their handlers take only what they use, not WTL's full signatures.
//
//   BEGIN_MSG_MAP(CMyDialog)
//     HANDLE_MESSAGE(WM_APP_GET_PRODUCT_NAME, OnGetProductName)  // LRESULT f(WPARAM, LPARAM)
//     HANDLE_MESSAGE_OR_PASS(WM_PAINT, OnPaint)  // LRESULT f(WPARAM, LPARAM, bool& handled)
//     HANDLE_COMMAND_ID(1000, OnNext)  // void f(): click, menu or accelerator
//     HANDLE_COMMAND(1006, EN_CHANGE, OnFolderChanged)  // void f()
//     HANDLE_NOTIFY(1010, NM_CLICK, OnClick)  // LRESULT f(NMHDR*)
//     HANDLE_REFLECTED_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColor)  // in a control
//     HANDLE_REFLECTED_COMMAND_CODE(STN_CLICKED, OnClicked)   // in a control
//     CHAIN_MSG_MAP(CDialog)
//   END_MSG_MAP()
//
// A handler that sets `handled` to false lets the message go on to later entries and
// then to the default processing.

#include <windows.h>

// A notification that a parent passes back to the child control it came from: the
// control's own map sees it as REFLECTED(message), never as the plain message.
constexpr UINT kReflectedBase = WM_USER + 0x1C00;
constexpr UINT REFLECTED(UINT message) { return kReflectedBase + message; }

#define BEGIN_MSG_MAP(ClassName)                                                            \
 public:                                                                                    \
  bool ProcessWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override { \
    (void)uMsg;                                                                             \
    (void)wParam;                                                                           \
    (void)lParam;                                                                           \
    (void)lResult;                                                                          \
    bool bHandled = true;                                                                   \
    (void)bHandled;

#define HANDLE_MESSAGE(msg, func)      \
  if (uMsg == (msg)) {                  \
    lResult = func(wParam, lParam);     \
    return true;                        \
  }

#define HANDLE_MESSAGE_OR_PASS(msg, func)            \
  if (uMsg == (msg)) {                           \
    bHandled = true;                             \
    lResult = func(wParam, lParam, bHandled);    \
    if (bHandled) return true;                   \
  }

// Clicks (BN_CLICKED, STN_CLICKED, menus: code 0) and accelerators (code 1).
#define HANDLE_COMMAND_ID(id, func)                                                   \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) <= 1) {           \
    func();                                                                            \
    lResult = 0;                                                                       \
    return true;                                                                       \
  }

#define HANDLE_COMMAND(id, code, func)                                                \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {      \
    func();                                                                            \
    lResult = 0;                                                                       \
    return true;                                                                       \
  }

#define HANDLE_NOTIFY(id, code, func)                                                         \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == (UINT_PTR)(id) &&       \
      reinterpret_cast<NMHDR*>(lParam)->code == (UINT)(code)) {                                 \
    lResult = func(reinterpret_cast<NMHDR*>(lParam));                                          \
    return true;                                                                               \
  }

#define HANDLE_REFLECTED_MESSAGE(msg, func)  \
  if (uMsg == REFLECTED(msg)) {               \
    lResult = func(wParam, lParam);           \
    return true;                              \
  }

#define HANDLE_REFLECTED_COMMAND_CODE(code, func)                          \
  if (uMsg == REFLECTED(WM_COMMAND) && HIWORD(wParam) == (code)) {          \
    func();                                                                 \
    lResult = 0;                                                            \
    return true;                                                            \
  }

#define CHAIN_MSG_MAP(BaseClass)                                             \
  if (BaseClass::ProcessWindowMessage(uMsg, wParam, lParam, lResult)) return true;

#define END_MSG_MAP() \
  return false;       \
  }
