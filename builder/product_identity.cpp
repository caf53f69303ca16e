#include "builder/product_identity.h"

#include "builder/ansi_text.h"
#include "builder/stored_text.h"

namespace {

// Windows-1252 holds only characters of the Basic Multilingual Plane, so each decodes to
// one UTF-16 unit.
std::u16string AnsiToUtf16(const std::string& ansi) {
  const std::string utf8 = AnsiToUtf8(ansi);
  std::u16string text;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : 2;
    uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : lead & 0x0F;
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = code << 6 | (utf8[i + k] & 0x3F);
    text.push_back(static_cast<char16_t>(code));
    i += 1 + extra;
  }
  return text;
}

bool StoreFact(const std::string& utf8, const char* key, std::string* ansi, std::string* error) {
  std::string reason;
  if (ToStoredString(utf8, key, ansi, &reason)) return true;
  *error = "product: " + reason;
  return false;
}

}  // namespace

bool MakeProductFacts(const Manifest& manifest, ProductFacts* facts, std::string* error) {
  *facts = ProductFacts();
  if (!StoreFact(manifest.version, "version", &facts->versionText, error) ||
      !StoreFact(manifest.publisher, "publisher", &facts->publisher, error) ||
      !StoreFact(manifest.url, "url", &facts->url, error) ||
      !StoreFact(manifest.supportUrl, "support_url", &facts->supportUrl, error)) {
    return false;
  }
  std::string text;
  if (!WriteProductFacts(*facts, &text, error)) {
    *error = "product: " + *error;
    return false;
  }
  std::string ignored;
  return ReadProductFacts(text, facts, &ignored);
}

VersionInfo MakeVersionInfo(const std::string& productName, const ProductFacts& facts, const std::string& fileName,
                            const std::string& description) {
  VersionInfo info;
  if (facts.version) {
    for (int i = 0; i < 4; ++i) info.fileVersion[i] = info.productVersion[i] = facts.version->parts[i];
  }
  auto add = [&](const char16_t* key, const std::string& ansi) {
    if (!ansi.empty()) info.strings.emplace_back(key, AnsiToUtf16(ansi));
  };
  add(u"CompanyName", facts.publisher);
  add(u"FileDescription", description);
  add(u"FileVersion", facts.versionText);
  add(u"OriginalFilename", fileName);
  add(u"ProductName", productName);
  add(u"ProductVersion", facts.versionText);
  return info;
}
