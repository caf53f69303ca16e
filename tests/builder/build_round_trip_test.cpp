// A build of a small tree, read back with the format readers and plain zlib.

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "builder/build_setup.h"
#include "formats/data_file.h"
#include "formats/summary_record.h"
#include "test_tree.h"

namespace {

std::string Inflate(const std::string& compressed) {
  z_stream stream{};
  EXPECT_EQ(inflateInit(&stream), Z_OK);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  std::string out;
  char buffer[4096];
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
  }
  EXPECT_EQ(result, Z_STREAM_END);
  EXPECT_EQ(stream.avail_in, 0u) << "bytes after the zlib stream";
  inflateEnd(&stream);
  return out;
}

uint32_t Crc(const std::string& bytes) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// A complete 1x1 24-bit bitmap file.
std::string TinyBitmap() {
  const unsigned char bytes[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                                 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0,
                                 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                                 0x20, 0x40, 0x80, 0};                                     // one pixel, padded
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

uint64_t CreationTicksOf(const TestTree& tree, const std::string& relative) {
  struct statx info {};
  statx(AT_FDCWD, tree.Path(relative).c_str(), 0, STATX_MTIME | STATX_BTIME, &info);
  const struct statx_timestamp& stamp = (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime;
  return ExpectedTicks(stamp.tv_sec, stamp.tv_nsec);
}

// Field by field: the bytes after a string's terminator are not part of the record.
void ExpectSameConfig(const SetupConfig& a, const SetupConfig& b) {
  const char* const textsA[] = {a.ProductName, a.SetupFilePath, a.Link1Caption, a.Link1Url,
                                a.Link2Caption, a.Link2Url, a.Link3Caption, a.Link3Url};
  const char* const textsB[] = {b.ProductName, b.SetupFilePath, b.Link1Caption, b.Link1Url,
                                b.Link2Caption, b.Link2Url, b.Link3Caption, b.Link3Url};
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(textsA[i], textsB[i]);
  const uint32_t valuesA[] = {a.SupportsWin95, a.SupportsWin98, a.SupportsWinMe, a.SupportsWinNT,
                              a.SupportsWin2000, a.SupportsWinXP, a.SupportsWin2003, a.SupportsWinVista2008,
                              a.clrOut, a.clrIn, a.ShowBackground, a.BackgroundImageX, a.BackgroundImageY};
  const uint32_t valuesB[] = {b.SupportsWin95, b.SupportsWin98, b.SupportsWinMe, b.SupportsWinNT,
                              b.SupportsWin2000, b.SupportsWinXP, b.SupportsWin2003, b.SupportsWinVista2008,
                              b.clrOut, b.clrIn, b.ShowBackground, b.BackgroundImageX, b.BackgroundImageY};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(valuesA[i], valuesB[i]) << "value " << i;
}

struct ExpectedEntry {
  const char* target;
  const char* name;
  const char* extension;
  const char* source;  // relative to the tree; nullptr for a folder
};

// Sources sort byte by byte ("A" < "LICENSE" < "b.txt"), each folder before its contents.
const ExpectedEntry kExpected[] = {
    {"%DIR%\\bin\\Demo.EXE", "Demo", "EXE", "app/Demo.EXE"},
    {"%DIR%\\Docs", "Docs", "\\", nullptr},
    {"%DIR%\\Docs\\A", "A", "\\", nullptr},
    {"%DIR%\\Docs\\A\\empty", "empty", "\\", nullptr},
    {"%DIR%\\Docs\\A\\z.dat", "z", "dat", "app/docs/A/z.dat"},
    {"%DIR%\\Docs\\LICENSE", "LICENSE", "", "app/docs/LICENSE"},
    {"%DIR%\\Docs\\b.txt", "b", "txt", "app/docs/b.txt"},
    {"%DIR%\\Docs\\c.txt", "c", "txt", "app/docs/c.txt"},
};
constexpr std::size_t kEntryCount = sizeof kExpected / sizeof kExpected[0];

const char kManifest[] = R"(
[product]
name = "Café Demo"
systems = ["win98", "winxp"]
information = "info.txt"
license = "license.txt"

[[links]]
caption = "Home"
url = "https://example.org/"

[[links]]
caption = "Help “quoted”"
url = "https://example.org/help"

[colours]
in = "#102030"
out = "#a0b0c0"

[background]
show = true
picture = "back.bmp"
horizontal = "right"
vertical = "top"

[[files]]
source = "app/Demo.EXE"
target = "%DIR%\\bin\\"
start_menu = true
desktop = true
startup = true
shortcut_name = "Demo"
shortcut_description = "Runs the demo"
run_at_finish = true
register_server = true

[[files]]
source = "app/docs"
target = "%DIR%\\Docs"
start_menu = true

[[registry]]
root = "HKEY_CURRENT_USER"
key = "Software\\Café Demo"
name = "Path"
type = "REG_EXPAND_SZ"
data = "%ProgramFiles%\\Demo"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\Demo"
name = "Mask"
type = "REG_DWORD"
data = 4294967295
)";

class BuildRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.WriteFile("app/Demo.EXE", std::string("MZ\0\x01payload", 11));
    tree_.WriteFile("app/docs/b.txt", "bee\n");
    tree_.WriteFile("app/docs/c.txt", "");
    tree_.WriteFile("app/docs/LICENSE", "licence without extension");
    tree_.WriteFile("app/docs/A/z.dat", std::string(100000, 'z'));
    tree_.MakeFolder("app/docs/A/empty");
    tree_.WriteFile("info.txt", "\xEF\xBB\xBFWelcome to Café\n");  // UTF-8 with a byte-order mark
    tree_.WriteFile("license.txt", "Licence \xA9 2024\r\n");        // already Windows-1252
    tree_.WriteFile("back.bmp", TinyBitmap());
    tree_.SetTimes("app/Demo.EXE", 1600000000, 1500000000, 123456700);
    tree_.SetTimes("app/docs/A/z.dat", 1700000000, 1000000000, 0);

    BuildRequest request;
    request.manifestPath = tree_.Manifest(kManifest);
    request.outputBase = tree_.OutputBase();
    request.progress = [this](uint64_t done, uint64_t total) { lastProgress_ = {done, total}; };
    std::string error;
    ASSERT_TRUE(BuildSetup(request, &result_, &error)) << error;

    archive_ = ReadBytes(tree_.OutputBase() + ".exe.archive.bin");
    data_ = Inflate(archive_);
    dataPath_ = tree_.Path("inflated.bin").string();
    tree_.WriteFile("inflated.bin", data_);
    FILE* summary = std::fopen((tree_.OutputBase() + ".exe.sum.bin").c_str(), "rb");
    ASSERT_NE(summary, nullptr);
    ClearSummaryRecord(&summary_);
    ASSERT_TRUE(ReadSummaryRecord(&summary_, summary));
    std::fclose(summary);
  }

  TestTree tree_;
  BuildResult result_;
  std::pair<uint64_t, uint64_t> lastProgress_{0, 1};
  std::string archive_;
  std::string data_;
  std::string dataPath_;
  SummaryRecord summary_;
};

