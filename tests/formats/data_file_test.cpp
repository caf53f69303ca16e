#include "formats/data_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "temp_file.h"

namespace {

FileEntry MakeFileEntry(uint32_t index, const std::string& name, const std::string& extension, uint32_t size) {
  FileEntry entry;
  memset(&entry, 0, sizeof entry);
  entry.Index = index;
  SetBufferText(entry.Name, name);
  SetBufferText(entry.Extension, extension);
  SetBufferText(entry.TargetPath, "%DIR%\\" + name + (extension == "\\" ? "" : "." + extension));
  entry.StartMenuShortcut = 1;
  entry.StartupShortcut = 2;
  SetBufferText(entry.ShortcutName, name);
  entry.RunAtFinish = 1;
  entry.SizeLow = size;
  entry.CreationTime = {0x11111111, 0x01D00000};
  entry.LastAccessTime = {0x22222222, 0x01D00001};
  entry.LastWriteTime = {0x33333333, 0x01D00002};
  return entry;
}

RegistryEntry MakeRegistryEntry(const std::string& valueName, const std::string& data) {
  RegistryEntry entry;
  memset(&entry, 0, sizeof entry);
  SetBufferText(entry.RootKey, "HKEY_LOCAL_MACHINE");
  SetBufferText(entry.SubKey, "Software\\Demo");
  SetBufferText(entry.ValueName, valueName);
  SetBufferText(entry.ValueType, "REG_DWORD");
  SetBufferText(entry.ValueData, data);
  return entry;
}

// What goes into a data file; stored counts and sizes can be set to lie about the records.
struct DataFileLayout {
  std::vector<std::pair<FileEntry, std::string>> files;  // entry, content
  std::vector<RegistryEntry> registry;
  uint32_t storedFileCount;
  uint32_t storedRegistryCount;
  Bytes trailing;

  DataFileLayout() {
    files = {{MakeFileEntry(0, "Help", "\\", 0), ""},
             {MakeFileEntry(1, "App", "exe", 5), "hello"},
             {MakeFileEntry(2, "Empty", "txt", 0), ""}};
    registry = {MakeRegistryEntry("Version", "3"), MakeRegistryEntry("Path", "%DIR%")};
    storedFileCount = 3;
    storedRegistryCount = 2;
  }

  Bytes Write() const {
    TempFile file;
    FILE* stream = file.Open("wb");
    DataFileHead head = {storedFileCount, storedRegistryCount, {1, 0, 0, 5}};
    SetupConfig config;
    memset(&config, 0, sizeof config);
    SetBufferText(config.ProductName, "Demo");
    config.clrIn = 0x000000FF;
    EXPECT_TRUE(WriteDataFileHead(head, stream));
    EXPECT_TRUE(WriteSetupConfig(config, stream));
    for (const auto& [entry, content] : files) {
      EXPECT_TRUE(WriteFileEntry(entry, stream));
      if (!content.empty()) fwrite(content.data(), 1, content.size(), stream);
    }
    for (const RegistryEntry& entry : registry) EXPECT_TRUE(WriteRegistryEntry(entry, stream));
    if (!trailing.empty()) fwrite(trailing.data(), 1, trailing.size(), stream);
    return file.Contents();
  }
};

class DataFileTest : public ::testing::Test {
 protected:
  bool Read(const Bytes& bytes) {
    error = "stale";
    return ReadDataFileSkippingContent(&contents, file.OpenWith(bytes), &error);
  }

