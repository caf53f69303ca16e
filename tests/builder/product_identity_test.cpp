// The product's version, publisher and addresses reach the setup in both output forms, and
// Setup.exe and the Uninstall.exe it carries tell Windows whose they are.

#include <gtest/gtest.h>

#include "builder/build_setup.h"
#include "builder/pe/pe_image.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"
#include "builder/pe/version_resource.h"
#include "test_tree.h"

namespace {

const std::string kDataDir = BRISKLAY_PE_DATA_DIR;
const ResourceKey kSetupType = ResourceKey::Name("Setup");

const char kVersioned[] = R"(
[product]
name = "Caf\u00e9 Tools"
version = "2.10.3"
publisher = "Caf\u00e9 Software Ltd"
url = "https://example.org/tools"
support_url = "https://example.org/help"
[[files]]
source = "a.txt"
target = "%DIR%\\a.txt"
)";

const char kUnversioned[] = R"(
[product]
name = "Plain"
[[files]]
source = "a.txt"
target = "%DIR%\\a.txt"
)";

const std::string kVersionedFacts =
    "version=2.10.3\r\npublisher=Caf\xE9 Software Ltd\r\nurl=https://example.org/tools\r\n"
    "support_url=https://example.org/help\r\n";

bool ReadTree(const Bytes& file, ResourceTree* tree, std::string* error) {
  PeImage image;
  return PeImage::Parse(file, &image, error) && ReadResources(image, tree, error);
}

// The leaf of `type`/`id` in whatever language it has; null if none.
const ResourceData* AnyLanguage(const ResourceTree& tree, const ResourceKey& type, uint16_t id) {
  const auto types = tree.AllTypes().find(type);
  if (types == tree.AllTypes().end()) return nullptr;
  const auto names = types->second.find(ResourceKey::Id(id));
  if (names == types->second.end() || names->second.empty()) return nullptr;
  return &names->second.begin()->second;
}

bool VersionOf(const ResourceTree& tree, VersionInfo* info, std::string* error) {
  const ResourceData* data = AnyLanguage(tree, ResourceKey::Id(kTypeVersion), kVersionResourceId);
  if (data == nullptr) {
    *error = "no version resource";
    return false;
  }
  return ParseVersionResource(data->bytes, info, error);
}

std::u16string Text(const VersionInfo& info, const std::u16string& key) {
  const std::u16string* value = info.Find(key);
  return value ? *value : u"<missing>";
}

class ProductIdentity : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.WriteFile("a.txt", "a");
    // A setup program whose uninstaller is a real program with resources of its own.
    PeImage setup;
    ResourceTree resources;
    std::string error;
    ASSERT_TRUE(PeImage::ReadFile(kDataDir + "/rsrc_middle.exe", &setup, &error)) << error;
    ASSERT_TRUE(ReadResources(setup, &resources, &error)) << error;
    const std::string uninstaller = ReadBytes(kDataDir + "/rsrc_last.exe");
    resources.RemoveAllLanguages(kSetupType, ResourceKey::Id(143));
    resources.Put(kSetupType, ResourceKey::Id(143), ResourceKey::Id(0x0409),
                  ResourceData{Bytes(uninstaller.begin(), uninstaller.end()), 0, false, 0});
    Bytes program;
    AttachNotes notes;
    ASSERT_TRUE(WriteWithResources(setup, resources, &program, &notes, &error)) << error;
    tree_.WriteFile("setup.exe", std::string(program.begin(), program.end()));
    request_.setupProgram = tree_.Path("setup.exe").string();
  }

  void Build(const char* manifest, const std::string& output) {
    request_.manifestPath = tree_.Manifest(manifest);
    request_.outputBase = output;
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildSetup(request_, &result, &error)) << error;
    notes_ = result.notes;
  }

  ResourceTree BuiltTree(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    ResourceTree tree;
    std::string error;
    EXPECT_TRUE(ReadTree(Bytes(bytes.begin(), bytes.end()), &tree, &error)) << error;
    return tree;
  }

  TestTree tree_;
  BuildRequest request_;
  std::vector<std::string> notes_;
};

TEST_F(ProductIdentity, ExternalBuildWritesTheFactsBesideTheSummaryAndDropsThemWhenGone) {
  Build(kVersioned, tree_.OutputBase());
  EXPECT_EQ(ReadBytes(tree_.OutputBase() + ".exe.product.txt"), kVersionedFacts);
  Build(kUnversioned, tree_.OutputBase());
  EXPECT_EQ(tree_.OutputFiles(), (std::vector<std::string>{"Setup.exe.archive.bin", "Setup.exe.sum.bin"}))
      << "a manifest without them writes no facts file, and an earlier one is stale";
}

