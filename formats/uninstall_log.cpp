#include "formats/uninstall_log.h"

#include <cstdio>
#include <cstring>

#include "formats/read_failure.h"
#include "formats/stream_extent.h"

namespace {

// The header after the name: clrOut, clrIn, dwFiles, dwReg, bAllUsers.
constexpr uint64_t kHeaderBytesAfterName = 5 * 4;
constexpr uint64_t kCountsOffsetAfterName = 2 * 4;

bool ReadFileRecords(UninstallLog* log, FILE* stream, std::string* error) {
  // Grows only by records actually read, so a huge stored count costs nothing.
  for (uint32_t i = 0; i < log->Header.dwFiles; ++i) {
    FileEntry record;
    if (!ReadFileEntry(&record, stream)) {
      return ReportDamage(error, "uninstall log: file record " + std::to_string(i) + " " + ReadFailureReason(stream));
    }
    log->Files.push_back(record);
  }
  return true;
}

bool ReadRegistryRecords(UninstallLog* log, FILE* stream, std::string* error) {
  for (uint32_t i = 0; i < log->Header.dwReg; ++i) {
    RegistryEntry record;
    if (!ReadRegistryEntry(&record, stream)) {
      return ReportDamage(error,
                          "uninstall log: registry record " + std::to_string(i) + " " + ReadFailureReason(stream));
    }
    log->Registry.push_back(record);
  }
  return true;
}

}  // namespace

bool WriteUninstallLogHeader(const UninstallLogHeader& header, FILE* stream) {
  return WriteString(BufferText(header.cName), stream) && WriteInt(header.clrOut, stream) &&
         WriteInt(header.clrIn, stream) && WriteInt(header.dwFiles, stream) && WriteInt(header.dwReg, stream) &&
         WriteInt(header.bAllUsers, stream);
}

bool ReadUninstallLogHeader(UninstallLogHeader* header, FILE* stream) {
  memset(header, 0, sizeof *header);
  return ReadString(header->cName, stream) && ReadInt(&header->clrOut, stream) &&
         ReadInt(&header->clrIn, stream) && ReadInt(&header->dwFiles, stream) && ReadInt(&header->dwReg, stream) &&
         ReadInt(&header->bAllUsers, stream);
}

bool RewriteUninstallLogCounts(uint32_t files, uint32_t registryValues, FILE* stream) {
  if (fseek(stream, 0, SEEK_SET) != 0) return false;
  uint32_t stored = 0;
  if (!ReadInt(&stored, stream)) return false;
  const int32_t signedLength = static_cast<int32_t>(stored);
  const uint64_t nameLength = signedLength > 0 ? static_cast<uint64_t>(signedLength) : 0;
  if (nameLength > kMaxStoredStringLength) return false;
  uint64_t remaining = 0;
  if (!RemainingBytes(stream, &remaining) || remaining < nameLength + kHeaderBytesAfterName) return false;
  // A seek is required between reading and writing an update stream anyway.
  if (!SkipBytes(stream, nameLength + kCountsOffsetAfterName)) return false;
  if (!WriteInt(files, stream) || !WriteInt(registryValues, stream)) return false;
  return fflush(stream) == 0 && fseek(stream, 0, SEEK_END) == 0;
}

bool ReadUninstallLog(UninstallLog* log, FILE* stream, std::string* error) {
  memset(&log->Header, 0, sizeof log->Header);
  log->Files.clear();
  log->Registry.clear();
  if (error != nullptr) error->clear();

  if (!ReadUninstallLogHeader(&log->Header, stream)) {
    return ReportDamage(error, "uninstall log: header " + ReadFailureReason(stream));
  }
  if (!ReadFileRecords(log, stream, error) || !ReadRegistryRecords(log, stream, error)) return false;
  uint64_t remaining = 0;
  if (!RemainingBytes(stream, &remaining)) return ReportDamage(error, "uninstall log: cannot measure the stream");
  if (remaining != 0) {
    return ReportDamage(error,
                        "uninstall log: " + std::to_string(remaining) + " unexpected bytes after the last record");
  }
  return true;
}

bool ReadUninstallLogFile(const std::string& path, UninstallLog* log) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const bool read = ReadUninstallLog(log, file, nullptr);
  std::fclose(file);
  return read;
}

bool WriteUninstallLogFile(const std::string& path, const UninstallLog& log) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = WriteUninstallLogHeader(log.Header, file);
  for (const FileEntry& record : log.Files) written = written && WriteFileEntry(record, file);
  for (const RegistryEntry& record : log.Registry) written = written && WriteRegistryEntry(record, file);
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  if (!written) std::remove(path.c_str());
  return written;
}
