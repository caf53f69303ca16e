// Attaching setup data to the committed test programs: the result must parse, keep every
// old resource and every other byte of the program, carry the new resources, and have a
// layout and checksum a loader accepts.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "builder/pe/pe_checksum.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"
#include "tests/pe/pe_test_files.h"

namespace {

const ResourceKey kSetupType = ResourceKey::Name("Setup");

Bytes Pattern(std::size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

// What the builder attaches: the archive, the texts, the summary and the picture.
std::vector<std::pair<ResourceKey, ResourceKey>> SetupDataKeys() {
  return {{kSetupType, ResourceKey::Id(145)}, {kSetupType, ResourceKey::Id(146)},
          {kSetupType, ResourceKey::Id(147)}, {kSetupType, ResourceKey::Id(148)},
          {ResourceKey::Id(kTypeBitmap), ResourceKey::Id(150)}};
}

Bytes SetupDataBytes(std::size_t index, std::size_t scale) { return Pattern(scale * (index + 1) + index, 0x30 + index); }

void AddSetupData(ResourceTree& tree, std::size_t scale) {
  const auto keys = SetupDataKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) tree.Replace(keys[i].first, keys[i].second, SetupDataBytes(i, scale));
}

uint32_t Field(const PeImage& image, uint32_t optionalOffset) { return U32At(image.File(), image.OptionalHeaderOffset() + optionalOffset); }

Bytes RawData(const PeImage& image, const PeSection& section) {
  const Bytes& file = image.File();
  return Bytes(file.begin() + section.rawPointer, file.begin() + section.rawPointer + section.rawSize);
}

// Sections follow each other in memory and in the file without overlap, on their
// alignments, and the image size, resource directory and checksum agree with them.
void ExpectConsistentLayout(const PeImage& image) {
  const auto& sections = image.Sections();
  ASSERT_FALSE(sections.empty());
  uint64_t memoryEnd = AlignUp(image.SizeOfHeaders(), image.SectionAlignment());
  std::vector<std::pair<uint32_t, uint32_t>> raw;
  for (const PeSection& section : sections) {
    EXPECT_EQ(section.virtualAddress % image.SectionAlignment(), 0u) << section.name;
    EXPECT_GE(section.virtualAddress, memoryEnd) << section.name << " overlaps the one before in memory";
    memoryEnd = AlignUp(uint64_t{section.virtualAddress} + std::max(section.virtualSize, section.rawSize),
                        image.SectionAlignment());
    if (section.rawSize == 0) continue;
    EXPECT_EQ(section.rawPointer % image.FileAlignment(), 0u) << section.name;
    EXPECT_EQ(section.rawSize % image.FileAlignment(), 0u) << section.name;
    raw.push_back({section.rawPointer, section.rawPointer + section.rawSize});
  }
  std::sort(raw.begin(), raw.end());
  for (std::size_t i = 1; i < raw.size(); ++i) EXPECT_LE(raw[i - 1].second, raw[i].first) << "sections overlap in the file";
  EXPECT_EQ(Field(image, 56), memoryEnd) << "SizeOfImage";
  const PeDataDirectory resources = image.Directory(kDirectoryResource);
  EXPECT_EQ(resources.address, sections.back().virtualAddress) << "the resources are the last section";
  EXPECT_LE(resources.size, sections.back().virtualSize);
  EXPECT_EQ(Field(image, 64), ComputePeChecksum(image.File(), image.ChecksumOffset()));
}

Bytes WithOverlay(Bytes file, const std::string& text) {
  file.insert(file.end(), text.begin(), text.end());
  return file;
}

// A certificate table at the end of the file, as signing leaves it.
Bytes WithSignature(Bytes file) {
  PeImage image;
  std::string error;
  PeImage::Parse(file, &image, &error);
  const uint32_t at = static_cast<uint32_t>(file.size());
  const Bytes certificate = Pattern(64, 0xC0);
  file.insert(file.end(), certificate.begin(), certificate.end());
  PutU32(file, image.DirectoryOffset(kDirectorySecurity), at);
  PutU32(file, image.DirectoryOffset(kDirectorySecurity) + 4, 64);
  return file;
}

struct AttachCase {
  const char* label;
  std::function<Bytes()> program;
  bool inPlace;
  std::string keptTail;  // bytes the result must end with (the overlay)
  bool signature;
};

std::vector<AttachCase> AttachCases() {
  return {
      {"last section rewritten in place", [] { return LoadTestProgram("rsrc_last.exe"); }, true, "", false},
      {"section appended behind debug sections", [] { return LoadTestProgram("rsrc_middle.exe"); }, false, "", false},
      {"section added to a program without one", [] { return LoadTestProgram("no_resources.exe"); }, false, "", false},
      {"appended data kept behind the new section",
       [] { return WithOverlay(LoadTestProgram("rsrc_last.exe"), "appended data"); }, true, "appended data", false},
      {"signature dropped", [] { return WithSignature(LoadTestProgram("rsrc_last.exe")); }, true, "", true},
  };
}

class AttachSetupData : public testing::TestWithParam<AttachCase> {};

TEST_P(AttachSetupData, KeepsTheProgramAndAddsTheData) {
  const AttachCase& c = GetParam();
  PeImage original;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(c.program(), &original, &error)) << error;
  ResourceTree tree;
  ASSERT_TRUE(ReadResources(original, &tree, &error)) << error;
  const ResourceTree before = tree;
  AddSetupData(tree, 1000);

