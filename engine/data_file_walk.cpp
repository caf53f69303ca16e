// The payload from front to back, as it is inflated: the log's header, every file entry,
// then, when all files are in place, every registry entry; last, the inflated bytes'
// checksum.

#include "engine/install_engine.h"
#include "engine/setup_data_proof.h"
#include "formats/data_file.h"
#include "formats/setup_config.h"
#include "formats/uninstall_log.h"

bool InstallEngine::WalkDataFile() {
  DataFileHead head{};
  SetupConfig config{};
  if (!ReadDataFileHead(&head, *payload_) || !ReadSetupConfig(&config, *payload_)) return PayloadReadFailed();
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

  const uint64_t contentBytes = (static_cast<uint64_t>(plan_.totalSizeHigh) << 32) | plan_.totalSizeLow;
  host_->SetStatusText(MegabytesText("Writing data... %.2f MB", contentBytes));
  progress_.Prepare(BytesToMegabytes(contentBytes));
  for (uint32_t i = 0; i < head.FileCount; ++i) {
    if (!InstallEntry()) return false;
  }
  progress_.Complete();
  // Before the registry records: the log holds all file records first.
  if (!CarryEarlierFilesForTheUninstaller()) return false;

  host_->SetStatusText("Writing registry information...");
  for (uint32_t i = 0; i < head.RegistryCount; ++i) {
    RegistryEntry entry;
    if (!ReadRegistryEntry(&entry, *payload_)) return PayloadReadFailed();
    if (!ApplyRegistryEntry(entry)) return false;
  }
  if (!PayloadProvenWhole()) return false;
  if (!log_.Finish()) {
    ReportLogFailure("Error in writing the record counts.");
    return false;
  }
  return true;
}

std::string InstallEngine::PayloadFailureText() const {
  switch (payload_->EndSoFar()) {
    case InflatingReader::End::kDamaged:
      return kPayloadIntegrityMessage;
    case InflatingReader::End::kUnreadable:
      return "Couldn't read setup data!";
    case InflatingReader::End::kNoMemory:
      return "Not enough memory to read the setup data.";
    case InflatingReader::End::kWhole:
      break;
  }
  // The stream is whole so far: a record in it ends early.
  return "Couldn't read decompressed data file!";
}

bool InstallEngine::PayloadReadFailed() {
  ReportError(PayloadFailureText());
  if (payload_->EndSoFar() == InflatingReader::End::kDamaged) damagedPayload_ = true;
  return Failed();
}

// The compressed bytes were proven before the first change; their inflated form must match
// its checksum too, or everything written from it is undone.
bool InstallEngine::PayloadProvenWhole() {
  uint32_t crc = 0;
  const InflatingReader::End end = payload_->Finish(&crc);
  if (end != InflatingReader::End::kWhole) return PayloadReadFailed();
  if (crc == plan_.dataFileCrc) return true;
  ReportError(kPayloadIntegrityMessage);
  damagedPayload_ = true;
  return Failed();
}
