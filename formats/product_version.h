#pragma once
// A product's version: one to four dotted numbers, each 0 to 65535 ("2", "1.0",
// "10.4.0.1234"), as deployment tools and the version resource know them.

#include <cstdint>
#include <optional>
#include <string>

struct ProductVersion {
  uint16_t parts[4] = {0, 0, 0, 0};
  int count = 0;  // how many parts were written; those missing count as 0

  uint16_t Major() const { return parts[0]; }
  uint16_t Minor() const { return parts[1]; }
};

// Digits only, no sign or blank, no empty part; false (with the reason, in words for a
// manifest's author) for anything else.
bool ParseProductVersion(const std::string& text, ProductVersion* version, std::string* reason = nullptr);

// Part by part, missing parts as 0 (1.0 == 1.0.0). Negative, zero or positive.
int CompareProductVersions(const ProductVersion& a, const ProductVersion& b);

// The same for versions that may be unknown: a product without a version is older than
// any version, and two without a version are alike.
int CompareProductVersions(const std::optional<ProductVersion>& a, const std::optional<ProductVersion>& b);

// "1.2.0.0" style, all four parts.
std::string FourPartVersion(const ProductVersion& version);