  Bytes output;
  AttachNotes notes;
  ASSERT_TRUE(WriteWithResources(original, tree, &output, &notes, &error)) << error;
  PeImage result;
  ASSERT_TRUE(PeImage::Parse(output, &result, &error)) << error;
  ResourceTree after;
  ASSERT_TRUE(ReadResources(result, &after, &error)) << error;

  // Every old resource, in every language, byte for byte and with its code page.
  for (const auto& type : before.AllTypes())
    for (const auto& name : type.second)
      for (const auto& language : name.second) {
        const ResourceData* kept = after.Find(type.first, name.first, language.first);
        ASSERT_NE(kept, nullptr) << type.first.Describe() << "/" << name.first.Describe();
        EXPECT_EQ(kept->bytes, language.second.bytes);
        EXPECT_EQ(kept->codePage, language.second.codePage);
      }
  const auto keys = SetupDataKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const ResourceData* added = after.Find(keys[i].first, keys[i].second, ResourceKey::Id(kLanguageNeutral));
    ASSERT_NE(added, nullptr) << keys[i].second.Describe();
    EXPECT_EQ(added->bytes, SetupDataBytes(i, 1000));
  }
  EXPECT_EQ(after.LeafCount(), before.LeafCount() + keys.size());

  ExpectConsistentLayout(result);
  // On a page of the file, or the loader reads the whole payload into memory.
  EXPECT_EQ(result.Sections().back().rawPointer % 4096, 0u);
  EXPECT_EQ(notes.appendedSection, !c.inPlace);
  EXPECT_EQ(result.Sections().size(), original.Sections().size() + (c.inPlace ? 0 : 1));
  // Everything but the resource section is the same, down to the byte.
  for (std::size_t i = 0; i + (c.inPlace ? 1 : 0) < original.Sections().size(); ++i) {
    EXPECT_EQ(result.Sections()[i].name, original.Sections()[i].name);
    EXPECT_EQ(RawData(result, result.Sections()[i]), RawData(original, original.Sections()[i]));
  }
  const Bytes& out = result.File();
  EXPECT_TRUE(std::equal(c.keptTail.rbegin(), c.keptTail.rend(), out.rbegin()));
  EXPECT_EQ(notes.droppedSignature, c.signature);
  EXPECT_EQ(result.Directory(kDirectorySecurity).size, 0u);
  if (c.signature) {
    EXPECT_EQ(out.size(), result.RawDataEnd()) << "the certificate is cut off";
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, AttachSetupData, testing::ValuesIn(AttachCases()),
                         [](const testing::TestParamInfo<AttachCase>& info) {
                           std::string name = info.param.label;
                           std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
                           return name;
                         });

