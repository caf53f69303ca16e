// The setup program's payload path on arbitrary setup data, all in memory: the proof by
// the checksum of the compressed bytes, the inflating reader on its second thread, and the
// walk through the inflated records in the installation's order (head, SetupConfig, every
// file entry with its content, every registry entry, the inflated bytes' checksum), with
// nothing installed. Every input must end in one of the installation's results, and the
// inflater must agree with a plain inflation of the same bytes.

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "checked_payload.h"
#include "compress/crc32.h"
#include "compress/inflating_reader.h"
#include "formats/data_file.h"
#include "formats/setup_config.h"
#include "fuzz_input.h"
#include "reference_inflation.h"
#include "setup_data_in_memory.h"
#include "setup_data_mutator.h"

namespace {

// The proof reads the setup data in pieces of this size, as the setup does.
constexpr uint32_t kProofChunk = 1 << 20;
// Many times the inflater's blocks here, yet small enough that a stream that inflates a
// thousandfold does not hold up the run.
constexpr size_t kMaxInflated = 1 << 20;

// What the installation makes of the payload, by the message it would show.
enum class WalkResult {
  kInstalled,
  kDamagedPayload,   // "File integrity is corrupt!..."
  kUnreadable,       // "Couldn't read setup data!"
  kNoMemory,         // "Not enough memory to read the setup data."
  kRecordCutShort,   // "Couldn't read decompressed data file!"
  kInvalidFilePath,  // "Invalid file path in decompressed data file!"
};

// The piece sizes and the inflater's block sizes are chosen by the input's length, so that
// a finding reproduces from its bytes alone.
uint32_t PieceLimit(size_t size) {
  static const uint32_t kLimits[] = {UINT32_MAX, 1, 61, 4096};
  return kLimits[size % 4];
}

// Blocks of a few bytes to 64 KiB: the threads hand over blocks all the time, and the
// memory stays clear of the allocator's slow path for large blocks, which would cost more
// than the rest of a run.
InflatingReader::Sizes ReaderSizes(size_t size) {
  static const InflatingReader::Sizes kSizes[] = {{7, 300}, {512, 97}, {4096, 16384}, {65536, 65536}};
  return kSizes[size / 4 % 4];
}

uint32_t ProveSetupData(SetupDataInMemory* source) {
  static std::unique_ptr<char[]> buffer(new char[kProofChunk]);
  const CCRC32 checksum;
  uint32_t crc = CCRC32::kStart;
  uint32_t got = 0;
  while (source->Read(buffer.get(), kProofChunk, &got) && got != 0) checksum.Update(buffer.get(), got, &crc);
  return ~crc;
}

// A record read failed: the message depends on how the stream has ended so far.
WalkResult PayloadReadFailed(InflatingReader* reader) {
  switch (reader->EndSoFar()) {
    case InflatingReader::End::kDamaged:
      return WalkResult::kDamagedPayload;
    case InflatingReader::End::kUnreadable:
      return WalkResult::kUnreadable;
    case InflatingReader::End::kNoMemory:
      return WalkResult::kNoMemory;
    case InflatingReader::End::kWhole:
      break;
  }
  return WalkResult::kRecordCutShort;
}

void RequireTerminated(std::initializer_list<const char*> buffers) {
  for (const char* buffer : buffers) Require(Terminated(buffer, kStringBufferSize), "string read is terminated");
}

bool CopyContent(uint32_t length, CheckedPayload* payload) {
  for (uint32_t done = 0; done < length;) {
    const char* piece = nullptr;
    std::size_t size = 0;
    if (!payload->Next(length - done, &piece, &size)) return false;
    done += static_cast<uint32_t>(size);
  }
  return true;
}

WalkResult WalkFileEntry(InflatingReader* reader, CheckedPayload* payload) {
  FileEntry entry;
  if (!ReadFileEntry(&entry, *payload)) return PayloadReadFailed(reader);
  RequireTerminated({entry.Name, entry.Extension, entry.TargetPath, entry.ShortcutName, entry.ShortcutDescription});
  // The installation also refuses a path too long once its macros are expanded, which
  // depends on the destination, not on the payload.
  if (entry.TargetPath[0] == '\0') return WalkResult::kInvalidFilePath;
  // A folder entry has no content, whatever its size fields say.
  if (IsFolderEntry(entry.Extension)) return WalkResult::kInstalled;
  if (!CopyContent(entry.SizeLow, payload)) return PayloadReadFailed(reader);
  return WalkResult::kInstalled;
}

WalkResult WalkRegistryEntry(InflatingReader* reader, CheckedPayload* payload) {
  RegistryEntry entry;
  if (!ReadRegistryEntry(&entry, *payload)) return PayloadReadFailed(reader);
  RequireTerminated({entry.RootKey, entry.SubKey, entry.ValueName, entry.ValueType, entry.ValueData});
  return WalkResult::kInstalled;
}

WalkResult Walk(InflatingReader* reader, CheckedPayload* payload, uint32_t dataFileCrc) {
  DataFileHead head;
  SetupConfig config;
  if (!ReadDataFileHead(&head, *payload) || !ReadSetupConfig(&config, *payload)) return PayloadReadFailed(reader);
  for (uint32_t i = 0; i < head.FileCount; ++i) {
    const WalkResult result = WalkFileEntry(reader, payload);
    if (result != WalkResult::kInstalled) return result;
  }
  for (uint32_t i = 0; i < head.RegistryCount; ++i) {
    const WalkResult result = WalkRegistryEntry(reader, payload);
    if (result != WalkResult::kInstalled) return result;
  }
  uint32_t crc = 0;
  if (reader->Finish(&crc) != InflatingReader::End::kWhole) return PayloadReadFailed(reader);
  return crc == dataFileCrc ? WalkResult::kInstalled : WalkResult::kDamagedPayload;
}

// Whatever the walk made of the stream must match how the stream really ends.
void CheckResult(WalkResult result, InflatingReader* reader, const CheckedPayload& payload,
                 const ReferenceInflation& reference) {
  Require(result != WalkResult::kUnreadable, "setup data in memory is always readable");
  // The inflated bytes' checksum always agrees on a whole stream: damage is the stream's.
  if (result == WalkResult::kInstalled) {
    Require(reference.end == InflatingReader::End::kWhole, "installed only from a whole stream");
  }
  if (result == WalkResult::kDamagedPayload) {
    Require(reference.end == InflatingReader::End::kDamaged && reader->EndSoFar() == reference.end,
            "a payload found damaged is a damaged stream");
  }
  // A record cut short by the end of the stream: the stream itself was whole, and every
  // byte of it went to the records.
  if (result == WalkResult::kRecordCutShort && payload.Failed()) {
    Require(reference.end == InflatingReader::End::kWhole, "a record cut short only by a whole stream's end");
    Require(payload.Handed() == reference.size, "every inflated byte reached the records");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ReferenceInflation reference = InflateForReference(data, size, kMaxInflated);
  if (reference.tooLarge) return 0;

  // The checksums the builder would have recorded for these bytes.
  const uint32_t setupDataCrc = static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size)));
  const uint32_t dataFileCrc = static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(reference.bytes), static_cast<uInt>(reference.size)));

  SetupDataInMemory source(data, size, PieceLimit(size));
  const uint32_t proven = ProveSetupData(&source);
  Require(proven == setupDataCrc && source.Handed() == size, "the proof's checksum covers exactly the setup data");
  source.Rewind();

  InflatingReader reader(
      [&source](char* buffer, uint32_t want, uint32_t* got) { return source.Read(buffer, want, got); },
      ReaderSizes(size));
  // A reader that cannot start is a result of its own ("Not enough memory..."), before any record.
  if (!reader.Start()) return 0;
  CheckedPayload payload(&reader, reference);
  const WalkResult result = Walk(&reader, &payload, dataFileCrc);
  CheckResult(result, &reader, payload, reference);
  if (result == WalkResult::kInstalled) {
    // Finish has joined the inflating thread: its reads of the source are over.
    Require(source.Handed() == size, "an installed payload was inflated from exactly the setup data");
  }
  return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
  return setup_data_mutator::Mutate(data, size, maxSize, seed);
}
