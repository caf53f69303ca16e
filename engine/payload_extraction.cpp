// The setup data out of the program (or the external archive file) into the temporary
// folder, inflated and proven by both checksums before anything is installed from it.

#include <cstdio>

#include "compress/archive.h"
#include "engine/install_engine.h"
#include "engine/setup_resource.h"

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;
constexpr int kSetupDataResource = 145;

std::string Megabytes(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

// Moves the progress bar with the inflated bytes and stops the inflation at a cancel.
class InstallEngine::InflateProgress : public ArchiveObserver {
 public:
  explicit InflateProgress(InstallEngine* engine) : engine_(engine) {}
  void OnBlockWritten(std::size_t bytes) override { engine_->AdvanceProgress(static_cast<uint32_t>(bytes)); }
  bool StopRequested() override { return engine_->IsAborted(); }

 private:
  InstallEngine* engine_;
};

void InstallEngine::ExtractPayload() {
  dataFilePath_ = TempFolder() + productName_ + ".tmp";
  const std::string inflatedPath = dataFilePath_ + "2";
  SetStatus("Extracting data...");

  if (externalData_) {
    CopyFileA((basePath_ + ".exe.archive.bin").c_str(), dataFilePath_.c_str(), FALSE);
  } else {
    ExtractSetupData(dataFilePath_);
  }
  if (abort_) {
    RemoveUninstallLog();
    std::remove(dataFilePath_.c_str());
    return;
  }

  uint32_t high = 0, low = 0;
  if (!QueryFileSize(dataFilePath_, &high, &low)) {
    ReportError("Couldn't obtain extracted data size!");
    std::remove(dataFilePath_.c_str());
    // Nothing was installed, so the empty log has no use either.
    RemoveUninstallLog();
    abort_ = 1;
    return;
  }
  const double compressedMegabytes = (static_cast<double>(high) * 4294967296.0 + low) / kBytesPerMegabyte;
  SetStatus(Megabytes("Decompressing data... %.2f MB", compressedMegabytes));
  PrepareProgress(compressedMegabytes);

  InflateProgress progress(this);
  Archive archive;
  archive.SetObserver(&progress);
  const int inflated =
      archive.DecompressFile(dataFilePath_.c_str(), inflatedPath.c_str(), &computedDataFileCrc_, &computedSetupDataCrc_);
  // The checksums below catch any failure as well; its own reason comes first.
  if (inflated != kArchiveOk && !abort_) ReportError(Archive::FailureMessage(inflated, false));

  if (!abort_ &&
      (computedDataFileCrc_ != expectedDataFileCrc_ || computedSetupDataCrc_ != expectedSetupDataCrc_)) {
    ReportError("File integrity is corrupt!\nCRC32 checking failed.\nAborting.");
    abort_ = 1;
  }
  if (abort_) {
    RemoveUninstallLog();
    std::remove(dataFilePath_.c_str());
    std::remove(inflatedPath.c_str());
    return;
  }
  host_->SetProgressPosition(progressRange_);
  std::remove(dataFilePath_.c_str());
  std::rename(inflatedPath.c_str(), dataFilePath_.c_str());

  const double contentMegabytes =
      (static_cast<double>(totalSizeHigh_) * 4294967296.0 + totalSizeLow_) / kBytesPerMegabyte;
  SetStatus(Megabytes("Writing data... %.2f MB", contentMegabytes));
  PrepareProgress(contentMegabytes);
  WalkDataFile(dataFilePath_);
}

void InstallEngine::ExtractSetupData(const std::string& destination) {
  static const SetupResourceMessages kMessages = {
      "Couldn't find setup data resource!", "Couldn't load setup data resource!",
      "Couldn't lock setup data resource!", "Couldn't get the size of the setup data resource!",
      "Couldn't create setup data file!"};
  auto show = [](void* engine, const char* text) { static_cast<InstallEngine*>(engine)->ReportError(text); };
  if (!WriteSetupResource(resourceModule_, kSetupDataResource, destination, kMessages, show, this)) abort_ = 1;
}

bool InstallEngine::QueryFileSize(const std::string& path, uint32_t* high, uint32_t* low) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *high = found.nFileSizeHigh;
  *low = found.nFileSizeLow;
  return true;
}

void InstallEngine::PrepareProgress(double megabytes) {
  progress_ = 0.0;
  int range = static_cast<int>(megabytes);
  progressRange_ = range < 5 ? 5 : range;
  host_->SetProgressRange(progressRange_);
  host_->SetProgressPosition(0);
}

void InstallEngine::AdvanceProgress(uint32_t bytes) {
  progress_ += bytes / kBytesPerMegabyte;
  host_->SetProgressPosition(progressRange_ < progress_ ? progressRange_ : static_cast<int>(progress_));
}
