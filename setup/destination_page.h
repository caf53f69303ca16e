#pragma once
// Page 3: the destination folder, the shortcut options and all users or current user.
// Its controls hold the user's choices for the whole wizard; the frame asks for them.

#include <optional>
#include <string>

#include "common/app_messages.h"
#include "resources/resource_ids.h"
#include "setup/command_line.h"
#include "setup/wizard_page.h"

class CDialogPage4 : public CWizardPage {
 public:
  explicit CDialogPage4(HWND frame);
  void Activate();
  // The folder the next destination query will report, without the query's own trimming
  // of the page's text, which each query repeats.
  std::string PendingDestination() const;
  void Browse();
  void ToggleStartMenu();
  void ToggleDesktop();
  void SelectAllUsers();
  void SelectCurrentUser();
  // The product is installed in `folder` already: the page shows it and lets no one change
  // it, since an installation elsewhere would leave the earlier one orphaned.
  void KeepInstalledFolder(const std::string& folder);
  // What the command line chose, shown as the page's starting choices; the user may still
  // change them.
  void PresetChoices(const std::optional<std::string>& folder, const std::optional<bool>& allUsers,
                     const std::optional<ShortcutChoice>& shortcuts);
  bool FolderIsKept() const { return folder_kept_; }

  BEGIN_MSG_MAP(CDialogPage4)
    HANDLE_MESSAGE(WM_APP_PRODUCT_NAME, OnProductName)
    HANDLE_MESSAGE(WM_APP_HAS_SUMMARY_PAGE, OnHasSummaryPage)
    HANDLE_MESSAGE(WM_APP_SHORTCUT_FLAGS, OnShortcutFlags)
    HANDLE_MESSAGE(WM_APP_GET_DESTINATION, OnGetDestination)
    HANDLE_MESSAGE(WM_APP_GET_SHORTCUT_CHOICES, OnGetShortcutChoices)
    HANDLE_MESSAGE(WM_APP_GET_ALL_USERS, OnGetAllUsers)
    HANDLE_COMMAND_ID(IDC_BROWSE, Browse)
    HANDLE_COMMAND(IDC_PAGE_TEXT, EN_CHANGE, OnFolderChanged)
    HANDLE_COMMAND_ID(IDC_ALL_USERS, OnAllUsersClicked)
    HANDLE_COMMAND_ID(IDC_CURRENT_USER, OnCurrentUserClicked)
    CHAIN_MSG_MAP(CWizardPage)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  LRESULT OnProductName(WPARAM wParam, LPARAM lParam);
  LRESULT OnHasSummaryPage(WPARAM wParam, LPARAM lParam);
  LRESULT OnShortcutFlags(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDestination(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetShortcutChoices(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetAllUsers(WPARAM wParam, LPARAM lParam);
  void OnFolderChanged();
  void OnAllUsersClicked() { allUsersSelected = 1; }
  void OnCurrentUserClicked() { allUsersSelected = 0; }
  void SetUserChoice(int allUsers);
  // The folder the user picks in the shell's folder browser, or "".
  std::string BrowseForFolder();

  CWindow folder_;
  CWindow browse_;
  CWindow start_menu_;
  CWindow desktop_;
  CWindow all_users_;
  CWindow current_user_;

  std::string strPath;
  std::string product_name_;
  int hasStartMenuShortcuts = 0;
  int hasDesktopShortcuts = 0;
  int hasNextPage = 1;
  int allUsersSelected = 0;
  bool folder_kept_ = false;
};
