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
  // 7 is kept for refusing a downgrade.
  kSetupDestinationRefused = 8,
};

inline int ExitCodeOf(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::kInstalled: return kSetupInstalled;
    case InstallOutcome::kCancelled: return kSetupCancelled;
    case InstallOutcome::kFailedAndUndone: return kSetupFailedAndUndone;
    case InstallOutcome::kDamagedPayload: return kSetupDataUnusable;
  }
  return kSetupFailedAndUndone;
}