  TempFile file;
  DataFileContents contents;
  std::string error;
};

TEST_F(DataFileTest, ReadsEveryRecordAndSkipsContent) {
  const DataFileLayout layout;
  ASSERT_TRUE(Read(layout.Write())) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(contents.Head.FileCount, 3u);
  EXPECT_EQ(contents.Head.RegistryCount, 2u);
  EXPECT_EQ(contents.Head.Summary.HasInformation, 1u);
  EXPECT_EQ(contents.Head.Summary.TotalSizeLow, 5u);
  EXPECT_STREQ(contents.Config.ProductName, "Demo");
  EXPECT_EQ(contents.Config.clrIn, 0x000000FFu);
  ASSERT_EQ(contents.Files.size(), 3u);
  for (size_t i = 0; i < contents.Files.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(memcmp(&contents.Files[i], &layout.files[i].first, sizeof(FileEntry)), 0);
  }
  ASSERT_EQ(contents.Registry.size(), 2u);
  EXPECT_EQ(memcmp(&contents.Registry[1], &layout.registry[1], sizeof(RegistryEntry)), 0);
}

TEST_F(DataFileTest, HeadAndConfigAloneAreAWholeFile) {
  DataFileLayout layout;
  layout.files.clear();
  layout.registry.clear();
  layout.storedFileCount = 0;
  layout.storedRegistryCount = 0;
  ASSERT_TRUE(Read(layout.Write())) << error;
  EXPECT_TRUE(contents.Files.empty());
  EXPECT_TRUE(contents.Registry.empty());
}

TEST_F(DataFileTest, MeasuresFromWhereTheStreamStands) {
  const Bytes prefix = {'s', 'k', 'i', 'p'};
  FILE* stream = file.OpenWith(ByteWriter().Raw(prefix).Raw(DataFileLayout().Write()).bytes());
  ASSERT_EQ(fseek(stream, static_cast<long>(prefix.size()), SEEK_SET), 0);
  EXPECT_TRUE(ReadDataFileSkippingContent(&contents, stream, &error)) << error;
  EXPECT_EQ(contents.Files.size(), 3u);
}

TEST_F(DataFileTest, FileEntryHasItsFixedLayout) {
  const FileEntry entry = MakeFileEntry(7, "App", "exe", 0x01020304);
  const Bytes expected = ByteWriter()
                             .U32(7).Str("App").Str("exe").Str("%DIR%\\App.exe")
                             .U32(1).U32(0).U32(2)
                             .Str("App").Str("")
                             .U32(1).U32(0).U32(0).U32(0x01020304)
                             .U32(0x11111111).U32(0x01D00000)
                             .U32(0x22222222).U32(0x01D00001)
                             .U32(0x33333333).U32(0x01D00002)
                             .bytes();
  EXPECT_TRUE(WriteFileEntry(entry, file.Open("wb")));
  EXPECT_EQ(file.Contents(), expected);
}

struct DamageCase {
  const char* name;
  std::function<void(DataFileLayout&)> damage;
  const char* expectedInError;
};

TEST_F(DataFileTest, ReportsDamageWithItsPlace) {
  const DamageCase cases[] = {
      {"huge file count", [](DataFileLayout& l) { l.storedFileCount = 0xFFFFFFFFu; }, "file entry"},
      {"one file entry missing", [](DataFileLayout& l) { l.storedFileCount = 4; }, "file entry 3"},
      {"huge registry count", [](DataFileLayout& l) { l.storedRegistryCount = 0x7FFFFFFFu; },
       "registry entry 2 ends early"},
      {"registry entries left over", [](DataFileLayout& l) { l.storedRegistryCount = 1; }, "unexpected bytes"},
      {"content longer than the file", [](DataFileLayout& l) { l.files[1].first.SizeLow = 0xFFFFFFF0u; },
       "file entry 1 has content of 4294967280 bytes"},
      {"content of 4 GiB or more", [](DataFileLayout& l) { l.files[2].first.SizeHigh = 1; },
       "file entry 2 has content of 4 GiB"},
      {"trailing byte", [](DataFileLayout& l) { l.trailing = {0}; }, "1 unexpected bytes"},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    DataFileLayout layout;
    c.damage(layout);
    EXPECT_FALSE(Read(layout.Write()));
    EXPECT_NE(error.find(c.expectedInError), std::string::npos) << error;
  }
}

TEST_F(DataFileTest, OverLongStringIsDamage) {
  DataFileLayout layout;
  layout.storedRegistryCount = 3;
  const Bytes stored =
      ByteWriter().Raw(layout.Write()).Str("HKEY_USERS").U32(260).Text(std::string(260, 'k')).bytes();
  EXPECT_FALSE(Read(stored));
  EXPECT_NE(error.find("registry entry 2 holds an over-long string"), std::string::npos) << error;
}

TEST_F(DataFileTest, NegativeStringLengthReadsAsEmpty) {
  DataFileLayout layout;
  layout.storedRegistryCount = 3;
  const Bytes stored = ByteWriter()
                           .Raw(layout.Write())
                           .Str("HKEY_USERS").U32(0xFFFFFFFFu).Str("Name").Str("REG_SZ").U32(0x80000000u)
                           .bytes();
  ASSERT_TRUE(Read(stored)) << error;
  EXPECT_STREQ(contents.Registry[2].SubKey, "");
  EXPECT_STREQ(contents.Registry[2].ValueData, "");
}

TEST_F(DataFileTest, EveryTruncationIsReported) {
  const Bytes full = DataFileLayout().Write();
  for (size_t cut = 0; cut < full.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(Read(Bytes(full.begin(), full.begin() + cut)));
    EXPECT_NE(error.find("data file"), std::string::npos) << error;
  }
}

TEST(IsFolderEntryTest, OnlyTheSingleBackslashMarksAFolder) {
  const struct {
    const char* extension;
    bool folder;
  } cases[] = {{"\\", true}, {"\\\\", false}, {"", false}, {"/", false}, {"exe", false}, {"\\x", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.extension);
    EXPECT_EQ(IsFolderEntry(c.extension), c.folder);
  }
}

}  // namespace
