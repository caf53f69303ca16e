#include "tools/import_check/common_controls_manifest.h"

#include <cctype>
#include <map>

namespace {

struct Tag {
  std::string name;  // without its namespace prefix
  bool closing = false;
  bool empty = false;  // <name ... />
  std::string attributes;
};

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string LocalName(const std::string& name) {
  const std::size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

// The end of the tag that starts at `start`: the first '>' outside quoted values.
std::size_t TagEnd(const std::string& text, std::size_t start) {
  char quote = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (quote != 0) {
      if (text[i] == quote) quote = 0;
    } else if (text[i] == '"' || text[i] == '\'') {
      quote = text[i];
    } else if (text[i] == '>') {
      return i;
    }
  }
  return std::string::npos;
}

Tag ParseTag(const std::string& body) {  // what lies between '<' and '>'
  Tag tag;
  std::size_t i = 0;
  tag.closing = !body.empty() && body[0] == '/';
  if (tag.closing) ++i;
  const std::size_t nameStart = i;
  while (i < body.size() && !IsSpace(body[i]) && body[i] != '/') ++i;
  tag.name = LocalName(body.substr(nameStart, i - nameStart));
  tag.empty = !body.empty() && body.back() == '/';
  tag.attributes = body.substr(i, body.size() - i - (tag.empty ? 1 : 0));
  return tag;
}

std::map<std::string, std::string> ParseAttributes(const std::string& text) {
  std::map<std::string, std::string> attributes;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    const std::size_t nameStart = i;
    while (i < text.size() && text[i] != '=' && !IsSpace(text[i])) ++i;
    const std::string name = text.substr(nameStart, i - nameStart);
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (name.empty() || i >= text.size() || text[i] != '=') return attributes;
    ++i;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return attributes;
    const std::size_t close = text.find(text[i], i + 1);
    if (close == std::string::npos) return attributes;
    attributes[name] = text.substr(i + 1, close - i - 1);
    i = close + 1;
  }
}

bool SameText(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == 0;
}

bool IsCommonControls6(const std::string& attributeText) {
  const auto attributes = ParseAttributes(attributeText);
  const auto name = attributes.find("name"), version = attributes.find("version");
  if (name == attributes.end() || version == attributes.end()) return false;
  const std::string major = version->second.substr(0, version->second.find('.'));
  return SameText(name->second, "Microsoft.Windows.Common-Controls") && major == "6";
}

// Start and end tags of one element kind keep a depth; an empty element leaves it as it is.
void Track(const Tag& tag, const char* name, int* depth) {
  if (tag.name != name || tag.empty) return;
  *depth += tag.closing ? -1 : 1;
}

}  // namespace

bool BindsCommonControls6(const std::string& manifest) {
  int dependency = 0, dependentAssembly = 0;
  for (std::size_t start = manifest.find('<'); start != std::string::npos; start = manifest.find('<', start)) {
    if (manifest.compare(start, 4, "<!--") == 0) {
      const std::size_t end = manifest.find("-->", start + 4);
      if (end == std::string::npos) return false;
      start = end + 3;
      continue;
    }
    const std::size_t end = TagEnd(manifest, start);
    if (end == std::string::npos) return false;
    const Tag tag = ParseTag(manifest.substr(start + 1, end - start - 1));
    start = end + 1;
    Track(tag, "dependency", &dependency);
    Track(tag, "dependentAssembly", &dependentAssembly);
    if (!tag.closing && tag.name == "assemblyIdentity" && dependency > 0 && dependentAssembly > 0 &&
        IsCommonControls6(tag.attributes)) {
      return true;
    }
  }
  return false;
}
