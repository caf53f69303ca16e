#include "builder/dump.h"

#include <cstdio>
#include <memory>
#include <sstream>

#include "builder/json_writer.h"
#include "compress/archive.h"
#include "formats/data_file.h"
#include "formats/product_facts.h"
#include "formats/summary_record.h"
#include "formats/uninstall_log.h"

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ColourText(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return text;
}

uint64_t Ticks(const FileTime& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void WriteHead(JsonWriter& json, const SummaryHead& head) {
  json.Bool("has_information", head.HasInformation != 0);
  json.Bool("has_license", head.HasLicense != 0);
  json.Number("total_size", (static_cast<uint64_t>(head.TotalSizeHigh) << 32) | head.TotalSizeLow);
}

void WriteConfig(JsonWriter& json, const SetupConfig& config) {
  json.BeginObject("config");
  json.String("product_name", config.ProductName);
  json.String("setup_file_path", config.SetupFilePath);
  json.BeginObject("systems");
  json.Bool("win95", config.SupportsWin95 != 0);
  json.Bool("win98", config.SupportsWin98 != 0);
  json.Bool("winme", config.SupportsWinMe != 0);
  json.Bool("winnt", config.SupportsWinNT != 0);
  json.Bool("win2000", config.SupportsWin2000 != 0);
  json.Bool("winxp", config.SupportsWinXP != 0);
  json.Bool("win2003", config.SupportsWin2003 != 0);
  json.Bool("vista", config.SupportsWinVista2008 != 0);
  json.EndObject();
  json.BeginArray("links");
  const char* captions[] = {config.Link1Caption, config.Link2Caption, config.Link3Caption};
  const char* urls[] = {config.Link1Url, config.Link2Url, config.Link3Url};
  for (int i = 0; i < 3; ++i) {
    json.BeginObject();
    json.String("caption", captions[i]);
    json.String("url", urls[i]);
    json.EndObject();
  }
  json.EndArray();
  json.String("colour_out", ColourText(config.clrOut));
  json.String("colour_in", ColourText(config.clrIn));
  json.Bool("show_background", config.ShowBackground != 0);
  json.Number("background_image_x", config.BackgroundImageX);
  json.Number("background_image_y", config.BackgroundImageY);
  json.EndObject();
}

void WriteShortcutFields(JsonWriter& json, uint32_t startMenu, uint32_t desktop, uint32_t startup,
                         const char* name, const char* description) {
  json.Bool("start_menu_shortcut", startMenu != 0);
  json.Bool("desktop_shortcut", desktop != 0);
  json.Bool("startup_shortcut", startup != 0);
  json.String("shortcut_name", name);
  json.String("shortcut_description", description);
}

void WriteFileEntries(JsonWriter& json, const std::vector<FileEntry>& entries) {
  json.BeginArray("files");
  for (const FileEntry& entry : entries) {
    json.BeginObject();
    json.Number("index", entry.Index);
    json.String("name", entry.Name);
    json.String("extension", entry.Extension);
    json.String("target_path", entry.TargetPath);
    WriteShortcutFields(json, entry.StartMenuShortcut, entry.DesktopShortcut, entry.StartupShortcut,
                        entry.ShortcutName, entry.ShortcutDescription);
    json.Bool("run_at_finish", entry.RunAtFinish != 0);
    json.Bool("register_server", entry.RegisterServer != 0);
    json.Number("size", (static_cast<uint64_t>(entry.SizeHigh) << 32) | entry.SizeLow);
    json.Number("creation_time", Ticks(entry.CreationTime));
    json.Number("last_access_time", Ticks(entry.LastAccessTime));
    json.Number("last_write_time", Ticks(entry.LastWriteTime));
    json.EndObject();
  }
  json.EndArray();
}

void WriteRegistryEntries(JsonWriter& json, const std::vector<RegistryEntry>& entries) {
  json.BeginArray("registry");
  for (const RegistryEntry& entry : entries) {
    json.BeginObject();
    json.String("root_key", entry.RootKey);
    json.String("sub_key", entry.SubKey);
    json.String("value_name", entry.ValueName);
    json.String("value_type", entry.ValueType);
    json.String("value_data", entry.ValueData);
    json.EndObject();
  }
  json.EndArray();
}

bool DumpSummary(FILE* in, JsonWriter& json, std::string* error) {
  auto record = std::make_unique<SummaryRecord>();
  ClearSummaryRecord(record.get());
  if (!ReadSummaryRecord(record.get(), in)) {
    *error = "the summary record is damaged or truncated";
    return false;
  }
  json.BeginObject();
  json.String("kind", "summary");
  WriteHead(json, record->Head);
  WriteConfig(json, record->Config);
  json.Number("data_file_crc", record->DataFileCrc);
  json.Number("setup_data_crc", record->SetupDataCrc);
  json.BeginArray("entries");
  for (const SummaryEntry& entry : record->Entries) {
    json.BeginObject();
    json.String("name", entry.Name);
    json.String("extension", entry.Extension);
    json.String("target_path", entry.TargetPath);
    WriteShortcutFields(json, entry.StartMenuShortcut, entry.DesktopShortcut, entry.StartupShortcut,
                        entry.ShortcutName, entry.ShortcutDescription);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return true;
}

// `archive` is set when the data file came out of a compressed archive, with its CRCs.
struct ArchiveFacts {
  bool present = false;
  uint32_t dataFileCrc = 0;
  uint32_t setupDataCrc = 0;
};

bool DumpData(FILE* in, const ArchiveFacts& archive, JsonWriter& json, std::string* error) {
  auto contents = std::make_unique<DataFileContents>();
  std::string reason;
  if (!ReadDataFileSkippingContent(contents.get(), in, &reason)) {
    *error = "the data file is damaged: " + reason;
    return false;
  }
  json.BeginObject();
  json.String("kind", "data");
  if (archive.present) {
    json.Number("data_file_crc", archive.dataFileCrc);
    json.Number("setup_data_crc", archive.setupDataCrc);
  }
  json.Number("file_count", contents->Head.FileCount);
  json.Number("registry_count", contents->Head.RegistryCount);
  WriteHead(json, contents->Head.Summary);
  WriteConfig(json, contents->Config);
  WriteFileEntries(json, contents->Files);
  WriteRegistryEntries(json, contents->Registry);
  json.EndObject();
  return true;
}

bool DumpArchive(FILE* in, JsonWriter& json, std::string* error) {
  UniqueFile inflated(std::tmpfile());
  if (!inflated) {
    *error = "cannot create a temporary file to inflate the archive into";
    return false;
  }
  ArchiveFacts facts;
  facts.present = true;
  Archive archive;
  const int code = archive.DecompressStream(in, inflated.get(), &facts.dataFileCrc, &facts.setupDataCrc);
  if (code != kArchiveOk) {
    *error = std::string("the archive cannot be inflated: ") + Archive::ResultMessage(code);
    return false;
  }
  std::rewind(inflated.get());
  return DumpData(inflated.get(), facts, json, error);
}

bool DumpLog(FILE* in, JsonWriter& json, std::string* error) {
  auto log = std::make_unique<UninstallLog>();
  std::string reason;
  if (!ReadUninstallLog(log.get(), in, &reason)) {
    *error = "the uninstall log is damaged: " + reason;
    return false;
  }
  json.BeginObject();
  json.String("kind", "log");
  json.String("name", log->Header.cName);
  json.String("colour_out", ColourText(log->Header.clrOut));
  json.String("colour_in", ColourText(log->Header.clrIn));
  json.Number("file_count", log->Header.dwFiles);
  json.Number("registry_count", log->Header.dwReg);
  json.Bool("all_users", log->Header.bAllUsers != 0);
  WriteFileEntries(json, log->Files);
  WriteRegistryEntries(json, log->Registry);
  json.EndObject();
  return true;
}

bool DumpProduct(FILE* in, JsonWriter& json, std::string* error) {
  std::string text;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) != 0 && text.size() <= kMaxProductFactsSize;) {
    text.append(chunk, got);
  }
  ProductFacts facts;
  std::string reason;
  if (std::ferror(in) || !ReadProductFacts(text, &facts, &reason)) {
    *error = "the product facts are damaged: " + (std::ferror(in) ? std::string("cannot be read") : reason);
    return false;
  }
  json.BeginObject();
  json.String("kind", "product");
  json.String("version", facts.versionText);
  if (facts.version) json.String("version_four_parts", FourPartVersion(*facts.version));
  json.String("publisher", facts.publisher);
  json.String("url", facts.url);
  json.String("support_url", facts.supportUrl);
  json.EndObject();
  return true;
}

}  // namespace

