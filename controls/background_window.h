#pragma once
// The full-screen backdrop shown while the installation runs: a top-to-bottom colour
// gradient, an optional picture placed by two placement modes, and the product's name
// written large in the top-left corner. It takes no input of its own: it cannot be closed,
// swallows Escape and Enter, and whenever it gets the focus it asks its owner (the wizard
// frame) with WM_APP_RAISE_INSTALL_DIALOG to bring the installation dialog back on top.

#include <windows.h>

#include <cstdint>
#include <string>

#include "window/dialog.h"
#include "window/gdi.h"

class CDialogBack : public CDialog {
 public:
  // Creates the window as a popup owned by `parent` and shows it covering the screen.
  explicit CDialogBack(HWND parent);
  ~CDialogBack() override;

  bool IsCreated() const { return m_hWnd != nullptr; }

  void SetOwnerWindow(HWND owner) { owner_ = owner; }
  // Top and bottom colours of the gradient.
  void SetGradientColors(COLORREF start, COLORREF end);
  void SetCaption(const std::string& caption);
  // Loads a bitmap file (`flags` as for LoadImage; LR_LOADFROMFILE for a path) and the
  // two placement modes. A file that does not load leaves the window without a picture;
  // that is not an error worth telling the user about.
  void LoadPicture(const std::string& path, UINT flags, int horizontalMode, int verticalMode);

  bool HasPicture() const { return picture_ != nullptr; }

  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(CDialogBack)
    HANDLE_MESSAGE(WM_PAINT, OnPaint)
    HANDLE_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    HANDLE_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    HANDLE_MESSAGE(WM_CLOSE, OnClose)
    HANDLE_MESSAGE_OR_PASS(WM_SETFOCUS, OnSetFocus)
    HANDLE_MESSAGE_OR_PASS(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 protected:
  BOOL OnInitDialog() override;
  // The dialog manager turns Enter and Escape into these; the backdrop has no buttons.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam, bool& handled);

  void Paint(HDC dc, const RECT& client) const;
  void PaintPicture(HDC dc, const RECT& client) const;
  void PaintCaption(HDC dc, const RECT& client) const;
  void ReleasePicture();
  void Redraw() const;

  COLORREF startColour_;
  COLORREF endColour_;
  CFont captionFont_;
  std::string caption_;
  HBITMAP picture_ = nullptr;
  uint32_t pictureWidth_ = 0;
  uint32_t pictureHeight_ = 0;
  int horizontalMode_ = 1;
  int verticalMode_ = 1;
  HWND owner_;
};
