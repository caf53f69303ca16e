#include "formats/uninstall_log.h"

#include <gtest/gtest.h>

#include <cstring>

#include "temp_file.h"

namespace {

UninstallLogHeader MakeHeader(const std::string& name, uint32_t files, uint32_t registryValues) {
  UninstallLogHeader header;
  memset(&header, 0, sizeof header);
  SetBufferText(header.cName, name);
  header.clrOut = 0x00FF0000;  // pure blue: bytes 00 00 FF 00
  header.clrIn = 0x000000FF;   // pure red: bytes FF 00 00 00
  header.dwFiles = files;
  header.dwReg = registryValues;
  header.bAllUsers = 1;
  return header;
}

FileEntry MakeRecord(uint32_t index, const std::string& name, const std::string& extension) {
  FileEntry record;
  memset(&record, 0, sizeof record);
  record.Index = index;
  SetBufferText(record.Name, name);
  SetBufferText(record.Extension, extension);
  SetBufferText(record.TargetPath, "C:\\Program Files\\Demo\\" + name);
  record.DesktopShortcut = 1;
  record.SizeLow = 1234;
  record.CreationTime = {0xAABBCCDD, 0x01D9ABCD};
  return record;
}

RegistryEntry MakeRegistryRecord() {
  RegistryEntry record;
  memset(&record, 0, sizeof record);
  SetBufferText(record.RootKey, "HKEY_LOCAL_MACHINE");
  SetBufferText(record.SubKey, "Software\\Demo");
  SetBufferText(record.ValueName, "Build");
  SetBufferText(record.ValueType, "REG_DWORD");
  SetBufferText(record.ValueData, "42");
  return record;
}

// Writes a log the way the installation does: every record appended by its own open.
void AppendLog(TempFile& file, const UninstallLogHeader& header, const std::vector<FileEntry>& files,
               const std::vector<RegistryEntry>& registry) {
  file.Open("wb");
  ASSERT_TRUE(WriteUninstallLogHeader(header, file.Open("a+b")));
  for (const FileEntry& record : files) ASSERT_TRUE(WriteFileEntry(record, file.Open("a+b")));
  for (const RegistryEntry& record : registry) ASSERT_TRUE(WriteRegistryEntry(record, file.Open("a+b")));
  file.Close();
}

class UninstallLogTest : public ::testing::Test {
 protected:
  bool ReadBack() {
    error = "stale";
    return ReadUninstallLog(&log, file.Open("rb"), &error);
  }
  bool Read(const Bytes& bytes) {
    error = "stale";
    return ReadUninstallLog(&log, file.OpenWith(bytes), &error);
  }

