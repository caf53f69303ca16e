#include "builder/pe/library_name.h"

#include <algorithm>

bool ReadLibraryName(const PeImage& image, uint32_t rva, std::string* name, std::string* error) {
  const PeSection* section = image.SectionAt(rva);
  const uint32_t within = section == nullptr ? 0 : rva - section->virtualAddress;
  if (section == nullptr || within >= section->rawSize) {
    *error = "a library name at RVA " + std::to_string(rva) + " lies outside the sections' data";
    return false;
  }
  const uint8_t* begin = image.File().data() + section->rawPointer + within;
  const uint8_t* limit = begin + std::min(section->rawSize - within, kMaxLibraryNameBytes);
  const uint8_t* end = std::find(begin, limit, 0);
  if (end == limit) {
    *error = "the library name at RVA " + std::to_string(rva) + " has no end within " +
             std::to_string(kMaxLibraryNameBytes) + " bytes of its section";
    return false;
  }
  if (end == begin) {
    *error = "a library without a name (RVA " + std::to_string(rva) + ")";
    return false;
  }
  name->assign(begin, end);
  return true;
}
