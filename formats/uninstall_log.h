#pragma once
// "Uninstall.log": header, then one file record per folder or file the installation went
// on to install, then one registry record per registry value it set.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/data_file.h"

struct UninstallLogHeader {
  char cName[kStringBufferSize];
  uint32_t clrOut;
  uint32_t clrIn;
  uint32_t dwFiles;
  uint32_t dwReg;
  uint32_t bAllUsers;
};

bool WriteUninstallLogHeader(const UninstallLogHeader& header, FILE* stream);
// Starts from a zeroed header and stops at the first field that fails.
bool ReadUninstallLogHeader(UninstallLogHeader* header, FILE* stream);

// Overwrites dwFiles and dwReg of the header of a log opened for update ("r+b"), so the
// counts always match the records written. Finds them after the stored name; fails when
// the file does not hold a whole header. Leaves the stream at the end of the file, ready
// for further appends.
bool RewriteUninstallLogCounts(uint32_t files, uint32_t registryValues, FILE* stream);

struct UninstallLog {
  UninstallLogHeader Header;
  std::vector<FileEntry> Files;
  std::vector<RegistryEntry> Registry;
};

// Reads the header, dwFiles file records and dwReg registry records. A log that ends
// before its counts are satisfied, holds an over-long string or has bytes after the last
// record is reported as damaged (false, with the reason in `error`).
bool ReadUninstallLog(UninstallLog* log, FILE* stream, std::string* error);

// ReadUninstallLog of the file at `path`; false also when it cannot be opened.
bool ReadUninstallLogFile(const std::string& path, UninstallLog* log);

// Writes `log` whole to a new file at `path`, its header's counts as they are; a file that
// could not be written whole is removed again.
bool WriteUninstallLogFile(const std::string& path, const UninstallLog& log);
