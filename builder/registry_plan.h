#pragma once
// The manifest's registry values as the data file's RegistryEntry records.

#include <string>
#include <vector>

#include "builder/manifest.h"
#include "formats/data_file.h"

// Refuses what the setup would skip or misread: root keys and types outside its lists
// (matched exactly, case and all), REG_DWORD data that is not a number from 0 to 4294967295.
bool PlanRegistry(const Manifest& manifest, std::vector<RegistryEntry>* entries, std::string* error);

// The setup reads REG_DWORD data as a signed 32-bit decimal and stores negative numbers as
// their two's complement, so values above 2147483647 are written as the negative number
// with the same 32 bits. Returns false for anything but plain decimal digits in range.
bool DwordDataForSetup(const std::string& text, std::string* stored);
