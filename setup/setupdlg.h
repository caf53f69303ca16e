#pragma once
// The wizard frame: the program's one modal dialog. It reads the setup's description at
// start-up, owns the navigation buttons, the caption band and the six pages, shows one
// page at a time, and answers the pages' requests (application messages).

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "common/app_messages.h"
#include "controls/background_window.h"
#include "controls/colored_static.h"
#include "shell/product_lock.h"
#include "install_ui/dialog_install.h"
#include "resources/resource_ids.h"
#include "setup/alt_key_filter.h"
#include "setup/exit_codes.h"
#include "setup/setup_description.h"
#include "shell/installed_product.h"
#include "window/dialog.h"

class CDialogPage1;
class CDialogPage2;
class CDialogPage3;
class CDialogPage4;
class CDialogPage5;
class CDialogPage6;
class RunLog;
struct SetupOptions;
class UnattendedHost;

class CSetupDlg : public CDialog {
 public:
  // `options` and `log`, when given, must outlive the dialog: the base path comes from
  // the options, and the log hears the checks, the installation and the answers.
  explicit CSetupDlg(HWND parent = nullptr, const SetupOptions* options = nullptr, RunLog* log = nullptr);
  ~CSetupDlg() override;

  // One of SetupExitCode, valid after DoModal.
  int ExitCode() const { return exitCode_; }

  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(CSetupDlg)
    HANDLE_COMMAND_ID(IDC_NEXT, OnNext)
    HANDLE_COMMAND_ID(IDC_BACK, OnBack)
    HANDLE_MESSAGE_OR_PASS(WM_SYSCOMMAND, OnSysCommand)
    HANDLE_MESSAGE(WM_SETFOCUS, OnSetFocus)
    HANDLE_MESSAGE_OR_PASS(WM_PAINT, OnPaint)
    HANDLE_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
    HANDLE_MESSAGE_OR_PASS(WM_DESTROY, OnDestroy)
    HANDLE_MESSAGE(WM_APP_GET_PRODUCT_NAME, OnGetProductName)
    HANDLE_MESSAGE(WM_APP_DISABLE_BACK, OnDisableBack)
    HANDLE_MESSAGE(WM_APP_ENABLE_BACK, OnEnableBack)
    HANDLE_MESSAGE(WM_APP_DISABLE_NEXT, OnDisableNext)
    HANDLE_MESSAGE(WM_APP_ENABLE_NEXT, OnEnableNext)
    HANDLE_MESSAGE(WM_APP_SET_CLOSE_BUTTON, OnSetCloseButton)
    HANDLE_MESSAGE(WM_APP_GET_INFORMATION, OnGetInformation)
    HANDLE_MESSAGE(WM_APP_GET_LICENSE, OnGetLicense)
    HANDLE_MESSAGE(WM_APP_GET_SHORTCUT_FLAGS, OnGetShortcutFlags)
    HANDLE_MESSAGE(WM_APP_GET_HAS_SUMMARY_PAGE, OnGetHasSummaryPage)
    HANDLE_MESSAGE(WM_APP_GET_DESTINATION, OnGetDestination)
    HANDLE_MESSAGE(WM_APP_DESTINATION, OnDestination)
    HANDLE_MESSAGE(WM_APP_GET_FILE_LIST, OnGetFileList)
    HANDLE_MESSAGE(WM_APP_GET_SHORTCUT_LISTS, OnGetShortcutLists)
    HANDLE_MESSAGE(WM_APP_GET_LINK1, OnGetLink1)
    HANDLE_MESSAGE(WM_APP_GET_LINK2, OnGetLink2)
    HANDLE_MESSAGE(WM_APP_GET_LINK3, OnGetLink3)
    HANDLE_MESSAGE(WM_APP_SHORTCUT_CHOICES, OnShortcutChoices)
    HANDLE_MESSAGE(WM_APP_ALL_USERS, OnAllUsers)
    HANDLE_MESSAGE(WM_APP_INSTALL_ENDED, OnInstallEnded)
    HANDLE_MESSAGE(WM_APP_RAISE_INSTALL_DIALOG, OnRaiseInstallDialog)
    HANDLE_MESSAGE(kDeleteRetiredInstallDialog, OnDeleteRetiredInstallDialog)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  // Start-up steps.
  void AddAboutToSystemMenu();
  bool ReadDescription();
  void FailStartup(int exitCode = kSetupDataUnusable);
  // A newer version installed is replaced only when the user says so.
  bool ConfirmOverInstalledVersion();
  // The installed product's folder is the only one the destination page offers.
  void KeepInstalledFolder();
  // The operating-system question; false when the user declined it.
  bool CheckSystem();
  void SetTitleAndCaption();
  void CreatePages();

