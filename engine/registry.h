#pragma once
// Creates a registry key (and any missing keys above it) and sets one value in it.
// Both operations return the Windows error code of the first call that failed, or 0.

#include <windows.h>

#include <string>

class CRegistry {
 public:
  virtual ~CRegistry() = default;

  // `data` points at `dataSize` bytes; for REG_DWORD at the 4 bytes of the number.
  LONG SetValue(HKEY root, const char* subKey, const char* className, const char* valueName, DWORD type,
                const void* data, DWORD dataSize);
  // A REG_SZ value with its terminating zero, in a key created with the class "String".
  // The whole text is written, however long.
  LONG SetStringValue(HKEY root, const char* subKey, const char* valueName, const std::string& text);
};
