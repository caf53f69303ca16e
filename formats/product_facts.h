#pragma once
// What a setup knows about its product beyond the summary record: version, publisher and
// web addresses. Carried as resource "Setup" 149 in a Setup.exe and as BASE.exe.product.txt
// beside the setup program; a setup without them works as before, only without them.
//
// The format is Windows-1252 text, one fact per line, "key=value" and CR LF (a bare LF is
// taken too):
//
//   version=2.1.0
//   publisher=Example Ltd
//   url=https://example.org/
//   support_url=https://example.org/help
//
// Every key is optional and appears at most once; a value is not empty, at most 259 bytes,
// and holds no NUL, CR or LF; the version is one to four dotted numbers of 0 to 65535.
// Unknown keys are passed over, so that a later builder may add facts that earlier setups
// ignore. The whole text is at most kMaxProductFactsSize bytes.

#include <cstddef>
#include <optional>
#include <string>

#include "formats/product_version.h"

constexpr std::size_t kMaxProductFactsSize = 64 * 1024;

struct ProductFacts {
  std::string versionText;  // as the manifest wrote it; empty: no version
  std::optional<ProductVersion> version;
  std::string publisher;
  std::string url;         // the product's web page
  std::string supportUrl;  // where users get help

  bool Empty() const { return versionText.empty() && publisher.empty() && url.empty() && supportUrl.empty(); }
};

// Fails (with the reason) for a value the reader would refuse, naming its key.
bool WriteProductFacts(const ProductFacts& facts, std::string* text, std::string* error);
// Damaged text is refused as a whole: `facts` is then left empty.
bool ReadProductFacts(const std::string& text, ProductFacts* facts, std::string* error);
