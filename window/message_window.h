#pragma once
// A window object with a message map: the common base of dialogs and subclassed
// controls. The object is found from its handle, so the modal loop can offer each message
// to the windows it passes through (PreTranslateMessage) and a parent can reflect a
// child's notifications back to the child's own map.

#include <windows.h>

#include "window/message_map.h"
#include "window/window.h"

class CMessageWindow : public CWindow {
 public:
  CMessageWindow() = default;
  CMessageWindow(const CMessageWindow&) = delete;
  CMessageWindow& operator=(const CMessageWindow&) = delete;
  virtual ~CMessageWindow();

  // The map; true when the message was handled, with the result in `result`.
  virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Called for each message the modal loop (or a modeless owner) retrieves for this
  // window or one of its children, innermost window first; true consumes the message.
  virtual BOOL PreTranslateMessage(MSG* msg);

  // The object attached to `hwnd`, or null for a window that has none.
  static CMessageWindow* FromHandle(HWND hwnd);

 protected:
  void Attach(HWND hwnd);
  void Detach();

  // Offers WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* and WM_DRAWITEM to the child they come
  // from, as REFLECTED(message). True when the child handled it.
  bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

// Offers `msg` to PreTranslateMessage of each window object from msg->hwnd up to and
// including `top`; true as soon as one of them consumes it.
bool WalkPreTranslateTree(HWND top, MSG* msg);
