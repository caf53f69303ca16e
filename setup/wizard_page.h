#pragma once
// What every wizard page shares: it is a borderless child dialog of the frame, asks the
// frame for its data and drives the frame's buttons by application messages, and keeps
// Escape and Enter from closing it or pressing a button.

#include <windows.h>

#include <string>

#include "window/dialog.h"

class CWizardPage : public CDialog {
 public:
  CWizardPage(UINT templateId, HWND frame);

  // Escape and Enter are swallowed; Alt with B, C, F or N goes to the frame, whose
  // buttons carry those mnemonics.
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  LRESULT SendToFrame(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // A request whose reply comes back to this page before the call returns.
  LRESULT AskFrame(UINT message) const;
  void SetCloseButton(const char* caption, bool showMarker) const;
  void FocusFrame() const;
  CWindow Frame() const { return CWindow(frame_); }

  // The welcome page also hands Space to the frame.
  bool pass_space_to_frame_ = false;

 private:
  BOOL FramePreTranslate(MSG* msg) const;
  HWND frame_;
};
