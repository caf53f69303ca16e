#include "builder/pe/resource_reader.h"

#include <set>
#include <vector>

namespace {

constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr int kLevels = 3;  // type, name, language

class Reader {
 public:
  Reader(const PeImage& image, uint32_t root, uint32_t available)
      : image_(image), file_(image.File()), root_(root), available_(available) {}

  bool Read(ResourceTree* tree, std::string* error) {
    std::vector<ResourceKey> path;
    return ReadDirectory(0, &path, tree, error);
  }

 private:
  bool Fail(std::string* error, const std::string& reason) {
    *error = "damaged resource directory: " + reason;
    return false;
  }

  bool Inside(uint32_t offset, uint64_t length) const { return RangeFits(offset, length, available_); }

  bool ReadDirectory(uint32_t offset, std::vector<ResourceKey>* path, ResourceTree* tree, std::string* error) {
    if (!visited_.insert(offset).second) {
      return Fail(error, "the directory at offset " + std::to_string(offset) + " is reached twice");
    }
    uint16_t named = 0, ids = 0;
    if (!Inside(offset, kDirectoryHeaderSize)) return Fail(error, "a directory lies outside the section");
    ReadU16(file_, root_ + offset + 12, &named);
    ReadU16(file_, root_ + offset + 14, &ids);
    const uint32_t count = uint32_t{named} + ids;
    if (!Inside(offset + kDirectoryHeaderSize, uint64_t{count} * kEntrySize)) {
      return Fail(error, "a directory's entries run past the section");
    }
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t entry = root_ + offset + kDirectoryHeaderSize + i * kEntrySize;
      uint32_t nameField = 0, target = 0;
      ReadU32(file_, entry, &nameField);
      ReadU32(file_, entry + 4, &target);
      ResourceKey key;
      if (!ReadKey(nameField, &key, error)) return false;
      path->push_back(key);
      const bool ok = ReadTarget(target, path, tree, error);
      path->pop_back();
      if (!ok) return false;
    }
    return true;
  }

  bool ReadKey(uint32_t nameField, ResourceKey* key, std::string* error) {
    if ((nameField & kHighBit) == 0) {
      if (nameField > 0xFFFF) return Fail(error, "an entry's number is out of range");
      *key = ResourceKey::Id(static_cast<uint16_t>(nameField));
      return true;
    }
    const uint32_t offset = nameField & ~kHighBit;
    uint16_t length = 0;
    if (!Inside(offset, 2)) return Fail(error, "a name lies outside the section");
    ReadU16(file_, root_ + offset, &length);
    if (!Inside(offset + 2, uint64_t{length} * 2)) return Fail(error, "a name runs past the section");
    std::u16string name;
    for (uint32_t i = 0; i < length; ++i) {
      uint16_t unit = 0;
      ReadU16(file_, root_ + offset + 2 + 2 * i, &unit);
      name.push_back(static_cast<char16_t>(unit));
    }
    *key = ResourceKey::StoredName(std::move(name));
    return true;
  }

  bool ReadTarget(uint32_t target, std::vector<ResourceKey>* path, ResourceTree* tree, std::string* error) {
    const bool isDirectory = (target & kHighBit) != 0;
    const bool atLeaf = path->size() == kLevels;
    if (isDirectory && atLeaf) return Fail(error, "a language entry leads to a further directory");
    if (!isDirectory && !atLeaf) return Fail(error, "a type or name entry leads straight to data");
    if (isDirectory) return ReadDirectory(target & ~kHighBit, path, tree, error);
    return ReadLeaf(target, *path, tree, error);
  }

  bool ReadLeaf(uint32_t offset, const std::vector<ResourceKey>& path, ResourceTree* tree, std::string* error) {
    const std::string label = "resource " + path[0].Describe() + "/" + path[1].Describe() + "/" + path[2].Describe();
    if (!Inside(offset, kDataEntrySize)) return Fail(error, label + ": its data entry lies outside the section");
    uint32_t rva = 0, size = 0, codePage = 0;
    ReadU32(file_, root_ + offset, &rva);
    ReadU32(file_, root_ + offset + 4, &size);
    ReadU32(file_, root_ + offset + 8, &codePage);
    uint32_t fileOffset = 0;
    // An empty resource may point just past its section's end; it has no bytes to find.
    if (size != 0 && !image_.RvaToOffset(rva, size, &fileOffset)) {
      return Fail(error, label + ": its data lies outside the file's sections");
    }
    // Data shared between entries would let a small file expand without bound.
    totalBytes_ += size;
    if (totalBytes_ > file_.size()) return Fail(error, label + ": the resources add up to more than the file");
    if (tree->Find(path[0], path[1], path[2]) != nullptr) return Fail(error, label + " appears twice");
    tree->Put(path[0], path[1], path[2],
              ResourceData{Bytes(file_.begin() + fileOffset, file_.begin() + fileOffset + size), codePage});
    return true;
  }

  const PeImage& image_;
  const Bytes& file_;
  uint32_t root_;       // file offset of the root directory
  uint32_t available_;  // bytes of section data from the root on
  std::set<uint32_t> visited_;
  uint64_t totalBytes_ = 0;
};

}  // namespace

bool ReadResources(const PeImage& image, ResourceTree* tree, std::string* error) {
  *tree = ResourceTree();
  const PeDataDirectory directory = image.Directory(kDirectoryResource);
  if (directory.address == 0) return true;
  const PeSection* section = image.SectionAt(directory.address);
  if (section == nullptr) {
    *error = "damaged resource directory: its address lies in no section";
    return false;
  }
  const uint32_t within = directory.address - section->virtualAddress;
  if (within >= section->rawSize) {
    *error = "damaged resource directory: it lies beyond its section's data";
    return false;
  }
  Reader reader(image, section->rawPointer + within, section->rawSize - within);
  return reader.Read(tree, error);
}
