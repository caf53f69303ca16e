#pragma once
// Collects what one manifest entry's source stands for: a single file, or a folder with
// everything below it. A folder comes before its contents and names are sorted byte by
// byte, so the same tree always gives the same setup data.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/file_times.h"

struct SourceItem {
  std::filesystem::path path;
  std::vector<std::string> relative;  // UTF-8 names below the source; empty for the source itself
  bool isFolder = false;
  uint64_t size = 0;  // content bytes; 0 for a folder
  SourceTimes times{};
};

// Fails on a missing source, on anything that is neither a regular file nor a folder (a
// device or a pipe would block or never end), and on a folder that contains itself
// through a link.
bool CollectSource(const std::filesystem::path& source, std::vector<SourceItem>* items,
                   std::string* error);
