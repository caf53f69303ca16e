#include "setup/destination_page.h"

#include <shlobj.h>

#include "common/message_box.h"
#include "setup/destination_rules.h"
#include "setup/program_files_folder.h"

CDialogPage4::CDialogPage4(HWND frame) : CWizardPage(IDD_PAGE_DESTINATION, frame) {}

void CDialogPage4::DoDataExchange() {
  BindControl(folder_, IDC_PAGE_TEXT);
  BindControl(browse_, IDC_BROWSE);
  BindControl(start_menu_, IDC_START_MENU);
  BindControl(desktop_, IDC_DESKTOP);
  BindControl(all_users_, IDC_ALL_USERS);
  BindControl(current_user_, IDC_CURRENT_USER);
}

BOOL CDialogPage4::OnInitDialog() {
  strPath = DefaultDestination(ProgramFilesFolder(), "");
  AskFrame(WM_APP_GET_PRODUCT_NAME);
  AskFrame(WM_APP_GET_HAS_SUMMARY_PAGE);
  AskFrame(WM_APP_GET_SHORTCUT_FLAGS);
  if (hasStartMenuShortcuts)
    start_menu_.SetCheck(BST_CHECKED);
  else
    start_menu_.ShowWindow(SW_HIDE);
  if (hasDesktopShortcuts)
    desktop_.SetCheck(BST_CHECKED);
  else
    desktop_.ShowWindow(SW_HIDE);
  if (!hasStartMenuShortcuts && !hasDesktopShortcuts) {
    all_users_.ShowWindow(SW_HIDE);
    current_user_.ShowWindow(SW_HIDE);
  }
  SetUserChoice(0);
  return TRUE;
}

LRESULT CDialogPage4::OnProductName(WPARAM wParam, LPARAM) {
  product_name_ = TextParam(wParam);
  strPath += product_name_;
  folder_.SetWindowText(strPath);
  return 0;
}

LRESULT CDialogPage4::OnHasSummaryPage(WPARAM wParam, LPARAM) {
  hasNextPage = wParam != 0;
  return 0;
}

LRESULT CDialogPage4::OnShortcutFlags(WPARAM wParam, LPARAM lParam) {
  hasStartMenuShortcuts = wParam != 0;
  hasDesktopShortcuts = lParam != 0;
  return 0;
}

LRESULT CDialogPage4::OnGetDestination(WPARAM wParam, LPARAM) {
  strPath = TrimDestination(strPath);
  CWindow(reinterpret_cast<HWND>(wParam)).SendText(WM_APP_DESTINATION, strPath);
  return 0;
}

LRESULT CDialogPage4::OnGetShortcutChoices(WPARAM wParam, LPARAM) {
  CWindow(reinterpret_cast<HWND>(wParam))
      .SendMessage(WM_APP_SHORTCUT_CHOICES, start_menu_.GetCheck() == BST_CHECKED,
                   desktop_.GetCheck() == BST_CHECKED);
  return 0;
}

LRESULT CDialogPage4::OnGetAllUsers(WPARAM wParam, LPARAM) {
  CWindow(reinterpret_cast<HWND>(wParam)).SendMessage(WM_APP_ALL_USERS, allUsersSelected);
  return 0;
}

std::string CDialogPage4::PendingDestination() const { return TrimDestination(strPath); }

void CDialogPage4::OnFolderChanged() {
  strPath = folder_.GetWindowText();
  SendToFrame(FolderEnablesNext(strPath, hasNextPage) ? WM_APP_ENABLE_NEXT : WM_APP_DISABLE_NEXT);
}

void CDialogPage4::Activate() {
  SendToFrame(WM_APP_ENABLE_BACK);
  if (hasNextPage) {
    SendToFrame(WM_APP_ENABLE_NEXT);
    SetCloseButton("&Cancel", false);
  } else {
    SendToFrame(WM_APP_DISABLE_NEXT);
    SetCloseButton("&Finish", true);
  }
  folder_.SetWindowText(strPath);
  FocusFrame();
}

void CDialogPage4::KeepInstalledFolder(const std::string& folder) {
  folder_kept_ = true;
  // The edit shows it when the page is activated: setting it now would run the change
  // rule, whose Next button belongs to another page.
  strPath = folder;
  folder_.SendMessage(EM_SETREADONLY, TRUE);
  browse_.EnableWindow(FALSE);
}

void CDialogPage4::PresetChoices(const std::optional<std::string>& folder, const std::optional<bool>& allUsers,
                                 const std::optional<ShortcutChoice>& shortcuts) {
  // Set before the page is first shown, which puts strPath into the edit.
  if (folder) strPath = *folder;
  const bool anyShortcuts = hasStartMenuShortcuts || hasDesktopShortcuts;
  if (allUsers && anyShortcuts) SetUserChoice(*allUsers ? 1 : 0);
  if (!shortcuts) return;
  if (hasStartMenuShortcuts) start_menu_.SetCheck(shortcuts->startMenu ? BST_CHECKED : BST_UNCHECKED);
  if (hasDesktopShortcuts) desktop_.SetCheck(shortcuts->desktop ? BST_CHECKED : BST_UNCHECKED);
}

void CDialogPage4::Browse() {
  if (folder_kept_) return;
  std::string folder = BrowseForFolder();
  if (folder.empty()) return;
  strPath = ComposeBrowsedFolder(folder, product_name_);
  folder_.SetWindowText(strPath);
}

void CDialogPage4::ToggleStartMenu() {
  if (hasStartMenuShortcuts) start_menu_.SetCheck(start_menu_.GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

void CDialogPage4::ToggleDesktop() {
  if (hasDesktopShortcuts) desktop_.SetCheck(desktop_.GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

void CDialogPage4::SelectAllUsers() {
  if (hasStartMenuShortcuts || hasDesktopShortcuts) SetUserChoice(1);
}

void CDialogPage4::SelectCurrentUser() {
  if (hasStartMenuShortcuts || hasDesktopShortcuts) SetUserChoice(0);
}

void CDialogPage4::SetUserChoice(int allUsers) {
  all_users_.SetCheck(allUsers ? BST_CHECKED : BST_UNCHECKED);
  current_user_.SetCheck(allUsers ? BST_UNCHECKED : BST_CHECKED);
  allUsersSelected = allUsers;
}

std::string CDialogPage4::BrowseForFolder() {
  IMalloc* allocator = nullptr;
  if (FAILED(::SHGetMalloc(&allocator)) || !allocator) return "";
  char selected[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = m_hWnd;
  info.pszDisplayName = selected;
  info.lpszTitle = "Destination Folder";
  std::string result;
  LPITEMIDLIST items = ::SHBrowseForFolderA(&info);
  if (items) {
    if (::SHGetPathFromIDListA(items, selected) && selected[0] != '\0')
      result = selected;
    else
      ShowMessageBox(m_hWnd, "Cannot install to this path.", "Error", MB_OK | MB_ICONERROR);
    allocator->Free(items);
  }
  allocator->Release();
  return result;
}
