// The wizard's summary record reader on arbitrary bytes: it must never overrun a buffer,
// never leave a string unterminated and always finish the file list.

#include <string>

#include "formats/summary_record.h"
#include "fuzz_input.h"

namespace {

const std::string kUninstallerLines =
    "Uninstall.exe - %DIR%\\Uninstall.exe\r\nUninstall.log - %DIR%\\Uninstall.log\r\n";

void CheckEntries(const SummaryRecord& record) {
  for (const SummaryEntry& entry : record.Entries) {
    for (const char* buffer :
         {entry.Name, entry.Extension, entry.TargetPath, entry.ShortcutName, entry.ShortcutDescription}) {
      Require(Terminated(buffer, kStringBufferSize), "entry string terminated");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* stream = OpenFuzzInput(data, size);
  if (stream == nullptr) return 0;
  SummaryRecord record;
  ReadSummaryRecord(&record, stream);
  fclose(stream);

  Require(Terminated(record.Config.ProductName, kStringBufferSize), "product name terminated");
  Require(Terminated(record.Config.Link3Url, kStringBufferSize), "last link terminated");
  CheckEntries(record);
  const std::string& files = record.Texts.FileListText;
  Require(files.size() >= kUninstallerLines.size() &&
              files.compare(files.size() - kUninstallerLines.size(), std::string::npos, kUninstallerLines) == 0,
          "file list ends with the uninstaller lines");
  Require(record.Texts.AnyStartMenuShortcut == !record.Texts.StartMenuListText.empty(),
          "Start Menu flag matches its list");
  return 0;
}
