// One registry entry of the data file: names translated, logged, then set by a step that
// keeps the earlier value.

#include <cstdlib>
#include <cstring>

#include "engine/install_engine.h"
#include "engine/steps/set_registry_value_step.h"

namespace {

struct RootKeyName {
  const char* name;
  HKEY key;
};

const RootKeyName kRootKeys[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
};

struct ValueTypeName {
  const char* name;
  DWORD type;
  const char* keyClass;
};

const ValueTypeName kValueTypes[] = {
    {"REG_NONE", REG_NONE, "String"},
    {"REG_DWORD", REG_DWORD, "DWORD"},
    {"REG_SZ", REG_SZ, "String"},
    {"REG_EXPAND_SZ", REG_EXPAND_SZ, "Expandable String"},
};

const RootKeyName* FindRootKey(const char* name) {
  for (const RootKeyName& root : kRootKeys) {
    if (std::strcmp(root.name, name) == 0) return &root;
  }
  return nullptr;
}

const ValueTypeName* FindValueType(const char* name) {
  for (const ValueTypeName& type : kValueTypes) {
    if (std::strcmp(type.name, name) == 0) return &type;
  }
  return nullptr;
}

// Decimal text as a 32-bit number: leading blanks, a sign, digits up to the first other
// character; out-of-range values clamp to the signed limits, negatives wrap.
uint32_t DwordFromText(const char* text) {
  long long value = std::strtoll(text, nullptr, 10);
  if (value > 2147483647LL) value = 2147483647LL;
  if (value < -2147483648LL) value = -2147483648LL;
  return static_cast<uint32_t>(static_cast<int32_t>(value));
}

std::vector<BYTE> ValueBytes(const RegistryEntry& entry, DWORD type) {
  if (type == REG_DWORD) {
    const uint32_t number = DwordFromText(entry.ValueData);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    return std::vector<BYTE>(bytes, bytes + sizeof number);
  }
  const std::size_t textLength = strnlen(entry.ValueData, sizeof entry.ValueData - 1);
  const BYTE* text = reinterpret_cast<const BYTE*>(entry.ValueData);
  // Text with its terminating zero; REG_NONE holds the bytes alone.
  return std::vector<BYTE>(text, text + textLength + (type == REG_NONE ? 0 : 1));
}

}  // namespace

bool InstallEngine::ApplyRegistryEntry(RegistryEntry entry) {
  for (char* text : {entry.RootKey, entry.SubKey, entry.ValueName, entry.ValueType, entry.ValueData}) {
    text[kMaxStoredStringLength] = '\0';
  }
  const RootKeyName* root = FindRootKey(entry.RootKey);
  if (root == nullptr) {
    ReportError("Invalid registry key supplied!\nThe program may not run correctly.");
    return true;
  }
  const ValueTypeName* type = FindValueType(entry.ValueType);
  if (type == nullptr) {
    ReportError("Invalid registry value type supplied!\nThe program may not run correctly.");
    return true;
  }
  // Logged before the write, so the uninstaller also tries a value that failed.
  if (!log_.AppendRegistry(entry)) {
    ReportLogFailure("Error in writing registry info.");
    return false;
  }
  RegistryValueToSet value;
  value.root = root->key;
  value.subKey = entry.SubKey;
  value.keyClass = type->keyClass;
  value.name = entry.ValueName;
  value.type = type->type;
  value.data = ValueBytes(entry, type->type);
  const std::string failure = std::string("Failed to write in registry!\n") + "Key: " + entry.RootKey +
                              ", Subkey: " + entry.SubKey + "\nValue: " + entry.ValueName +
                              ", Data: " + entry.ValueData;
  return Perform(std::make_unique<SetRegistryValueStep>(std::move(value), failure));
}
