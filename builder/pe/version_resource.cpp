#include "builder/pe/version_resource.h"

namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint32_t kFixedStructVersion = 0x00010000;
constexpr uint32_t kFixedSize = 52;
constexpr uint32_t kOsNtWindows32 = 0x00040004;
constexpr uint32_t kFileTypeApp = 1;
constexpr uint16_t kLanguageUsEnglish = 0x0409;
constexpr uint16_t kCodePageWindows1252 = 1252;
const char16_t kStringTableKey[] = u"040904E4";

// One node of the tree every version resource is made of: a header (length, value length,
// type), a NUL-terminated UTF-16 key, the value and the children, each on a 4-byte boundary.
struct Node {
  std::u16string key;
  Bytes value;
  bool textValue = false;
  uint16_t valueLength = 0;  // in characters for text, in bytes otherwise
  std::vector<Node> children;
};

void PadTo4(Bytes& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

void PutU16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& out, uint32_t value) {
  PutU16(out, static_cast<uint16_t>(value));
  PutU16(out, static_cast<uint16_t>(value >> 16));
}

void PutText(Bytes& out, const std::u16string& text) {
  for (char16_t c : text) PutU16(out, static_cast<uint16_t>(c));
  PutU16(out, 0);
}

// The node's length leaves out its own trailing padding; its parent pads between children.
void Serialize(const Node& node, Bytes& out) {
  const std::size_t start = out.size();
  PutU16(out, 0);
  PutU16(out, node.valueLength);
  PutU16(out, node.textValue ? 1 : 0);
  PutText(out, node.key);
  PadTo4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const Node& child : node.children) {
    PadTo4(out);
    Serialize(child, out);
  }
  WriteU16(out, start, static_cast<uint16_t>(out.size() - start));
}

Node TextNode(const std::u16string& key, const std::u16string& text) {
  Node node;
  node.key = key;
  node.textValue = true;
  PutText(node.value, text);
  node.valueLength = static_cast<uint16_t>(text.size() + 1);
  return node;
}

uint32_t High(const uint16_t parts[4]) { return static_cast<uint32_t>(parts[0]) << 16 | parts[1]; }
uint32_t Low(const uint16_t parts[4]) { return static_cast<uint32_t>(parts[2]) << 16 | parts[3]; }

Bytes FixedFileInfo(const VersionInfo& info) {
  Bytes fixed;
  for (uint32_t field : {kFixedSignature, kFixedStructVersion, High(info.fileVersion), Low(info.fileVersion),
                         High(info.productVersion), Low(info.productVersion), 0x3Fu, 0u, kOsNtWindows32,
                         kFileTypeApp, 0u, 0u, 0u}) {
    PutU32(fixed, field);
  }
  return fixed;
}

// ---- Reading ----

struct ParsedNode {
  std::u16string key;
  uint16_t valueLength = 0;
  uint16_t type = 0;
  std::size_t valueAt = 0;
  std::size_t childrenAt = 0;
  std::size_t end = 0;
};

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

bool ReadText(const Bytes& bytes, std::size_t at, std::size_t end, std::u16string* text, std::size_t* after) {
  text->clear();
  for (; at + 2 <= end; at += 2) {
    uint16_t c = 0;
    ReadU16(bytes, at, &c);
    if (c == 0) {
      *after = at + 2;
      return true;
    }
    text->push_back(static_cast<char16_t>(c));
  }
  return false;
}

bool ParseNode(const Bytes& bytes, std::size_t at, std::size_t limit, ParsedNode* node, std::string* error) {
  uint16_t length = 0;
  if (!ReadU16(bytes, at, &length) || length < 6 || !RangeFits(at, length, limit)) {
    return Fail(error, "a version block runs past its parent");
  }
  node->end = at + length;
  ReadU16(bytes, at + 2, &node->valueLength);
  ReadU16(bytes, at + 4, &node->type);
  std::size_t afterKey = 0;
  if (!ReadText(bytes, at + 6, node->end, &node->key, &afterKey)) return Fail(error, "a version block's key has no end");
  node->valueAt = AlignUp(afterKey, 4);
  const std::size_t valueBytes = node->type == 1 ? 2u * node->valueLength : node->valueLength;
  if (node->valueAt > node->end || valueBytes > node->end - node->valueAt) {
    return Fail(error, "a version block's value runs past the block");
  }
  node->childrenAt = AlignUp(node->valueAt + valueBytes, 4);
  return true;
}

