#pragma once
// How Uninstall.exe ends, for whoever started it.

enum UninstallExitCode : int {
  kExitRemoved = 0,     // everything is gone
  kExitFailed = 1,      // nothing removed: no log, a damaged log
  kExitDeclined = 2,    // the user answered No; nothing removed
  kExitIncomplete = 3,  // removed, but items stayed (listed in the closing message)
  // A setup or another uninstaller of the product is running, or a change to its files
  // waits for a restart.
  kExitAnotherRunning = 1618,
  // Everything else is gone; files in use are deleted at the next restart.
  kExitRestartNeeded = 3010,
};

// How a removal that ran to its end ends: what stayed outweighs a restart to come.
inline int RemovalExitCode(bool somethingStayed, bool restartNeeded) {
  if (somethingStayed) return kExitIncomplete;
  return restartNeeded ? kExitRestartNeeded : kExitRemoved;
}
