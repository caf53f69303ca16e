#include "engine/uninstall_entry.h"

std::string UninstallEntryKey(const std::string& productName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productName;
}

UninstallEntryValue TextValue(const std::string& name, const std::string& text) {
  UninstallEntryValue value;
  value.name = name;
  value.type = REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

UninstallEntryValue NumberValue(const std::string& name, DWORD number) {
  UninstallEntryValue value;
  value.name = name;
  value.type = REG_DWORD;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
  value.data.assign(bytes, bytes + sizeof number);
  return value;
}

namespace {

DWORD KibibytesOf(uint64_t bytes) {
  const uint64_t kibibytes = (bytes + 1023) / 1024;
  return kibibytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(kibibytes);
}

void AddTextIfKnown(std::vector<UninstallEntryValue>* values, const char* name, const std::string& text) {
  if (!text.empty()) values->push_back(TextValue(name, text));
}

// The version that deployment tools compare, the publisher and the web addresses the
// Settings app links to.
void AddProductValues(std::vector<UninstallEntryValue>* values, const ProductFacts& product) {
  AddTextIfKnown(values, "DisplayVersion", product.versionText);
  if (product.version) {
    values->push_back(NumberValue("VersionMajor", product.version->Major()));
    values->push_back(NumberValue("VersionMinor", product.version->Minor()));
  }
  AddTextIfKnown(values, "Publisher", product.publisher);
  AddTextIfKnown(values, "URLInfoAbout", product.url);
  AddTextIfKnown(values, "HelpLink", product.supportUrl);
}

}  // namespace

std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntryFacts& facts) {
  std::vector<UninstallEntryValue> values = {
      TextValue("DisplayName", facts.productName),
      // Quoted, so a folder with blanks cannot be read as another program; the folder after
      // it still starts one character before the second colon.
      TextValue("UninstallString", "\"" + facts.uninstallerPath + "\" " + facts.destination),
      TextValue("DisplayIcon", facts.uninstallerPath),
      // What deployment tools read: how to remove without questions, where the product is,
      // how much room it takes, and that it has no change or repair.
      TextValue("QuietUninstallString", "\"" + facts.uninstallerPath + "\" /S"),
      TextValue("InstallLocation", facts.destination),
      NumberValue("EstimatedSize", KibibytesOf(facts.installedBytes)),
      NumberValue("NoModify", 1),
      NumberValue("NoRepair", 1),
  };
  AddProductValues(&values, facts.product);
  return values;
}
