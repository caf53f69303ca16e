#include "builder/build_setup.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "builder/data_file_writer.h"
#include "builder/manifest_reader.h"
#include "builder/message_capture.h"
#include "builder/output_files.h"
#include "builder/payload_plan.h"
#include "builder/registry_plan.h"
#include "builder/setup_config_builder.h"
#include "builder/side_files.h"
#include "builder/summary_writer.h"
#include "common/app_messages.h"
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
};

bool Prepare(const BuildRequest& request, Prepared* prepared, std::string* error) {
  Manifest manifest;
  if (!ReadManifestFile(request.manifestPath, &manifest, error)) return false;
  const fs::path root = request.sourceRoot.empty() ? manifest.folder : fs::u8path(request.sourceRoot);
  const std::string setupFilePath = fs::absolute(fs::u8path(request.outputBase)).u8string() + ".exe";
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

bool Compress(const BuildRequest& request, const std::string& dataPath, const std::string& archivePath,
              BuildResult* result, std::string* error) {
  std::error_code ignored;
  const uint64_t total = fs::file_size(fs::u8path(dataPath), ignored);
  uint64_t done = 0;
  Archive archive;
  archive.SetNotifier([&](unsigned message, uintptr_t) -> intptr_t {
    if (message == WM_APP_ARCHIVE_PROGRESS && request.progress) {
      done = std::min<uint64_t>(done + kStreamChunkSize, total);
      request.progress(done, total);
    }
    return 0;  // never asks to stop
  });
  MessageCapture messages;
  const int code = archive.CompressFile(dataPath.c_str(), archivePath.c_str(), &result->dataFileCrc,
                                        &result->setupDataCrc, kBestCompression);
  if (code != kArchiveOk) {
    *error = "compressing the data file failed: " +
             (messages.Text().empty() ? std::string(Archive::ResultMessage(code)) : messages.Text());
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

bool BuildSetup(const BuildRequest& request, BuildResult* result, std::string* error) {
  if (request.outputBase.empty() || fs::u8path(request.outputBase).filename().empty()) {
    *error = "output: the base name must name a file, for example out/Setup";
    return false;
  }
  Prepared prepared;
  if (!Prepare(request, &prepared, error) || !MakeOutputFolder(request.outputBase, error)) return false;

  OutputSet outputs(request.outputBase);
  const DataFileHead head = MakeHead(prepared);
  const std::string dataPath = outputs.Scratch(".exe.data.tmp");
  const std::string archivePath = outputs.Add(kArchiveSuffix);
  if (!WriteDataFile(dataPath, head, prepared.config, prepared.plan, prepared.registry, error) ||
      !Compress(request, dataPath, archivePath, result, error)) {
    return false;
  }
  const SummaryRecord record =
      MakeSummaryRecord(head.Summary, prepared.config, result->dataFileCrc, result->setupDataCrc, prepared.plan);
  if (!WriteSummaryFile(outputs.Add(kSummarySuffix), record, error) ||
      !WriteSideFiles(prepared.side, outputs, error) ||
      !outputs.Commit({kInformationSuffix, kLicenseSuffix, kPictureSuffix}, error)) {
    return false;
  }
  result->fileCount = head.FileCount;
  result->registryCount = head.RegistryCount;
  result->totalSize = prepared.plan.totalSize;
  return true;
}
