// Builds into one Setup.exe: the copied program carries exactly the data an external
// build writes into files, keeps its own resources, and a failed build leaves nothing.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "builder/build_setup.h"
#include "builder/pe/pe_checksum.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/pe_image.h"
#include "builder/pe/resource_reader.h"
#include "builder/setup_program_writer.h"
#include "test_tree.h"

namespace {

const std::string kProgram = std::string(BRISKLAY_PE_DATA_DIR) + "/rsrc_middle.exe";

const char kManifest[] = R"(
[product]
name = "Embedded"
information = "info.txt"
license = "license.txt"
[background]
show = true
picture = "back.bmp"
[[files]]
source = "a.txt"
target = "%DIR%\\a.txt"
)";

// A complete 1x1 24-bit bitmap file, header included.
std::string TinyBitmap() {
  const unsigned char bytes[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0x20, 0x40, 0x80, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Resource(const ResourceTree& tree, const ResourceKey& type, uint16_t id) {
  const ResourceData* data = tree.Find(type, ResourceKey::Id(id), ResourceKey::Id(kLanguageNeutral));
  return data == nullptr ? "<missing>" : std::string(data->bytes.begin(), data->bytes.end());
}

bool ReadProgram(const std::string& path, ResourceTree* tree, std::string* error) {
  PeImage image;
  return PeImage::ReadFile(path, &image, error) && ReadResources(image, tree, error);
}

class SetupProgramBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.WriteFile("a.txt", std::string(5000, 'a'));
    // An access time in the future is not moved by reading, so both builds store the same.
    tree_.SetTimes("a.txt", 4000000000, 1500000000, 0);
    tree_.WriteFile("info.txt", "information\n");
    tree_.WriteFile("license.txt", "");
    tree_.WriteFile("back.bmp", TinyBitmap());
    request_.manifestPath = tree_.Manifest(kManifest);
    request_.setupProgram = kProgram;
  }

  bool Build(const std::string& output, std::string* error) {
    request_.outputBase = output;
    BuildResult result;
    return BuildSetup(request_, &result, error);
  }

  TestTree tree_;
  BuildRequest request_;
};

TEST_F(SetupProgramBuild, CarriesWhatAnExternalBuildWritesAndReplacesIt) {
  std::string error;
  const std::string base = tree_.OutputBase();
  ASSERT_TRUE(Build(base, &error)) << error;
  const std::string archive = ReadBytes(base + ".exe.archive.bin");
  const std::string summary = ReadBytes(base + ".exe.sum.bin");

  ASSERT_TRUE(Build(base + ".exe", &error)) << error;
  EXPECT_EQ(tree_.OutputFiles(), std::vector<std::string>{"Setup.exe"}) << "the external files are stale now";
  ResourceTree original, built;
  ASSERT_TRUE(ReadProgram(kProgram, &original, &error)) << error;
  ASSERT_TRUE(ReadProgram(base + ".exe", &built, &error)) << error;
  const ResourceKey setup = ResourceKey::Name("Setup");
  // Same output path, so the same setup path inside the data: the bytes must match.
  EXPECT_EQ(Resource(built, setup, 145), archive);
  EXPECT_EQ(Resource(built, setup, 148), summary);
  EXPECT_EQ(Resource(built, setup, 146), std::string("information\n\0", 13));
  EXPECT_EQ(Resource(built, setup, 147), std::string(1, '\0')) << "an empty licence must not be an empty resource";
  EXPECT_EQ(Resource(built, ResourceKey::Id(kTypeBitmap), 150), TinyBitmap()) << "stored whole, file header included";
  // The five above and the copy's version resource.
  EXPECT_EQ(built.LeafCount(), original.LeafCount() + 6);
}

TEST_F(SetupProgramBuild, DataTheManifestNoLongerHasIsRemoved) {
  std::string error;
  ASSERT_TRUE(Build(tree_.OutputBase() + ".EXE", &error)) << error;
  request_.manifestPath = tree_.Manifest("[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\ntarget = \"%DIR%\\\\a.txt\"\n");
  request_.setupProgram = tree_.OutputBase() + ".EXE";  // building from an earlier result
  ASSERT_TRUE(Build(tree_.Path("out/Again.exe").string(), &error)) << error;
  ResourceTree built;
  ASSERT_TRUE(ReadProgram(tree_.Path("out/Again.exe").string(), &built, &error)) << error;
  const ResourceKey setup = ResourceKey::Name("Setup");
  EXPECT_NE(Resource(built, setup, 145), "<missing>");
  EXPECT_EQ(Resource(built, setup, 146), "<missing>");
  EXPECT_EQ(Resource(built, setup, 147), "<missing>");
  EXPECT_EQ(Resource(built, ResourceKey::Id(kTypeBitmap), 150), "<missing>");
}

struct Refusal {
  const char* label;
  std::string setupProgram;
  const char* expected;
};

TEST_F(SetupProgramBuild, AnUnusableSetupProgramLeavesNoOutput) {
  tree_.WriteFile("notes.txt", "not a program");
  const std::vector<Refusal> cases = {
      {"none given", "", "--setup PATH"},
      {"missing", tree_.Path("gone.exe").string(), "gone.exe: cannot open it"},
      {"not a program", tree_.Path("notes.txt").string(), "notes.txt: not a Windows program"},
  };
  for (const Refusal& c : cases) {
    request_.setupProgram = c.setupProgram;
    std::string error;
    EXPECT_FALSE(Build(tree_.OutputBase() + ".exe", &error)) << c.label;
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.label << ": " << error;
    EXPECT_TRUE(tree_.OutputFiles().empty()) << c.label;
  }
}

