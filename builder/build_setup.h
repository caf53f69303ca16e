#pragma once
// One build: manifest in, setup data files out (BASE.exe.sum.bin, BASE.exe.archive.bin
// and, when the manifest has them, BASE.exe.info.txt, BASE.exe.eula.txt, BASE.exe.img.bmp).

#include <cstdint>
#include <functional>
#include <string>

struct BuildRequest {
  std::string manifestPath;
  std::string outputBase;  // BASE: the setup program is BASE.exe
  std::string sourceRoot;  // where sources are found; empty: the manifest's folder
  // Called while the data file is compressed, with the bytes compressed so far and in all.
  std::function<void(uint64_t done, uint64_t total)> progress;
};

struct BuildResult {
  uint32_t fileCount = 0;
  uint32_t registryCount = 0;
  uint64_t totalSize = 0;
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
};

// On failure nothing is left in the output folder and `error` says what is wrong, naming
// the manifest entry where there is one.
bool BuildSetup(const BuildRequest& request, BuildResult* result, std::string* error);

// The suffixes of the output files.
extern const char* const kSummarySuffix;      // ".exe.sum.bin"
extern const char* const kArchiveSuffix;      // ".exe.archive.bin"
extern const char* const kInformationSuffix;  // ".exe.info.txt"
extern const char* const kLicenseSuffix;      // ".exe.eula.txt"
extern const char* const kPictureSuffix;      // ".exe.img.bmp"
