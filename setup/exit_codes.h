#pragma once
// How Setup.exe ends, for a deployment tool that started it and reads the code.

#include "engine/install_outcome.h"

enum SetupExitCode : int {
  kSetupInstalled = 0,
  // The setup data cannot be used: a start-up error, or a payload found damaged before
  // any change. The wizard also ends so when the user declines the system question.
  kSetupDataUnusable = 1,
  kSetupCancelled = 2,
  // The installation failed and was undone (also when copies had to be kept aside).
  kSetupFailedAndUndone = 3,
  kSetupSystemNotSupported = 4,
  kSetupNotEnoughSpace = 5,
  kSetupBadCommandLine = 6,
  // A newer version of the product is installed, and /force was not given.
  kSetupNewerVersionInstalled = 7,
  kSetupDestinationRefused = 8,
  // Another setup or the uninstaller of the product is running, or a replacement of its
  // files waits for a restart: deployment tools retry later on this code.
  kSetupAnotherRunning = 1618,
  // Installed; files in use are replaced at the next restart, which completes the run.
  kSetupRestartNeeded = 3010,
};

inline int ExitCodeOf(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::kInstalled: return kSetupInstalled;
    case InstallOutcome::kInstalledRestartNeeded: return kSetupRestartNeeded;
    case InstallOutcome::kCancelled: return kSetupCancelled;
    case InstallOutcome::kFailedAndUndone: return kSetupFailedAndUndone;
    case InstallOutcome::kDamagedPayload: return kSetupDataUnusable;
  }
  return kSetupFailedAndUndone;
}
