// The verified data file from front to back: the log's header, every file entry, then,
// when all files are in place, every registry entry; a rollback when the file phase fails.

#include <cstdio>

#include "engine/install_engine.h"
#include "formats/data_file.h"
#include "formats/setup_config.h"

namespace {

constexpr std::size_t kDataFileBufferBytes = 64 * 1024;

}  // namespace

void InstallEngine::WalkDataFile(const std::string& dataFilePath) {
  FILE* dataFile = std::fopen(dataFilePath.c_str(), "rb");
  if (dataFile == nullptr) {
    ReportError("Couldn't open decompressed data file!");
    std::remove(dataFilePath.c_str());
    RemoveUninstallLog();
    abort_ = 1;
    return;
  }
  // Records are read field by field; a larger buffer than the library's few kilobytes
  // saves several system calls per file.
  std::setvbuf(dataFile, nullptr, _IOFBF, kDataFileBufferBytes);
  DataFileHead head{};
  SetupConfig config{};
  const bool headRead = ReadDataFileHead(&head, dataFile);
  if (headRead) AppendPostInitInfo(head.FileCount, head.RegistryCount);
  if (!headRead || !ReadSetupConfig(&config, dataFile)) {
    ReportError("Couldn't read decompressed data file!");
    std::fclose(dataFile);
    std::remove(dataFilePath.c_str());
    RemoveUninstallLog();
    abort_ = 1;
    return;
  }

  for (uint32_t i = 0; i < head.FileCount; ++i) {
    if (!InstallEntry(dataFile)) break;
  }
  if (abort_) {
    std::fclose(dataFile);
    std::remove(dataFilePath.c_str());
    Rollback();
    return;
  }

  host_->SetProgressPosition(progressRange_);
  registryCount_ = head.RegistryCount;
  SetStatus("Writing registry information...");
  host_->EnableCancelButton(false);
  RewriteLogCounts();
  ReadRegistryEntries(dataFile);
  RewriteLogCounts();
  host_->EnableCancelButton(true);
  SetStatus("Finalizing installation...");
  std::fclose(dataFile);
  std::remove(dataFilePath.c_str());
  // Every file is in place now; nothing will be rolled back any more.
  backups_.DiscardAll();
}

void InstallEngine::ReadRegistryEntries(FILE* dataFile) {
  for (uint32_t i = 0; i < registryCount_; ++i) {
    RegistryEntry entry;
    if (!ReadRegistryEntry(&entry, dataFile)) {
      ReportError("Couldn't read decompressed data file!");
      return;
    }
    ApplyRegistryEntry(entry);
  }
}