TEST_F(BuildRoundTrip, WritesExactlyTheConfiguredFiles) {
  EXPECT_EQ(tree_.OutputFiles(), (std::vector<std::string>{"Setup.exe.archive.bin", "Setup.exe.eula.txt",
                                                            "Setup.exe.img.bmp", "Setup.exe.info.txt",
                                                            "Setup.exe.sum.bin"}));
  EXPECT_EQ(ReadBytes(tree_.OutputBase() + ".exe.info.txt"), "Welcome to Caf\xE9\n");
  EXPECT_EQ(ReadBytes(tree_.OutputBase() + ".exe.eula.txt"), "Licence \xA9 2024\r\n");
  EXPECT_EQ(ReadBytes(tree_.OutputBase() + ".exe.img.bmp"), TinyBitmap());
}

TEST_F(BuildRoundTrip, StoredChecksumsAreThoseOfTheArchiveAndTheDataFile) {
  EXPECT_EQ(summary_.SetupDataCrc, Crc(archive_));
  EXPECT_EQ(summary_.DataFileCrc, Crc(data_));
  EXPECT_EQ(result_.setupDataCrc, Crc(archive_));
  EXPECT_EQ(result_.dataFileCrc, Crc(data_));
  EXPECT_EQ(lastProgress_.first, lastProgress_.second);
  EXPECT_EQ(lastProgress_.second, data_.size());
}

