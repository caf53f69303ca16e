#pragma once
// How an installation ended, as callers that report it (an exit code, a log) need it.

enum class InstallOutcome {
  kInstalled,
  // Installed, but files in use are replaced only when Windows restarts.
  kInstalledRestartNeeded,
  // The user confirmed a cancel before the point of no return; everything was undone.
  kCancelled,
  // A change failed; everything done was undone (copies that could not be put back are
  // kept aside and named).
  kFailedAndUndone,
  // The payload was found damaged: before anything on the machine was changed, or, where
  // only its inflated bytes failed their checksum, after the files, with everything undone.
  kDamagedPayload,
};
