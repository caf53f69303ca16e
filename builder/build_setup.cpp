#include "builder/build_setup.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "builder/build_epoch.h"
#include "builder/data_file_writer.h"
#include "builder/manifest_reader.h"
#include "builder/output_files.h"
#include "builder/payload_plan.h"
#include "builder/product_identity.h"
#include "builder/registry_plan.h"
#include "builder/setup_config_builder.h"
#include "builder/setup_program_writer.h"
#include "builder/side_files.h"
#include "builder/summary_writer.h"
#include "compress/parallel_deflate.h"

namespace fs = std::filesystem;

const char* const kSummarySuffix = ".exe.sum.bin";
const char* const kArchiveSuffix = ".exe.archive.bin";
const char* const kInformationSuffix = ".exe.info.txt";
const char* const kLicenseSuffix = ".exe.eula.txt";
const char* const kPictureSuffix = ".exe.img.bmp";
const char* const kProductSuffix = ".exe.product.txt";

namespace {

constexpr int kBestCompression = 9;

// Everything the manifest leads to, checked, before any output file is touched.
struct Prepared {
  SetupConfig config;
  PayloadPlan plan;
  std::vector<RegistryEntry> registry;
  SideFiles side;
  ProductFacts facts;
  std::string factsText;  // empty when the manifest names none, so such builds are as before
  SetupProgram program;  // only when writing a Setup.exe
  BuildEpoch epoch;
};

// Where the output goes: BASE (for the data files' names) and, for a Setup.exe, its
// extension as written.
struct OutputNames {
  bool setupProgram = false;
  std::string base;
  std::string extension;
};

OutputNames NamesOf(const std::string& output) {
  OutputNames names;
  names.setupProgram = WritesSetupProgram(output);
  names.base = names.setupProgram ? output.substr(0, output.size() - 4) : output;
  names.extension = names.setupProgram ? output.substr(output.size() - 4) : ".exe";
  return names;
}

bool Prepare(const BuildRequest& request, const OutputNames& names, Prepared* prepared, std::string* error) {
  Manifest manifest;
  if (!ParseBuildEpoch(request.sourceDateEpoch, &prepared->epoch, error) ||
      !ReadManifestFile(request.manifestPath, &manifest, error)) {
    return false;
  }
  if (names.setupProgram) {
    if (request.setupProgram.empty()) {
      *error = "no setup program to copy: name one with --setup PATH or BRISKLAY_SETUP, or put setup.exe beside brisklay";
      return false;
    }
    if (!LoadSetupProgram(request.setupProgram, &prepared->program, error)) return false;
    if (prepared->program.image.Directory(kDirectorySecurity).size != 0 && !request.stripSignature) {
      *error = "setup program: " + request.setupProgram +
               " is signed, and its signature cannot cover the setup data added to it: sign the "
               "Setup.exe after building it, and build from this copy with --strip-signature "
               "to drop its signature";
      return false;
    }
  }
  const fs::path root = request.sourceRoot.empty() ? manifest.folder : fs::u8path(request.sourceRoot);
  // Nothing reads the stored path back, and a full path would make the bytes depend on
  // the build folder: the file name alone keeps builds in different folders identical.
  const std::string setupFilePath = fs::u8path(names.base).filename().u8string() + names.extension;
  if (!MakeSetupConfig(manifest, setupFilePath, &prepared->config, error) ||
      !PlanPayload(manifest, root, &prepared->plan, error) || !PlanRegistry(manifest, &prepared->registry, error) ||
      !LoadSideFiles(manifest, &prepared->side, error) || !MakeProductFacts(manifest, &prepared->facts, error) ||
      !WriteProductFacts(prepared->facts, &prepared->factsText, error)) {
    return false;
  }
  for (PlannedEntry& planned : prepared->plan.entries) {
    ClampFileTime(prepared->epoch, &planned.entry.CreationTime);
    ClampFileTime(prepared->epoch, &planned.entry.LastAccessTime);
    ClampFileTime(prepared->epoch, &planned.entry.LastWriteTime);
  }
  return true;
}

DataFileHead MakeHead(const Prepared& prepared) {
  DataFileHead head{};
  head.FileCount = static_cast<uint32_t>(prepared.plan.entries.size());
  head.RegistryCount = static_cast<uint32_t>(prepared.registry.size());
  head.Summary.HasInformation = prepared.side.hasInformation ? 1 : 0;
  head.Summary.HasLicense = prepared.side.hasLicense ? 1 : 0;
  head.Summary.TotalSizeHigh = static_cast<uint32_t>(prepared.plan.totalSize >> 32);
  head.Summary.TotalSizeLow = static_cast<uint32_t>(prepared.plan.totalSize);
  return head;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

bool Compress(const BuildRequest& request, const std::string& dataPath, const std::string& archivePath,
              BuildResult* result, std::string* error) {
  UniqueFile in(std::fopen(dataPath.c_str(), "rb"));
  UniqueFile out(std::fopen(archivePath.c_str(), "wb"));
  if (!in || !out) {
    *error = "cannot open " + (in ? archivePath : dataPath) + ": " + std::strerror(errno);
    return false;
  }
  std::error_code ignored;
  const uint64_t total = fs::file_size(fs::u8path(dataPath), ignored);
  ParallelDeflate compressor(kBestCompression, request.threads);
  if (request.progress) compressor.SetProgress([&](uint64_t done) { request.progress(done, total); });
  ParallelDeflate::Checksums sums;
  if (!compressor.Compress(in.get(), out.get(), &sums, error)) {
    *error = "compressing the data file failed: " + *error;
    return false;
  }
  if (std::fclose(out.release()) != 0) {
    *error = "cannot write " + archivePath + ": " + std::strerror(errno);
    return false;
  }
  result->dataFileCrc = sums.plainCrc;
  result->setupDataCrc = sums.streamCrc;
  return true;
}

bool WriteBytes(const std::string& path, const std::string& bytes, std::string* error) {
  std::ofstream out(fs::u8path(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WriteSideFiles(const Prepared& prepared, OutputSet& outputs, std::string* error) {
  const SideFiles& side = prepared.side;
  return (!side.hasInformation || WriteBytes(outputs.Add(kInformationSuffix), side.information, error)) &&
         (!side.hasLicense || WriteBytes(outputs.Add(kLicenseSuffix), side.license, error)) &&
         (!side.hasPicture || WriteBytes(outputs.Add(kPictureSuffix), side.picture, error)) &&
         (prepared.factsText.empty() || WriteBytes(outputs.Add(kProductSuffix), prepared.factsText, error));
}

bool ReadBytes(const std::string& path, Bytes* bytes, std::string* error) {
  std::string text;
  if (!ReadWholeFile(path, &text, error)) return false;
  bytes->assign(text.begin(), text.end());
  return true;
}

bool WriteSetupProgramOutput(const Prepared& prepared, const OutputNames& names, const std::string& archivePath,
                             const std::string& summaryPath, OutputSet& outputs, BuildResult* result,
                             std::string* error) {
  SetupData data;
  data.hasInformation = prepared.side.hasInformation;
  data.information = prepared.side.information;
  data.hasLicense = prepared.side.hasLicense;
  data.license = prepared.side.license;
  data.hasPicture = prepared.side.hasPicture;
  data.picture = prepared.side.picture;
  data.productFacts = prepared.factsText;
  const std::string productName = prepared.config.ProductName;
  // The stored file name is left out when Windows-1252 cannot hold it; so is the original name.
  data.setupVersion = MakeVersionInfo(productName, prepared.facts, prepared.config.SetupFilePath, productName + " Setup");
  data.uninstallerVersion = MakeVersionInfo(productName, prepared.facts, "Uninstall.exe", productName + " Uninstaller");
  data.epoch = prepared.epoch;
  data.archivePath = archivePath;
  if (!ReadBytes(summaryPath, &data.summary, error)) return false;
  if (!WriteSetupProgram(prepared.program, std::move(data), outputs.Add(names.extension), &result->notes, error)) {
    return false;
  }
  // Data files of an earlier build beside it would only mislead.
  std::vector<std::string> stale;
  for (const char* suffix :
       {kSummarySuffix, kArchiveSuffix, kInformationSuffix, kLicenseSuffix, kPictureSuffix, kProductSuffix}) {
    stale.push_back(names.extension + (suffix + 4));
  }
  return outputs.Commit(stale, error);
}

}  // namespace

bool WritesSetupProgram(const std::string& output) {
  if (output.size() < 4) return false;
  std::string extension = output.substr(output.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".exe";
}

bool BuildSetup(const BuildRequest& request, BuildResult* result, std::string* error) {
  const OutputNames names = NamesOf(request.outputBase);
  if (names.base.empty() || fs::u8path(names.base).filename().empty()) {
    *error = "output: must name a file, for example out/Setup.exe or out/Setup";
    return false;
  }
  Prepared prepared;
  if (!Prepare(request, names, &prepared, error)) return false;

  OutputSet outputs(names.base);
  if (!outputs.MakeFolder(error)) return false;
  const DataFileHead head = MakeHead(prepared);
  const std::string dataPath = outputs.Scratch(".exe.data.tmp");
  const std::string archivePath =
      names.setupProgram ? outputs.Scratch(".exe.archive.tmp") : outputs.Add(kArchiveSuffix);
  if (!WriteDataFile(dataPath, head, prepared.config, prepared.plan, prepared.registry, error) ||
      !Compress(request, dataPath, archivePath, result, error)) {
    return false;
  }
  const SummaryRecord record =
      MakeSummaryRecord(head.Summary, prepared.config, result->dataFileCrc, result->setupDataCrc, prepared.plan);
  const std::string summaryPath = names.setupProgram ? outputs.Scratch(".exe.sum.tmp") : outputs.Add(kSummarySuffix);
  if (!WriteSummaryFile(summaryPath, record, error)) return false;
  const bool written =
      names.setupProgram
          ? WriteSetupProgramOutput(prepared, names, archivePath, summaryPath, outputs, result, error)
          : WriteSideFiles(prepared, outputs, error) &&
                outputs.Commit({kInformationSuffix, kLicenseSuffix, kPictureSuffix, kProductSuffix}, error);
  if (!written) return false;
  result->fileCount = head.FileCount;
  result->registryCount = head.RegistryCount;
  result->totalSize = prepared.plan.totalSize;
  return true;
}
