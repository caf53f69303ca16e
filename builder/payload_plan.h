#pragma once
// Turns the manifest's files and folders into the entries of the data file, in order,
// checked so that the setup reads back exactly what the manifest says.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/manifest.h"
#include "formats/data_file.h"

struct PlannedEntry {
  FileEntry entry;                // the record; the content follows it in the data file
  std::filesystem::path content;  // where the content is read; empty for a folder
  std::string label;              // manifest entry (and file inside a folder), for messages
};

struct PayloadPlan {
  std::vector<PlannedEntry> entries;
  uint64_t totalSize = 0;  // sum of the content lengths
};

// Sources are found below `sourceRoot`. Folder sources expand to the folder's entry, then
// every file and folder below it, with targets under the folder's target.
bool PlanPayload(const Manifest& manifest, const std::filesystem::path& sourceRoot, PayloadPlan* plan,
                 std::string* error);
