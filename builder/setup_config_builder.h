#pragma once
// The product description block (SetupConfig) from the manifest.

#include <string>

#include "builder/manifest.h"
#include "formats/setup_config.h"

// `setupFilePath` is the full path of the setup program being built (UTF-8).
bool MakeSetupConfig(const Manifest& manifest, const std::string& setupFilePath, SetupConfig* config,
                     std::string* error);
