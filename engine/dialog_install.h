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
// Hand-over, in this order, right after construction: SetOwnerWindow, SetSetupInfo,
// SetLogColors, SetDestination, SetChecksums, SetAllUsers, SetShortcutOptions, then
// StartInstall (install_hand_over.h does all of it).

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "common/app_messages.h"
#include "controls/colored_static.h"
#include "controls/wait_static.h"
#include "engine/dialog_thread.h"
#include "engine/elapsed_timer_set.h"
#include "engine/install_engine.h"
#include "window/dialog.h"

class CDialogInstall : public CDialog, private InstallHost {
 public:
  static constexpr int kElapsedTimerKey = 1;
  // Posted by the worker when the run is over; private to this dialog (the dialog
  // manager's own messages sit just above WM_USER).
  static constexpr UINT kWmRunEnded = WM_USER + 0x100;

  // Creates the window and shows it; IsCreated() tells whether that worked.
  explicit CDialogInstall(HWND parent);
  ~CDialogInstall() override;

  bool IsCreated() const { return m_hWnd != nullptr; }

  void SetOwnerWindow(HWND owner) { owner_ = owner; }
  void SetSetupInfo(const std::string& productName, COLORREF clrOut, COLORREF clrIn, uint32_t totalSizeHigh,
                    uint32_t totalSizeLow, bool externalData, const std::string& basePath);
  void SetLogColors(COLORREF clrOut, COLORREF clrIn) { engine_.SetLogColors(clrOut, clrIn); }
  void SetDestination(const std::string& folder) { engine_.SetDestination(folder); }
  void SetChecksums(uint32_t dataFileCrc, uint32_t setupDataCrc) { engine_.SetChecksums(dataFileCrc, setupDataCrc); }
  void SetAllUsers(bool allUsers) { engine_.SetAllUsers(allUsers); }
  void SetShortcutOptions(bool startMenu, bool desktop) { engine_.SetShortcutOptions(startMenu, desktop); }
  // The module that carries the "Setup" resources; the program itself unless set.
  void SetResourceModule(HMODULE module) { engine_.SetResourceModule(module); }

  // Starts the worker, the elapsed-time counter and its display; a second call does nothing.
  void StartInstall();

  // The finish page's lists of programs to run and files to open.
  void GetLists(std::string* runList, std::string* openList) const { engine_.GetLists(runList, openList); }

  // The run is over and the button has become Close.
  bool IsFinished() const { return finished_.load(); }
  // The run ended complete and without abort.
  bool Succeeded() const { return succeeded_.load(); }

  // Esc and Enter ask the abort question while the run lasts and close the dialog after it.
  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(CDialogInstall)
    COMMAND_ID_HANDLER(1000, OnCancelRequest)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_APP_ARCHIVE_PROGRESS, OnArchiveProgress)
    MESSAGE_HANDLER(WM_APP_ARCHIVE_STOP_QUERY, OnArchiveStopQuery)
    MESSAGE_HANDLER(kWmRunEnded, OnRunEnded)
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
  void* OwnerWindow() override { return m_hWnd; }
  void SetStatusText(const std::string& text) override { status_.SetWindowText(text); }
  void SetProgressRange(int range) override;
  void SetProgressPosition(int position) override;
  void EnableCancelButton(bool enable) override { cancelButton_.EnableWindow(enable); }

  void OnCancelRequest();
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnArchiveProgress(WPARAM bytes, LPARAM);
  LRESULT OnArchiveStopQuery(WPARAM, LPARAM);
  LRESULT OnRunEnded(WPARAM, LPARAM);

  void InstallWorker();
  void ElapsedTimeDisplay(HANDLE stopEvent);
  void StopThreads();

  HWND owner_ = nullptr;
  InstallEngine engine_;
  CColoredStatic caption_;
  CWaitStatic waitBar_;
  CWindow status_;
  CWindow progress_;
  CWindow elapsed_;
  CWindow cancelButton_;

  std::atomic<bool> finished_{false};
  std::atomic<bool> succeeded_{false};
  bool reported_ = false;
  ElapsedTimerSet timers_;
  DialogThread worker_;
  DialogThread display_;
};

// "Elapsed Time: hh:mm:ss"; days are not shown.
std::string ElapsedTimeText(int hours, int minutes, int seconds);
