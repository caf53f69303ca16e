#include "tests/e2e/test_product.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace e2e {

namespace {

constexpr WORD kSummaryResource = 148;
constexpr WORD kInformationResource = 146;
constexpr WORD kLicenseResource = 147;
constexpr char kResourceType[] = "Setup";

uint32_t Flag(unsigned systems, SupportedSystem system) { return (systems & system) ? 1 : 0; }

void SetSystems(SetupConfig* config, unsigned systems) {
  config->SupportsWin95 = Flag(systems, kWin95);
  config->SupportsWin98 = Flag(systems, kWin98);
  config->SupportsWinMe = Flag(systems, kWinMe);
  config->SupportsWinNT = Flag(systems, kWinNT);
  config->SupportsWin2000 = Flag(systems, kWin2000);
  config->SupportsWinXP = Flag(systems, kWinXP);
  config->SupportsWin2003 = Flag(systems, kWin2003);
  config->SupportsWinVista2008 = Flag(systems, kWinVista2008);
}

SummaryEntry MakeEntry(const ProductFile& file) {
  SummaryEntry entry;
  std::memset(&entry, 0, sizeof entry);
  SetBufferText(entry.Name, file.name);
  SetBufferText(entry.Extension, file.extension);
  SetBufferText(entry.TargetPath, file.targetPath);
  entry.StartMenuShortcut = file.startMenuShortcut;
  entry.DesktopShortcut = file.desktopShortcut;
  SetBufferText(entry.ShortcutName, file.name);
  return entry;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->append(chunk, got);
  std::fclose(file);
  return true;
}

bool WriteRecordFile(const std::string& path, const TestProduct& product) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = WriteSummaryRecord(MakeSummaryRecord(product), file);
  return std::fclose(file) == 0 && ok;
}

bool AddResource(HANDLE update, WORD id, std::string bytes) {
  return UpdateResourceA(update, kResourceType, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         bytes.data(), static_cast<DWORD>(bytes.size())) != 0;
}

}  // namespace

std::vector<ProductFile> FilesWithShortcuts() {
  return {
      {"Program", "\\", "%DIR%"},
      {"tool", "exe", "%DIR%\\tool.exe", true, true},
      {"readme", "txt", "%DIR%\\readme.txt", true, false},
      {"helper", "dll", "%SYSTEM%\\helper.dll"},
  };
}

SummaryRecord MakeSummaryRecord(const TestProduct& product) {
  SummaryRecord record;
  ClearSummaryRecord(&record);
  record.Head.HasInformation = product.hasInformation;
  record.Head.HasLicense = product.hasLicense;
  record.Head.TotalSizeHigh = static_cast<uint32_t>(product.totalSize >> 32);
  record.Head.TotalSizeLow = static_cast<uint32_t>(product.totalSize);
  SetBufferText(record.Config.ProductName, product.name);
  SetSystems(&record.Config, product.systems);
  SetBufferText(record.Config.Link1Caption, "Acme home page");
  SetBufferText(record.Config.Link1Url, "http://acme.example/");
  record.Config.clrOut = 0x00800000;
  record.Config.clrIn = 0x00FF8080;
  for (const ProductFile& file : product.files) record.Entries.push_back(MakeEntry(file));
  return record;
}

bool WriteExternalData(const std::string& base, const TestProduct& product) {
  bool ok = WriteRecordFile(base + ".exe.sum.bin", product);
  if (product.hasInformation) ok = WriteBytes(base + ".exe.info.txt", product.informationText) && ok;
  if (product.hasLicense) ok = WriteBytes(base + ".exe.eula.txt", product.licenseText) && ok;
  return ok;
}

bool WriteNormalModeSetup(const std::string& setupExe, const std::string& copy, const TestProduct& product,
                          ResourceSet resources) {
  const std::string recordPath = copy + ".record";
  std::string record;
  const bool recordOk = WriteRecordFile(recordPath, product) && ReadBytes(recordPath, &record);
  DeleteFileA(recordPath.c_str());
  if (!recordOk || !CopyFileA(setupExe.c_str(), copy.c_str(), FALSE)) return false;

  HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
  if (update == nullptr) return false;
  bool ok = true;
  if (resources.summary) ok = AddResource(update, kSummaryResource, record) && ok;
  if (resources.information && product.hasInformation) {
    ok = AddResource(update, kInformationResource, product.informationText) && ok;
  }
  if (resources.license && product.hasLicense) ok = AddResource(update, kLicenseResource, product.licenseText) && ok;
  return EndUpdateResourceA(update, !ok) && ok;
}

}  // namespace e2e
