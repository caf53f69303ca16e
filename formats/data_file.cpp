#include "formats/data_file.h"

#include <cstring>

#include "formats/read_failure.h"
#include "formats/stream_extent.h"

namespace {

bool ReadFileTime(FileTime* time, ByteSource& stream) {
  return ReadInt(&time->dwLowDateTime, stream) && ReadInt(&time->dwHighDateTime, stream);
}

bool WriteFileTime(const FileTime& time, FILE* stream) {
  return WriteInt(time.dwLowDateTime, stream) && WriteInt(time.dwHighDateTime, stream);
}

std::string EntryLabel(const char* kind, size_t index) { return std::string(kind) + " " + std::to_string(index); }

// Checks the content against what the file still holds before skipping it, since a seek
// past the end would succeed and hide the damage.
bool SkipContent(const FileEntry& entry, size_t index, FILE* stream, std::string* error) {
  const std::string label = "data file: " + EntryLabel("file entry", index);
  if (entry.SizeHigh != 0) return ReportDamage(error, label + " has content of 4 GiB or more");
  if (IsFolderEntry(entry.Extension)) return true;
  uint64_t remaining = 0;
  if (!RemainingBytes(stream, &remaining)) return ReportDamage(error, label + ": cannot measure its content");
  if (entry.SizeLow > remaining) {
    return ReportDamage(error, label + " has content of " + std::to_string(entry.SizeLow) +
                                   " bytes, but only " + std::to_string(remaining) + " bytes remain");
  }
  if (!SkipBytes(stream, entry.SizeLow)) return ReportDamage(error, label + ": cannot skip its content");
  return true;
}

bool ReadFileEntries(DataFileContents* contents, FILE* stream, std::string* error) {
  // Grows only by records actually read, so a huge stored count costs nothing.
  for (uint32_t i = 0; i < contents->Head.FileCount; ++i) {
    FileEntry entry;
    if (!ReadFileEntry(&entry, stream)) {
      return ReportDamage(error, "data file: " + EntryLabel("file entry", i) + " " + ReadFailureReason(stream));
    }
    if (!SkipContent(entry, i, stream, error)) return false;
    contents->Files.push_back(entry);
  }
  return true;
}

bool ReadRegistryEntries(DataFileContents* contents, FILE* stream, std::string* error) {
  for (uint32_t i = 0; i < contents->Head.RegistryCount; ++i) {
    RegistryEntry entry;
    if (!ReadRegistryEntry(&entry, stream)) {
      return ReportDamage(error,
                          "data file: " + EntryLabel("registry entry", i) + " " + ReadFailureReason(stream));
    }
    contents->Registry.push_back(entry);
  }
  return true;
}

}  // namespace

bool IsFolderEntry(const char* extension) { return extension[0] == '\\' && extension[1] == '\0'; }

bool ReadDataFileHead(DataFileHead* head, FILE* stream) {
  FileByteSource source(stream);
  return ReadDataFileHead(head, source);
}

bool ReadDataFileHead(DataFileHead* head, ByteSource& stream) {
  memset(head, 0, sizeof *head);
  return ReadInt(&head->FileCount, stream) && ReadInt(&head->RegistryCount, stream) &&
         ReadBool(&head->Summary.HasInformation, stream) && ReadBool(&head->Summary.HasLicense, stream) &&
         ReadInt(&head->Summary.TotalSizeHigh, stream) && ReadInt(&head->Summary.TotalSizeLow, stream);
}

bool WriteDataFileHead(const DataFileHead& head, FILE* stream) {
  return WriteInt(head.FileCount, stream) && WriteInt(head.RegistryCount, stream) &&
         WriteInt(head.Summary.HasInformation, stream) && WriteInt(head.Summary.HasLicense, stream) &&
         WriteInt(head.Summary.TotalSizeHigh, stream) && WriteInt(head.Summary.TotalSizeLow, stream);
}

bool ReadFileEntry(FileEntry* entry, FILE* stream) {
  FileByteSource source(stream);
  return ReadFileEntry(entry, source);
}

