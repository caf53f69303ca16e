#include "engine/payload_extraction.h"

#include <windows.h>

#include <cstdio>

#include "compress/archive.h"
#include "engine/machine_calls.h"
#include "engine/scoped_temp_file.h"
#include "engine/setup_resource.h"

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;
constexpr int kSetupDataResource = 145;

std::string Megabytes(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

bool QueryFileSize(const std::string& path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// Moves the progress bar with the inflated bytes and stops the inflation at a cancel.
class InflateProgress : public ArchiveObserver {
 public:
  InflateProgress(InstallProgress* progress, const std::function<bool()>& stopRequested)
      : progress_(progress), stopRequested_(stopRequested) {}
  void OnBlockWritten(std::size_t bytes) override { progress_->Advance(static_cast<uint32_t>(bytes)); }
  bool StopRequested() override { return stopRequested_(); }

 private:
  InstallProgress* progress_;
  const std::function<bool()>& stopRequested_;
};

}  // namespace

bool PayloadExtraction::CopyCompressed(const std::string& path) {
  if (plan_.externalData) return machine::CopyOver(plan_.basePath + ".exe.archive.bin", path);
  static const SetupResourceMessages kMessages = {
      "Couldn't find setup data resource!", "Couldn't load setup data resource!",
      "Couldn't lock setup data resource!", "Couldn't get the size of the setup data resource!",
      "Couldn't create setup data file!"};
  auto show = [](void* host, const char* text) { static_cast<InstallHost*>(host)->ReportError(text, "Error"); };
  return WriteSetupResource(plan_.resourceModule, kSetupDataResource, path, kMessages, show, host_);
}

Extraction PayloadExtraction::Extract(const std::string& dataFilePath) {
  ScopedTempFile compressed(dataFilePath + "2");
  host_->SetStatusText("Extracting data...");
  const bool copied = CopyCompressed(compressed.Path());
  if (stopRequested_()) return Extraction::kCancelled;
  uint64_t size = 0;
  if (!QueryFileSize(compressed.Path(), &size)) {
    // A missing archive says no more than this; a resource that failed has said why.
    if (copied || plan_.externalData) host_->ReportError("Couldn't obtain extracted data size!", "Error");
    return Extraction::kFailed;
  }
  const double compressedMegabytes = static_cast<double>(size) / kBytesPerMegabyte;
  host_->SetStatusText(Megabytes("Decompressing data... %.2f MB", compressedMegabytes));
  progress_->Prepare(compressedMegabytes);

  InflateProgress observer(progress_, stopRequested_);
  Archive archive;
  archive.SetObserver(&observer);
  uint32_t dataFileCrc = 0, setupDataCrc = 0;
  const int result = archive.DecompressFile(compressed.Path().c_str(), dataFilePath.c_str(), &dataFileCrc, &setupDataCrc);
  if (stopRequested_()) return Extraction::kCancelled;
  // The checksums below catch any failure as well; its own reason comes first.
  if (result != kArchiveOk) host_->ReportError(Archive::FailureMessage(result, false), "Error");
  if (dataFileCrc != plan_.dataFileCrc || setupDataCrc != plan_.setupDataCrc) {
    host_->ReportError("File integrity is corrupt!\nCRC32 checking failed.\nAborting.", "Error");
    return Extraction::kDamaged;
  }
  progress_->Complete();
  return Extraction::kReady;
}
