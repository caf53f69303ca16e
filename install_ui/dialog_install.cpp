#include "install_ui/dialog_install.h"

#include <commctrl.h>

#include <cstdio>

#include "common/message_box.h"
#include "resources/resource_ids.h"

std::string ElapsedTimeText(int hours, int minutes, int seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "Elapsed Time: %02d:%02d:%02d", hours, minutes, seconds);
  return text;
}

CDialogInstall::CDialogInstall(HWND owner, const InstallPlan& plan) : CDialog(IDD_INSTALL, owner), owner_(owner) {
  if (!Create(owner)) return;
  ShowWindow(SW_SHOW);
  ShowProduct(plan);
  if (!plan.userMayCancel) ForbidCancel();
  InstallHost* host = this;  // a private base: convertible only in here
  engine_ = std::make_unique<InstallEngine>(host, plan);
}

CDialogInstall::~CDialogInstall() {
  // Destroying the window here, while the members still exist, stops the threads and
  // reports to the owner; the base class would be too late.
  DestroyWindow();
  StopThreads();
}

void CDialogInstall::DoDataExchange() {
  SubclassControl(caption_, IDC_INSTALL_CAPTION);
  SubclassControl(waitBar_, IDC_INSTALL_WAIT_BAR);
  BindControl(status_, IDC_INSTALL_STATUS);
  BindControl(progress_, IDC_INSTALL_PROGRESS);
  BindControl(elapsed_, IDC_INSTALL_ELAPSED);
  BindControl(cancelButton_, IDC_INSTALL_CANCEL);
}

// The engine reads the Windows and system folders itself when it is made.
BOOL CDialogInstall::OnInitDialog() { return TRUE; }

