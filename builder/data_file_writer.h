#pragma once
// Writes the decompressed data file: head, SetupConfig, every entry with its content,
// then the registry entries.

#include <string>
#include <vector>

#include "builder/payload_plan.h"
#include "formats/data_file.h"

// Fails if a write fails (full disk) or a source file no longer has the size it had when
// the build was planned, since the stored length must match the content that follows.
bool WriteDataFile(const std::string& path, const DataFileHead& head, const SetupConfig& config,
                   const PayloadPlan& plan, const std::vector<RegistryEntry>& registry, std::string* error);
