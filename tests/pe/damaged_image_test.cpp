// Damaged and foreign programs are refused with a reason, never read out of bounds
// (the sanitizer build turns any such read into a failure).

#include <gtest/gtest.h>

#include <functional>

#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"
#include "tests/pe/pe_test_files.h"

namespace {

struct Damage {
  const char* label;
  std::function<void(Bytes&, const PeImage&)> apply;
  const char* reason;  // part of the expected message
};

uint32_t PeOffset(const Bytes& file) { return U32At(file, 0x3C); }

std::vector<Damage> HeaderDamage() {
  return {
      {"empty file", [](Bytes& f, const PeImage&) { f.clear(); }, "no MZ header"},
      {"MS-DOS header only", [](Bytes& f, const PeImage&) { f.resize(64); }, "no PE header"},
      {"PE header offset past the end", [](Bytes& f, const PeImage&) { PutU32(f, 0x3C, 0xFFFFFFF0u); }, "no PE header"},
      {"64-bit machine", [](Bytes& f, const PeImage&) { PutU16(f, PeOffset(f) + 4, 0x8664); }, "not a 32-bit i386"},
      {"PE32+ optional header", [](Bytes& f, const PeImage&) { PutU16(f, PeOffset(f) + 24, 0x20B); }, "64-bit (PE32+)"},
      {"optional header too small", [](Bytes& f, const PeImage&) { PutU16(f, PeOffset(f) + 20, 64); }, "cut short"},
      {"directories beyond the optional header", [](Bytes& f, const PeImage&) { PutU16(f, PeOffset(f) + 20, 100); },
       "too small for its data directories"},
      {"file alignment not a power of two", [](Bytes& f, const PeImage&) { PutU32(f, PeOffset(f) + 24 + 36, 0x300); },
       "alignment"},
      {"section table past the end", [](Bytes& f, const PeImage&) { PutU16(f, PeOffset(f) + 6, 0xFFFF); },
       "section table is cut short"},
      {"section data past the end",
       [](Bytes& f, const PeImage& image) { PutU32(f, image.Sections()[0].headerOffset + 16, 0x10000000); },
       "beyond the end of the file"},
      {"headers larger than the file", [](Bytes& f, const PeImage& image) { PutU32(f, image.OptionalHeaderOffset() + 60, 0x100000); },
       "headers are cut short"},
      {"section data inside the headers",
       [](Bytes& f, const PeImage& image) { PutU32(f, image.Sections().back().headerOffset + 20, 0x200); },
       "overlaps the headers"},
      {"file cut inside the resource section", [](Bytes& f, const PeImage& image) { f.resize(image.Sections().back().rawPointer + 8); },
       "beyond the end of the file"},
  };
}

class DamagedHeaders : public testing::TestWithParam<Damage> {};

TEST_P(DamagedHeaders, AreRefusedWithAReason) {
  Bytes file = LoadTestProgram("rsrc_last.exe");
  PeImage intact;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(file, &intact, &error)) << error;
  GetParam().apply(file, intact);
  PeImage image;
  EXPECT_FALSE(PeImage::Parse(file, &image, &error));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

std::string CaseName(const testing::TestParamInfo<Damage>& info) {
  std::string name = info.param.label;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedHeaders, testing::ValuesIn(HeaderDamage()), CaseName);

// Damage inside the resource directory of rsrc_last.exe, whose root lists the named type
// "SETUP" first. Offsets are relative to the root.
std::vector<Damage> DirectoryDamage() {
  auto root = [](const PeImage& image) { return ResourceRootOffset(image); };
  auto firstLeaf = [root](const Bytes& f, const PeImage& image) {
    const uint32_t r = root(image);
    return FirstEntryTarget(f, r, FirstEntryTarget(f, r, FirstEntryTarget(f, r, 0)));
  };
  return {
      {"root leads back to itself", [root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + 20, 0x80000000u); },
       "reached twice"},
      {"type directory leads back to the root",
       [root](Bytes& f, const PeImage& i) {
         const uint32_t r = root(i);
         PutU32(f, r + FirstEntryTarget(f, r, 0) + 20, 0x80000000u);
       },
       "reached twice"},
      {"entry count runs past the section", [root](Bytes& f, const PeImage& i) { PutU16(f, root(i) + 14, 0xFFFF); },
       "run past the section"},
      {"directory outside the section", [root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + 20, 0x8FFFFFF0u); },
       "outside the section"},
      {"name outside the section", [root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + 16, 0x8000FFF0u); },
       "name lies outside"},
      {"name length runs past the section",
       [root](Bytes& f, const PeImage& i) {
         const uint32_t r = root(i);
         PutU16(f, r + (U32At(f, r + 16) & 0x7FFFFFFFu), 0xFFFF);
       },
       "name runs past"},
      {"type leads straight to data", [root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + 20, U32At(f, root(i) + 20) & 0x7FFFFFFFu); },
       "straight to data"},
      {"language leads to a directory",
       [root](Bytes& f, const PeImage& i) {
         const uint32_t r = root(i);
         const uint32_t names = FirstEntryTarget(f, r, FirstEntryTarget(f, r, 0));
         PutU32(f, r + names + 20, 0x80000000u);
       },
       "further directory"},
      {"data outside every section",
       [firstLeaf, root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + firstLeaf(f, i), 0x00F00000); },
       "outside the file's sections"},
      {"data size past its section",
       [firstLeaf, root](Bytes& f, const PeImage& i) { PutU32(f, root(i) + firstLeaf(f, i) + 4, 0x7FFFFFFF); },
       "outside the file's sections"},
      {"data entry outside the section",
       [root](Bytes& f, const PeImage& i) {
         const uint32_t r = root(i);
         const uint32_t names = FirstEntryTarget(f, r, FirstEntryTarget(f, r, 0));
         PutU32(f, r + names + 20, 0x0000FFF0u);
       },
       "data entry lies outside"},
      {"directory address in no section",
       [](Bytes& f, const PeImage& i) { PutU32(f, i.DirectoryOffset(kDirectoryResource), 0x00F00000); }, "in no section"},
  };
}

