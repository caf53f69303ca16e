// The wizard frame as the installation's owner: Finish puts up the background window and
// the installation dialog and hides the frame; the dialog's end brings the frame back on
// the finish page; Close starts the programs and opens the files the user left ticked.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "common/message_box.h"
#include "engine/destination_checks.h"
#include "common/run_log.h"
#include "setup/exit_codes.h"
#include "setup/unattended_host.h"
#include "install_ui/install_hand_over.h"
#include "setup/background_picture.h"
#include "setup/destination_page.h"
#include "setup/finish_page.h"
#include "setup/install_placement.h"
#include "setup/launch_list.h"
#include "setup/page_sequence.h"
#include "setup/plan_from_description.h"
#include "setup/preinstall_questions.h"
#include "setup/setupdlg.h"
#include "setup/summary_page.h"
#include "shell/private_folder.h"

namespace {

const char kCloseCaption[] = "&Close";
const char kPictureSuffix[] = ".exe.img.bmp";
const char kPictureFileName[] = "Background.bmp";

SIZE ClientSize(const CWindow& window) {
  const RECT client = window.GetClientRect();
  return SIZE{client.right - client.left, client.bottom - client.top};
}

}  // namespace

void CSetupDlg::Finish() {
  RefreshDestination();
  // Next has checked the folder already when a summary page follows; the folder may have
  // changed on the machine since.
  if (!AcceptDestination(DestinationFolder)) return;
  const std::vector<std::string> questions = QueryDiskSpaceQuestions(DestinationFolder, description_.Summary);
  const bool goOn = ConfirmDiskSpaceQuestions(m_hWnd, questions);
  if (log_) {
    log_->Write("Destination: " + DestinationFolder);
    if (questions.empty()) log_->Write("Disk space check: enough room");
    for (const std::string& question : questions) {
      log_->Write("Disk space check: " + question + " Answer: " + (goOn ? "Yes" : "No") + ", by the user");
    }
  }
  if (!goOn) return;
  CreateBackgroundWindow();
  CreateAndStartInstallDialog();
  if (!Installing()) {
    // Without its window nothing can run or report the end; the wizard stays where it was.
    background_.reset();
    ShowMessageBox(m_hWnd, "Couldn't create the installation window!", "Error", MB_OK | MB_ICONERROR);
    return;
  }
  ShowWindow(SW_HIDE);
}

bool CSetupDlg::AcceptDestination(const std::string& destination) {
  const DestinationVerdict verdict = CheckDestination(destination, description_.Summary);
  if (verdict.Accepted()) return true;
  ShowMessageBox(m_hWnd, verdict.message, "Error", MB_OK | MB_ICONERROR);
  GoToPage(kPageDestination);
  return false;
}

void CSetupDlg::CreateBackgroundWindow() {
  BackgroundCreated = false;
  if (!description_.Summary.Config.ShowBackground || background_) return;
  background_ = std::make_unique<CDialogBack>(m_hWnd);
  background_->SetOwnerWindow(m_hWnd);
  background_->SetGradientColors(description_.Summary.Config.clrIn, description_.Summary.Config.clrOut);
  background_->SetCaption(ProductName());
  LoadBackgroundPicture();
  BackgroundCreated = true;
}

void CSetupDlg::LoadBackgroundPicture() {
  const SetupConfig& config = description_.Summary.Config;
  const int horizontal = static_cast<int>(config.BackgroundImageX);
  const int vertical = static_cast<int>(config.BackgroundImageY);
  if (IsExternal) {
    background_->LoadPicture(BasePath + kPictureSuffix, LR_LOADFROMFILE, horizontal, vertical);
    return;
  }
  // Loaded from the file: in a folder of the run's own, which goes with its contents.
  PrivateFolder folder;
  if (!folder.Create(TempPath)) return;
  const std::string file = folder.PathOf(kPictureFileName);
  if (!WriteBackgroundPictureFile(m_hWnd, nullptr, file)) return;
  background_->LoadPicture(file, LR_LOADFROMFILE, horizontal, vertical);
}

void CSetupDlg::CreateAndStartInstallDialog() {
  if (install_) return;
  install_ = OpenInstallDialog(m_hWnd, MakeInstallPlan(), log_host_.get());
  if (install_ && background_) PlaceInstallDialog();
}

