#include "uninstaller/uninstall_app.h"

#include <objbase.h>

#include <string>

#include "common/message_box.h"
#include "uninstaller/command_line.h"
#include "uninstaller/exit_codes.h"
#include "common/run_log.h"
#include "uninstaller/log_loading.h"
#include "uninstaller/quiet_removal.h"
#include "shell/paths.h"
#include "shell/private_folder.h"
#include "shell/product_lock.h"
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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The folder named on the command line becomes the current folder; without one the
// installation folder is the one the uninstaller is in.
std::string EnterInstallFolder(const std::string& commandLine) {
  std::string named = InstallFolderFromCommandLine(commandLine);
  if (named.empty()) named = FolderOf(OwnPath());
  if (named.empty()) return WithoutTrailingBackslash(CurrentFolder());
  // A folder that cannot be entered is still the one whose log the message names.
  if (!SetCurrentDirectoryA(named.c_str())) return WithoutTrailingBackslash(named);
  return WithoutTrailingBackslash(CurrentFolder());
}

void OpenRunLog(RunLog* runLog, const UninstallSwitches& switches, const std::string& productName) {
  if (!switches.log) {
    runLog->Discard();
    return;
  }
  if (runLog->IsOpen()) return;
  const bool opened =
      switches.logFile.empty()
          ? runLog->Open(CreateKeptTempFile((productName.empty() ? "" : productName + " ") + "Uninstall ", ".log"))
          : runLog->Open(switches.logFile);
  if (!opened) runLog->Discard();
}

// A message for the user, unless the run is quiet; the log gets it either way.
void Tell(const UninstallSwitches& switches, RunLog* runLog, const std::string& message) {
  runLog->Write(message);
  if (!switches.ShowsNoMessageBox()) ShowMessageBox(nullptr, message, "Error", MB_ICONERROR);
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
  const UninstallSwitches switches = ParseUninstallSwitches(commandLine);
  RunLog runLog;
  if (switches.log && !switches.logFile.empty()) OpenRunLog(&runLog, switches, "");
  runLog.Write("Brisklay Uninstall started");
  runLog.Write("Command line: " + commandLine);
  // /SILENT shows its progress window, but nothing that waits for an answer either.
  if (switches.ShowsNoMessageBox()) {
    SetMessageBoxHandler([&runLog](const MessageBoxRequest& request) {
      runLog.Write("Not shown (" + request.caption + "): " + request.text);
      return (request.flags & kMbYesNo) ? kIdNo : kIdOk;
    });
  }
  SetExitCode(Uninstall(switches, &runLog));
  runLog.Write("Exit code " + std::to_string(ExitCode()));
  return FALSE;
}

int CUninstallApp::Uninstall(const UninstallSwitches& switches, RunLog* runLog) {
  if (!switches.error.empty()) {
    OpenRunLog(runLog, switches, "");
    Tell(switches, runLog, switches.error);
    return kExitFailed;
  }
  const std::string folder = EnterInstallFolder(switches.remainingLine);
  UninstallLog log;
  std::string message;
  const bool loaded = LoadUninstallLog(JoinPath(folder, "Uninstall.log"), &log, &message);
  OpenRunLog(runLog, switches, loaded ? BufferText(log.Header.cName) : std::string());
  if (!loaded) {
    Tell(switches, runLog, message);
    return kExitFailed;
  }
  SetApplicationTitle("Uninstall " + BufferText(log.Header.cName));
  // Held until this process ends: no setup of the product may start meanwhile.
  ProductLock lock;
  const std::string busy = ClaimProduct(&lock, BufferText(log.Header.cName));
  if (!busy.empty()) {
    // A deployment tool retries on this code.
    Tell(switches, runLog, busy);
    return kExitAnotherRunning;
  }
  if (switches.quiet) return RemoveQuietly(log, folder, OwnPath(), runLog);

  // The shell's links are read and its folders found through COM.
  const HRESULT com = CoInitialize(nullptr);
  CUninstallDlg dialog(log, folder, OwnPath());
  if (switches.silent) dialog.ReportToLogOnly(runLog);
  m_pMainWnd = &dialog;
  int exitCode = kExitFailed;
  if (dialog.DoModal() == -1) {
    Tell(switches, runLog, "Couldn't create the uninstaller window!");
  } else {
    exitCode = dialog.ExitCode();
  }
  m_pMainWnd = nullptr;
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
