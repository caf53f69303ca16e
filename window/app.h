#pragma once
// The application object: one global instance, constructed before WinMain. WinMain calls
// RunApplication(), which prepares the common controls, runs InitInstance (which runs the
// program's modal dialog) and returns the exit code.

#include <windows.h>

#include <string>

class CMessageWindow;

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // Returns FALSE to end the application when it returns.
  virtual BOOL InitInstance() { return FALSE; }

  CMessageWindow* m_pMainWnd = nullptr;

  // A fatal start-up error ends the program with a code other than 0 without calling
  // exit() from inside a window procedure.
  void SetExitCode(int code) { exit_code_ = code; }
  int ExitCode() const { return exit_code_; }

  static CWinApp* Current();

 private:
  int exit_code_ = 0;
};

int RunApplication();

// The module whose resources the program uses (its own file).
HINSTANCE AppInstance();
// A string-table entry, or "" when the entry does not exist.
std::string LoadStringText(UINT id);
