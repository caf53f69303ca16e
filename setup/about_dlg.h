#pragma once
// The about box on the frame's system menu: the program's name and version, credits with
// two links, and its version history.

#include "controls/hyperlink.h"
#include "setup/read_only_text.h"
#include "window/dialog.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(HWND parent);

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  CReadOnlyText history_;
  CMyHyperLink contact_link_;
  CMyHyperLink library_link_;
};

// The version history: string 102 followed directly by string 103.
std::string VersionHistoryText();
