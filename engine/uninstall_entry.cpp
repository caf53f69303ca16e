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

std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntryFacts& facts) {
  return {
      TextValue("DisplayName", facts.productName),
      // Quoted, so a folder with blanks cannot be read as another program; the folder after
      // it still starts one character before the second colon.
      TextValue("UninstallString", "\"" + facts.uninstallerPath + "\" " + facts.destination),
      TextValue("DisplayIcon", facts.uninstallerPath),
  };
}
