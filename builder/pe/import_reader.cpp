#include "builder/pe/import_reader.h"

#include <algorithm>

#include "builder/pe/delay_import_shape.h"
#include "builder/pe/library_name.h"

namespace {

constexpr uint32_t kImportDescriptorSize = 20;
constexpr uint32_t kImportNameField = 12;
constexpr uint32_t kDelayDescriptorSize = 32;
constexpr uint32_t kDelayNameField = 4;
// Set when the descriptor holds RVAs; clear in the old form, which holds addresses.
constexpr uint32_t kDelayAttributeRvas = 1;

struct Table {
  const char* label;
  int directory;
  uint32_t descriptorSize;
  uint32_t nameField;
};

constexpr Table kImports{"import directory", kDirectoryImport, kImportDescriptorSize, kImportNameField};
constexpr Table kDelayImports{"delay-import directory", kDirectoryDelayImport, kDelayDescriptorSize, kDelayNameField};

bool Fail(std::string* error, const Table& table, const std::string& reason) {
  *error = std::string("damaged ") + table.label + ": " + reason;
  return false;
}

// The loader stops at the first descriptor without a name, so that one closes the table
// whatever the directory's size says.
bool ReadTable(const PeImage& image, const Table& table, std::vector<std::string>* names, std::string* error) {
  const PeDataDirectory directory = image.Directory(table.directory);
  if (directory.address == 0) return true;
  for (uint64_t rva = directory.address;; rva += table.descriptorSize) {
    uint32_t offset = 0, nameRva = 0;
    if (rva > 0xFFFFFFFFu || !image.RvaToOffset(static_cast<uint32_t>(rva), table.descriptorSize, &offset)) {
      return Fail(error, table, "its descriptors run out of the sections' data before the closing entry");
    }
    ReadU32(image.File(), offset + table.nameField, &nameRva);
    if (nameRva == 0) return true;
    uint32_t attributes = 0;
    ReadU32(image.File(), offset, &attributes);
    if (table.directory == kDirectoryDelayImport && (attributes & kDelayAttributeRvas) == 0) {
      return Fail(error, table, "a descriptor of the old form, with addresses instead of RVAs");
    }
    std::string name;
    if (!ReadLibraryName(image, nameRva, &name, error)) return Fail(error, table, *error);
    names->push_back(std::move(name));
  }
}

void AddMissing(const std::vector<std::string>& found, std::vector<std::string>* names) {
  for (const std::string& name : found) {
    if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
  }
}

}  // namespace

bool ReadImportedLibraries(const PeImage& image, ImportedLibraries* imports, std::string* error) {
  *imports = ImportedLibraries();
  if (!ReadTable(image, kImports, &imports->loaded, error)) return false;
  if (!ReadTable(image, kDelayImports, &imports->delayLoaded, error)) return false;
  AddMissing(FindDelayImportsByShape(image), &imports->delayLoaded);
  return true;
}
