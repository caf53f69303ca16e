#include "tools/import_check/program_imports.h"

#include "builder/pe/import_reader.h"
#include "builder/pe/resource_reader.h"
#include "tools/import_check/allowed_imports.h"
#include "tools/import_check/common_controls_manifest.h"

namespace {

constexpr uint16_t kTypeManifest = 24;
// The manifest Windows applies to a program when it starts it.
constexpr uint16_t kProgramManifestId = 1;

// Every language of the program's manifest must bind it, since Windows may pick any.
bool ManifestBindsCommonControls6(const ResourceTree& resources) {
  const auto type = resources.AllTypes().find(ResourceKey::Id(kTypeManifest));
  if (type == resources.AllTypes().end()) return false;
  const auto name = type->second.find(ResourceKey::Id(kProgramManifestId));
  if (name == type->second.end() || name->second.empty()) return false;
  for (const auto& language : name->second) {
    const Bytes& bytes = language.second.bytes;
    if (!BindsCommonControls6(std::string(bytes.begin(), bytes.end()))) return false;
  }
  return true;
}

}  // namespace

bool CheckProgramImports(const std::string& path, std::vector<std::string>* problems, std::string* error) {
  PeImage image;
  ImportedLibraries imports;
  ResourceTree resources;
  if (!PeImage::ReadFile(path, &image, error)) return false;
  if (!ReadImportedLibraries(image, &imports, error) || !ReadResources(image, &resources, error)) {
    *error = path + ": " + *error;
    return false;
  }
  *problems = FindUnsafeImports(imports, ManifestBindsCommonControls6(resources));
  return true;
}
