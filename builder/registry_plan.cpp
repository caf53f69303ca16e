#include "builder/registry_plan.h"

#include <cstdint>
#include <cstring>

#include "builder/stored_text.h"

namespace {

bool IsOneOf(const std::string& text, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (text == name) return true;
  }
  return false;
}

bool CheckNames(const ManifestRegistryValue& value, std::string* error) {
  if (!IsOneOf(value.root, {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                            "HKEY_LOCAL_MACHINE", "HKEY_USERS"})) {
    *error = value.label + ": root \"" + value.root +
             "\" is not one of HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER, "
             "HKEY_LOCAL_MACHINE, HKEY_USERS (written exactly so)";
    return false;
  }
  if (!IsOneOf(value.type, {"REG_NONE", "REG_DWORD", "REG_SZ", "REG_EXPAND_SZ"})) {
    *error = value.label + ": type \"" + value.type +
             "\" is not one of REG_NONE, REG_DWORD, REG_SZ, REG_EXPAND_SZ (written exactly so)";
    return false;
  }
  if (!value.key.empty() && value.key.front() == '\\') {
    *error = value.label + ": key \"" + value.key + "\" must not begin with a backslash";
    return false;
  }
  return true;
}

bool PlanOne(const ManifestRegistryValue& value, RegistryEntry* entry, std::string* error) {
  if (!CheckNames(value, error)) return false;
  std::string data = value.data;
  if (value.type == "REG_DWORD" && !DwordDataForSetup(value.data, &data)) {
    *error = value.label + ": REG_DWORD data \"" + value.data + "\" is not a number from 0 to 4294967295";
    return false;
  }
  std::string key, name, stored, reason;
  if (!ToStoredString(value.key, "key", &key, &reason) || !ToStoredString(value.name, "name", &name, &reason) ||
      !ToStoredString(data, "data", &stored, &reason)) {
    *error = value.label + ": " + reason;
    return false;
  }
  std::memset(entry, 0, sizeof *entry);
  CopyToBuffer(value.root, entry->RootKey);
  CopyToBuffer(key, entry->SubKey);
  CopyToBuffer(name, entry->ValueName);
  CopyToBuffer(value.type, entry->ValueType);
  CopyToBuffer(stored, entry->ValueData);
  return true;
}

}  // namespace

bool DwordDataForSetup(const std::string& text, std::string* stored) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFull) return false;
  const int64_t asSigned = number > 0x7FFFFFFFull ? static_cast<int64_t>(number) - 0x100000000LL
                                                  : static_cast<int64_t>(number);
  *stored = std::to_string(asSigned);
  return true;
}

bool PlanRegistry(const Manifest& manifest, std::vector<RegistryEntry>* entries, std::string* error) {
  for (const ManifestRegistryValue& value : manifest.registry) {
    RegistryEntry entry;
    if (!PlanOne(value, &entry, error)) return false;
    entries->push_back(entry);
  }
  return true;
}