TEST_F(BuildRoundTrip, SummaryHoldsTheManifestsDescription) {
  const uint64_t total = 11 + 4 + 0 + 25 + 100000;
  EXPECT_EQ(summary_.Head.HasInformation, 1u);
  EXPECT_EQ(summary_.Head.HasLicense, 1u);
  EXPECT_EQ(summary_.Head.TotalSizeHigh, 0u);
  EXPECT_EQ(summary_.Head.TotalSizeLow, total);
  EXPECT_EQ(result_.totalSize, total);

  const SetupConfig& config = summary_.Config;
  EXPECT_STREQ(config.ProductName, "Caf\xE9 Demo");
  // The file name only: a full path would differ from one build folder to the next.
  EXPECT_EQ(std::string(config.SetupFilePath), "Setup.exe");
  const uint32_t systems[] = {config.SupportsWin95, config.SupportsWin98,   config.SupportsWinMe,
                              config.SupportsWinNT, config.SupportsWin2000, config.SupportsWinXP,
                              config.SupportsWin2003, config.SupportsWinVista2008};
  EXPECT_EQ(std::vector<uint32_t>(systems, systems + 8), (std::vector<uint32_t>{0, 1, 0, 0, 0, 1, 0, 0}));
  EXPECT_STREQ(config.Link1Caption, "Home");
  EXPECT_STREQ(config.Link1Url, "https://example.org/");
  EXPECT_STREQ(config.Link2Caption, "Help \x93quoted\x94");
  EXPECT_STREQ(config.Link3Caption, "");
  EXPECT_STREQ(config.Link3Url, "");
  EXPECT_EQ(config.clrIn, 0x00302010u);  // red in the lowest byte
  EXPECT_EQ(config.clrOut, 0x00C0B0A0u);
  EXPECT_EQ(config.ShowBackground, 1u);
  EXPECT_EQ(config.BackgroundImageX, 2u);
  EXPECT_EQ(config.BackgroundImageY, 0u);

  ASSERT_EQ(summary_.Entries.size(), kEntryCount);
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    SCOPED_TRACE(kExpected[i].target);
    EXPECT_STREQ(summary_.Entries[i].TargetPath, kExpected[i].target);
    EXPECT_STREQ(summary_.Entries[i].Name, kExpected[i].name);
    EXPECT_STREQ(summary_.Entries[i].Extension, kExpected[i].extension);
  }
  const SummaryEntry& demo = summary_.Entries[0];
  EXPECT_EQ(demo.StartMenuShortcut, 1u);
  EXPECT_EQ(demo.DesktopShortcut, 1u);
  EXPECT_EQ(demo.StartupShortcut, 1u);
  EXPECT_STREQ(demo.ShortcutName, "Demo");
  EXPECT_STREQ(demo.ShortcutDescription, "Runs the demo");
  EXPECT_EQ(summary_.Entries[1].StartMenuShortcut, 1u) << "the folder entry keeps its own wish";
  for (std::size_t i = 2; i < kEntryCount; ++i) {
    EXPECT_EQ(summary_.Entries[i].StartMenuShortcut, 0u) << "a folder's wishes do not spread to its contents";
  }
}