bool DumpKindFromName(const std::string& name, DumpKind* kind) {
  if (name == "summary") *kind = DumpKind::Summary;
  else if (name == "data") *kind = DumpKind::Data;
  else if (name == "archive") *kind = DumpKind::Archive;
  else if (name == "log") *kind = DumpKind::Log;
  else if (name == "product") *kind = DumpKind::Product;
  else return false;
  return true;
}

bool DumpKindFromPath(const std::string& path, DumpKind* kind) {
  if (EndsWith(path, ".sum.bin")) *kind = DumpKind::Summary;
  else if (EndsWith(path, ".archive.bin")) *kind = DumpKind::Archive;
  else if (EndsWith(path, ".log")) *kind = DumpKind::Log;  // Uninstall.log included
  else if (EndsWith(path, ".product.txt")) *kind = DumpKind::Product;
  else return false;
  return true;
}

bool DumpFile(const std::string& path, DumpKind kind, std::ostream& out, std::string* error) {
  UniqueFile in(std::fopen(path.c_str(), "rb"));
  if (!in) {
    *error = "cannot be opened";
    return false;
  }
  std::ostringstream text;
  JsonWriter json(text);
  bool ok = false;
  switch (kind) {
    case DumpKind::Summary: ok = DumpSummary(in.get(), json, error); break;
    case DumpKind::Data: ok = DumpData(in.get(), ArchiveFacts{}, json, error); break;
    case DumpKind::Archive: ok = DumpArchive(in.get(), json, error); break;
    case DumpKind::Log: ok = DumpLog(in.get(), json, error); break;
    case DumpKind::Product: ok = DumpProduct(in.get(), json, error); break;
  }
  if (!ok) return false;
  json.Finish();
  out << text.str();
  return true;
}
