// The manifest reader on arbitrary text: whatever the TOML, it ends in a manifest or in a
// message, never in a crash, a hang or an exception.

#include <string>

#include "builder/manifest_reader.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Manifest manifest;
  std::string error;
  const bool ok = ReadManifestText(text, "fuzz.toml", &manifest, &error);
  if (ok) {
    Require(!manifest.systems.empty(), "a manifest supports at least one system");
    for (const ManifestFile& file : manifest.files) Require(!file.label.empty(), "every file has a label");
  } else {
    Require(!error.empty(), "a refusal names its reason");
  }
  return 0;
}
