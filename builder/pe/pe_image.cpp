#include "builder/pe/pe_image.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMagicPe32 = 0x010B;
constexpr uint16_t kMagicPe32Plus = 0x020B;
// Fields before the data directories; the directory count is the last of them.
constexpr uint32_t kOptionalHeaderFixedSizePe32 = 96;
constexpr uint32_t kOptionalHeaderFixedSizePe32Plus = 112;
constexpr uint32_t kMaxDirectories = 16;
constexpr uint32_t kSectionHeaderSize = 40;

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

}  // namespace

bool PeImage::Parse(Bytes file, PeImage* image, std::string* error) {
  *image = PeImage();
  image->file_ = std::move(file);
  return image->ParseHeaders(error) && image->ParseSections(error);
}

bool PeImage::ReadFile(const std::string& path, PeImage* image, std::string* error) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) return Fail(error, path + ": cannot open it");
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail(error, path + ": cannot read it");
  if (bytes.size() > 0xFFFFFFFFu) return Fail(error, path + ": larger than 4 GiB");
  if (!Parse(std::move(bytes), image, error)) return Fail(error, path + ": " + *error);
  return true;
}

bool PeImage::ParseHeaders(std::string* error) {
  uint32_t peOffset = 0;
  if (file_.size() < 64 || file_[0] != 'M' || file_[1] != 'Z' || !ReadU32(file_, 0x3C, &peOffset)) {
    return Fail(error, "not a Windows program: no MZ header");
  }
  if (!RangeFits(peOffset, 24, file_.size()) || file_[peOffset] != 'P' || file_[peOffset + 1] != 'E' ||
      file_[peOffset + 2] != 0 || file_[peOffset + 3] != 0) {
    return Fail(error, "not a Windows program: no PE header (an MS-DOS program?)");
  }
  fileHeader_ = peOffset + 4;
  uint16_t machine = 0, optionalSize = 0, magic = 0;
  ReadU16(file_, fileHeader_, &machine);
  ReadU16(file_, fileHeader_ + 16, &optionalSize);
  optionalHeader_ = fileHeader_ + 20;
  if (!ReadU16(file_, optionalHeader_, &magic)) return Fail(error, "the optional header is cut short");
  // The setup program ships as a 32-bit program. The 64-bit build of the same sources is
  // accepted too, so that machines that cannot run 32-bit Wine still test whole setups.
  if (machine == kMachineI386) {
    if (magic == kMagicPe32Plus) return Fail(error, "a 64-bit (PE32+) optional header on a 32-bit i386 program");
    if (magic != kMagicPe32) return Fail(error, "unknown optional header kind " + std::to_string(magic));
  } else if (machine == kMachineAmd64) {
    if (magic != kMagicPe32Plus) {
      return Fail(error, "not a 32-bit i386 program, and an x86-64 program without a PE32+ optional header");
    }
  } else {
    return Fail(error, "not a 32-bit i386 program (machine type " + std::to_string(machine) + ")");
  }
  const uint32_t fixedSize = magic == kMagicPe32 ? kOptionalHeaderFixedSizePe32 : kOptionalHeaderFixedSizePe32Plus;
  directoriesOffset_ = optionalHeader_ + fixedSize;
  uint32_t directoryCount = 0;
  if (optionalSize < fixedSize || !RangeFits(optionalHeader_, optionalSize, file_.size()) ||
      !ReadU32(file_, directoriesOffset_ - 4, &directoryCount)) {
    return Fail(error, "the optional header is cut short");
  }
  directoryCount = std::min(directoryCount, kMaxDirectories);
  if (fixedSize + 8 * directoryCount > optionalSize) {
    return Fail(error, "the optional header is too small for its data directories");
  }
  ReadU32(file_, optionalHeader_ + 32, &sectionAlignment_);
  ReadU32(file_, optionalHeader_ + 36, &fileAlignment_);
  ReadU32(file_, optionalHeader_ + 60, &sizeOfHeaders_);
  if (!IsPowerOfTwo(fileAlignment_) || !IsPowerOfTwo(sectionAlignment_) || fileAlignment_ > sectionAlignment_) {
    return Fail(error, "invalid file or section alignment");
  }
  for (uint32_t i = 0; i < directoryCount; ++i) {
    PeDataDirectory directory;
    ReadU32(file_, DirectoryOffset(i), &directory.address);
    ReadU32(file_, DirectoryOffset(i) + 4, &directory.size);
    directories_.push_back(directory);
  }
  sectionTable_ = optionalHeader_ + optionalSize;
  return true;
}

bool PeImage::ParseSections(std::string* error) {
  uint16_t count = 0;
  ReadU16(file_, fileHeader_ + 2, &count);
  if (!RangeFits(sectionTable_, uint64_t{count} * kSectionHeaderSize, file_.size())) {
    return Fail(error, "the section table is cut short");
  }
  // Section data must start behind the headers, and a writer places new data there.
  if (sizeOfHeaders_ > file_.size() || sectionTable_ + uint64_t{count} * kSectionHeaderSize > sizeOfHeaders_) {
    return Fail(error, "the headers are cut short or larger than the file");
  }
  for (uint32_t i = 0; i < count; ++i) {
    PeSection section;
    section.headerOffset = sectionTable_ + i * kSectionHeaderSize;
    const uint8_t* name = &file_[section.headerOffset];
    section.name.assign(name, std::find(name, name + 8, 0));
    ReadU32(file_, section.headerOffset + 8, &section.virtualSize);
    ReadU32(file_, section.headerOffset + 12, &section.virtualAddress);
    ReadU32(file_, section.headerOffset + 16, &section.rawSize);
    ReadU32(file_, section.headerOffset + 20, &section.rawPointer);
    ReadU32(file_, section.headerOffset + 36, &section.characteristics);
    const std::string label = "section " + std::to_string(i + 1) + " (\"" + section.name + "\")";
    if (section.rawSize != 0 && !RangeFits(section.rawPointer, section.rawSize, file_.size())) {
      return Fail(error, label + ": its data lies beyond the end of the file");
    }
    if (section.rawSize != 0 && section.rawPointer < sizeOfHeaders_) {
      return Fail(error, label + ": its data overlaps the headers");
    }
    const uint64_t extent = std::max(section.virtualSize, section.rawSize);
    if (uint64_t{section.virtualAddress} + extent > 0xFFFFFFFFu) {
      return Fail(error, label + ": its addresses run past 4 GiB");
    }
    sections_.push_back(section);
  }
  return true;
}

PeDataDirectory PeImage::Directory(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < directories_.size() ? directories_[index]
                                                                             : PeDataDirectory{};
}

const PeSection* PeImage::SectionAt(uint32_t rva) const {
  for (const PeSection& section : sections_) {
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.Extent()) return &section;
  }
  return nullptr;
}

bool PeImage::RvaToOffset(uint32_t rva, uint32_t length, uint32_t* offset) const {
  const PeSection* section = SectionAt(rva);
  if (section == nullptr) return false;
  const uint32_t within = rva - section->virtualAddress;
  if (!RangeFits(within, length, section->rawSize)) return false;
  *offset = section->rawPointer + within;
  return true;
}

uint32_t PeImage::RawDataEnd() const {
  uint32_t end = sizeOfHeaders_;
  for (const PeSection& section : sections_) {
    if (section.rawSize != 0) end = std::max(end, section.rawPointer + section.rawSize);
  }
  return end;
}
