#include "uninstaller/uninstall_app.h"

#include <objbase.h>

#include <string>

#include "common/message_box.h"
#include "uninstaller/command_line.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/log_loading.h"
#include "shell/paths.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstall_dlg.h"

namespace {

std::string CurrentFolder() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string OwnPath() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// The folder named on the command line becomes the current folder; without one (started
// from the link) the current folder is the installation folder already.
std::string EnterInstallFolder(const std::string& commandLine) {
  const std::string named = InstallFolderFromCommandLine(commandLine);
  if (named.empty()) return WithoutTrailingBackslash(CurrentFolder());
  // A folder that cannot be entered is still the one whose log the message names.
  if (!SetCurrentDirectoryA(named.c_str())) return WithoutTrailingBackslash(named);
  return WithoutTrailingBackslash(CurrentFolder());
}

}  // namespace

BOOL CUninstallApp::InitInstance() {
  const std::string commandLine = GetCommandLineA();
  FinishArguments finish;
  if (ParseFinishCommandLine(commandLine, &finish)) {
    SetExitCode(FinishSelfRemoval(finish));
    return FALSE;
  }

  SetApplicationTitle("Uninstall");
  const std::string folder = EnterInstallFolder(commandLine);
  UninstallLog log;
  std::string message;
  if (!LoadUninstallLog(JoinPath(folder, "Uninstall.log"), &log, &message)) {
    ShowMessageBox(nullptr, message, "Error", MB_ICONERROR);
    SetExitCode(kExitFailed);
    return FALSE;
  }
  SetApplicationTitle("Uninstall " + BufferText(log.Header.cName));

  // The shell's links are read and its folders found through COM.
  const HRESULT com = CoInitialize(nullptr);
  CUninstallDlg dialog(log, folder, OwnPath());
  m_pMainWnd = &dialog;
  if (dialog.DoModal() == -1) {
    ShowMessageBox(nullptr, "Couldn't create the uninstaller window!", "Error", MB_ICONERROR);
    SetExitCode(kExitFailed);
  } else {
    SetExitCode(dialog.ExitCode());
  }
  m_pMainWnd = nullptr;
  if (SUCCEEDED(com)) CoUninitialize();
  return FALSE;
}
