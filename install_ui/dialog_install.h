#pragma once
// The installation dialog: a small modeless window that runs the installation on a worker
// thread of its own and shows its progress: the product's name in a coloured caption, a
// status line, a progress bar, the elapsed time, a waiting bar and a Cancel button that
// becomes Close when the run is over. Closing the finished dialog destroys its window,
// which tells the owner the outcome with WM_APP_INSTALL_ENDED (wParam 1 = success).
//
// The owner must not delete the object from inside its WM_APP_INSTALL_ENDED handler: the
// message arrives while the dialog's window is still being destroyed. It should fetch the
// lists there and delete the object afterwards (for instance on a message it posts itself).
//
// The engine's errors, warnings and questions appear here as message boxes owned by the
// dialog. OpenInstallDialog (install_hand_over.h) makes, places and starts it.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "common/app_messages.h"
#include "controls/colored_static.h"
#include "controls/wait_static.h"
#include "install_ui/dialog_thread.h"
#include "install_ui/elapsed_timer_set.h"
#include "engine/install_engine.h"
#include "window/dialog.h"

class CDialogInstall : public CDialog, private InstallHost {
 public:
  static constexpr int kElapsedTimerKey = 1;
  // Posted by the worker when the run is over; private to this dialog (the dialog
  // manager's own messages sit just above WM_USER).
  static constexpr UINT kWmRunEnded = WM_USER + 0x100;

  // Creates the window, owned by `owner`, and shows it for `plan`; IsCreated() tells
  // whether that worked.
  CDialogInstall(HWND owner, const InstallPlan& plan);
  ~CDialogInstall() override;

  bool IsCreated() const { return m_hWnd != nullptr && engine_ != nullptr; }

  // Starts the worker, the elapsed-time counter and its display; a second call does nothing.
  void StartInstall();

  // A host that hears everything the engine reports, for a log; with `answerByRule` it
  // also answers the questions and takes the warnings, so that only failures are shown,
  // and Cancel cancels without asking.
  // Set before StartInstall; `companion` must outlive the run.
  void SetCompanion(InstallHost* companion, bool answerByRule);
  // The dialog destroys itself when the run is over, rather than waiting for Close.
  void CloseWhenFinished() { closeWhenFinished_ = true; }

  // The finish page's lists of programs to run and files to open.
  void GetLists(std::string* runList, std::string* openList) const;

  // The run is over and the button has become Close.
  bool IsFinished() const { return finished_.load(); }
  // The run ended complete and without abort.
  bool Succeeded() const { return succeeded_.load(); }
  // How the run ended; valid once IsFinished().
  InstallOutcome Outcome() const { return engine_ ? engine_->Outcome() : InstallOutcome::kFailedAndUndone; }

  // Esc and Enter ask the abort question while the run lasts and close the dialog after it.
  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(CDialogInstall)
    HANDLE_COMMAND_ID(1000, OnCancelRequest)
    HANDLE_MESSAGE(WM_CLOSE, OnClose)
    HANDLE_MESSAGE(WM_DESTROY, OnDestroy)
    HANDLE_MESSAGE(kWmRunEnded, OnRunEnded)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Keyboard routes that reach the dialog as IDOK / IDCANCEL behave as Cancel/Close.
  void OnOK() override { OnCancelRequest(); }
  void OnCancel() override { OnCancelRequest(); }

 private:
  // InstallHost: called on the worker thread, reaching the controls by messages.
  void ReportError(const std::string& text, const std::string& caption) override;
  void Warn(const std::string& text) override;
  bool Confirm(const std::string& question) override;
  bool ConfirmLibraryReplacement(const std::string& question, const LibraryQuestion& facts) override;
  void SetStatusText(const std::string& text) override;
  void Note(const std::string& event) override;
  void SetProgressRange(int range) override;
  void SetProgressPosition(int position) override;
  void EnableCancelButton(bool enable) override { cancelButton_.EnableWindow(enable && !cancelForbidden_); }

  void OnCancelRequest();
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnRunEnded(WPARAM, LPARAM);

  void ShowProduct(const InstallPlan& plan);
  // Cancel, the close box and Escape do nothing until the run is over.
  void ForbidCancel();
  void AllowClosing();
  void InstallWorker();
  void ElapsedTimeDisplay(HANDLE stopEvent);
  void StopThreads();

  HWND owner_ = nullptr;
  // Made once the window exists: the engine reports to its controls from the start.
  std::unique_ptr<InstallEngine> engine_;
  CColoredStatic caption_;
  CWaitStatic waitBar_;
  CWindow status_;
  CWindow progress_;
  CWindow elapsed_;
  CWindow cancelButton_;

  std::atomic<bool> finished_{false};
  std::atomic<bool> succeeded_{false};
  bool reported_ = false;
  InstallHost* companion_ = nullptr;
  bool answerByRule_ = false;
  bool closeWhenFinished_ = false;
  // Set before the worker starts, read by it afterwards.
  bool cancelForbidden_ = false;
  ElapsedTimerSet timers_;
  DialogThread worker_;
  DialogThread display_;
};

// "Elapsed Time: hh:mm:ss"; days are not shown.
std::string ElapsedTimeText(int hours, int minutes, int seconds);
