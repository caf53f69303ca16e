#include "formats/product_facts.h"

#include "formats/record_stream.h"

namespace {

struct Field {
  const char* key;
  std::string ProductFacts::*value;
};

const Field kFields[] = {{"version", &ProductFacts::versionText},
                         {"publisher", &ProductFacts::publisher},
                         {"url", &ProductFacts::url},
                         {"support_url", &ProductFacts::supportUrl}};

bool Fail(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
  return false;
}

bool CheckValue(const std::string& key, const std::string& value, std::string* error) {
  if (value.empty()) return Fail(error, key + " is empty");
  if (value.size() > kMaxStoredStringLength) {
    return Fail(error, key + " is longer than " + std::to_string(kMaxStoredStringLength) + " bytes");
  }
  if (value.find_first_of(std::string("\0\r\n", 3)) != std::string::npos) {
    return Fail(error, key + " holds a line break or a NUL");
  }
  return true;
}

bool CheckVersion(const std::string& text, std::optional<ProductVersion>* version, std::string* error) {
  version->reset();
  if (text.empty()) return true;
  ProductVersion parsed;
  std::string reason;
  if (!ParseProductVersion(text, &parsed, &reason)) return Fail(error, "version \"" + text + "\" " + reason);
  *version = parsed;
  return true;
}

bool ReadLine(const std::string& line, ProductFacts* facts, std::string* error) {
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos || equals == 0) return Fail(error, "a line is not key=value");
  const std::string key = line.substr(0, equals);
  const std::string value = line.substr(equals + 1);
  for (const Field& field : kFields) {
    if (key != field.key) continue;
    if (!(facts->*field.value).empty()) return Fail(error, key + " is given twice");
    if (!CheckValue(key, value, error)) return false;
    facts->*field.value = value;
    return true;
  }
  return true;
}

}  // namespace

bool WriteProductFacts(const ProductFacts& facts, std::string* text, std::string* error) {
  std::optional<ProductVersion> version;
  if (!CheckVersion(facts.versionText, &version, error)) return false;
  std::string out;
  for (const Field& field : kFields) {
    const std::string& value = facts.*field.value;
    if (value.empty()) continue;
    if (!CheckValue(field.key, value, error)) return false;
    out += std::string(field.key) + "=" + value + "\r\n";
  }
  *text = out;
  return true;
}

bool ReadProductFacts(const std::string& text, ProductFacts* facts, std::string* error) {
  *facts = ProductFacts();
  if (text.size() > kMaxProductFactsSize) return Fail(error, "is larger than " + std::to_string(kMaxProductFactsSize) + " bytes");
  if (text.find('\0') != std::string::npos) return Fail(error, "holds a NUL byte");
  ProductFacts read;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && !ReadLine(line, &read, error)) return false;
    start = end + 1;
  }
  if (!CheckVersion(read.versionText, &read.version, error)) return false;
  *facts = read;
  return true;
}