InstallPlan CSetupDlg::MakeInstallPlan() {
  if (page4_ && page4_->m_hWnd) {
    page4_->SendMessage(WM_APP_GET_ALL_USERS, reinterpret_cast<WPARAM>(m_hWnd));
    page4_->SendMessage(WM_APP_GET_SHORTCUT_CHOICES, reinterpret_cast<WPARAM>(m_hWnd));
  }
  InstallChoices choices;
  choices.destination = DestinationFolder;
  choices.allUsers = AllUsers;
  choices.shortcuts = ShortcutChoice{CreateStartMenuShortcuts, CreateDesktopShortcuts};
  if (options_) TakeSwitchChoices(*options_, &choices);
  return PlanFromDescription(description_, IsExternal ? BasePath : std::string(), choices);
}

void CSetupDlg::PlaceInstallDialog() {
  const SetupConfig& config = description_.Summary.Config;
  const SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const POINT at =
      InstallDialogPosition(BackgroundCreated, static_cast<int>(config.BackgroundImageX),
                            static_cast<int>(config.BackgroundImageY), screen, ClientSize(*install_));
  install_->SetWindowPos(HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

LRESULT CSetupDlg::OnInstallEnded(WPARAM wParam, LPARAM) {
  EndInstallation(wParam != 0);
  return 0;
}

void CSetupDlg::EndInstallation(bool succeeded) {
  background_.reset();
  if (!install_) return;
  InstallSucceeded = succeeded;
  exitCode_ = ExitCodeOf(install_->Outcome());
  RestartNeeded = install_->Outcome() == InstallOutcome::kInstalledRestartNeeded;
  install_->GetLists(&RunListText, &OpenListText);
  // The dialog's window is still being destroyed while it reports; its object goes when
  // that is over.
  retired_install_ = std::move(install_);
  if (m_hWnd) ::PostMessageA(m_hWnd, kDeleteRetiredInstallDialog, 0, 0);
  if (!page6_) return;  // the frame itself is going
  ShowWindow(SW_SHOW);
  ShowFinishPage();
}

LRESULT CSetupDlg::OnDeleteRetiredInstallDialog(WPARAM, LPARAM) {
  retired_install_.reset();
  return 0;
}

void CSetupDlg::ShowFinishPage() {
  const SetupConfig& config = description_.Summary.Config;
  close_button_.SetWindowText(kCloseCaption);
  back_button_.ShowWindow(SW_HIDE);
  next_button_.ShowWindow(SW_HIDE);
  finish_marker_.ShowWindow(SW_HIDE);
  Page(CurrentPage == kPageDestination ? kPageDestination : kPageSummary)->ShowWindow(SW_HIDE);
  page6_->ShowWindow(SW_SHOW);
  page6_->SetLink1(BufferText(config.Link1Caption), BufferText(config.Link1Url));
  page6_->SetLink2(BufferText(config.Link2Caption), BufferText(config.Link2Url));
  page6_->SetLink3(BufferText(config.Link3Caption), BufferText(config.Link3Url));
  page6_->SetRunList(RunListText);
  page6_->SetOpenList(OpenListText);
  page6_->ShowResult(InstallSucceeded, RestartNeeded);
  CurrentPage = kPageFinish;
}

LRESULT CSetupDlg::OnRaiseInstallDialog(WPARAM, LPARAM) {
  if (install_ && install_->m_hWnd) ::BringWindowToTop(install_->m_hWnd);
  return 0;
}

void CSetupDlg::CloseAfterInstallation() {
  if (InstallSucceeded && page6_) {
    const std::pair<bool, bool> choices = page6_->GetChoices();
    if (choices.first) RunPrograms();
    if (choices.second) OpenFiles();
  }
  EndDialog(IDOK);
}

void CSetupDlg::RunPrograms() {
  const std::string list = RunListText;
  RunListText.clear();
  for (const LaunchItem& item : ParseLaunchList(list)) {
    const HINSTANCE result = ::ShellExecuteA(nullptr, "Open", item.file.c_str(), nullptr,
                                             item.directory.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
      ShowMessageBox(m_hWnd, "Couldn't execute program: " + item.file, "Warning!", MB_OK | MB_ICONEXCLAMATION);
  }
}

void CSetupDlg::OpenFiles() {
  const std::string list = OpenListText;
  OpenListText.clear();
  for (const LaunchItem& item : ParseLaunchList(list)) {
    const HINSTANCE result = ::ShellExecuteA(nullptr, "Open", item.file.c_str(), nullptr,
                                             item.directory.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
      ShowMessageBox(m_hWnd, "Couldn't open file: " + item.file, "Warning!", MB_OK | MB_ICONEXCLAMATION);
  }
}
