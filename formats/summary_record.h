#pragma once
// The summary record: what the wizard reads at start-up, before anything is inflated.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/setup_config.h"

// The four values that open the summary record (and follow the counts in the data file).
struct SummaryHead {
  uint32_t HasInformation;
  uint32_t HasLicense;
  uint32_t TotalSizeHigh;
  uint32_t TotalSizeLow;
};

// One line per folder and file of the payload, repeating fields 2 to 9 of its FileEntry.
struct SummaryEntry {
  char Name[kStringBufferSize];
  char Extension[kStringBufferSize];  // "\\" marks a folder
  char TargetPath[kStringBufferSize];
  uint32_t StartMenuShortcut;
  uint32_t DesktopShortcut;
  uint32_t StartupShortcut;
  char ShortcutName[kStringBufferSize];
  char ShortcutDescription[kStringBufferSize];
};

// The texts the wizard derives from the entries while it reads them.
struct SummaryTexts {
  std::string FileListText;
  std::string StartMenuListText;
  std::string DesktopListText;
  bool AnyStartMenuShortcut = false;
  bool AnyDesktopShortcut = false;
};

struct SummaryRecord {
  SummaryHead Head;
  SetupConfig Config;
  uint32_t DataFileCrc;
  uint32_t SetupDataCrc;
  std::vector<SummaryEntry> Entries;
  SummaryTexts Texts;
};

// Every field starts empty or zero, so a short record leaves them defined.
void ClearSummaryRecord(SummaryRecord* record);

// Reads the whole record the way the wizard does: fields in order, the entry list until
// the end of the stream, the derived texts filled on the way (the two fixed uninstaller
// lines appended last). A damaged record is read as far as it goes; the result is false
// when any field could not be read or a string was over-long.
bool ReadSummaryRecord(SummaryRecord* record, FILE* stream);
bool WriteSummaryRecord(const SummaryRecord& record, FILE* stream);

// "%s.%s - %s\r\n" from Name, Extension and TargetPath.
std::string SummaryLine(const SummaryEntry& entry);

// Replaces every "\n" with "\r\n", each original "\n" exactly once.
std::string ConvertLineEnds(const std::string& text);
