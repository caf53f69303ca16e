#pragma once
// A read-only text box (licence, version history) that a user reads from the top: it
// shows a new text at its first line with nothing selected, and reaching it with Tab
// leaves it so, instead of selecting the whole text and scrolling to its end as the
// dialog's keyboard handling does for edit controls.

#include <string>

#include "window/subclassed_window.h"

class CReadOnlyText : public CSubclassedWindow {
 public:
  void SetText(const std::string& text) const;

  BEGIN_MSG_MAP(CReadOnlyText)
    HANDLE_MESSAGE_OR_PASS(WM_GETDLGCODE, OnGetDlgCode)
  END_MSG_MAP()

 private:
  LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam, bool& handled);
};
