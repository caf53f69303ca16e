#include "engine/registry.h"

LONG CRegistry::SetValue(HKEY root, const char* subKey, const char* className, const char* valueName, DWORD type,
                         const void* data, DWORD dataSize) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExA(root, subKey, 0, const_cast<char*>(className), REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  LONG set = RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), dataSize);
  LONG closed = RegCloseKey(key);
  return set != ERROR_SUCCESS ? set : closed;
}

LONG CRegistry::SetStringValue(HKEY root, const char* subKey, const char* valueName, const std::string& text) {
  return SetValue(root, subKey, "String", valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
