#include "formats/summary_record.h"

#include <cstring>

namespace {

const char kFolderMarker[] = "\\";
const char kUninstallerLines[] =
    "Uninstall.exe - %DIR%\\Uninstall.exe\r\n"
    "Uninstall.log - %DIR%\\Uninstall.log\r\n";

bool ReadHead(SummaryHead* head, FILE* stream) {
  bool ok = ReadBool(&head->HasInformation, stream);
  ok = ReadBool(&head->HasLicense, stream) && ok;
  ok = ReadInt(&head->TotalSizeHigh, stream) && ok;
  return ReadInt(&head->TotalSizeLow, stream) && ok;
}

bool WriteHead(const SummaryHead& head, FILE* stream) {
  return WriteInt(head.HasInformation, stream) && WriteInt(head.HasLicense, stream) &&
         WriteInt(head.TotalSizeHigh, stream) && WriteInt(head.TotalSizeLow, stream);
}

// Everything after Name. The fields are all attempted, so a cut-short entry keeps the
// previous entry's values in the fields it could not read.
bool ReadEntryAfterName(SummaryEntry* entry, FILE* stream) {
  bool ok = ReadString(entry->Extension, stream);
  ok = ReadString(entry->TargetPath, stream) && ok;
  ok = ReadBool(&entry->StartMenuShortcut, stream) && ok;
  ok = ReadBool(&entry->DesktopShortcut, stream) && ok;
  ok = ReadBool(&entry->StartupShortcut, stream) && ok;
  ok = ReadString(entry->ShortcutName, stream) && ok;
  return ReadString(entry->ShortcutDescription, stream) && ok;
}

bool WriteEntry(const SummaryEntry& entry, FILE* stream) {
  return WriteString(BufferText(entry.Name), stream) && WriteString(BufferText(entry.Extension), stream) &&
         WriteString(BufferText(entry.TargetPath), stream) && WriteInt(entry.StartMenuShortcut, stream) &&
         WriteInt(entry.DesktopShortcut, stream) && WriteInt(entry.StartupShortcut, stream) &&
         WriteString(BufferText(entry.ShortcutName), stream) &&
         WriteString(BufferText(entry.ShortcutDescription), stream);
}

// The list has no count: it ends where the stream ends. Peeking one byte tells a clean
// end (nothing left) from a record cut short inside an entry.
bool AtCleanEnd(FILE* stream) {
  const int next = fgetc(stream);
  if (next == EOF) return true;
  ungetc(next, stream);
  return false;
}

void AddToTexts(const SummaryEntry& entry, SummaryTexts* texts) {
  const std::string line = SummaryLine(entry);
  if (BufferText(entry.Extension) != kFolderMarker) texts->FileListText += line;
  if (entry.StartMenuShortcut != 0) {
    texts->AnyStartMenuShortcut = true;
    texts->StartMenuListText += line;
  }
  if (entry.DesktopShortcut != 0) {
    texts->AnyDesktopShortcut = true;
    texts->DesktopListText += line;
  }
}

// Reads entries until the stream ends, keeping one entry buffer that each entry
// overwrites in turn. Stops on a stream error too: such a stream never reports its end.
bool ReadEntries(SummaryRecord* record, FILE* stream) {
  bool ok = true;
  SummaryEntry entry;
  memset(&entry, 0, sizeof entry);
  while (!feof(stream) && !ferror(stream)) {
    if (AtCleanEnd(stream)) break;
    ok = ReadString(entry.Name, stream) && ok;
    if (feof(stream)) return false;  // cut short inside Name: not an entry
    ok = ReadEntryAfterName(&entry, stream) && ok;
    record->Entries.push_back(entry);
    AddToTexts(entry, &record->Texts);
  }
  return ok && !ferror(stream);
}

}  // namespace

void ClearSummaryRecord(SummaryRecord* record) {
  memset(&record->Head, 0, sizeof record->Head);
  memset(&record->Config, 0, sizeof record->Config);
  record->DataFileCrc = 0;
  record->SetupDataCrc = 0;
  record->Entries.clear();
  record->Texts = SummaryTexts();
}

bool ReadSummaryRecord(SummaryRecord* record, FILE* stream) {
  ClearSummaryRecord(record);
  bool ok = ReadHead(&record->Head, stream);
  ok = ReadSetupConfig(&record->Config, stream) && ok;
  ok = ReadInt(&record->DataFileCrc, stream) && ok;
  ok = ReadInt(&record->SetupDataCrc, stream) && ok;
  ok = ReadEntries(record, stream) && ok;
  record->Texts.FileListText += kUninstallerLines;
  return ok;
}

bool WriteSummaryRecord(const SummaryRecord& record, FILE* stream) {
  if (!WriteHead(record.Head, stream) || !WriteSetupConfig(record.Config, stream) ||
      !WriteInt(record.DataFileCrc, stream) || !WriteInt(record.SetupDataCrc, stream)) {
    return false;
  }
  for (const SummaryEntry& entry : record.Entries) {
    if (!WriteEntry(entry, stream)) return false;
  }
  return true;
}

std::string SummaryLine(const SummaryEntry& entry) {
  return BufferText(entry.Name) + "." + BufferText(entry.Extension) + " - " + BufferText(entry.TargetPath) + "\r\n";
}

std::string ConvertLineEnds(const std::string& text) {
  std::string converted;
  converted.reserve(text.size());
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}
