#include "engine/uninstall_log_writer.h"

#include <windows.h>

#include <cstdio>

#include "engine/machine_calls.h"

bool UninstallLogWriter::Create(const std::string& folder) {
  if (folder.empty()) return false;
  path_ = folder + "Uninstall.log";
  files_ = 0;
  registryValues_ = 0;
  return file_.Create(path_);
}

bool UninstallLogWriter::AppendHeader(const UninstallLogHeader& header) {
  return file_.AppendRecord([&](FILE* log) { return WriteUninstallLogHeader(header, log); });
}

bool UninstallLogWriter::AppendFile(const FileEntry& entry) {
  if (!file_.AppendRecord([&](FILE* log) { return WriteFileEntry(entry, log); })) return false;
  ++files_;
  return true;
}

bool UninstallLogWriter::AppendRegistry(const RegistryEntry& entry) {
  if (!file_.AppendRecord([&](FILE* log) { return WriteRegistryEntry(entry, log); })) return false;
  ++registryValues_;
  return true;
}

bool UninstallLogWriter::Finish() {
  // Entries skipped at the replace question leave the data file's counts too high; the
  // uninstaller reads exactly as many records as they say.
  if (!file_.Push()) return false;
  file_.Close();
  FILE* log = machine::OpenStream(path_, "r+b");
  if (log == nullptr) return false;
  const bool rewritten = RewriteUninstallLogCounts(files_, registryValues_, log);
  return (std::fclose(log) == 0) && rewritten;
}

void UninstallLogWriter::Remove() {
  file_.Close();
  // Past the seam, like every clean-up of what the run made in the temporary folder.
  if (!path_.empty()) DeleteFileA(path_.c_str());
}
