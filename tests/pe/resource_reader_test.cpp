// The committed test programs were linked by the cross toolchain from data/tiny.rc, so
// their resource directories are laid out by a real linker; the reader must see exactly
// what the script declares.

#include <gtest/gtest.h>

#include "builder/pe/resource_reader.h"
#include "tests/pe/pe_test_files.h"

namespace {

constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kTypeString = 6;
constexpr uint16_t kTypeRcdata = 10;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A string table block of 16 counted UTF-16 strings; only string 7 is set.
Bytes StringBlockWithSeven() {
  Bytes block;
  for (int i = 0; i < 16; ++i) {
    const std::string text = i == 7 ? "seven" : "";
    block.push_back(static_cast<uint8_t>(text.size()));
    block.push_back(0);
    for (char c : text) block.insert(block.end(), {static_cast<uint8_t>(c), 0});
  }
  return block;
}

struct Expected {
  ResourceKey type, name;
  uint16_t language;
  Bytes bytes;
};

std::vector<Expected> DeclaredResources() {
  return {
      {ResourceKey::Id(kTypeRcdata), ResourceKey::Id(1), kEnglishUs, Text(std::string("hello\0", 6))},
      {ResourceKey::Id(kTypeRcdata), ResourceKey::Id(1), kGerman, Text(std::string("hallo\0", 6))},
      {ResourceKey::Id(kTypeRcdata), ResourceKey::Name("hello"), kEnglishUs, Bytes{1, 0, 2, 0, 3, 0}},
      {ResourceKey::Name("Setup"), ResourceKey::Id(143), kEnglishUs, Text("payload of 143\n")},
      {ResourceKey::Id(kTypeString), ResourceKey::Id(1), kEnglishUs, StringBlockWithSeven()},
  };
}

class ReadCommittedProgram : public testing::TestWithParam<const char*> {};

TEST_P(ReadCommittedProgram, FindsEveryDeclaredResourceAndNothingElse) {
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(LoadTestProgram(GetParam()), &image, &error)) << error;
  ResourceTree tree;
  ASSERT_TRUE(ReadResources(image, &tree, &error)) << error;
  const std::vector<Expected> expected = DeclaredResources();
  EXPECT_EQ(tree.LeafCount(), expected.size());
  for (const Expected& resource : expected) {
    const ResourceData* found = tree.Find(resource.type, resource.name, ResourceKey::Id(resource.language));
    ASSERT_NE(found, nullptr) << resource.type.Describe() << "/" << resource.name.Describe();
    EXPECT_EQ(found->bytes, resource.bytes) << resource.type.Describe() << "/" << resource.name.Describe();
  }
}

INSTANTIATE_TEST_SUITE_P(LinkedPrograms, ReadCommittedProgram, testing::Values("rsrc_last.exe", "rsrc_middle.exe"));

TEST(ReadResources, ProgramWithoutResourcesGivesAnEmptyTree) {
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(LoadTestProgram("no_resources.exe"), &image, &error)) << error;
  ResourceTree tree;
  ASSERT_TRUE(ReadResources(image, &tree, &error)) << error;
  EXPECT_TRUE(tree.Empty());
}

TEST(ResourceKey, NamesAreUpperCasedAndSortBeforeNumbers) {
  EXPECT_EQ(ResourceKey::Name("Setup"), ResourceKey::StoredName(u"SETUP"));
  EXPECT_LT(ResourceKey::Name("ZZZ"), ResourceKey::Id(0));
  // Code-unit order, shorter first, as the loader's binary search compares.
  EXPECT_LT(ResourceKey::StoredName(u"AB"), ResourceKey::StoredName(u"ABC"));
  EXPECT_LT(ResourceKey::StoredName(u"ABC"), ResourceKey::StoredName(u"B"));
  EXPECT_LT(ResourceKey::Id(2), ResourceKey::Id(10));
}

}  // namespace
