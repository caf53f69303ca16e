#pragma once
// What the Add/Remove Programs entry tells about the product besides its name and
// uninstaller: the version that deployment tools compare, the publisher and the web
// addresses the Settings app links to. Each value is written only when the setup knows it.

#include <string>

#include "engine/registry.h"
#include "formats/product_facts.h"

// `key` is the entry's key below HKEY_LOCAL_MACHINE. Results are ignored, as for the
// entry's other values: the installation has succeeded by then.
void WriteProductEntryValues(CRegistry& registry, const std::string& key, const ProductFacts& product);
