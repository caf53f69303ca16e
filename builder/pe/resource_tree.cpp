#include "builder/pe/resource_tree.h"

#include <cctype>

ResourceKey ResourceKey::Id(uint16_t id) {
  ResourceKey key;
  key.id_ = id;
  return key;
}

ResourceKey ResourceKey::Name(const std::string& ascii) {
  std::u16string name;
  for (unsigned char c : ascii) name.push_back(static_cast<char16_t>(std::toupper(c)));
  return StoredName(std::move(name));
}

ResourceKey ResourceKey::StoredName(std::u16string name) {
  ResourceKey key;
  key.isId_ = false;
  key.name_ = std::move(name);
  return key;
}

std::string ResourceKey::Describe() const {
  if (isId_) return std::to_string(id_);
  std::string text = "\"";
  for (char16_t c : name_) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text + "\"";
}

bool ResourceKey::operator<(const ResourceKey& other) const {
  if (isId_ != other.isId_) return !isId_;  // names sort before numbers
  return isId_ ? id_ < other.id_ : name_ < other.name_;
}

void ResourceTree::Put(const ResourceKey& type, const ResourceKey& name, const ResourceKey& language,
                       ResourceData data) {
  types_[type][name][language] = std::move(data);
}

void ResourceTree::RemoveAllLanguages(const ResourceKey& type, const ResourceKey& name) {
  auto found = types_.find(type);
  if (found == types_.end()) return;
  found->second.erase(name);
  if (found->second.empty()) types_.erase(found);
}

void ResourceTree::Replace(const ResourceKey& type, const ResourceKey& name, Bytes bytes) {
  RemoveAllLanguages(type, name);
  Put(type, name, ResourceKey::Id(kLanguageNeutral), ResourceData{std::move(bytes), 0});
}

void ResourceTree::ReplaceStreamed(const ResourceKey& type, const ResourceKey& name, uint32_t size) {
  RemoveAllLanguages(type, name);
  ResourceData data;
  data.streamed = true;
  data.streamedSize = size;
  Put(type, name, ResourceKey::Id(kLanguageNeutral), std::move(data));
}

const ResourceData* ResourceTree::Find(const ResourceKey& type, const ResourceKey& name,
                                       const ResourceKey& language) const {
  auto typeFound = types_.find(type);
  if (typeFound == types_.end()) return nullptr;
  auto nameFound = typeFound->second.find(name);
  if (nameFound == typeFound->second.end()) return nullptr;
  auto leaf = nameFound->second.find(language);
  return leaf == nameFound->second.end() ? nullptr : &leaf->second;
}

std::size_t ResourceTree::LeafCount() const {
  std::size_t count = 0;
  for (const auto& type : types_) {
    for (const auto& name : type.second) count += name.second.size();
  }
  return count;
}
