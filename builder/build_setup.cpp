#include "builder/build_setup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <vector>

#include "builder/data_file_writer.h"
#include "builder/manifest_reader.h"
#include "builder/output_files.h"
#include "builder/payload_plan.h"
#include "builder/registry_plan.h"
#include "builder/setup_config_builder.h"
#include "builder/setup_program_writer.h"
#include "builder/side_files.h"
#include "builder/summary_writer.h"
#include "compress/archive.h"

namespace fs = std::filesystem;

const char* const kSummarySuffix = ".exe.sum.bin";
const char* const kArchiveSuffix = ".exe.archive.bin";
const char* const kInformationSuffix = ".exe.info.txt";
const char* const kLicenseSuffix = ".exe.eula.txt";
const char* const kPictureSuffix = ".exe.img.bmp";

namespace {

constexpr int kBestCompression = 9;

// Everything the manifest leads to, checked, before any output file is touched.
struct Prepared {
  SetupConfig config;
  PayloadPlan plan;
  std::vector<RegistryEntry> registry;
  SideFiles side;
  SetupProgram program;  // only when writing a Setup.exe
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
  if (!ReadManifestFile(request.manifestPath, &manifest, error)) return false;
  if (names.setupProgram) {
    if (request.setupProgram.empty()) {
      *error = "no setup program to copy: name one with --setup PATH or BRISKLAY_SETUP, or put setup.exe beside brisklay";
      return false;
    }
    if (!LoadSetupProgram(request.setupProgram, &prepared->program, error)) return false;
  }
  const fs::path root = request.sourceRoot.empty() ? manifest.folder : fs::u8path(request.sourceRoot);
  const std::string setupFilePath = fs::absolute(fs::u8path(names.base)).u8string() + names.extension;
  return MakeSetupConfig(manifest, setupFilePath, &prepared->config, error) &&
         PlanPayload(manifest, root, &prepared->plan, error) &&
         PlanRegistry(manifest, &prepared->registry, error) && LoadSideFiles(manifest, &prepared->side, error);
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

// Turns the compressor's block reports into the request's progress callback.
class CompressProgress : public ArchiveObserver {
 public:
  CompressProgress(const BuildRequest& request, uint64_t total) : request_(request), total_(total) {}
  void OnBlockWritten(std::size_t) override {
    if (!request_.progress) return;
    done_ = std::min<uint64_t>(done_ + kStreamChunkSize, total_);
    request_.progress(done_, total_);
  }
  bool StopRequested() override { return false; }

 private:
  const BuildRequest& request_;
  uint64_t total_;
  uint64_t done_ = 0;
};

bool Compress(const BuildRequest& request, const std::string& dataPath, const std::string& archivePath,
              BuildResult* result, std::string* error) {
  std::error_code ignored;
  CompressProgress progress(request, fs::file_size(fs::u8path(dataPath), ignored));
  Archive archive;
  archive.SetObserver(&progress);
  const int code = archive.CompressFile(dataPath.c_str(), archivePath.c_str(), &result->dataFileCrc,
                                        &result->setupDataCrc, kBestCompression);
  if (code != kArchiveOk) {
    *error = std::string("compressing the data file failed: ") + Archive::FailureMessage(code, true);
    return false;
  }
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

bool WriteSideFiles(const SideFiles& side, OutputSet& outputs, std::string* error) {
  return (!side.hasInformation || WriteBytes(outputs.Add(kInformationSuffix), side.information, error)) &&
         (!side.hasLicense || WriteBytes(outputs.Add(kLicenseSuffix), side.license, error)) &&
         (!side.hasPicture || WriteBytes(outputs.Add(kPictureSuffix), side.picture, error));
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
  if (!ReadBytes(archivePath, &data.archive, error) || !ReadBytes(summaryPath, &data.summary, error)) return false;
  if (!WriteSetupProgram(prepared.program, std::move(data), outputs.Add(names.extension), &result->notes, error)) {
    return false;
  }
  // Data files of an earlier build beside it would only mislead.
  std::vector<std::string> stale;
  for (const char* suffix : {kSummarySuffix, kArchiveSuffix, kInformationSuffix, kLicenseSuffix, kPictureSuffix}) {
    stale.push_back(names.extension + (suffix + 4));
  }
  return outputs.Commit(stale, error);
}

bool MakeOutputFolder(const std::string& base, std::string* error) {
  const fs::path folder = fs::u8path(base).parent_path();
  std::error_code failure;
  if (folder.empty() || fs::is_directory(folder, failure)) return true;
  fs::create_directories(folder, failure);
  if (failure) {
    *error = "cannot create the output folder " + folder.u8string() + ": " + failure.message();
    return false;
  }
  return true;
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
  if (!Prepare(request, names, &prepared, error) || !MakeOutputFolder(names.base, error)) return false;

  OutputSet outputs(names.base);
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
          : WriteSideFiles(prepared.side, outputs, error) &&
                outputs.Commit({kInformationSuffix, kLicenseSuffix, kPictureSuffix}, error);
  if (!written) return false;
  result->fileCount = head.FileCount;
  result->registryCount = head.RegistryCount;
  result->totalSize = prepared.plan.totalSize;
  return true;
}
