#pragma once
// A static text control turned into a clickable link: drawn in a link colour, red (and
// underlined) while the mouse is over it, a hand cursor, the target as its tooltip, and
// a click asks the shell to open the target (a web address, "mailto:" or any file).
// Bind it to a dialog's static; the dialog reflects the static's colour and click
// notifications back to it.

#include <windows.h>

#include <string>

#include "window/gdi.h"
#include "window/subclassed_window.h"

class CMyHyperLink : public CStatic {
 public:
  // Underline modes.
  static constexpr int kUnderlineAlways = 1;
  static constexpr int kUnderlineNever = 0;
  static constexpr int kUnderlineHover = -1;
  static constexpr UINT_PTR kHoverTimerId = 100;

  CMyHyperLink();
  ~CMyHyperLink() override;

  void SetTarget(const std::string& target);
  std::string GetTarget() const { return target_; }

  // A hover colour of -1 means the system highlight colour.
  void SetLinkColors(COLORREF link, COLORREF followed, COLORREF hover = static_cast<COLORREF>(-1));
  COLORREF GetLinkColor() const { return linkColor_; }
  COLORREF GetFollowedColor() const { return followedColor_; }
  COLORREF GetHoverColor() const { return hoverColor_; }

  void SetFollowed(int followed);
  int IsFollowed() const { return followed_; }
  int IsHovering() const { return hovering_; }

  // Loads the cursor from the program's resources; when the program has no such cursor,
  // the system's hand cursor stands in.
  void SetCursorResource(UINT id);
  HCURSOR GetCursor() const { return cursor_; }

  void SetUnderlineMode(int mode);
  int GetUnderlineMode() const { return underlineMode_; }

  // Resizes the control to its window text now and whenever the target is set.
  void SetFitToText(int fit);
  int GetFitToText() const { return fitToText_; }

  // The tooltip that shows the target (null before the control is bound).
  HWND GetToolTip() const { return toolTip_; }
  // The fonts the control switches between (null when it had no usable font).
  HFONT GetNormalFont() const { return normalFont_; }
  HFONT GetUnderlineFont() const { return underlineFont_; }

  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(CMyHyperLink)
    HANDLE_REFLECTED_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColor)
    HANDLE_MESSAGE(WM_SETCURSOR, OnSetCursor)
    HANDLE_MESSAGE_OR_PASS(WM_MOUSEMOVE, OnMouseMove)
    HANDLE_MESSAGE_OR_PASS(WM_TIMER, OnTimer)
    HANDLE_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    HANDLE_REFLECTED_COMMAND_CODE(STN_CLICKED, OnClicked)
  END_MSG_MAP()

 protected:
  void PreSubclassWindow() override;

 private:
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  void OnClicked();

  bool CreateFonts();
  void CreateToolTip();
  void UpdateToolTip();
  void FitToText();
  // Shows the font; does nothing when the control has no fonts of its own.
  void SelectFont(HFONT font);
  bool CursorOutside() const;

  COLORREF linkColor_ = RGB(0, 0, 238);
  COLORREF followedColor_ = RGB(85, 26, 139);
  COLORREF hoverColor_ = RGB(255, 0, 0);
  int hovering_ = 0;
  int followed_ = 0;
  int underlineMode_ = kUnderlineHover;
  int fitToText_ = 0;
  std::string target_;
  CFont underlineFont_;
  CFont normalFont_;
  HFONT originalFont_ = nullptr;  // the control's own font, given back when it is released
  HCURSOR cursor_ = nullptr;
  HWND toolTip_ = nullptr;
};