  TempFile file;
  UninstallLog log;
  std::string error;
};

TEST_F(UninstallLogTest, HeaderBytesForTheDemoProgram) {
  ASSERT_TRUE(WriteUninstallLogHeader(MakeHeader("Demo", 2, 1), file.Open("wb")));
  const Bytes expected = {0x04, 0x00, 0x00, 0x00, 0x44, 0x65, 0x6D, 0x6F, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00,
                          0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
  EXPECT_EQ(file.Contents(), expected);
}

TEST_F(UninstallLogTest, HeaderWithoutNameIsTwentyFourBytes) {
  ASSERT_TRUE(WriteUninstallLogHeader(MakeHeader("", 0, 0), file.Open("wb")));
  EXPECT_EQ(file.Contents().size(), 24u);
  ASSERT_TRUE(ReadBack()) << error;
  EXPECT_STREQ(log.Header.cName, "");
}

TEST_F(UninstallLogTest, RoundTripOfAppendedRecords) {
  const std::vector<FileEntry> files = {MakeRecord(0, "Help", "\\"), MakeRecord(1, "App", "exe")};
  AppendLog(file, MakeHeader("Demo", 2, 1), files, {MakeRegistryRecord()});
  ASSERT_TRUE(ReadBack()) << error;
  EXPECT_EQ(error, "");
  EXPECT_STREQ(log.Header.cName, "Demo");
  EXPECT_EQ(log.Header.clrOut, 0x00FF0000u);
  EXPECT_EQ(log.Header.bAllUsers, 1u);
  ASSERT_EQ(log.Files.size(), 2u);
  EXPECT_EQ(memcmp(&log.Files[0], &files[0], sizeof(FileEntry)), 0);
  EXPECT_EQ(memcmp(&log.Files[1], &files[1], sizeof(FileEntry)), 0);
  ASSERT_EQ(log.Registry.size(), 1u);
  EXPECT_STREQ(log.Registry[0].ValueData, "42");
}

// The counts sit after a name of varying length; any slip in the offset corrupts the
// colours or the first record.
TEST_F(UninstallLogTest, RewrittenCountsMatchTheRecordsWritten) {
  const std::string names[] = {"", "Demo", std::string(kMaxStoredStringLength, 'N')};
  for (const std::string& name : names) {
    SCOPED_TRACE(name.size());
    const UninstallLogHeader header = MakeHeader(name, 5, 7);
    AppendLog(file, header, {MakeRecord(0, "App", "exe")}, {});
    ASSERT_TRUE(RewriteUninstallLogCounts(1, 1, file.Open("r+b")));
    file.Close();
    ASSERT_TRUE(WriteRegistryEntry(MakeRegistryRecord(), file.Open("a+b")));

    ASSERT_TRUE(ReadBack()) << error;
    EXPECT_EQ(BufferText(log.Header.cName), name);
    EXPECT_EQ(log.Header.clrOut, header.clrOut);
    EXPECT_EQ(log.Header.clrIn, header.clrIn);
    EXPECT_EQ(log.Header.dwFiles, 1u);
    EXPECT_EQ(log.Header.dwReg, 1u);
    EXPECT_EQ(log.Header.bAllUsers, 1u);
    EXPECT_EQ(log.Files.size(), 1u);
    EXPECT_EQ(log.Registry.size(), 1u);
  }
}

TEST_F(UninstallLogTest, RewriteLeavesTheStreamReadyToAppend) {
  AppendLog(file, MakeHeader("Demo", 0, 0), {}, {});
  FILE* stream = file.Open("r+b");
  ASSERT_TRUE(RewriteUninstallLogCounts(1, 0, stream));
  ASSERT_TRUE(WriteFileEntry(MakeRecord(0, "App", "exe"), stream));
  ASSERT_TRUE(ReadBack()) << error;
  EXPECT_EQ(log.Files.size(), 1u);
}

TEST_F(UninstallLogTest, RewriteRefusesWhatIsNoWholeHeader) {
  const Bytes whole = [&] {
    AppendLog(file, MakeHeader("Demo", 0, 0), {}, {});
    return file.Contents();
  }();
  const Bytes cases[] = {
      {},
      Bytes(whole.begin(), whole.end() - 1),
      ByteWriter().U32(300).Text(std::string(320, 'x')).bytes(),
  };
  for (const Bytes& stored : cases) {
    SCOPED_TRACE(stored.size());
    EXPECT_FALSE(RewriteUninstallLogCounts(1, 1, file.OpenWith(stored, "r+b")));
    EXPECT_EQ(file.Contents(), stored);
  }
}

struct DamageCase {
  const char* name;
  Bytes stored;
  const char* expectedInError;
};

TEST_F(UninstallLogTest, ReportsDamageWithItsPlace) {
  AppendLog(file, MakeHeader("Demo", 1, 1), {MakeRecord(0, "App", "exe")}, {MakeRegistryRecord()});
  const Bytes whole = file.Contents();
  AppendLog(file, MakeHeader("Demo", 0xFFFFFFFFu, 1), {MakeRecord(0, "App", "exe")}, {MakeRegistryRecord()});
  const Bytes hugeFileCount = file.Contents();
  AppendLog(file, MakeHeader("Demo", 1, 0x7FFFFFFFu), {MakeRecord(0, "App", "exe")}, {MakeRegistryRecord()});
  const Bytes hugeRegistryCount = file.Contents();

  const DamageCase cases[] = {
      {"huge file count", hugeFileCount, "file record 1"},
      {"huge registry count", hugeRegistryCount, "registry record 1 ends early"},
      {"trailing bytes", ByteWriter().Raw(whole).U32(0).bytes(), "4 unexpected bytes"},
      {"over-long name", ByteWriter().U32(260).Text(std::string(300, 'n')).bytes(),
       "header holds an over-long string"},
      {"empty file", {}, "header ends early"},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Read(c.stored));
    EXPECT_NE(error.find(c.expectedInError), std::string::npos) << error;
  }
}

TEST_F(UninstallLogTest, EveryTruncationIsReported) {
  AppendLog(file, MakeHeader("Demo", 2, 1), {MakeRecord(0, "Help", "\\"), MakeRecord(1, "App", "exe")},
            {MakeRegistryRecord()});
  const Bytes full = file.Contents();
  for (size_t cut = 0; cut < full.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(Read(Bytes(full.begin(), full.begin() + cut)));
    EXPECT_NE(error.find("uninstall log"), std::string::npos) << error;
  }
}

}  // namespace
