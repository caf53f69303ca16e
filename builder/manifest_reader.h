#pragma once
// Reads a manifest file (TOML) into a Manifest. Checks its shape: known keys only, the
// right value types, required keys present, colours, placements and system names
// spelled as documented. What the values mean is checked later, by the validation.

#include <string>

#include "builder/manifest.h"

// `error` names the manifest entry at fault ("files[2] (source \"bin\"): ...").
bool ReadManifestFile(const std::string& path, Manifest* manifest, std::string* error);
bool ReadManifestText(const std::string& text, const std::string& sourceName, Manifest* manifest,
                      std::string* error);
