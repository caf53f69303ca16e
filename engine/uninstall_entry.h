#pragma once
// The product's Add/Remove Programs entry: its key and every value written into it. One
// list, so that a new value is added here and nowhere else.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/product_facts.h"

struct UninstallEntryValue {
  std::string name;
  DWORD type = REG_SZ;
  std::vector<BYTE> data;
};

// What the entry is made from.
struct UninstallEntryFacts {
  std::string productName;
  std::string destination;
  std::string uninstallerPath;
  // Version, publisher and web addresses; each written only when known.
  ProductFacts product;
  // The payload's bytes, for the size the Settings app shows.
  uint64_t installedBytes = 0;
};

// Below HKEY_LOCAL_MACHINE.
std::string UninstallEntryKey(const std::string& productName);
std::vector<UninstallEntryValue> UninstallEntryValues(const UninstallEntryFacts& facts);

// A REG_SZ value with its terminating zero; a REG_DWORD value.
UninstallEntryValue TextValue(const std::string& name, const std::string& text);
UninstallEntryValue NumberValue(const std::string& name, DWORD number);
