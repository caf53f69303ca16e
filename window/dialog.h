#pragma once
// Dialogs created from the program's own dialog templates, modal or modeless.
//
// Modal: DoModal() creates the window (hidden until its OnInitDialog has run), disables
// the owner, and runs a message loop that offers every message to PreTranslateMessage
// along the window tree before the usual translate/dispatch. EndDialog() ends it.
// A dialog that ends itself during OnInitDialog is never shown.
//
// Modeless: Create() makes a child or popup window from the template; the owner's modal
// loop reaches the dialog's PreTranslateMessage through WalkPreTranslateTree.

#include <windows.h>

#include "window/message_window.h"

class CSubclassedWindow;

class CDialog : public CMessageWindow {
 public:
  CDialog(UINT templateId, HWND parent = nullptr);
  ~CDialog() override;

  INT_PTR DoModal();
  bool Create(HWND parent = nullptr);
  void EndDialog(INT_PTR result);
  bool DestroyWindow();
  bool IsModal() const { return modal_; }
  UINT TemplateId() const { return template_id_; }

  // Standard dialog keyboard handling (IsDialogMessage) for keyboard and mouse
  // messages; derived classes call it for whatever they do not handle themselves.
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  // Runs before OnInitDialog, with the window created: bind members to controls here.
  virtual void DoDataExchange() {}
  virtual BOOL OnInitDialog() { return TRUE; }
  // Button 1 / Enter and button 2 / Escape. A modal dialog ends with IDOK / IDCANCEL;
  // a modeless one ignores them.
  virtual void OnOK();
  virtual void OnCancel();

  // Moves the focus to `control` the way the dialog's own keyboard handling does, so the
  // default push button follows it.
  void GotoDlgCtrl(HWND control) const;

  // Binding helpers for DoDataExchange.
  void BindControl(CWindow& member, int id) const;
  bool SubclassControl(CSubclassedWindow& control, int id) const;

  // The base map: routes commands 1 and 2 to OnOK / OnCancel and reflects notifications
  // to subclassed children.
  bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateFromTemplate(HWND parent);

  UINT template_id_;
  HWND parent_;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
};
