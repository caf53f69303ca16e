#pragma once
// The resources of a program: type, then name, then language, each either a number or a
// UTF-16 string, down to the data bytes. The order of the keys is the order the loader's
// binary search expects on disk: strings first (compared by code unit), then numbers.

#include <cstdint>
#include <map>
#include <string>

#include "builder/pe/byte_io.h"

class ResourceKey {
 public:
  static ResourceKey Id(uint16_t id);
  // Windows upper-cases a resource name before looking it up ("Setup" is found as
  // "SETUP"), so names given here are stored upper-cased. ASCII only.
  static ResourceKey Name(const std::string& ascii);
  // A name exactly as stored in a file, for keys read back from one.
  static ResourceKey StoredName(std::u16string name);

  bool IsId() const { return isId_; }
  uint16_t IdValue() const { return id_; }
  const std::u16string& NameValue() const { return name_; }
  std::string Describe() const;  // "145" or "\"SETUP\"", for messages

  bool operator<(const ResourceKey& other) const;
  bool operator==(const ResourceKey& other) const { return !(*this < other) && !(other < *this); }

 private:
  bool isId_ = true;
  uint16_t id_ = 0;
  std::u16string name_;
};

struct ResourceData {
  Bytes bytes;
  uint32_t codePage = 0;
  // Data too large to hold in memory stays in a file: the section keeps room for
  // `streamedSize` bytes, which the writer of the program copies in (`bytes` is empty).
  bool streamed = false;
  uint32_t streamedSize = 0;

  uint64_t Size() const { return streamed ? streamedSize : bytes.size(); }
};

constexpr uint16_t kLanguageNeutral = 0;
constexpr uint16_t kTypeBitmap = 2;

class ResourceTree {
 public:
  using Languages = std::map<ResourceKey, ResourceData>;
  using Names = std::map<ResourceKey, Languages>;
  using Types = std::map<ResourceKey, Names>;

  // Adds or overwrites one leaf.
  void Put(const ResourceKey& type, const ResourceKey& name, const ResourceKey& language, ResourceData data);
  // Removes every language of one resource, so that a replacement cannot be shadowed by
  // an older copy in another language.
  void RemoveAllLanguages(const ResourceKey& type, const ResourceKey& name);
  // Replaces a resource by one language-neutral copy.
  void Replace(const ResourceKey& type, const ResourceKey& name, Bytes bytes);
  // The same for data that is streamed in when the program is written.
  void ReplaceStreamed(const ResourceKey& type, const ResourceKey& name, uint32_t size);

  const ResourceData* Find(const ResourceKey& type, const ResourceKey& name, const ResourceKey& language) const;
  const Types& AllTypes() const { return types_; }
  std::size_t LeafCount() const;
  bool Empty() const { return types_.empty(); }

 private:
  Types types_;
};
