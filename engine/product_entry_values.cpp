#include "engine/product_entry_values.h"

namespace {

void SetTextIfKnown(CRegistry& registry, const std::string& key, const char* name, const std::string& text) {
  if (!text.empty()) registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), name, text);
}

void SetNumber(CRegistry& registry, const std::string& key, const char* name, DWORD number) {
  registry.SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "String", name, REG_DWORD, &number, sizeof number);
}

}  // namespace

void WriteProductEntryValues(CRegistry& registry, const std::string& key, const ProductFacts& product) {
  SetTextIfKnown(registry, key, "DisplayVersion", product.versionText);
  if (product.version) {
    SetNumber(registry, key, "VersionMajor", product.version->Major());
    SetNumber(registry, key, "VersionMinor", product.version->Minor());
  }
  SetTextIfKnown(registry, key, "Publisher", product.publisher);
  SetTextIfKnown(registry, key, "URLInfoAbout", product.url);
  SetTextIfKnown(registry, key, "HelpLink", product.supportUrl);
}
