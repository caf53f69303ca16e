#include "tests/pe/synthetic_program.h"

#include <algorithm>

namespace {

constexpr uint32_t kPeOffset = 0x40;
constexpr uint32_t kFileHeader = kPeOffset + 4;
constexpr uint32_t kOptionalHeader = kFileHeader + 20;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kHeadersSize = 0x200;
constexpr uint32_t kDirectoryCount = 16;

}  // namespace

void SyntheticSection::PutText(uint32_t offset, const std::string& text) {
  std::copy(text.begin(), text.end(), data.begin() + offset);
  data[offset + text.size()] = 0;
}

Bytes SyntheticProgram::Link() const {
  const uint32_t optionalSize = (pe32Plus ? 112 : 96) + 8 * kDirectoryCount;
  const uint32_t sectionTable = kOptionalHeader + optionalSize;
  Bytes file(kHeadersSize);
  file[0] = 'M';
  file[1] = 'Z';
  WriteU32(file, 0x3C, kPeOffset);
  file[kPeOffset] = 'P';
  file[kPeOffset + 1] = 'E';
  WriteU16(file, kFileHeader, pe32Plus ? 0x8664 : 0x014C);
  WriteU16(file, kFileHeader + 2, static_cast<uint16_t>(sections.size()));
  WriteU16(file, kFileHeader + 16, static_cast<uint16_t>(optionalSize));
  WriteU16(file, kOptionalHeader, pe32Plus ? 0x20B : 0x10B);
  WriteU32(file, kOptionalHeader + 32, 0x1000);
  WriteU32(file, kOptionalHeader + 36, kFileAlignment);
  WriteU32(file, kOptionalHeader + 60, kHeadersSize);
  const uint32_t directories = kOptionalHeader + optionalSize - 8 * kDirectoryCount;
  WriteU32(file, directories - 4, kDirectoryCount);
  for (uint32_t i = 0; i < kDirectoryCount; ++i) {
    WriteU32(file, directories + 8 * i, this->directories[i].address);
    WriteU32(file, directories + 8 * i + 4, this->directories[i].size);
  }
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const uint32_t entry = sectionTable + 40 * static_cast<uint32_t>(i);
    const uint32_t rawSize = static_cast<uint32_t>(AlignUp(sections[i].data.size(), kFileAlignment));
    file[entry] = '.';
    file[entry + 1] = static_cast<uint8_t>('a' + i);
    WriteU32(file, entry + 8, static_cast<uint32_t>(sections[i].data.size()));
    WriteU32(file, entry + 12, SectionRva(i));
    WriteU32(file, entry + 16, rawSize);
    WriteU32(file, entry + 20, static_cast<uint32_t>(file.size()));
    WriteU32(file, entry + 36, sections[i].characteristics);
    file.insert(file.end(), sections[i].data.begin(), sections[i].data.end());
    file.resize(file.size() + (rawSize - sections[i].data.size()));
  }
  return file;
}
