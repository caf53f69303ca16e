#include "setup/read_only_text.h"

void CReadOnlyText::SetText(const std::string& text) const {
  SetWindowText(text);
  SendMessage(EM_SETSEL, 0, 0);
  SendMessage(WM_VSCROLL, SB_TOP, 0);
}

LRESULT CReadOnlyText::OnGetDlgCode(WPARAM wParam, LPARAM lParam, bool&) {
  // Without DLGC_HASSETSEL the dialog does not select everything when Tab lands here.
  return DefaultProc(WM_GETDLGCODE, wParam, lParam) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
}
