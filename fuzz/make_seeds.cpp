// Writes the fuzzers' seed corpora: small valid files of every format, made with the
// formats writers and the compressor, plus whatever the builder produced.
//
//   fuzz_make_seeds WORKDIR [BUILDER_OUTPUT_DIR]
//
// Seeds go to WORKDIR/seeds/<target>; WORKDIR/corpus/<target> is created empty for the
// inputs each fuzzer finds.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "compress/archive.h"
#include "formats/data_file.h"
#include "formats/summary_record.h"
#include "formats/uninstall_log.h"

namespace fs = std::filesystem;

namespace {

const char* const kTargets[] = {"summary_record", "data_file", "uninstall_log", "decompress", "payload",
                                "manifest", "text_file"};

struct Output {
  explicit Output(const fs::path& path) : stream(fopen(path.string().c_str(), "wb")) {}
  ~Output() {
    if (stream != nullptr) fclose(stream);
  }
  FILE* stream;
};

FileEntry MakeFileEntry(uint32_t index, const char* name, const char* extension, const char* target,
                        uint32_t size) {
  FileEntry entry;
  memset(&entry, 0, sizeof entry);
  entry.Index = index;
  SetBufferText(entry.Name, name);
  SetBufferText(entry.Extension, extension);
  SetBufferText(entry.TargetPath, target);
  entry.StartMenuShortcut = 1;
  entry.SizeLow = size;
  entry.CreationTime = {0x12345678, 0x01D90000};
  return entry;
}

RegistryEntry MakeRegistryEntry() {
  RegistryEntry entry;
  memset(&entry, 0, sizeof entry);
  SetBufferText(entry.RootKey, "HKEY_CURRENT_USER");
  SetBufferText(entry.SubKey, "Software\\Seed");
  SetBufferText(entry.ValueName, "Count");
  SetBufferText(entry.ValueType, "REG_DWORD");
  SetBufferText(entry.ValueData, "7");
  return entry;
}

SetupConfig MakeConfig() {
  SetupConfig config;
  memset(&config, 0, sizeof config);
  SetBufferText(config.ProductName, "Seed");
  SetBufferText(config.Link1Caption, "Home");
  SetBufferText(config.Link1Url, "http://example.invalid/");
  config.SupportsWinXP = 1;
  config.clrOut = 0x00FF0000;
  config.clrIn = 0x000000FF;
  config.BackgroundImageX = kPlaceCentre;
  return config;
}

bool WriteSummaries(const fs::path& dir) {
  SummaryRecord record;
  ClearSummaryRecord(&record);
  record.Head = {1, 1, 0, 5};
  record.Config = MakeConfig();
  bool ok = WriteSummaryRecord(record, Output(dir / "no_entries").stream);
  const struct {
    const char* name;
    const char* extension;
    const char* target;
  } lines[] = {{"Help", "\\", "%DIR%\\Help"}, {"App", "exe", "%DIR%\\App.exe"}, {"LICENSE", "", "%DIR%\\LICENSE"}};
  for (const auto& line : lines) {
    SummaryEntry entry;
    memset(&entry, 0, sizeof entry);
    SetBufferText(entry.Name, line.name);
    SetBufferText(entry.Extension, line.extension);
    SetBufferText(entry.TargetPath, line.target);
    entry.StartMenuShortcut = 1;
    record.Entries.push_back(entry);
  }
  return WriteSummaryRecord(record, Output(dir / "three_entries").stream) && ok;
}

bool WriteDataFile(const fs::path& path, bool withRecords) {
  Output out(path);
  const DataFileHead head = {withRecords ? 2u : 0u, withRecords ? 1u : 0u, {0, 0, 0, 5}};
  bool ok = out.stream != nullptr && WriteDataFileHead(head, out.stream) && WriteSetupConfig(MakeConfig(), out.stream);
  if (!withRecords) return ok;
  ok = ok && WriteFileEntry(MakeFileEntry(0, "Help", "\\", "%DIR%\\Help", 0), out.stream);
  ok = ok && WriteFileEntry(MakeFileEntry(1, "App", "exe", "%DIR%\\App.exe", 5), out.stream);
  ok = ok && fwrite("hello", 1, 5, out.stream) == 5;
  return ok && WriteRegistryEntry(MakeRegistryEntry(), out.stream);
}

bool WriteLogs(const fs::path& dir) {
  UninstallLogHeader header;
  memset(&header, 0, sizeof header);
  SetBufferText(header.cName, "Demo");
  header.clrOut = 0x00FF0000;
  header.clrIn = 0x000000FF;
  header.bAllUsers = 1;
  bool ok = WriteUninstallLogHeader(header, Output(dir / "header_only").stream);
  header.dwFiles = 2;
  header.dwReg = 1;
  Output out(dir / "records");
  ok = ok && WriteUninstallLogHeader(header, out.stream);
  ok = ok && WriteFileEntry(MakeFileEntry(0, "Help", "\\", "C:\\Demo\\Help", 0), out.stream);
  ok = ok && WriteFileEntry(MakeFileEntry(1, "App", "exe", "C:\\Demo\\App.exe", 5), out.stream);
  return ok && WriteRegistryEntry(MakeRegistryEntry(), out.stream);
}

bool Compress(const fs::path& source, const fs::path& destination) {
  Archive archive;
  uint32_t crcUncompressed = 0;
  uint32_t crcStream = 0;
  return archive.CompressFile(source.string().c_str(), destination.string().c_str(), &crcUncompressed, &crcStream,
                              9) == kArchiveOk;
}

// The builder names its outputs BASE.exe.sum.bin and BASE.exe.archive.bin; the inflated
// archive is a data file.
// The encodings a text file may come in, each with a letter outside ASCII.
bool WriteTextFiles(const fs::path& dir) {
  const struct {
    const char* name;
    std::string bytes;
  } texts[] = {
      {"utf8_bom", std::string("\xEF\xBB\xBF" "Caf\xC3\xA9\r\n")},
      {"utf16_le", std::string("\xFF\xFE" "C\0a\0f\0\xE9\0\r\0\n\0", 14)},
      {"utf16_be", std::string("\xFE\xFF\0C\0a\0f\0\xE9\0\r\0\n", 14)},
      {"windows_1252", std::string("Caf\xE9 \x80\r\n")},
  };
  bool ok = true;
  for (const auto& text : texts) {
    Output out(dir / text.name);
    ok = out.stream != nullptr && fwrite(text.bytes.data(), 1, text.bytes.size(), out.stream) == text.bytes.size() && ok;
  }
  return ok;
}

bool TakeBuilderOutput(const fs::path& builderDir, const fs::path& seeds) {
  bool ok = true;
  for (const fs::directory_entry& file : fs::directory_iterator(builderDir)) {
    const std::string name = file.path().filename().string();
    const auto endsWith = [&](const std::string& suffix) {
      return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".exe.sum.bin")) {
      fs::copy_file(file.path(), seeds / "summary_record" / ("builder_" + name), fs::copy_options::overwrite_existing);
    } else if (endsWith(".exe.archive.bin")) {
      fs::copy_file(file.path(), seeds / "decompress" / ("builder_" + name), fs::copy_options::overwrite_existing);
      fs::copy_file(file.path(), seeds / "payload" / ("builder_" + name), fs::copy_options::overwrite_existing);
      Archive archive;
      uint32_t crcs[2] = {};
      const std::string base = name.substr(0, name.size() - std::string(".archive.bin").size());
      const fs::path inflated = seeds / "data_file" / ("builder_" + base + ".data.bin");
      ok = archive.DecompressFile(file.path().string().c_str(), inflated.string().c_str(), &crcs[0], &crcs[1]) ==
               kArchiveOk && ok;
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: fuzz_make_seeds WORKDIR [BUILDER_OUTPUT_DIR]\n");
    return 2;
  }
  const fs::path work = argv[1];
  const fs::path seeds = work / "seeds";
  std::error_code ignored;
  fs::remove_all(seeds, ignored);
  for (const char* target : kTargets) {
    fs::create_directories(seeds / target);
    fs::create_directories(work / "corpus" / target);
  }
  fs::create_directories(work / "artifacts");

  bool ok = WriteSummaries(seeds / "summary_record");
  ok = WriteDataFile(seeds / "data_file" / "empty", false) && ok;
  ok = WriteDataFile(seeds / "data_file" / "records", true) && ok;
  ok = WriteLogs(seeds / "uninstall_log") && ok;
  ok = WriteTextFiles(seeds / "text_file") && ok;
  ok = Compress(seeds / "data_file" / "records", seeds / "decompress" / "records") && ok;
  ok = Compress(seeds / "summary_record" / "three_entries", seeds / "decompress" / "summary") && ok;
  // The payload target takes setup data: compressed data files.
  ok = Compress(seeds / "data_file" / "empty", seeds / "payload" / "empty") && ok;
  ok = Compress(seeds / "data_file" / "records", seeds / "payload" / "records") && ok;
  if (argc == 3 && fs::is_directory(argv[2])) ok = TakeBuilderOutput(argv[2], seeds) && ok;
  if (!ok) {
    fprintf(stderr, "fuzz_make_seeds: could not write every seed\n");
    return 1;
  }
  return 0;
}
