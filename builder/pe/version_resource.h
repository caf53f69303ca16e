#pragma once
// A program's version resource (type 16, VS_VERSIONINFO): the fixed numbers Windows
// compares and the texts Explorer shows in a file's properties, in one string table
// (US English, Windows-1252).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "builder/pe/byte_io.h"
#include "builder/pe/resource_tree.h"

constexpr uint16_t kTypeVersion = 16;
constexpr uint16_t kVersionResourceId = 1;  // VS_VERSION_INFO

struct VersionInfo {
  uint16_t fileVersion[4] = {0, 0, 0, 0};
  uint16_t productVersion[4] = {0, 0, 0, 0};
  // "FileVersion", "ProductName" ... in the order written.
  std::vector<std::pair<std::u16string, std::u16string>> strings;

  const std::u16string* Find(const std::u16string& key) const;
};

Bytes BuildVersionResource(const VersionInfo& info);

// Reads back what BuildVersionResource writes, and any well-formed version resource: the
// fixed numbers and the texts of its first string table. Damage is refused, never read past.
bool ParseVersionResource(const Bytes& bytes, VersionInfo* info, std::string* error);

// Puts `info` in place of every version resource the tree had.
void ReplaceVersionResource(ResourceTree& tree, const VersionInfo& info);
