#pragma once
// One build: manifest in, and out either one Setup.exe (a copy of the setup program with
// the setup data attached) or the setup data files beside the setup program
// (BASE.exe.sum.bin, BASE.exe.archive.bin and, when the manifest has them,
// BASE.exe.info.txt, BASE.exe.eula.txt, BASE.exe.img.bmp, BASE.exe.product.txt).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BuildRequest {
  std::string manifestPath;
  // Ending in ".exe" (any case): the Setup.exe to write. Otherwise BASE: the setup
  // program is BASE.exe and the data files are named after it.
  std::string outputBase;
  std::string setupProgram;  // the program copied into a Setup.exe
  std::string sourceRoot;  // where sources are found; empty: the manifest's folder
  // Called while the data file is compressed, with the bytes compressed so far and in all.
  std::function<void(uint64_t done, uint64_t total)> progress;
  unsigned threads = 0;  // compression threads; 0: one per core
  // A signed setup program is refused (its signature cannot cover the new data) unless
  // this says to drop the signature.
  bool stripSignature = false;
  // SOURCE_DATE_EPOCH: when not empty, no stored time is later than it.
  std::string sourceDateEpoch;
};

struct BuildResult {
  uint32_t fileCount = 0;
  uint32_t registryCount = 0;
  uint64_t totalSize = 0;
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
  std::vector<std::string> notes;  // worth telling the user, not failures
};

// True when `output` names a Setup.exe rather than a base name.
bool WritesSetupProgram(const std::string& output);

// On failure nothing is left in the output folder and `error` says what is wrong, naming
// the manifest entry where there is one.
bool BuildSetup(const BuildRequest& request, BuildResult* result, std::string* error);

// The suffixes of the output files.
extern const char* const kSummarySuffix;      // ".exe.sum.bin"
extern const char* const kArchiveSuffix;      // ".exe.archive.bin"
extern const char* const kInformationSuffix;  // ".exe.info.txt"
extern const char* const kLicenseSuffix;      // ".exe.eula.txt"
extern const char* const kPictureSuffix;      // ".exe.img.bmp"
extern const char* const kProductSuffix;      // ".exe.product.txt"
