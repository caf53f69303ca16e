#pragma once
// An existing control (usually a static of a dialog template) taken over by a C++ object:
// its window procedure is replaced so that the object's message map sees the control's
// messages first; whatever the map does not handle goes to the original procedure.
// Notifications the control sends to its dialog come back to it as REFLECTED(message).
//
//   class CMyStatic : public CStatic {
//     BEGIN_MSG_MAP(CMyStatic)
//       HANDLE_MESSAGE(WM_PAINT, OnPaint)
//       HANDLE_REFLECTED_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColor)
//       HANDLE_REFLECTED_COMMAND_CODE(STN_CLICKED, OnClicked)
//     END_MSG_MAP()
//     void PreSubclassWindow() override { ... }
//   };
//   // in the dialog's DoDataExchange:  SubclassControl(m_link, 1007);

#include <windows.h>

#include "window/message_window.h"

class CSubclassedWindow : public CMessageWindow {
 public:
  ~CSubclassedWindow() override;

  // Attaches, runs PreSubclassWindow, then replaces the window procedure.
  bool SubclassWindow(HWND hwnd);
  bool SubclassDlgItem(int id, HWND parent);
  // Gives the control its own procedure back and forgets it.
  HWND UnsubclassWindow();
  virtual BOOL DestroyWindow();

 protected:
  // The handle is set here; the control's own procedure is not yet replaced.
  virtual void PreSubclassWindow() {}
  // The control's original procedure, for "then default processing".
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// A static text control taken over by a C++ object.
class CStatic : public CSubclassedWindow {};
