#include "builder/pe/resource_attach.h"

#include <algorithm>

#include "builder/pe/pe_checksum.h"
#include "builder/pe/resource_section_writer.h"

namespace {

constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kMaxSections = 96;  // the most older Windows versions load
constexpr uint32_t kInitializedReadable = 0x40000040u;
constexpr int kDirectoryBoundImport = 11;
// A section whose data starts on a page of the file is mapped by the loader; one that
// does not is read into memory whole, which for the setup data is the whole payload.
constexpr uint32_t kPageSize = 4096;

// Where the new resource section goes and what it replaces.
struct Placement {
  bool inPlace = false;
  const PeSection* replaced = nullptr;  // in place: the old resource section
  uint32_t rva = 0;
  uint32_t rawPointer = 0;
  uint32_t cut = 0;  // where the old file's bytes stop being kept
};

uint32_t PageAlignedRawPointer(const PeImage& image, uint64_t from) {
  return static_cast<uint32_t>(AlignUp(from, std::max(image.FileAlignment(), kPageSize)));
}

uint64_t EndOfImage(const PeImage& image) {
  uint64_t end = AlignUp(image.SizeOfHeaders(), image.SectionAlignment());
  for (const PeSection& section : image.Sections()) {
    end = std::max<uint64_t>(end, AlignUp(uint64_t{section.virtualAddress} + section.Extent(),
                                          image.SectionAlignment()));
  }
  return end;
}

// The old resource section can be rewritten where it stands only if nothing follows it,
// neither in memory nor in the file, and it holds the resource directory alone.
const PeSection* LastResourceSection(const PeImage& image) {
  const PeDataDirectory directory = image.Directory(kDirectoryResource);
  const PeSection* section = directory.address != 0 ? image.SectionAt(directory.address) : nullptr;
  if (section == nullptr || section->name != ".rsrc" || section->virtualAddress != directory.address ||
      section->rawSize == 0 || section->rawPointer + section->rawSize != image.RawDataEnd()) {
    return nullptr;
  }
  for (const PeSection& other : image.Sections()) {
    if (&other == section) continue;
    if (other.virtualAddress >= section->virtualAddress) return nullptr;
    if (other.rawSize != 0 && other.rawPointer + other.rawSize > section->rawPointer) return nullptr;
  }
  return section;
}

bool HasRoomForSectionHeader(const PeImage& image) {
  uint64_t limit = image.SizeOfHeaders();
  for (const PeSection& section : image.Sections()) {
    if (section.rawSize != 0) limit = std::min<uint64_t>(limit, section.rawPointer);
  }
  const uint64_t needed = image.SectionTableOffset() + uint64_t{kSectionHeaderSize} * (image.Sections().size() + 1);
  return needed <= limit;
}

bool Place(const PeImage& image, Placement* placement, std::string* error) {
  placement->replaced = LastResourceSection(image);
  placement->inPlace = placement->replaced != nullptr;
  if (placement->inPlace) {
    placement->rva = placement->replaced->virtualAddress;
    placement->cut = placement->replaced->rawPointer;
    placement->rawPointer = PageAlignedRawPointer(image, placement->cut);
    return true;
  }
  if (image.Sections().size() >= kMaxSections) {
    *error = "the program already has " + std::to_string(image.Sections().size()) + " sections";
    return false;
  }
  if (!HasRoomForSectionHeader(image)) {
    *error = "the program's headers have no room for another section";
    return false;
  }
  // A resource directory at address 0 would read as none at all.
  const uint64_t end = std::max<uint64_t>(EndOfImage(image), image.SectionAlignment());
  if (end >= 0xFFFFFFFFu - image.SectionAlignment()) {
    *error = "the program's sections leave no address space for another one";
    return false;
  }
  placement->rva = static_cast<uint32_t>(end);
  placement->cut = image.RawDataEnd();
  placement->rawPointer = PageAlignedRawPointer(image, placement->cut);
  return true;
}

// What follows the sections' data (a symbol table, appended data) moves behind the new
// section. A signature at the end is cut off: it would no longer match.
Bytes Overlay(const PeImage& image, AttachNotes* notes) {
  const Bytes& file = image.File();
  uint64_t end = file.size();
  const PeDataDirectory security = image.Directory(kDirectorySecurity);
  if (security.size != 0) {
    notes->droppedSignature = true;
    if (security.address >= image.RawDataEnd() && security.address <= file.size() &&
        uint64_t{security.address} + security.size >= file.size()) {
      end = security.address;
    }
  }
  return Bytes(file.begin() + image.RawDataEnd(), file.begin() + end);
}

void WriteSectionHeader(Bytes& file, const PeImage& image, const Placement& placement, uint32_t virtualSize,
                        uint32_t rawSize) {
  if (placement.inPlace) {
    WriteU32(file, placement.replaced->headerOffset + 8, virtualSize);
    WriteU32(file, placement.replaced->headerOffset + 16, rawSize);
    WriteU32(file, placement.replaced->headerOffset + 20, placement.rawPointer);
    return;
  }
  const uint32_t at = image.SectionTableOffset() + kSectionHeaderSize * static_cast<uint32_t>(image.Sections().size());
  std::fill(file.begin() + at, file.begin() + at + kSectionHeaderSize, 0);
  std::copy_n(".rsrc", 5, file.begin() + at);
  WriteU32(file, at + 8, virtualSize);
  WriteU32(file, at + 12, placement.rva);
  WriteU32(file, at + 16, rawSize);
  WriteU32(file, at + 20, placement.rawPointer);
  WriteU32(file, at + 36, kInitializedReadable);
  WriteU16(file, image.FileHeaderOffset() + 2, static_cast<uint16_t>(image.Sections().size() + 1));
}

void FixOptionalHeader(Bytes& file, const PeImage& image, const Placement& placement, uint32_t virtualSize,
                       uint32_t rawSize, AttachNotes* notes) {
  const uint32_t optional = image.OptionalHeaderOffset();
  uint32_t initialized = 0;
  ReadU32(file, optional + 8, &initialized);
  const uint32_t oldRaw = placement.inPlace ? placement.replaced->rawSize : 0;
  initialized = initialized >= oldRaw ? initialized - oldRaw + rawSize : rawSize;
  WriteU32(file, optional + 8, initialized);
  const uint32_t imageEnd = static_cast<uint32_t>(AlignUp(uint64_t{placement.rva} + virtualSize, image.SectionAlignment()));
  WriteU32(file, optional + 56, imageEnd);
  WriteU32(file, image.DirectoryOffset(kDirectoryResource), placement.rva);
  WriteU32(file, image.DirectoryOffset(kDirectoryResource) + 4, virtualSize);
  if (notes->droppedSignature) {
    WriteU32(file, image.DirectoryOffset(kDirectorySecurity), 0);
    WriteU32(file, image.DirectoryOffset(kDirectorySecurity) + 4, 0);
  }
  if (!placement.inPlace && image.Directory(kDirectoryBoundImport).size != 0) {
    notes->droppedBoundImports = true;
    WriteU32(file, image.DirectoryOffset(kDirectoryBoundImport), 0);
    WriteU32(file, image.DirectoryOffset(kDirectoryBoundImport) + 4, 0);
  }
}

// The COFF symbol table is found by file offset; it moves with the overlay it lives in.
void MoveSymbolTable(Bytes& file, const PeImage& image, uint32_t cut, int64_t shift) {
  const uint32_t field = image.FileHeaderOffset() + 8;
  uint32_t pointer = 0;
  ReadU32(file, field, &pointer);
  if (pointer == 0) return;
  if (pointer >= image.RawDataEnd() && pointer < image.File().size()) {
    WriteU32(file, field, static_cast<uint32_t>(pointer + shift));
  } else if (pointer >= cut) {
    WriteU32(file, field, 0);
    WriteU32(file, field + 4, 0);
  }
}

}  // namespace