  // Navigation.
  void OnNext();
  void OnBack();
  void GoToPage(int page);
  CDialog* Page(int index) const;
  void ActivatePage(int index);
  void PerformPageAction(PageAction action);

  // Keyboard focus. Whatever gives the focus to the frame (a page that has set the
  // buttons, a page shortcut) lands on the control a user would press next; a button
  // that is disabled under the focus passes it on, never to Cancel.
  void FocusSensibleControl();
  HWND FirstPageControl() const;
  void DisableButton(CWindow button);

  // The installation: from Finish to the finish page and Close.
  void Finish();
  void CreateBackgroundWindow();
  void LoadBackgroundPicture();
  void CreateAndStartInstallDialog();
  // What the user chose, as the installation takes it.
  InstallPlan MakeInstallPlan();
  void PlaceInstallDialog();
  void EndInstallation(bool succeeded);
  void ShowFinishPage();
  void CloseAfterInstallation();
  void RunPrograms();
  void OpenFiles();
  bool Installing() const { return install_ != nullptr; }

  // Installation options from the destination page.
  void RefreshDestination();
  // Whether `destination` can take the product; if not, says why and brings the
  // destination page back so that the user can choose another folder.
  bool AcceptDestination(const std::string& destination);

  LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnGetProductName(WPARAM wParam, LPARAM lParam);
  LRESULT OnDisableBack(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnableBack(WPARAM wParam, LPARAM lParam);
  LRESULT OnDisableNext(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnableNext(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCloseButton(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetInformation(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetLicense(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetShortcutFlags(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetHasSummaryPage(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDestination(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestination(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFileList(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetShortcutLists(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetLink1(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetLink2(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetLink3(WPARAM wParam, LPARAM lParam);
  LRESULT OnShortcutChoices(WPARAM wParam, LPARAM lParam);
  LRESULT OnAllUsers(WPARAM wParam, LPARAM lParam);
  LRESULT OnInstallEnded(WPARAM wParam, LPARAM lParam);
  LRESULT OnRaiseInstallDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeleteRetiredInstallDialog(WPARAM wParam, LPARAM lParam);

  // Posted to itself: the installation dialog reports its end from inside its window's
  // destruction, so its object can only go once that destruction is over.
  static constexpr UINT kDeleteRetiredInstallDialog = WM_APP + 0x100;

  bool HasInformation() const { return description_.Summary.Head.HasInformation != 0; }
  bool HasLicense() const { return description_.Summary.Head.HasLicense != 0; }
  std::string ProductName() const;

  CWindow close_button_;
  CWindow next_button_;
  CWindow back_button_;
  CColoredStatic caption_band_;
  HICON m_hIcon;

  SetupDescription description_;
  // This product as installed before this run, if it is.
  std::optional<InstalledProduct> installed_;

  std::unique_ptr<CDialogPage1> page1_;
  std::unique_ptr<CDialogPage2> page2_;
  std::unique_ptr<CDialogPage3> page3_;
  std::unique_ptr<CDialogPage4> page4_;
  std::unique_ptr<CDialogPage5> page5_;
  std::unique_ptr<CDialogPage6> page6_;
  int CurrentPage = 0;

  bool IsExternal = false;
  std::string BasePath;
  std::string DestinationFolder;
  bool CreateStartMenuShortcuts = false;
  bool CreateDesktopShortcuts = false;
  bool AllUsers = false;
  std::string TempPath;
  CWindow finish_marker_;

  std::unique_ptr<CDialogBack> background_;
  std::unique_ptr<CDialogInstall> install_;
  std::unique_ptr<CDialogInstall> retired_install_;
  bool BackgroundCreated = false;
  bool InstallSucceeded = false;
  // Files in use wait for the restart: the finish page says so and starts nothing.
  bool RestartNeeded = false;
  std::string RunListText;
  std::string OpenListText;

  AltKeyFilter alt_keys_;
  // Held from start-up to the end, so a second setup of the product refuses to start.
  ProductLock product_lock_;

  const SetupOptions* options_;
  RunLog* log_;
  // Passes what the installation reports to the log.
  std::unique_ptr<UnattendedHost> log_host_;
  int exitCode_;
};
