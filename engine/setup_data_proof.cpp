#include "engine/setup_data_proof.h"

#include <memory>
#include <new>

#include "compress/crc32.h"

namespace {

constexpr int kSetupDataResource = 145;
constexpr uint32_t kReadChunk = 1 << 20;

}  // namespace

const char kPayloadIntegrityMessage[] = "File integrity is corrupt!\nCRC32 checking failed.\nAborting.";

bool SetupDataProof::Open(SetupDataSource* source) {
  if (plan_.externalData) {
    if (source->OpenFile(plan_.basePath + ".exe.archive.bin")) return true;
    host_->ReportError("Couldn't obtain extracted data size!", "Error");
    return false;
  }
  static const SetupResourceMessages kMessages = {
      "Couldn't find setup data resource!", "Couldn't load setup data resource!",
      "Couldn't lock setup data resource!", "Couldn't get the size of the setup data resource!",
      "Couldn't create setup data file!"};
  std::string failure;
  if (source->OpenResource(plan_.resourceModule, kSetupDataResource, kMessages, &failure)) return true;
  host_->ReportError(failure, "Error");
  return false;
}

Proof SetupDataProof::Prove(SetupDataSource* source) {
  host_->SetStatusText("Extracting data...");
  const bool opened = Open(source);
  if (stopRequested_()) return Proof::kCancelled;
  if (!opened) return Proof::kFailed;
  host_->SetStatusText(MegabytesText("Checking data... %.2f MB", source->Size()));
  progress_->Prepare(BytesToMegabytes(source->Size()));
  const Proof proof = Check(source);
  if (proof != Proof::kProven) return proof;
  if (!source->Rewind()) {
    host_->ReportError("Couldn't read setup data!", "Error");
    return Proof::kFailed;
  }
  progress_->Complete();
  return Proof::kProven;
}

Proof SetupDataProof::Check(SetupDataSource* source) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kReadChunk]);
  if (!buffer) {
    host_->ReportError("Not enough memory to read the setup data.", "Error");
    return Proof::kFailed;
  }
  const CCRC32 checksum;
  uint32_t crc = CCRC32::kStart;
  for (;;) {
    uint32_t got = 0;
    if (!source->Read(buffer.get(), kReadChunk, &got)) {
      host_->ReportError("Couldn't read setup data!", "Error");
      return Proof::kFailed;
    }
    if (got == 0) break;
    checksum.Update(buffer.get(), got, &crc);
    progress_->Advance(got);
    if (stopRequested_()) return Proof::kCancelled;
  }
  if (~crc != plan_.setupDataCrc) {
    host_->ReportError(kPayloadIntegrityMessage, "Error");
    return Proof::kDamaged;
  }
  return Proof::kProven;
}
