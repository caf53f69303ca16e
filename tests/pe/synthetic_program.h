#pragma once
// Programs made in memory, for readers of tables that the committed test programs do not
// have: the sections hold whatever bytes a test lays out, and the data directories point
// wherever it says.

#include <string>
#include <vector>

#include "builder/pe/byte_io.h"
#include "builder/pe/pe_image.h"

constexpr uint32_t kSectionReadWrite = 0xC0000040u;  // initialised data, read, write
constexpr uint32_t kSectionReadOnly = 0x40000040u;   // initialised data, read

struct SyntheticSection {
  uint32_t characteristics = kSectionReadWrite;
  Bytes data = Bytes(0x200);  // at most 0x1000 bytes

  void PutU32(uint32_t offset, uint32_t value) { WriteU32(data, offset, value); }
  void PutText(uint32_t offset, const std::string& text);  // with its terminator
};

struct SyntheticProgram {
  bool pe32Plus = false;
  // Section i starts at RVA SectionRva(i).
  std::vector<SyntheticSection> sections = std::vector<SyntheticSection>(1);
  PeDataDirectory directories[16] = {};

  static uint32_t SectionRva(std::size_t index) { return 0x1000 * static_cast<uint32_t>(index + 1); }
  Bytes Link() const;
};