class DamagedDirectory : public testing::TestWithParam<Damage> {};

TEST_P(DamagedDirectory, IsRefusedWithAReason) {
  Bytes file = LoadTestProgram("rsrc_last.exe");
  PeImage intact;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(file, &intact, &error)) << error;
  GetParam().apply(file, intact);
  PeImage image;
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  ResourceTree tree;
  EXPECT_FALSE(ReadResources(image, &tree, &error));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedDirectory, testing::ValuesIn(DirectoryDamage()), CaseName);

// Every prefix of a real program either parses or is refused; whatever parses can be
// read and rewritten without touching memory it does not own.
TEST(DamagedHeaders, EveryTruncationIsHandled) {
  const Bytes whole = LoadTestProgram("rsrc_middle.exe");
  for (std::size_t length = 0; length <= whole.size(); length += 7) {
    PeImage image;
    ResourceTree tree;
    std::string error;
    if (!PeImage::Parse(Bytes(whole.begin(), whole.begin() + length), &image, &error)) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    if (!ReadResources(image, &tree, &error)) continue;
    Bytes output;
    AttachNotes notes;
    if (WriteWithResources(image, tree, &output, &notes, &error)) {
      EXPECT_TRUE(PeImage::Parse(output, &image, &error)) << error;
    }
  }
}

TEST(AttachRefusal, NoRoomForAnotherSectionHeader) {
  Bytes file = LoadTestProgram("no_resources.exe");
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  // Headers that end exactly behind the section table, with the first section right there.
  const uint32_t tableEnd = image.SectionTableOffset() + 40 * static_cast<uint32_t>(image.Sections().size());
  PutU32(file, image.OptionalHeaderOffset() + 60, tableEnd);
  PutU32(file, image.Sections()[0].headerOffset + 20, tableEnd);
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  Bytes output;
  AttachNotes notes;
  EXPECT_FALSE(WriteWithResources(image, ResourceTree(), &output, &notes, &error));
  EXPECT_NE(error.find("no room for another section"), std::string::npos) << error;
}

TEST(AttachRefusal, NoResourceDirectoryEntry) {
  Bytes file = LoadTestProgram("no_resources.exe");
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  PutU32(file, image.OptionalHeaderOffset() + 92, 2);
  ASSERT_TRUE(PeImage::Parse(file, &image, &error)) << error;
  Bytes output;
  AttachNotes notes;
  EXPECT_FALSE(WriteWithResources(image, ResourceTree(), &output, &notes, &error));
  EXPECT_NE(error.find("no entry for a resource directory"), std::string::npos) << error;
}

}  // namespace
