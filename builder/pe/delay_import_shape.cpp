#include "builder/pe/delay_import_shape.h"

#include <algorithm>

#include "builder/pe/library_name.h"

namespace {

constexpr uint32_t kDescriptorSize = 32;
constexpr uint32_t kAttributeRvas = 1;
constexpr uint32_t kSectionWritable = 0x80000000u;

bool IsFileNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

// "name.ext": what dlltool writes from a module definition's LIBRARY line.
bool IsPlainLibraryName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && dot != 0 && dot + 1 != name.size() &&
         std::all_of(name.begin(), name.end(), IsFileNameCharacter);
}

bool InWritableSection(const PeImage& image, uint32_t rva) {
  const PeSection* section = image.SectionAt(rva);
  return section != nullptr && (section->characteristics & kSectionWritable) != 0;
}

bool ReadDescriptorAt(const PeImage& image, uint64_t offset, std::string* name) {
  uint32_t fields[5] = {};
  for (int i = 0; i < 5; ++i) ReadU32(image.File(), offset + 4 * i, &fields[i]);
  const uint32_t attributes = fields[0], nameRva = fields[1], moduleRva = fields[2];
  const uint32_t addressTableRva = fields[3], nameTableRva = fields[4];
  if (attributes != kAttributeRvas || !InWritableSection(image, moduleRva) ||
      !InWritableSection(image, addressTableRva) || image.SectionAt(nameTableRva) == nullptr) {
    return false;
  }
  std::string error;
  return ReadLibraryName(image, nameRva, name, &error) && IsPlainLibraryName(*name);
}

}  // namespace

std::vector<std::string> FindDelayImportsByShape(const PeImage& image) {
  std::vector<std::string> names;
  for (const PeSection& section : image.Sections()) {
    // Descriptors are 4-byte aligned like every table the linker lays out.
    for (uint64_t within = 0; within + kDescriptorSize <= section.rawSize; within += 4) {
      std::string name;
      if (ReadDescriptorAt(image, uint64_t{section.rawPointer} + within, &name) &&
          std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
      }
    }
  }
  return names;
}
