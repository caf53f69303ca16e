#include "setup/setup_log.h"

#include <windows.h>

#include "engine/preinstall_checks.h"
#include "shell/private_folder.h"

namespace {

#ifndef BRISKLAY_VERSION
#define BRISKLAY_VERSION "unknown"
#endif

std::string WindowsVersionText() {
  const std::optional<OsVersionReport> report = QueryOsVersion();
  if (!report) return "unknown (the system does not tell)";
  return ClassifyOsVersion(*report).Name + " (" + std::to_string(report->MajorVersion) + "." +
         std::to_string(report->MinorVersion) + "." + std::to_string(report->BuildNumber & 0xFFFF) + ")";
}

const char* ResultText(int exitCode) {
  switch (exitCode) {
    case 0: return "installed";
    case 1: return "the setup data cannot be used";
    case 2: return "cancelled";
    case 3: return "the installation failed and was undone";
    case 4: return "this Windows version is not supported";
    case 5: return "not enough disk space";
    case 6: return "bad command line";
    case 7: return "a newer version is installed";
    case 8: return "destination refused";
    case 1618: return "another setup or the uninstaller of the product is running, or a restart is pending for it";
    case 3010: return "installed; files in use are replaced at the next restart";
    default: return "ended";
  }
}

}  // namespace

void OpenSetupLog(RunLog* log, const SetupOptions& options, const std::string& productName) {
  if (!options.log) {
    log->Discard();
    return;
  }
  if (log->IsOpen()) return;
  const bool opened = options.logFile.empty()
                          ? log->Open(CreateKeptTempFile((productName.empty() ? "" : productName + " ") + "Setup ", ".log"))
                          : log->Open(options.logFile);
  // A log that cannot be written does not stop the installation it would describe.
  if (!opened) log->Discard();
}

void LogStart(RunLog* log, const std::string& commandLine) {
  log->Write(std::string("Brisklay Setup ") + BRISKLAY_VERSION + " started");
  log->Write("Command line: " + commandLine);
  log->Write("Windows version: " + WindowsVersionText());
}

void LogResult(RunLog* log, int exitCode) {
  log->Write(std::string("Result: ") + ResultText(exitCode) + ". Exit code " + std::to_string(exitCode));
}