// A certificate table at the end of the file, where signing puts it.
std::string SignedCopy(const std::string& program, const std::string& path) {
  PeImage image;
  std::string error;
  if (!PeImage::ReadFile(program, &image, &error)) return error;
  Bytes file = image.File();
  const uint32_t at = static_cast<uint32_t>(file.size());
  file.resize(file.size() + 64, 0xC0);
  WriteU32(file, image.DirectoryOffset(kDirectorySecurity), at);
  WriteU32(file, image.DirectoryOffset(kDirectorySecurity) + 4, 64);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
  return "";
}

TEST_F(SetupProgramBuild, ASignedSetupProgramIsRefusedUnlessItsSignatureMayGo) {
  const std::string signedProgram = tree_.Path("signed.exe").string();
  ASSERT_EQ(SignedCopy(kProgram, signedProgram), "");
  request_.setupProgram = signedProgram;
  std::string error;
  EXPECT_FALSE(Build(tree_.OutputBase() + ".exe", &error));
  EXPECT_NE(error.find("signed.exe is signed"), std::string::npos) << error;
  EXPECT_NE(error.find("--strip-signature"), std::string::npos) << error;
  EXPECT_TRUE(tree_.OutputFiles().empty());

  request_.stripSignature = true;
  request_.outputBase = tree_.OutputBase() + ".exe";
  BuildResult result;
  ASSERT_TRUE(BuildSetup(request_, &result, &error)) << error;
  PeImage built;
  ASSERT_TRUE(PeImage::ReadFile(request_.outputBase, &built, &error)) << error;
  EXPECT_EQ(built.Directory(kDirectorySecurity).size, 0u);
  ASSERT_EQ(result.notes.size(), 1u);
  EXPECT_NE(result.notes[0].find("signature"), std::string::npos) << result.notes[0];
}

// The archive is copied into the output in chunks, never held whole: the bytes must be
// those of the same program laid out in memory, checksum included, for a section that
// is rewritten in place and one that is appended. An odd archive size leaves the rest of
// the file on odd offsets.
TEST(SetupProgramOutput, AnArchiveOfManyChunksComesOutAsIfWrittenWhole) {
  TestTree tree;
  Bytes archive(10007);
  std::mt19937 random(11);
  for (uint8_t& byte : archive) byte = static_cast<uint8_t>(random());
  tree.WriteFile("archive.bin", std::string(archive.begin(), archive.end()));
  const Bytes summary = {1, 2, 3};
  for (const char* name : {"rsrc_last.exe", "rsrc_middle.exe"}) {
    SetupProgram program;
    std::string error;
    ASSERT_TRUE(LoadSetupProgram(std::string(BRISKLAY_PE_DATA_DIR) + "/" + name, &program, &error)) << error;
    ResourceTree whole = program.resources;
    whole.Replace(ResourceKey::Name("Setup"), ResourceKey::Id(145), archive);
    whole.Replace(ResourceKey::Name("Setup"), ResourceKey::Id(148), summary);
    ReplaceVersionResource(whole, VersionInfo());
    Bytes expected;
    AttachNotes notes;
    ASSERT_TRUE(WriteWithResources(program.image, whole, &expected, &notes, &error)) << name << ": " << error;

    SetupData data;
    data.archivePath = tree.Path("archive.bin").string();
    data.summary = summary;
    const std::string output = tree.Path(std::string("out-") + name).string();
    std::vector<std::string> userNotes;
    ASSERT_TRUE(WriteSetupProgram(program, data, output, &userNotes, &error, 1000)) << name << ": " << error;
    const std::string written = ReadBytes(output);
    EXPECT_TRUE(written == std::string(expected.begin(), expected.end())) << name;

    ResourceTree built;
    ASSERT_TRUE(ReadProgram(output, &built, &error)) << error;
    EXPECT_EQ(Resource(built, ResourceKey::Name("Setup"), 145), std::string(archive.begin(), archive.end())) << name;
  }
}

TEST(SetupProgramOutput, AMissingArchiveIsReported) {
  TestTree tree;
  SetupProgram program;
  std::string error;
  ASSERT_TRUE(LoadSetupProgram(kProgram, &program, &error)) << error;
  SetupData data;
  data.archivePath = tree.Path("gone.bin").string();
  std::vector<std::string> notes;
  EXPECT_FALSE(WriteSetupProgram(program, data, tree.Path("Setup.exe").string(), &notes, &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  EXPECT_NE(error.find("gone.bin"), std::string::npos) << error;
}

TEST(SetupProgramOutput, RecognisedByItsExtensionInAnyCase) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"out/Setup.exe", true}, {"Setup.EXE", true}, {"x.Exe", true},
      {"out/Setup", false},    {"Setup.exe.bak", false}, {"exe", false},
  };
  for (const auto& c : cases) EXPECT_EQ(WritesSetupProgram(c.first), c.second) << c.first;
}

}  // namespace
