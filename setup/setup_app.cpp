#include "setup/setup_app.h"

#include "common/message_box.h"
#include "common/run_log.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "setup/setup_log.h"
#include "setup/setupdlg.h"
#include "setup/unattended_run.h"

namespace {

// A command line that cannot be used, or a request for the usage, ends the run here.
// Returns true with `exitCode` set when it does.
bool EndsBeforeReading(const SetupOptions& options, RunLog* log, int* exitCode) {
  if (!options.error.empty()) {
    OpenSetupLog(log, options, "");
    log->Write(options.error);
    if (!options.Silent()) ShowMessageBox(nullptr, options.error + "\n\n" + SetupUsageText(), "Setup", MB_OK | MB_ICONERROR);
    *exitCode = kSetupBadCommandLine;
    return true;
  }
  if (options.help) {
    OpenSetupLog(log, options, "");
    log->Write("Usage asked for");
    if (!options.Silent()) ShowMessageBox(nullptr, SetupUsageText(), "Setup", MB_OK | MB_ICONINFORMATION);
    *exitCode = kSetupInstalled;
    return true;
  }
  return false;
}

}  // namespace

BOOL CSetupApp::InitInstance() {
  const std::string commandLine = ::GetCommandLineA();
  const SetupOptions options = ParseSetupCommandLine(commandLine);
  RunLog log;
  // A log asked for by name is there from the first line, whatever happens next.
  if (options.log && !options.logFile.empty()) OpenSetupLog(&log, options, "");
  LogStart(&log, commandLine);
  int exitCode = 0;
  if (!EndsBeforeReading(options, &log, &exitCode)) {
    if (options.Silent()) {
      exitCode = RunUnattended(options, &log);
    } else {
      CSetupDlg dialog(nullptr, &options, &log);
      m_pMainWnd = &dialog;
      dialog.DoModal();
      m_pMainWnd = nullptr;
      exitCode = dialog.ExitCode();
    }
  }
  LogResult(&log, exitCode);
  SetExitCode(exitCode);
  return FALSE;
}