bool LayOutWithResources(const PeImage& image, const ResourceTree& tree, ProgramLayout* layout, AttachNotes* notes,
                         std::string* error) {
  *notes = AttachNotes();
  if (image.DirectoryCount() <= kDirectoryResource) {
    *error = "the program's header has no entry for a resource directory";
    return false;
  }
  Placement placement;
  ResourceSection section;
  if (!Place(image, &placement, error) || !BuildResourceSection(tree, placement.rva, &section, error)) return false;
  const uint32_t virtualSize = static_cast<uint32_t>(section.Size());
  if (uint64_t{placement.rva} + AlignUp(virtualSize, image.SectionAlignment()) > 0xFFFFFFFFu) {
    *error = "the resources do not fit in the program's address space";
    return false;
  }
  const uint32_t rawSize = static_cast<uint32_t>(AlignUp(section.Size(), image.FileAlignment()));
  section.bytes.resize(rawSize - section.gapSize);
  notes->appendedSection = !placement.inPlace;

  const Bytes overlay = Overlay(image, notes);
  const Bytes& file = image.File();
  const uint32_t cut = placement.cut;
  Bytes out(file.begin(), file.begin() + cut);
  out.resize(placement.rawPointer);  // padding up to the page
  out.insert(out.end(), section.bytes.begin(), section.bytes.end());
  const int64_t shift = static_cast<int64_t>(out.size()) + section.gapSize - image.RawDataEnd();
  out.insert(out.end(), overlay.begin(), overlay.end());
  if (out.size() + section.gapSize > 0xFFFFFFFFu) {
    *error = "the program would grow past 4 GiB";
    return false;
  }

  WriteSectionHeader(out, image, placement, virtualSize, rawSize);
  FixOptionalHeader(out, image, placement, virtualSize, rawSize, notes);
  MoveSymbolTable(out, image, cut, shift);
  WriteU32(out, image.ChecksumOffset(), 0);
  // Every header field lies before the section's data, so the split leaves them in the head.
  const std::size_t split = placement.rawPointer + section.gapAt;
  layout->tail.assign(out.begin() + split, out.end());
  out.resize(split);
  layout->head = std::move(out);
  layout->gapSize = section.gapSize;
  layout->checksumOffset = image.ChecksumOffset();
  return true;
}

bool WriteWithResources(const PeImage& image, const ResourceTree& tree, Bytes* output, AttachNotes* notes,
                        std::string* error) {
  ProgramLayout layout;
  if (!LayOutWithResources(image, tree, &layout, notes, error)) return false;
  if (layout.gapSize != 0) {
    *error = "a streamed resource needs a writer that streams it";
    return false;
  }
  Bytes out = std::move(layout.head);
  out.insert(out.end(), layout.tail.begin(), layout.tail.end());
  WriteU32(out, layout.checksumOffset, ComputePeChecksum(out, layout.checksumOffset));
  *output = std::move(out);
  return true;
}