// The COFF symbol table of a program with debug information lies behind the sections;
// it moves behind the new section, and its pointer follows, so debuggers still find the
// long section names kept there.
TEST(AttachSetupData, SymbolTableMovesWithItsPointer) {
  PeImage original;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(LoadTestProgram("rsrc_middle.exe"), &original, &error)) << error;
  const uint32_t pointerField = original.FileHeaderOffset() + 8;
  const uint32_t oldPointer = U32At(original.File(), pointerField);
  ASSERT_GE(oldPointer, original.RawDataEnd());
  ResourceTree tree;
  AddSetupData(tree, 10);
  Bytes output;
  AttachNotes notes;
  ASSERT_TRUE(WriteWithResources(original, tree, &output, &notes, &error)) << error;
  const uint32_t newPointer = U32At(output, pointerField);
  ASSERT_LT(newPointer, output.size());
  EXPECT_TRUE(std::equal(original.File().begin() + oldPointer, original.File().end(), output.begin() + newPointer,
                         output.end()));
}

// An empty resource laid out last ends exactly at the section's end; it must still read
// back, as the loader finds it.
TEST(AttachSetupData, EmptyResourceAtTheSectionEndReadsBack) {
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(LoadTestProgram("rsrc_last.exe"), &image, &error)) << error;
  ResourceTree tree;
  tree.Replace(ResourceKey::Id(0xFFFF), ResourceKey::Id(0xFFFF), Bytes());
  Bytes output;
  AttachNotes notes;
  ASSERT_TRUE(WriteWithResources(image, tree, &output, &notes, &error)) << error;
  ASSERT_TRUE(PeImage::Parse(std::move(output), &image, &error)) << error;
  ASSERT_TRUE(ReadResources(image, &tree, &error)) << error;
  ASSERT_NE(tree.Find(ResourceKey::Id(0xFFFF), ResourceKey::Id(0xFFFF), ResourceKey::Id(0)), nullptr);
}

// A program whose sections already reach the top of the address space has no room left.
TEST(AttachSetupData, NoAddressSpaceLeftIsRefused) {
  Bytes file = LoadTestProgram("no_resources.exe");
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  PutU32(file, image.Sections().back().headerOffset + 8, 0xFFFFF000u - image.Sections().back().virtualAddress);
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  Bytes output;
  AttachNotes notes;
  EXPECT_FALSE(WriteWithResources(image, ResourceTree(), &output, &notes, &error));
  EXPECT_NE(error.find("no address space"), std::string::npos) << error;
}

// Building from a program that already carries setup data replaces it: the new section
// is last by then, so it is rewritten in place, and it may shrink.
TEST(AttachSetupData, RebuildReplacesEarlierDataInPlace) {
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(LoadTestProgram("rsrc_middle.exe"), &image, &error)) << error;
  for (std::size_t scale : {20000, 5}) {
    ResourceTree tree;
    ASSERT_TRUE(ReadResources(image, &tree, &error)) << error;
    tree.Put(kSetupType, ResourceKey::Id(145), ResourceKey::Id(0x0409), ResourceData{Bytes{9, 9}, 0});
    AddSetupData(tree, scale);
    Bytes output;
    AttachNotes notes;
    ASSERT_TRUE(WriteWithResources(image, tree, &output, &notes, &error)) << error;
    const std::size_t sectionsBefore = image.Sections().size();
    ASSERT_TRUE(PeImage::Parse(std::move(output), &image, &error)) << error;
    ExpectConsistentLayout(image);
    ASSERT_TRUE(ReadResources(image, &tree, &error)) << error;
    EXPECT_EQ(tree.Find(kSetupType, ResourceKey::Id(145), ResourceKey::Id(0x0409)), nullptr)
        << "an older copy in another language would shadow the new one";
    EXPECT_EQ(tree.Find(kSetupType, ResourceKey::Id(145), ResourceKey::Id(0))->bytes, SetupDataBytes(0, scale));
    if (scale == 5) {
      EXPECT_EQ(image.Sections().size(), sectionsBefore);
      EXPECT_LT(image.File().size(), 20000u) << "the section shrank";
    }
  }
}

}  // namespace
