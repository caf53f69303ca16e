#pragma once
// The install benchmark's payload: a product of many small files and a few large ones,
// written as a data file and compressed the way the builder does it, plus what the two
// timed programs need to know about it.

#include <cstdint>
#include <string>
#include <vector>

struct BenchContent {
  uint64_t offset;    // where the file's bytes start in the inflated data file
  uint32_t size;
  std::string path;   // below the destination folder
};

struct BenchPayload {
  std::string basePath;  // the archive is basePath + ".exe.archive.bin"
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
  uint64_t totalSize = 0;
  std::vector<std::string> folders;  // below the destination folder
  std::vector<BenchContent> contents;
};

constexpr char kBenchProductName[] = "Brisklay Install Bench";

// Makes about `megabytes` MiB of content in `folder`; false when a file cannot be written.
bool MakeBenchPayload(const std::string& folder, uint32_t megabytes, BenchPayload* payload);
// The description that MakeBenchPayload keeps next to the archive.
bool SaveBenchPayload(const BenchPayload& payload, const std::string& path);
bool LoadBenchPayload(const std::string& path, BenchPayload* payload);
