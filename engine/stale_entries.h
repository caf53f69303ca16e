#pragma once
// What an earlier version of a product put on the machine that the version installed over
// it does not: the records of the earlier log whose file, folder or registry value the
// newer log does not name (paths and values compared as the log merge compares them).
// Shortcuts are not decided here: which links a record stands for depends on the shell's
// folders.

#include <vector>

#include "formats/uninstall_log.h"

struct StaleEntries {
  std::vector<FileEntry> files;    // in the earlier log's order
  std::vector<FileEntry> folders;  // folder records
  std::vector<RegistryEntry> registry;
};

StaleEntries FindStaleEntries(const UninstallLog& earlier, const UninstallLog& current);