bool ReadFileEntry(FileEntry* entry, ByteSource& stream) {
  memset(entry, 0, sizeof *entry);
  return ReadInt(&entry->Index, stream) && ReadString(entry->Name, stream) &&
         ReadString(entry->Extension, stream) && ReadString(entry->TargetPath, stream) &&
         ReadBool(&entry->StartMenuShortcut, stream) && ReadBool(&entry->DesktopShortcut, stream) &&
         ReadBool(&entry->StartupShortcut, stream) && ReadString(entry->ShortcutName, stream) &&
         ReadString(entry->ShortcutDescription, stream) && ReadBool(&entry->RunAtFinish, stream) &&
         ReadBool(&entry->RegisterServer, stream) && ReadInt(&entry->SizeHigh, stream) &&
         ReadInt(&entry->SizeLow, stream) && ReadFileTime(&entry->CreationTime, stream) &&
         ReadFileTime(&entry->LastAccessTime, stream) && ReadFileTime(&entry->LastWriteTime, stream);
}

bool WriteFileEntry(const FileEntry& entry, FILE* stream) {
  return WriteInt(entry.Index, stream) && WriteString(BufferText(entry.Name), stream) &&
         WriteString(BufferText(entry.Extension), stream) && WriteString(BufferText(entry.TargetPath), stream) &&
         WriteInt(entry.StartMenuShortcut, stream) && WriteInt(entry.DesktopShortcut, stream) &&
         WriteInt(entry.StartupShortcut, stream) && WriteString(BufferText(entry.ShortcutName), stream) &&
         WriteString(BufferText(entry.ShortcutDescription), stream) && WriteInt(entry.RunAtFinish, stream) &&
         WriteInt(entry.RegisterServer, stream) && WriteInt(entry.SizeHigh, stream) &&
         WriteInt(entry.SizeLow, stream) && WriteFileTime(entry.CreationTime, stream) &&
         WriteFileTime(entry.LastAccessTime, stream) && WriteFileTime(entry.LastWriteTime, stream);
}

bool ReadRegistryEntry(RegistryEntry* entry, FILE* stream) {
  FileByteSource source(stream);
  return ReadRegistryEntry(entry, source);
}

bool ReadRegistryEntry(RegistryEntry* entry, ByteSource& stream) {
  memset(entry, 0, sizeof *entry);
  return ReadString(entry->RootKey, stream) && ReadString(entry->SubKey, stream) &&
         ReadString(entry->ValueName, stream) && ReadString(entry->ValueType, stream) &&
         ReadString(entry->ValueData, stream);
}

bool WriteRegistryEntry(const RegistryEntry& entry, FILE* stream) {
  return WriteString(BufferText(entry.RootKey), stream) && WriteString(BufferText(entry.SubKey), stream) &&
         WriteString(BufferText(entry.ValueName), stream) && WriteString(BufferText(entry.ValueType), stream) &&
         WriteString(BufferText(entry.ValueData), stream);
}

bool ReadDataFileSkippingContent(DataFileContents* contents, FILE* stream, std::string* error) {
  memset(&contents->Head, 0, sizeof contents->Head);
  memset(&contents->Config, 0, sizeof contents->Config);
  contents->Files.clear();
  contents->Registry.clear();
  if (error != nullptr) error->clear();

  uint64_t remaining = 0;
  if (!RemainingBytes(stream, &remaining)) return ReportDamage(error, "data file: cannot measure the stream");
  if (!ReadDataFileHead(&contents->Head, stream)) {
    return ReportDamage(error, "data file: head " + ReadFailureReason(stream));
  }
  if (!ReadSetupConfig(&contents->Config, stream)) {
    return ReportDamage(error, "data file: SetupConfig block " + ReadFailureReason(stream));
  }
  if (!ReadFileEntries(contents, stream, error) || !ReadRegistryEntries(contents, stream, error)) return false;
  if (!RemainingBytes(stream, &remaining)) return ReportDamage(error, "data file: cannot measure the stream");
  if (remaining != 0) {
    return ReportDamage(error, "data file: " + std::to_string(remaining) + " unexpected bytes after the last record");
  }
  return true;
}
