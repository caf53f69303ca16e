// The program reader on arbitrary bytes: it must never read outside them (its version
// resource and import tables included), and whatever it accepts must be rewritten into a
// program that reads back with the added resource.

#include "builder/pe/import_reader.h"
#include "builder/pe/library_name.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"
#include "builder/pe/version_resource.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PeImage image;
  ResourceTree tree;
  std::string error;
  if (!PeImage::Parse(Bytes(data, data + size), &image, &error)) return 0;
  ImportedLibraries imports;
  if (ReadImportedLibraries(image, &imports, &error)) {
    for (const auto* names : {&imports.loaded, &imports.delayLoaded})
      for (const std::string& name : *names)
        Require(!name.empty() && name.size() < kMaxLibraryNameBytes, "a library name is whole and fits a path");
  }
  if (!ReadResources(image, &tree, &error)) return 0;
  // A version resource is read back by the tests and may come from any program.
  const auto versions = tree.AllTypes().find(ResourceKey::Id(kTypeVersion));
  if (versions != tree.AllTypes().end()) {
    for (const auto& name : versions->second)
      for (const auto& language : name.second) {
        VersionInfo info;
        ParseVersionResource(language.second.bytes, &info, &error);
      }
  }
  const std::size_t before = tree.LeafCount();
  const ResourceKey type = ResourceKey::Name("Setup"), name = ResourceKey::Id(145);
  const bool replaces = !tree.AllTypes().empty() && tree.AllTypes().count(type) != 0 &&
                        tree.AllTypes().at(type).count(name) != 0;
  tree.Replace(type, name, Bytes{1, 2, 3});
  Bytes output;
  AttachNotes notes;
  if (!WriteWithResources(image, tree, &output, &notes, &error)) return 0;
  PeImage rewritten;
  ResourceTree after;
  Require(PeImage::Parse(output, &rewritten, &error), "the rewritten program parses");
  Require(ReadResources(rewritten, &after, &error), "its resources read back");
  Require(after.Find(type, name, ResourceKey::Id(kLanguageNeutral)) != nullptr, "the added resource is there");
  Require(replaces || after.LeafCount() == before + 1, "every old resource is kept");
  return 0;
}
