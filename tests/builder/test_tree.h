#pragma once
// A throwaway folder for one test: source files with chosen contents and time stamps, a
// manifest, and an output folder whose contents the test inspects.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/setup_config.h"

class TestTree {
 public:
  TestTree();
  ~TestTree();
  TestTree(const TestTree&) = delete;
  TestTree& operator=(const TestTree&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Path(const std::string& relative) const { return root_ / relative; }

  // Creates the file and any folders above it.
  void WriteFile(const std::string& relative, const std::string& content) const;
  void MakeFolder(const std::string& relative) const;
  // Sets the last access and last write times (seconds since 1970 UTC, plus nanoseconds).
  void SetTimes(const std::string& relative, int64_t accessSeconds, int64_t writeSeconds,
                uint32_t nanoseconds) const;
  std::string Manifest(const std::string& text) const;  // writes manifest.toml, returns its path

  std::string OutputBase() const { return (root_ / "out" / "Setup").string(); }
  // Names of the files in the output folder, sorted.
  std::vector<std::string> OutputFiles() const;

 private:
  std::filesystem::path root_;
};

std::string ReadBytes(const std::filesystem::path& path);
uint64_t Ticks(const FileTime& time);
// The FILETIME the builder should store for Unix seconds and nanoseconds.
uint64_t ExpectedTicks(int64_t seconds, uint32_t nanoseconds);
