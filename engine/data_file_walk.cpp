// The verified data file from front to back: the log's header, every file entry, then,
// when all files are in place, every registry entry.

#include <cstdio>
#include <memory>

#include "engine/install_engine.h"
#include "formats/data_file.h"
#include "formats/setup_config.h"
#include "formats/uninstall_log.h"

namespace {

constexpr std::size_t kDataFileBufferBytes = 64 * 1024;
constexpr double kBytesPerMegabyte = 1048576.0;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

std::string Megabytes(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

bool InstallEngine::WalkDataFile(const std::string& dataFilePath) {
  std::unique_ptr<FILE, FileCloser> dataFile(std::fopen(dataFilePath.c_str(), "rb"));
  if (!dataFile) {
    ReportError("Couldn't open decompressed data file!");
    return Failed();
  }
  // Records are read field by field; a larger buffer than the library's few kilobytes
  // saves several system calls per file.
  std::setvbuf(dataFile.get(), nullptr, _IOFBF, kDataFileBufferBytes);
  DataFileHead head{};
  SetupConfig config{};
  if (!ReadDataFileHead(&head, dataFile.get()) || !ReadSetupConfig(&config, dataFile.get())) {
    ReportError("Couldn't read decompressed data file!");
    return Failed();
  }
  UninstallLogHeader header{};
  SetBufferText(header.cName, plan_.productName);
  header.clrOut = plan_.clrOut;
  header.clrIn = plan_.clrIn;
  header.dwFiles = head.FileCount;
  header.dwReg = head.RegistryCount;
  header.bAllUsers = plan_.allUsers ? 1 : 0;
  if (!log_.AppendHeader(header)) {
    ReportLogFailure("Error in post initializing.");
    return false;
  }

  const double contentMegabytes =
      (static_cast<double>(plan_.totalSizeHigh) * 4294967296.0 + plan_.totalSizeLow) / kBytesPerMegabyte;
  host_->SetStatusText(Megabytes("Writing data... %.2f MB", contentMegabytes));
  progress_.Prepare(contentMegabytes);
  for (uint32_t i = 0; i < head.FileCount; ++i) {
    if (!InstallEntry(dataFile.get())) return false;
  }
  progress_.Complete();
  // Before the registry records: the log holds all file records first.
  if (!CarryEarlierFilesForTheUninstaller()) return false;

  host_->SetStatusText("Writing registry information...");
  for (uint32_t i = 0; i < head.RegistryCount; ++i) {
    RegistryEntry entry;
    if (!ReadRegistryEntry(&entry, dataFile.get())) {
      ReportError("Couldn't read decompressed data file!");
      return Failed();
    }
    if (!ApplyRegistryEntry(entry)) return false;
  }
  if (!log_.Finish()) {
    ReportLogFailure("Error in writing the record counts.");
    return false;
  }
  return true;
}