TEST_F(BuildRoundTrip, DataFileHoldsEveryEntryWithItsContentAndTimes) {
  FILE* in = std::fopen(dataPath_.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  DataFileHead head;
  SetupConfig config;
  ASSERT_TRUE(ReadDataFileHead(&head, in));
  ASSERT_TRUE(ReadSetupConfig(&config, in));
  EXPECT_EQ(head.FileCount, kEntryCount);
  EXPECT_EQ(head.RegistryCount, 2u);
  EXPECT_EQ(std::memcmp(&head.Summary, &summary_.Head, sizeof head.Summary), 0);
  ExpectSameConfig(config, summary_.Config);

  for (std::size_t i = 0; i < kEntryCount; ++i) {
    SCOPED_TRACE(kExpected[i].target);
    FileEntry entry;
    ASSERT_TRUE(ReadFileEntry(&entry, in));
    EXPECT_EQ(entry.Index, i);
    EXPECT_STREQ(entry.TargetPath, summary_.Entries[i].TargetPath);
    EXPECT_EQ(entry.SizeHigh, 0u);
    if (kExpected[i].source == nullptr) {
      EXPECT_EQ(entry.SizeLow, 0u);
      continue;
    }
    const std::string expected = ReadBytes(tree_.Path(kExpected[i].source));
    ASSERT_EQ(entry.SizeLow, expected.size());
    std::string content(entry.SizeLow, '\0');
    ASSERT_EQ(std::fread(content.data(), 1, content.size(), in), content.size());
    EXPECT_EQ(content, expected);
    EXPECT_EQ(Ticks(entry.CreationTime), CreationTicksOf(tree_, kExpected[i].source));
  }
  RegistryEntry path, mask;
  ASSERT_TRUE(ReadRegistryEntry(&path, in));
  ASSERT_TRUE(ReadRegistryEntry(&mask, in));
  EXPECT_EQ(std::fgetc(in), EOF) << "nothing follows the last registry entry";
  std::fclose(in);

  EXPECT_STREQ(path.RootKey, "HKEY_CURRENT_USER");
  EXPECT_STREQ(path.SubKey, "Software\\Caf\xE9 Demo");
  EXPECT_STREQ(path.ValueName, "Path");
  EXPECT_STREQ(path.ValueType, "REG_EXPAND_SZ");
  EXPECT_STREQ(path.ValueData, "%ProgramFiles%\\Demo");
  EXPECT_STREQ(mask.ValueType, "REG_DWORD");
  EXPECT_STREQ(mask.ValueData, "-1") << "read by the setup as a signed number, it gives all 32 bits set";
}

TEST_F(BuildRoundTrip, FileEntriesCarryTheSourceTimeStamps) {
  DataFileContents contents;
  std::string error;
  FILE* in = std::fopen(dataPath_.c_str(), "rb");
  ASSERT_TRUE(ReadDataFileSkippingContent(&contents, in, &error)) << error;
  std::fclose(in);
  const FileEntry& demo = contents.Files[0];
  EXPECT_EQ(Ticks(demo.LastAccessTime), ExpectedTicks(1600000000, 123456700));
  EXPECT_EQ(Ticks(demo.LastWriteTime), ExpectedTicks(1500000000, 123456700));
  const FileEntry& z = contents.Files[4];
  EXPECT_EQ(Ticks(z.LastAccessTime), ExpectedTicks(1700000000, 0));
  EXPECT_EQ(Ticks(z.LastWriteTime), ExpectedTicks(1000000000, 0));
  EXPECT_EQ(demo.RunAtFinish, 1u);
  EXPECT_EQ(demo.RegisterServer, 1u);
}

TEST(BuildOutputs, ARebuildRemovesOptionalFilesTheManifestNoLongerHas) {
  TestTree tree;
  tree.WriteFile("a.txt", "a");
  tree.WriteFile("license.txt", "terms");
  const std::string files = "[[files]]\nsource = \"a.txt\"\ntarget = \"%DIR%\\\\a.txt\"\n";
  BuildRequest request;
  request.outputBase = tree.OutputBase();
  request.manifestPath = tree.Manifest("[product]\nname = \"P\"\nlicense = \"license.txt\"\n" + files);
  BuildResult result;
  std::string error;
  ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
  ASSERT_EQ(tree.OutputFiles().size(), 3u);

  request.manifestPath = tree.Manifest("[product]\nname = \"P\"\n" + files);
  ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
  EXPECT_EQ(tree.OutputFiles(), (std::vector<std::string>{"Setup.exe.archive.bin", "Setup.exe.sum.bin"}));
}

TEST(BuildOutputs, SourcesAreFoundBelowTheGivenRoot) {
  TestTree tree;
  tree.WriteFile("staging/bin/tool.exe", "tool");
  BuildRequest request;
  request.outputBase = tree.OutputBase();
  request.sourceRoot = tree.Path("staging").string();
  request.manifestPath =
      tree.Manifest("[product]\nname = \"P\"\n[[files]]\nsource = \"bin/tool.exe\"\ntarget = \"%SYSTEM%\\\\t.exe\"\n");
  BuildResult result;
  std::string error;
  ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
  EXPECT_EQ(result.fileCount, 1u);
  EXPECT_EQ(result.totalSize, 4u);
}

TEST(BuildOutputs, AFailureWhileMovingFilesIntoPlaceLeavesNoneOfThem) {
  TestTree tree;
  tree.WriteFile("a.txt", "a");
  tree.WriteFile("out/Setup.exe.sum.bin/blocker", "a folder where the summary record should go");
  BuildRequest request;
  request.outputBase = tree.OutputBase();
  request.manifestPath =
      tree.Manifest("[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\ntarget = \"%DIR%\\\\a.txt\"\n");
  BuildResult result;
  std::string error;
  EXPECT_FALSE(BuildSetup(request, &result, &error));
  EXPECT_NE(error.find("Setup.exe.sum.bin"), std::string::npos) << error;
  EXPECT_EQ(tree.OutputFiles(), (std::vector<std::string>{"Setup.exe.sum.bin"}));
}

SummaryRecord ReadSummaryOf(const std::string& base) {
  SummaryRecord summary;
  ClearSummaryRecord(&summary);
  FILE* file = std::fopen((base + ".exe.sum.bin").c_str(), "rb");
  EXPECT_NE(file, nullptr) << base;
  if (file == nullptr) return summary;
  EXPECT_TRUE(ReadSummaryRecord(&summary, file));
  std::fclose(file);
  return summary;
}

// Nothing reads the setup program's stored path back, so an output folder that
// Windows-1252 cannot name, or one too deep for the field, costs the path, not the build.
TEST(BuildOutputs, AnOutputPathTheSetupCannotStoreLeavesItsFileName) {
  TestTree tree;
  tree.WriteFile("a.txt", "a");
  const std::string folders[] = {"\xD0\x9A\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBB\xD0\xBB\xD0\xB8\xD1\x86\xD0\xB0",
                                 std::string(150, 'd') + "/" + std::string(150, 'e')};
  for (const std::string& folder : folders) {
    BuildRequest request;
    request.outputBase = tree.Path("out/" + folder + "/Setup").string();
    request.manifestPath =
        tree.Manifest("[product]\nname = \"P\"\n[[files]]\nsource = \"a.txt\"\ntarget = \"%DIR%\\\\a.txt\"\n");
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
    EXPECT_STREQ(ReadSummaryOf(request.outputBase).Config.SetupFilePath, "Setup.exe") << folder;
  }
}

// A failure found only while the data file is written, after the output folder was made:
// /proc reports its files as empty, so this one "grows" while it is copied.
TEST(BuildOutputs, AFailedBuildRemovesTheFoldersItMade) {
  TestTree tree;
  tree.MakeFolder("out");
  BuildRequest request;
  request.outputBase = tree.Path("out/new/deeper/Setup").string();
  request.manifestPath =
      tree.Manifest("[product]\nname = \"P\"\n[[files]]\nsource = \"/proc/self/status\"\ntarget = \"%DIR%\\\\s.txt\"\n");
  BuildResult result;
  std::string error;
  ASSERT_FALSE(BuildSetup(request, &result, &error));
  EXPECT_NE(error.find("longer"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(tree.Path("out/new"))) << "the build left the folder it made";
  EXPECT_TRUE(std::filesystem::exists(tree.Path("out"))) << "the build removed a folder it did not make";
}

}  // namespace
