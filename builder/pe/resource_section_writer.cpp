#include "builder/pe/resource_section_writer.h"

#include <vector>

namespace {

constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint64_t kMaxSectionSize = 0x7FFFFFFFu;  // offsets keep their high bit for flags

class SectionLayout {
 public:
  // Writes a directory for the keys of `children`; entry targets are linked later.
  template <typename Map>
  bool Directory(const Map& children, std::size_t* at, std::string* error) {
    uint32_t named = 0, ids = 0;
    for (const auto& child : children) (child.first.IsId() ? ids : named)++;
    if (named > 0xFFFF || ids > 0xFFFF) {
      *error = "more than 65535 resources in one directory";
      return false;
    }
    *at = Reserve(kDirectoryHeaderSize + kEntrySize * children.size());
    WriteU16(out_, *at + 12, static_cast<uint16_t>(named));
    WriteU16(out_, *at + 14, static_cast<uint16_t>(ids));
    std::size_t entry = *at + kDirectoryHeaderSize;
    for (const auto& child : children) {
      if (child.first.IsId()) {
        WriteU32(out_, entry, child.first.IdValue());
      } else {
        names_.push_back({entry, &child.first});
      }
      entry += kEntrySize;
    }
    return true;
  }

  void LinkDirectory(std::size_t directory, std::size_t index, std::size_t child) {
    WriteU32(out_, EntryTarget(directory, index), static_cast<uint32_t>(child) | kHighBit);
  }

  void AddLeaf(std::size_t directory, std::size_t index, const ResourceData* data) {
    leaves_.push_back({EntryTarget(directory, index), data});
  }

  bool Finish(uint32_t sectionRva, ResourceSection* section, std::string* error) {
    if (!WriteNames(error)) return false;
    Align(4);
    std::vector<std::size_t> dataEntries;
    for (const Leaf& leaf : leaves_) {
      dataEntries.push_back(Reserve(kDataEntrySize));
      WriteU32(out_, leaf.target, static_cast<uint32_t>(dataEntries.back()));
    }
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
      const ResourceData& data = *leaves_[i].data;
      Align(8);
      if (Size() + data.Size() > kMaxSectionSize - sectionRva) {
        *error = "the resources do not fit in a section of under 2 GiB";
        return false;
      }
      const uint64_t at = Size();
      if (!data.streamed) {
        out_.insert(out_.end(), data.bytes.begin(), data.bytes.end());
      } else if (!LeaveGap(data.streamedSize, error)) {
        return false;
      }
      WriteU32(out_, dataEntries[i], sectionRva + static_cast<uint32_t>(at));
      WriteU32(out_, dataEntries[i] + 4, static_cast<uint32_t>(data.Size()));
      WriteU32(out_, dataEntries[i] + 8, data.codePage);
    }
    Align(8);
    section->bytes = std::move(out_);
    section->gapAt = gapAt_;
    section->gapSize = gapSize_;
    return true;
  }

 private:
  struct PendingName {
    std::size_t entry;
    const ResourceKey* key;
  };
  struct Leaf {
    std::size_t target;
    const ResourceData* data;
  };

  static std::size_t EntryTarget(std::size_t directory, std::size_t index) {
    return directory + kDirectoryHeaderSize + kEntrySize * index + 4;
  }

  std::size_t Reserve(std::size_t size) {
    const std::size_t at = out_.size();
    out_.resize(at + size);
    return at;
  }

  // The size of the section as it will be written, the streamed data included.
  uint64_t Size() const { return out_.size() + gapSize_; }

  void Align(std::size_t alignment) { out_.resize(out_.size() + (AlignUp(Size(), alignment) - Size())); }

  bool LeaveGap(uint32_t size, std::string* error) {
    if (hasGap_) {
      *error = "only one resource can be streamed into a section";
      return false;
    }
    hasGap_ = true;
    gapAt_ = out_.size();
    gapSize_ = size;
    return true;
  }

  bool WriteNames(std::string* error) {
    for (const PendingName& pending : names_) {
      const std::u16string& name = pending.key->NameValue();
      if (name.size() > 0xFFFF || out_.size() > kMaxSectionSize / 2) {
        *error = "a resource name is too long";
        return false;
      }
      const std::size_t at = Reserve(2 + 2 * name.size());
      WriteU16(out_, at, static_cast<uint16_t>(name.size()));
      for (std::size_t i = 0; i < name.size(); ++i) WriteU16(out_, at + 2 + 2 * i, name[i]);
      WriteU32(out_, pending.entry, static_cast<uint32_t>(at) | kHighBit);
    }
    return true;
  }

  Bytes out_;
  std::vector<PendingName> names_;
  std::vector<Leaf> leaves_;
  bool hasGap_ = false;
  uint64_t gapAt_ = 0;
  uint32_t gapSize_ = 0;
};

}  // namespace

bool BuildResourceSection(const ResourceTree& tree, uint32_t sectionRva, ResourceSection* section,
                          std::string* error) {
  SectionLayout layout;
  std::size_t root = 0;
  if (!layout.Directory(tree.AllTypes(), &root, error)) return false;
  // Directories are laid out level by level, as linkers do: all types, then all names.
  std::vector<std::size_t> typeDirectories;
  std::size_t typeIndex = 0;
  for (const auto& type : tree.AllTypes()) {
    std::size_t directory = 0;
    if (!layout.Directory(type.second, &directory, error)) return false;
    layout.LinkDirectory(root, typeIndex++, directory);
    typeDirectories.push_back(directory);
  }
  typeIndex = 0;
  for (const auto& type : tree.AllTypes()) {
    std::size_t nameIndex = 0;
    for (const auto& name : type.second) {
      std::size_t directory = 0;
      if (!layout.Directory(name.second, &directory, error)) return false;
      layout.LinkDirectory(typeDirectories[typeIndex], nameIndex++, directory);
      std::size_t languageIndex = 0;
      for (const auto& language : name.second) layout.AddLeaf(directory, languageIndex++, &language.second);
    }
    ++typeIndex;
  }
  return layout.Finish(sectionRva, section, error);
}