// Calls `visit` for each child of `parent`.
template <typename Visit>
bool ForEachChild(const Bytes& bytes, const ParsedNode& parent, std::string* error, Visit visit) {
  for (std::size_t at = parent.childrenAt; at + 6 <= parent.end; at = AlignUp(at, 4)) {
    ParsedNode child;
    if (!ParseNode(bytes, at, parent.end, &child, error) || !visit(child)) return false;
    at = child.end;
  }
  return true;
}

void ReadParts(const Bytes& bytes, std::size_t at, uint16_t parts[4]) {
  uint32_t high = 0, low = 0;
  ReadU32(bytes, at, &high);
  ReadU32(bytes, at + 4, &low);
  parts[0] = static_cast<uint16_t>(high >> 16);
  parts[1] = static_cast<uint16_t>(high);
  parts[2] = static_cast<uint16_t>(low >> 16);
  parts[3] = static_cast<uint16_t>(low);
}

bool ReadStringTable(const Bytes& bytes, const ParsedNode& table, VersionInfo* info, std::string* error) {
  return ForEachChild(bytes, table, error, [&](const ParsedNode& entry) {
    std::u16string value;
    std::size_t after = 0;
    if (entry.valueLength != 0 && !ReadText(bytes, entry.valueAt, entry.end, &value, &after)) {
      return Fail(error, "a version text has no end");
    }
    info->strings.emplace_back(entry.key, value);
    return true;
  });
}

}  // namespace

const std::u16string* VersionInfo::Find(const std::u16string& key) const {
  for (const auto& [name, value] : strings) {
    if (name == key) return &value;
  }
  return nullptr;
}

Bytes BuildVersionResource(const VersionInfo& info) {
  Node root;
  root.key = u"VS_VERSION_INFO";
  root.value = FixedFileInfo(info);
  root.valueLength = static_cast<uint16_t>(kFixedSize);

  Node table;
  table.key = kStringTableKey;
  table.textValue = true;
  for (const auto& [key, value] : info.strings) table.children.push_back(TextNode(key, value));
  Node stringInfo;
  stringInfo.key = u"StringFileInfo";
  stringInfo.textValue = true;
  stringInfo.children.push_back(table);

  Node translation;
  translation.key = u"Translation";
  PutU16(translation.value, kLanguageUsEnglish);
  PutU16(translation.value, kCodePageWindows1252);
  translation.valueLength = 4;
  Node varInfo;
  varInfo.key = u"VarFileInfo";
  varInfo.textValue = true;
  varInfo.children.push_back(translation);

  root.children.push_back(stringInfo);
  root.children.push_back(varInfo);
  Bytes out;
  Serialize(root, out);
  return out;
}

bool ParseVersionResource(const Bytes& bytes, VersionInfo* info, std::string* error) {
  *info = VersionInfo();
  ParsedNode root;
  if (!ParseNode(bytes, 0, bytes.size(), &root, error)) return false;
  uint32_t signature = 0;
  if (root.key != u"VS_VERSION_INFO" || root.valueLength < kFixedSize || !ReadU32(bytes, root.valueAt, &signature) ||
      signature != kFixedSignature) {
    return Fail(error, "not a version resource (no VS_VERSION_INFO with its fixed part)");
  }
  ReadParts(bytes, root.valueAt + 8, info->fileVersion);
  ReadParts(bytes, root.valueAt + 16, info->productVersion);
  bool tableRead = false;
  return ForEachChild(bytes, root, error, [&](const ParsedNode& child) {
    if (child.key != u"StringFileInfo") return true;
    return ForEachChild(bytes, child, error, [&](const ParsedNode& table) {
      if (tableRead) return true;
      tableRead = true;
      return ReadStringTable(bytes, table, info, error);
    });
  });
}

void ReplaceVersionResource(ResourceTree& tree, const VersionInfo& info) {
  const ResourceKey type = ResourceKey::Id(kTypeVersion);
  std::vector<ResourceKey> names;
  const auto found = tree.AllTypes().find(type);
  if (found != tree.AllTypes().end()) {
    for (const auto& entry : found->second) names.push_back(entry.first);
  }
  for (const ResourceKey& name : names) tree.RemoveAllLanguages(type, name);
  tree.Put(type, ResourceKey::Id(kVersionResourceId), ResourceKey::Id(kLanguageUsEnglish),
           ResourceData{BuildVersionResource(info), 0, false, 0});
}
