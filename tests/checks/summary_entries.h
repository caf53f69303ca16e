#pragma once
// Summary records and entries for the checks, as the builder would describe a product.

#include <cstring>
#include <string>

#include "formats/record_stream.h"
#include "formats/summary_record.h"

inline SummaryEntry MakeEntry(const std::string& name, const std::string& extension, const std::string& target) {
  SummaryEntry entry;
  std::memset(&entry, 0, sizeof entry);
  SetBufferText(entry.Name, name);
  SetBufferText(entry.Extension, extension);
  SetBufferText(entry.TargetPath, target);
  return entry;
}

inline SummaryEntry FolderEntry(const std::string& name, const std::string& target) {
  return MakeEntry(name, "\\", target);
}

inline SummaryRecord SummaryWithTotal(uint32_t high, uint32_t low) {
  SummaryRecord summary;
  ClearSummaryRecord(&summary);
  summary.Head = SummaryHead{0, 0, high, low};
  return summary;
}
