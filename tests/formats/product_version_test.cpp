// Product versions: what a version may be written as, and how two versions compare.

#include "formats/product_version.h"

#include <gtest/gtest.h>

namespace {

std::optional<ProductVersion> V(const std::string& text) {
  ProductVersion version;
  if (!ParseProductVersion(text, &version)) ADD_FAILURE() << text << " should parse";
  return version;
}

TEST(ProductVersion, ReadsOneToFourPartsWithinTheirRange) {
  const struct {
    const char* text;
    int count;
    uint16_t parts[4];
  } kCases[] = {{"2", 1, {2, 0, 0, 0}},
                {"1.0", 2, {1, 0, 0, 0}},
                {"10.4.0.1234", 4, {10, 4, 0, 1234}},
                {"0.0.0.0", 4, {0, 0, 0, 0}},
                {"65535.65535.65535.65535", 4, {65535, 65535, 65535, 65535}},
                {"007.1", 2, {7, 1, 0, 0}}};
  for (const auto& c : kCases) {
    ProductVersion version;
    ASSERT_TRUE(ParseProductVersion(c.text, &version)) << c.text;
    EXPECT_EQ(version.count, c.count) << c.text;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(version.parts[i], c.parts[i]) << c.text << " part " << i;
  }
}

TEST(ProductVersion, RefusesMalformedTextWithAReason) {
  const struct {
    const char* text;
    const char* reason;
  } kCases[] = {{"", "is empty"},
                {"1.2.3.4.5", "has more than four parts"},
                {"65536", "has a part above 65535"},
                {"1.99999999999", "has a part above 65535"},
                {"1.", "has an empty part"},
                {".1", "has an empty part"},
                {"1..2", "has an empty part"},
                {"1.2a", "holds something other than digits and dots"},
                {"v1", "holds something other than digits and dots"},
                {"-1", "holds something other than digits and dots"},
                {"1 .2", "holds something other than digits and dots"},
                {" 1", "holds something other than digits and dots"},
                {"1,2", "holds something other than digits and dots"}};
  for (const auto& c : kCases) {
    ProductVersion version;
    version.count = 9;
    std::string reason;
    EXPECT_FALSE(ParseProductVersion(c.text, &version, &reason)) << c.text;
    EXPECT_EQ(reason, c.reason) << c.text;
    EXPECT_EQ(version.count, 9) << "untouched on failure: " << c.text;
  }
}

TEST(ProductVersion, ComparesPartByPartWithMissingPartsAsZero) {
  const struct {
    const char* a;
    const char* b;
    int order;
  } kCases[] = {{"1.0", "1.0.0", 0},   {"1", "1.0.0.0", 0},  {"1.0", "2.0", -1},    {"2.0", "1.9.9.9", 1},
                {"1.10", "1.9", 1},    {"1.0.1", "1.0", 1},  {"1.0", "1.0.0.1", -1}, {"65535", "65534.65535", 1}};
  for (const auto& c : kCases) {
    EXPECT_EQ(CompareProductVersions(*V(c.a), *V(c.b)), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareProductVersions(*V(c.b), *V(c.a)), -c.order) << c.b << " vs " << c.a;
  }
}

TEST(ProductVersion, NoVersionIsOlderThanAnyVersion) {
  const std::optional<ProductVersion> none;
  EXPECT_LT(CompareProductVersions(none, V("0")), 0);
  EXPECT_GT(CompareProductVersions(V("0.0.0.0"), none), 0);
  EXPECT_EQ(CompareProductVersions(none, none), 0);
  EXPECT_EQ(CompareProductVersions(V("3.1"), V("3.1.0")), 0);
}

TEST(ProductVersion, FourPartFormFillsMissingParts) {
  EXPECT_EQ(FourPartVersion(*V("2.1")), "2.1.0.0");
  EXPECT_EQ(FourPartVersion(*V("10.4.0.1234")), "10.4.0.1234");
}

}  // namespace
