#include "builder/summary_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

SummaryEntry SummaryEntryFor(const FileEntry& entry) {
  SummaryEntry line;
  std::memcpy(line.Name, entry.Name, sizeof line.Name);
  std::memcpy(line.Extension, entry.Extension, sizeof line.Extension);
  std::memcpy(line.TargetPath, entry.TargetPath, sizeof line.TargetPath);
  line.StartMenuShortcut = entry.StartMenuShortcut;
  line.DesktopShortcut = entry.DesktopShortcut;
  line.StartupShortcut = entry.StartupShortcut;
  std::memcpy(line.ShortcutName, entry.ShortcutName, sizeof line.ShortcutName);
  std::memcpy(line.ShortcutDescription, entry.ShortcutDescription, sizeof line.ShortcutDescription);
  return line;
}

}  // namespace

SummaryRecord MakeSummaryRecord(const SummaryHead& head, const SetupConfig& config, uint32_t dataFileCrc,
                                uint32_t setupDataCrc, const PayloadPlan& plan) {
  SummaryRecord record;
  ClearSummaryRecord(&record);
  record.Head = head;
  record.Config = config;
  record.DataFileCrc = dataFileCrc;
  record.SetupDataCrc = setupDataCrc;
  for (const PlannedEntry& planned : plan.entries) record.Entries.push_back(SummaryEntryFor(planned.entry));
  return record;
}

bool WriteSummaryFile(const std::string& path, const SummaryRecord& record, std::string* error) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = WriteSummaryRecord(record, out);
  const bool flushed = std::fflush(out) == 0 && !std::ferror(out);
  const bool closed = std::fclose(out) == 0;
  if (!written || !flushed || !closed) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
