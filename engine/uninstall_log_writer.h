#pragma once
// The installation's side of "Uninstall.log": created empty in the temporary folder, then
// one append per record, in the format the uninstaller reads. The header's counts are made
// those of the records written before the log leaves the temporary folder.

#include <cstdint>
#include <string>

#include "engine/uninstall_log_file.h"
#include "formats/data_file.h"
#include "formats/uninstall_log.h"

class UninstallLogWriter {
 public:
  // False when the log cannot be created in `folder` (with its trailing backslash).
  bool Create(const std::string& folder);
  const std::string& Path() const { return path_; }

  // Each false when the record did not reach the log whole; the log then ends with the
  // record before.
  bool AppendHeader(const UninstallLogHeader& header);
  bool AppendFile(const FileEntry& entry);
  bool AppendRegistry(const RegistryEntry& entry);

  // Makes the header's counts those of the records actually written and lets go of the
  // file, which stays whole on disk for others to read or move.
  bool Finish();
  void Close() { file_.Close(); }
  // Every record appended so far reaches the file.
  bool Push() { return file_.Push(); }
  // Deletes the log (a run that did not complete).
  void Remove();

 private:
  std::string path_;
  UninstallLogFile file_;
  uint32_t files_ = 0;
  uint32_t registryValues_ = 0;
};
