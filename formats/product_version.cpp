#include "formats/product_version.h"

namespace {

bool Refuse(std::string* reason, const std::string& why) {
  if (reason != nullptr) *reason = why;
  return false;
}

}  // namespace

bool ParseProductVersion(const std::string& text, ProductVersion* version, std::string* reason) {
  if (text.empty()) return Refuse(reason, "is empty");
  ProductVersion parsed;
  std::size_t at = 0;
  while (true) {
    if (parsed.count == 4) return Refuse(reason, "has more than four parts");
    uint32_t value = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      value = value * 10 + static_cast<uint32_t>(text[at] - '0');
      if (value > 65535) return Refuse(reason, "has a part above 65535");
      ++at;
      ++digits;
    }
    if (digits == 0) {
      return Refuse(reason, at < text.size() && text[at] != '.' ? "holds something other than digits and dots"
                                                                 : "has an empty part");
    }
    parsed.parts[parsed.count++] = static_cast<uint16_t>(value);
    if (at == text.size()) break;
    if (text[at] != '.') return Refuse(reason, "holds something other than digits and dots");
    ++at;
    if (at == text.size()) return Refuse(reason, "has an empty part");
  }
  *version = parsed;
  return true;
}

int CompareProductVersions(const ProductVersion& a, const ProductVersion& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.parts[i] != b.parts[i]) return a.parts[i] < b.parts[i] ? -1 : 1;
  }
  return 0;
}

int CompareProductVersions(const std::optional<ProductVersion>& a, const std::optional<ProductVersion>& b) {
  if (a && b) return CompareProductVersions(*a, *b);
  if (!a && !b) return 0;
  return a ? 1 : -1;
}

std::string FourPartVersion(const ProductVersion& version) {
  return std::to_string(version.parts[0]) + "." + std::to_string(version.parts[1]) + "." +
         std::to_string(version.parts[2]) + "." + std::to_string(version.parts[3]);
}
