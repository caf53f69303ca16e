#pragma once
// The product description block (SetupConfig) from the manifest.

#include <cstddef>
#include <string>

#include "builder/manifest.h"
#include "formats/setup_config.h"

// Longest texts, in characters, for the places of fixed size that show them in one piece:
// the product name in the caption bands and in a word of the welcome page's lines, a
// link's caption on its one line of the information and finish pages. A word of this
// many of the font's widest characters still fits.
constexpr std::size_t kMaxProductNameLength = 32;
constexpr std::size_t kMaxLinkCaptionLength = 32;

// `setupFilePath` is the full path of the setup program being built (UTF-8).
bool MakeSetupConfig(const Manifest& manifest, const std::string& setupFilePath, SetupConfig* config,
                     std::string* error);
