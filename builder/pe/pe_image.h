#pragma once
// The headers and section table of a 32-bit Windows program (PE32, i386), located in the
// file's bytes. Parsing checks everything later steps rely on, so that code working on a
// parsed image can trust offsets and sizes.

#include <cstdint>
#include <string>
#include <vector>

#include "builder/pe/byte_io.h"

constexpr int kDirectoryResource = 2;
constexpr int kDirectorySecurity = 4;

struct PeSection {
  std::string name;  // as stored (up to 8 bytes, NUL padding removed)
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawPointer = 0;
  uint32_t characteristics = 0;
  uint32_t headerOffset = 0;  // where its 40-byte entry sits in the file

  // How much of the address space the section takes before alignment: the loader uses
  // the raw size when the virtual size is 0.
  uint32_t Extent() const { return virtualSize != 0 ? virtualSize : rawSize; }
};

struct PeDataDirectory {
  uint32_t address = 0;  // an RVA, except for the security directory (a file offset)
  uint32_t size = 0;
};

class PeImage {
 public:
  // Takes the whole file. Fails with a reason for anything that is not a well-formed
  // PE32 i386 image.
  static bool Parse(Bytes file, PeImage* image, std::string* error);
  // Reads and parses a program file; messages name the file.
  static bool ReadFile(const std::string& path, PeImage* image, std::string* error);

  const Bytes& File() const { return file_; }
  const std::vector<PeSection>& Sections() const { return sections_; }
  uint32_t FileAlignment() const { return fileAlignment_; }
  uint32_t SectionAlignment() const { return sectionAlignment_; }
  uint32_t SizeOfHeaders() const { return sizeOfHeaders_; }
  uint32_t DirectoryCount() const { return static_cast<uint32_t>(directories_.size()); }
  PeDataDirectory Directory(int index) const;

  // Offsets of header fields the writer updates.
  uint32_t OptionalHeaderOffset() const { return optionalHeader_; }
  uint32_t FileHeaderOffset() const { return fileHeader_; }
  uint32_t DirectoryOffset(int index) const { return directoriesOffset_ + 8 * index; }
  uint32_t SectionTableOffset() const { return sectionTable_; }
  uint32_t ChecksumOffset() const { return optionalHeader_ + 64; }

  // The file offset of the `length` bytes at `rva`, if they all lie in one section's raw
  // data.
  bool RvaToOffset(uint32_t rva, uint32_t length, uint32_t* offset) const;
  // The section whose virtual range holds `rva`; null if none.
  const PeSection* SectionAt(uint32_t rva) const;
  // End of the last section's raw data: what follows is overlay (symbol table, appended
  // data, a signature).
  uint32_t RawDataEnd() const;

 private:
  bool ParseHeaders(std::string* error);
  bool ParseSections(std::string* error);

  Bytes file_;
  uint32_t fileHeader_ = 0;
  uint32_t optionalHeader_ = 0;
  uint32_t directoriesOffset_ = 0;
  uint32_t sectionTable_ = 0;
  uint32_t fileAlignment_ = 0;
  uint32_t sectionAlignment_ = 0;
  uint32_t sizeOfHeaders_ = 0;
  std::vector<PeDataDirectory> directories_;
  std::vector<PeSection> sections_;
};
