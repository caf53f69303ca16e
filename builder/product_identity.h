#pragma once
// The product's identity for Windows: the facts the setup carries for its Add/Remove
// Programs entry and version checks, and the version resources of Setup.exe and of the
// Uninstall.exe inside it.

#include <string>

#include "builder/manifest.h"
#include "builder/pe/version_resource.h"
#include "formats/product_facts.h"

// The manifest's version, publisher and addresses as the setup stores them (Windows-1252).
bool MakeProductFacts(const Manifest& manifest, ProductFacts* facts, std::string* error);

// `productName` is the stored (Windows-1252) name; `fileName` the program's own file name
// ("Setup.exe", "Uninstall.exe"); `description` what Explorer shows it as.
VersionInfo MakeVersionInfo(const std::string& productName, const ProductFacts& facts, const std::string& fileName,
                            const std::string& description);
