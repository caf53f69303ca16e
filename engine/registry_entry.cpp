// One registry entry of the data file: names translated, logged, then written.

#include <cstdlib>
#include <cstring>

#include "engine/install_engine.h"
#include "engine/registry.h"

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

}  // namespace

void InstallEngine::ApplyRegistryEntry(RegistryEntry entry) {
  for (char* text : {entry.RootKey, entry.SubKey, entry.ValueName, entry.ValueType, entry.ValueData}) {
    text[kMaxStoredStringLength] = '\0';
  }
  const RootKeyName* root = FindRootKey(entry.RootKey);
  if (root == nullptr) {
    ReportError("Invalid registry key supplied!\nThe program may not run correctly.");
    return;
  }
  const ValueTypeName* type = FindValueType(entry.ValueType);
  if (type == nullptr) {
    ReportError("Invalid registry value type supplied!\nThe program may not run correctly.");
    return;
  }
  // Logged before the write, so the uninstaller also tries a value that failed.
  AppendRegistryInfo(entry);

  const std::size_t textLength = strnlen(entry.ValueData, sizeof entry.ValueData - 1);
  uint32_t number = 0;
  const void* data = entry.ValueData;
  DWORD size = static_cast<DWORD>(textLength + 1);
  if (type->type == REG_DWORD) {
    number = DwordFromText(entry.ValueData);
    data = &number;
    size = sizeof number;
  } else if (type->type == REG_NONE) {
    size = static_cast<DWORD>(textLength);
  }
  CRegistry registry;
  LONG result = registry.SetValue(root->key, entry.SubKey, type->keyClass, entry.ValueName, type->type, data, size);
  if (result != ERROR_SUCCESS) {
    ReportError(std::string("Failed to write in registry!\n") + "Key: " + entry.RootKey + ", Subkey: " + entry.SubKey +
              "\nValue: " + entry.ValueName + ", Data: " + entry.ValueData);
  }
}