TEST_F(ProductIdentity, SetupExeCarriesTheFactsAndItsVersionResource) {
  const std::string output = tree_.OutputBase() + ".exe";
  Build(kVersioned, output);
  const ResourceTree built = BuiltTree(output);
  const ResourceData* facts = AnyLanguage(built, kSetupType, 149);
  ASSERT_NE(facts, nullptr);
  EXPECT_EQ(std::string(facts->bytes.begin(), facts->bytes.end()), kVersionedFacts);

  VersionInfo info;
  std::string error;
  ASSERT_TRUE(VersionOf(built, &info, &error)) << error;
  const uint16_t expected[4] = {2, 10, 3, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(info.fileVersion[i], expected[i]) << i;
    EXPECT_EQ(info.productVersion[i], expected[i]) << i;
  }
  EXPECT_EQ(Text(info, u"FileVersion"), u"2.10.3");
  EXPECT_EQ(Text(info, u"ProductVersion"), u"2.10.3");
  EXPECT_EQ(Text(info, u"ProductName"), u"Caf\u00e9 Tools");
  EXPECT_EQ(Text(info, u"CompanyName"), u"Caf\u00e9 Software Ltd");
  EXPECT_EQ(Text(info, u"FileDescription"), u"Caf\u00e9 Tools Setup");
  EXPECT_EQ(Text(info, u"OriginalFilename"), u"Setup.exe");
}

TEST_F(ProductIdentity, TheCarriedUninstallerGetsTheSameFactsAndKeepsItsOwnResources) {
  const std::string output = tree_.OutputBase() + ".exe";
  Build(kVersioned, output);
  const ResourceTree built = BuiltTree(output);
  const ResourceData* uninstaller = AnyLanguage(built, kSetupType, 143);
  ASSERT_NE(uninstaller, nullptr);
  ResourceTree inside, original;
  std::string error;
  ASSERT_TRUE(ReadTree(uninstaller->bytes, &inside, &error)) << error;
  const std::string originalBytes = ReadBytes(kDataDir + "/rsrc_last.exe");
  ASSERT_TRUE(ReadTree(Bytes(originalBytes.begin(), originalBytes.end()), &original, &error)) << error;
  EXPECT_EQ(inside.LeafCount(), original.LeafCount() + 1);

  VersionInfo info;
  ASSERT_TRUE(VersionOf(inside, &info, &error)) << error;
  EXPECT_EQ(info.fileVersion[1], 10);
  EXPECT_EQ(Text(info, u"ProductVersion"), u"2.10.3");
  EXPECT_EQ(Text(info, u"CompanyName"), u"Caf\u00e9 Software Ltd");
  EXPECT_EQ(Text(info, u"OriginalFilename"), u"Uninstall.exe");
  EXPECT_EQ(Text(info, u"FileDescription"), u"Caf\u00e9 Tools Uninstaller");
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ProductIdentity, WithoutAVersionTheResourceNamesTheProductOnly) {
  const std::string output = tree_.OutputBase() + ".exe";
  Build(kVersioned, output);
  request_.setupProgram = output;  // built again from a versioned result: nothing of it stays
  Build(kUnversioned, tree_.Path("out/Plain.exe").string());
  const ResourceTree built = BuiltTree(tree_.Path("out/Plain.exe").string());
  EXPECT_EQ(AnyLanguage(built, kSetupType, 149), nullptr);
  VersionInfo info;
  std::string error;
  ASSERT_TRUE(VersionOf(built, &info, &error)) << error;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(info.fileVersion[i], 0) << i;
  EXPECT_EQ(Text(info, u"ProductName"), u"Plain");
  EXPECT_EQ(Text(info, u"FileDescription"), u"Plain Setup");
  EXPECT_EQ(Text(info, u"OriginalFilename"), u"Plain.exe");
  for (const char16_t* absent : {u"FileVersion", u"ProductVersion", u"CompanyName"}) {
    EXPECT_EQ(Text(info, absent), u"<missing>");
  }
}

TEST_F(ProductIdentity, ASignedUninstallerIsLeftAsItIsWithANote) {
  // A certificate table at the end of the uninstaller, where signing puts it.
  std::string uninstaller = ReadBytes(kDataDir + "/rsrc_last.exe");
  PeImage image;
  std::string error;
  ASSERT_TRUE(PeImage::Parse(Bytes(uninstaller.begin(), uninstaller.end()), &image, &error)) << error;
  Bytes signedBytes = image.File();
  const uint32_t at = static_cast<uint32_t>(signedBytes.size());
  signedBytes.resize(signedBytes.size() + 64, 0xC0);
  WriteU32(signedBytes, image.DirectoryOffset(kDirectorySecurity), at);
  WriteU32(signedBytes, image.DirectoryOffset(kDirectorySecurity) + 4, 64);

  PeImage setup;
  ResourceTree resources;
  ASSERT_TRUE(PeImage::ReadFile(request_.setupProgram, &setup, &error)) << error;
  ASSERT_TRUE(ReadResources(setup, &resources, &error)) << error;
  resources.Replace(kSetupType, ResourceKey::Id(143), signedBytes);
  Bytes program;
  AttachNotes notes;
  ASSERT_TRUE(WriteWithResources(setup, resources, &program, &notes, &error)) << error;
  tree_.WriteFile("setup.exe", std::string(program.begin(), program.end()));

  const std::string output = tree_.OutputBase() + ".exe";
  Build(kVersioned, output);
  const ResourceTree built = BuiltTree(output);
  const ResourceData* carried = AnyLanguage(built, kSetupType, 143);
  ASSERT_NE(carried, nullptr);
  EXPECT_TRUE(carried->bytes == signedBytes);
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_NE(notes_[0].find("uninstaller"), std::string::npos) << notes_[0];
}

}  // namespace
