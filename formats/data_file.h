#pragma once
// The decompressed data file: head with counts, SetupConfig, the file and folder entries
// with their contents inline, then the registry entries.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/setup_config.h"
#include "formats/summary_record.h"

struct DataFileHead {
  uint32_t FileCount;
  uint32_t RegistryCount;
  SummaryHead Summary;  // HasInformation, HasLicense, TotalSizeHigh, TotalSizeLow
};

struct FileEntry {
  uint32_t Index;
  char Name[kStringBufferSize];
  char Extension[kStringBufferSize];  // "\\" marks a folder entry
  char TargetPath[kStringBufferSize];
  uint32_t StartMenuShortcut;
  uint32_t DesktopShortcut;
  uint32_t StartupShortcut;
  char ShortcutName[kStringBufferSize];
  char ShortcutDescription[kStringBufferSize];
  uint32_t RunAtFinish;
  uint32_t RegisterServer;
  uint32_t SizeHigh;
  uint32_t SizeLow;  // content length; the content follows the record
  FileTime CreationTime;
  FileTime LastAccessTime;
  FileTime LastWriteTime;
};

struct RegistryEntry {
  char RootKey[kStringBufferSize];
  char SubKey[kStringBufferSize];
  char ValueName[kStringBufferSize];
  char ValueType[kStringBufferSize];
  char ValueData[kStringBufferSize];
};

// Exactly "\\", compared byte for byte.
bool IsFolderEntry(const char* extension);

// The record readers start from a zeroed record and stop at the first field that fails,
// so a failed read never leaves garbage or an unterminated buffer behind.
bool ReadDataFileHead(DataFileHead* head, FILE* stream);
bool WriteDataFileHead(const DataFileHead& head, FILE* stream);
// One record without its content. The same bytes form a file record of the uninstall log.
bool ReadFileEntry(FileEntry* entry, FILE* stream);
bool WriteFileEntry(const FileEntry& entry, FILE* stream);
bool ReadRegistryEntry(RegistryEntry* entry, FILE* stream);
bool ReadDataFileHead(DataFileHead* head, ByteSource& source);
bool ReadFileEntry(FileEntry* entry, ByteSource& source);
bool ReadRegistryEntry(RegistryEntry* entry, ByteSource& source);
bool WriteRegistryEntry(const RegistryEntry& entry, FILE* stream);

// A whole data file read without its contents, for tools and tests.
struct DataFileContents {
  DataFileHead Head;
  SetupConfig Config;
  std::vector<FileEntry> Files;
  std::vector<RegistryEntry> Registry;
};

// Reads a data file front to back, skipping every file's content. Never trusts a count or
// a length beyond what the file holds: a file that ends early, holds an over-long string,
// a file of 4 GiB or more, or bytes after the last registry entry is reported as damaged
// (false, with the reason in `error`).
bool ReadDataFileSkippingContent(DataFileContents* contents, FILE* stream, std::string* error);