void CDialogInstall::ShowProduct(const InstallPlan& plan) {
  caption_.SetCaptionFont(42, 16, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  caption_.SetWindowText(plan.productName);
  caption_.SetGradientColors(plan.clrIn, plan.clrOut);
  caption_.SetGradient(1);
  waitBar_.SetColors(plan.clrOut, plan.clrIn);
  waitBar_.Start();
  status_.SetWindowText("Initializing...");
  progress_.SendMessage(PBM_SETPOS, 0, 0);
}

void CDialogInstall::ForbidCancel() {
  cancelForbidden_ = true;
  // Escape, Alt+F4 and the close box all end in OnCancelRequest, which a disabled button
  // turns away; the greyed close box tells the user so.
  cancelButton_.EnableWindow(FALSE);
  ::EnableMenuItem(::GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

void CDialogInstall::AllowClosing() {
  cancelButton_.EnableWindow(TRUE);
  ::EnableMenuItem(::GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

void CDialogInstall::GetLists(std::string* runList, std::string* openList) const {
  if (engine_) {
    engine_->GetLists(runList, openList);
  } else {
    runList->clear();
    openList->clear();
  }
}

void CDialogInstall::SetCompanion(InstallHost* companion, bool answerByRule) {
  companion_ = companion;
  answerByRule_ = answerByRule && companion;
}

void CDialogInstall::StartInstall() {
  if (!engine_ || worker_.Started()) return;
  worker_.Start([this](HANDLE) { InstallWorker(); });
  if (display_.Started()) return;
  timers_.Add(kElapsedTimerKey);
  display_.Start([this](HANDLE stopEvent) { ElapsedTimeDisplay(stopEvent); });
}

void CDialogInstall::InstallWorker() {
  succeeded_ = engine_->Install();
  // The final texts and the finished flag change together on the user-interface thread,
  // so a click can never meet "&Close" on the button while the run still counts as going.
  ::PostMessageA(m_hWnd, kWmRunEnded, 0, 0);
}

LRESULT CDialogInstall::OnRunEnded(WPARAM, LPARAM) {
  if (finished_) return 0;
  display_.SignalStop();
  waitBar_.Stop();
  cancelButton_.SetWindowText("&Close");
  if (cancelForbidden_) AllowClosing();
  status_.SetWindowText(succeeded_ ? "Finished." : "Aborted.");
  finished_ = true;
  if (closeWhenFinished_) DestroyWindow();
  return 0;
}

void CDialogInstall::ElapsedTimeDisplay(HANDLE stopEvent) {
  const int interval = timers_.GetInterval(kElapsedTimerKey);
  if (interval < 0) return;
  do {
    int days = 0, hours = 0, minutes = 0, seconds = 0;
    if (!timers_.Get(kElapsedTimerKey, &days, &hours, &minutes, &seconds)) return;
    if (!elapsed_.IsWindow()) return;
    elapsed_.SetWindowText(ElapsedTimeText(hours, minutes, seconds));
  } while (WaitForSingleObject(stopEvent, static_cast<DWORD>(interval)) == WAIT_TIMEOUT);
}

void CDialogInstall::StopThreads() {
  // Inside a message one of our threads sent, that thread waits for our answer: give it
  // now, or waiting for the thread below would never end.
  if (InSendMessage()) ReplyMessage(0);
  if (worker_.Started()) {
    // Only an owner that destroys the dialog early gets here with the run still going: it
    // ends at its next check point and undoes what it did, rather than being cut off.
    if (!finished_) engine_->RequestAbort();
    worker_.Join();
  }
  if (display_.Started()) {
    display_.SignalStop();
    display_.Join();
  }
  timers_.Remove(kElapsedTimerKey);
  waitBar_.Stop();
}

void CDialogInstall::SetProgressRange(int range) { progress_.SendMessage(PBM_SETRANGE32, 0, range); }

void CDialogInstall::SetProgressPosition(int position) { progress_.SendMessage(PBM_SETPOS, position, 0); }

BOOL CDialogInstall::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) {
    OnCancelRequest();
    return TRUE;
  }
  return CDialog::PreTranslateMessage(msg);
}

void CDialogInstall::OnCancelRequest() {
  if (!cancelButton_.IsWindowEnabled()) return;
  if (finished_) {
    DestroyWindow();
    return;
  }
  // Past the point of no return the run completes whatever the answer; asking would
  // promise what cannot be done.
  if (engine_->PastPointOfNoReturn()) return;
  if (answerByRule_) {
    // A run that asks nothing takes the click itself as the answer.
    companion_->Note("Cancel pressed: the installation is cancelled without a question");
    engine_->RequestAbort();
    return;
  }
  const int answer = ShowMessageBox(m_hWnd, "Are you sure you want to abort the installation process?", "Question",
                                    MB_YESNO | MB_ICONQUESTION);
  // A run that ended while the question was open keeps its outcome.
  if (answer == IDYES && !finished_) engine_->RequestAbort();
}

LRESULT CDialogInstall::OnClose(WPARAM, LPARAM) {
  OnCancelRequest();
  return 0;
}

LRESULT CDialogInstall::OnDestroy(WPARAM, LPARAM) {
  StopThreads();
  if (!reported_ && owner_) {
    reported_ = true;
    ::SendMessageA(owner_, WM_APP_INSTALL_ENDED, succeeded_ ? 1 : 0, 0);
  }
  return 0;
}

void CDialogInstall::ReportError(const std::string& text, const std::string& caption) {
  if (companion_) companion_->ReportError(text, caption);
  ShowMessageBox(m_hWnd, text, caption, MB_ICONERROR);
}

void CDialogInstall::Warn(const std::string& text) {
  if (companion_) companion_->Warn(text);
  if (!answerByRule_) ShowMessageBox(m_hWnd, text, "Warning", MB_ICONEXCLAMATION);
}

bool CDialogInstall::Confirm(const std::string& question) {
  if (answerByRule_) return companion_->Confirm(question);
  const bool yes = ShowMessageBox(m_hWnd, question, "Warning", MB_YESNO | MB_ICONQUESTION) == IDYES;
  if (companion_) companion_->Note("Question: " + question + " Answer: " + (yes ? "Yes" : "No") + ", by the user");
  return yes;
}

bool CDialogInstall::ConfirmLibraryReplacement(const std::string& question, const LibraryQuestion& facts) {
  if (answerByRule_) return companion_->ConfirmLibraryReplacement(question, facts);
  return Confirm(question);
}

void CDialogInstall::SetStatusText(const std::string& text) {
  if (companion_) companion_->SetStatusText(text);
  status_.SetWindowText(text);
}

void CDialogInstall::Note(const std::string& event) {
  if (companion_) companion_->Note(event);
}
