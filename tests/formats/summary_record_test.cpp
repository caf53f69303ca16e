#include "formats/summary_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "temp_file.h"

namespace {

const std::string kUninstallerLines =
    "Uninstall.exe - %DIR%\\Uninstall.exe\r\n"
    "Uninstall.log - %DIR%\\Uninstall.log\r\n";

SummaryEntry MakeEntry(const std::string& name, const std::string& extension, const std::string& target,
                       uint32_t startMenu = 0, uint32_t desktop = 0) {
  SummaryEntry entry;
  memset(&entry, 0, sizeof entry);
  SetBufferText(entry.Name, name);
  SetBufferText(entry.Extension, extension);
  SetBufferText(entry.TargetPath, target);
  entry.StartMenuShortcut = startMenu;
  entry.DesktopShortcut = desktop;
  entry.StartupShortcut = 1;
  SetBufferText(entry.ShortcutName, name + " shortcut");
  SetBufferText(entry.ShortcutDescription, "Opens " + name);
  return entry;
}

SummaryRecord MakeRecord(const std::vector<SummaryEntry>& entries) {
  SummaryRecord record;
  ClearSummaryRecord(&record);
  record.Head = {1, 1, 0, 123456};
  SetBufferText(record.Config.ProductName, "Demo Product");
  SetBufferText(record.Config.SetupFilePath, "C:\\Out\\DemoSetup.exe");
  record.Config.SupportsWin95 = 1;
  record.Config.SupportsWinXP = 1;
  record.Config.SupportsWinVista2008 = 2;
  SetBufferText(record.Config.Link1Caption, "Home page");
  SetBufferText(record.Config.Link1Url, "http://example.invalid/");
  SetBufferText(record.Config.Link3Url, "http://example.invalid/help");
  record.Config.clrOut = 0x00FF0000;
  record.Config.clrIn = 0x000000FF;
  record.Config.ShowBackground = 1;
  record.Config.BackgroundImageX = kPlaceCentre;
  record.Config.BackgroundImageY = kPlaceFar;
  record.DataFileCrc = 0xCAFEBABE;
  record.SetupDataCrc = 0x0BADF00D;
  record.Entries = entries;
  return record;
}

Bytes Serialize(const SummaryRecord& record) {
  TempFile file;
  EXPECT_TRUE(WriteSummaryRecord(record, file.Open("wb")));
  return file.Contents();
}

bool EveryBufferTerminated(const SummaryRecord& record) {
  std::vector<const char*> buffers = {record.Config.ProductName,  record.Config.SetupFilePath,
                                      record.Config.Link1Caption, record.Config.Link1Url,
                                      record.Config.Link2Caption, record.Config.Link2Url,
                                      record.Config.Link3Caption, record.Config.Link3Url};
  for (const SummaryEntry& entry : record.Entries) {
    for (const char* buffer : {entry.Name, entry.Extension, entry.TargetPath, entry.ShortcutName,
                               entry.ShortcutDescription}) {
      buffers.push_back(buffer);
    }
  }
  for (const char* buffer : buffers) {
    if (memchr(buffer, '\0', kStringBufferSize) == nullptr) return false;
  }
  return true;
}

void ExpectSameEntry(const SummaryEntry& actual, const SummaryEntry& expected) {
  EXPECT_EQ(BufferText(actual.Name), BufferText(expected.Name));
  EXPECT_EQ(BufferText(actual.Extension), BufferText(expected.Extension));
  EXPECT_EQ(BufferText(actual.TargetPath), BufferText(expected.TargetPath));
  EXPECT_EQ(actual.StartMenuShortcut, expected.StartMenuShortcut);
  EXPECT_EQ(actual.DesktopShortcut, expected.DesktopShortcut);
  EXPECT_EQ(actual.StartupShortcut, expected.StartupShortcut);
  EXPECT_EQ(BufferText(actual.ShortcutName), BufferText(expected.ShortcutName));
  EXPECT_EQ(BufferText(actual.ShortcutDescription), BufferText(expected.ShortcutDescription));
}

class SummaryRecordTest : public ::testing::Test {
 protected:
  // Reads `bytes` into a record that holds junk first, to show nothing stale survives.
  bool Read(const Bytes& bytes) {
    memset(&record.Head, 0xEE, sizeof record.Head);
    memset(&record.Config, 'j', sizeof record.Config);
    record.Entries.assign(3, MakeEntry("junk", "junk", "junk", 1, 1));
    record.Texts.FileListText = "junk";
    return ReadSummaryRecord(&record, file.OpenWith(bytes));
  }

  TempFile file;
  SummaryRecord record;
};

TEST_F(SummaryRecordTest, RoundTripKeepsEveryField) {
  const SummaryRecord written = MakeRecord({MakeEntry("Readme", "txt", "%DIR%\\Readme.txt", 1, 0),
                                           MakeEntry("Data", "\\", "%DIR%\\Data", 0, 1),
                                           MakeEntry(std::string(259, 'n'), "", std::string(259, 't'))});
  ASSERT_TRUE(Read(Serialize(written)));
  EXPECT_EQ(memcmp(&record.Head, &written.Head, sizeof record.Head), 0);
  EXPECT_EQ(memcmp(&record.Config, &written.Config, sizeof record.Config), 0);
  EXPECT_EQ(record.DataFileCrc, written.DataFileCrc);
  EXPECT_EQ(record.SetupDataCrc, written.SetupDataCrc);
  ASSERT_EQ(record.Entries.size(), written.Entries.size());
  for (size_t i = 0; i < written.Entries.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameEntry(record.Entries[i], written.Entries[i]);
  }
}

struct DerivedTextsCase {
  const char* name;
  std::vector<SummaryEntry> entries;
  std::string fileList;  // before the two uninstaller lines
  std::string startMenuList;
  std::string desktopList;
  bool anyStartMenu;
  bool anyDesktop;
};

TEST_F(SummaryRecordTest, DerivesTheWizardTexts) {
  const DerivedTextsCase cases[] = {
      {"no entries", {}, "", "", "", false, false},
      {"file with a Start Menu shortcut",
       {MakeEntry("Readme", "txt", "%DIR%\\Readme.txt", 1, 0)},
       "Readme.txt - %DIR%\\Readme.txt\r\n",
       "Readme.txt - %DIR%\\Readme.txt\r\n",
       "",
       true,
       false},
      {"folder appears only in the shortcut list",
       {MakeEntry("Data", "\\", "%DIR%\\Data", 0, 1)},
       "",
       "",
       "Data.\\ - %DIR%\\Data\r\n",
       false,
       true},
      {"empty extension keeps the dot",
       {MakeEntry("LICENSE", "", "%DIR%\\LICENSE")},
       "LICENSE. - %DIR%\\LICENSE\r\n",
       "",
       "",
       false,
       false},
      {"only the exact one-backslash marker is a folder; any non-zero flag counts",
       {MakeEntry("App", "exe", "%DIR%\\App.exe", 2, 1), MakeEntry("Odd", "\\\\", "%DIR%\\Odd", 0, 0),
        MakeEntry("Docs", "\\", "%DIR%\\Docs", 1, 0)},
       "App.exe - %DIR%\\App.exe\r\nOdd.\\\\ - %DIR%\\Odd\r\n",
       "App.exe - %DIR%\\App.exe\r\nDocs.\\ - %DIR%\\Docs\r\n",
       "App.exe - %DIR%\\App.exe\r\n",
       true,
       true},
  };
  for (const DerivedTextsCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Read(Serialize(MakeRecord(c.entries))));
    EXPECT_EQ(record.Entries.size(), c.entries.size());
    EXPECT_EQ(record.Texts.FileListText, c.fileList + kUninstallerLines);
    EXPECT_EQ(record.Texts.StartMenuListText, c.startMenuList);
    EXPECT_EQ(record.Texts.DesktopListText, c.desktopList);
    EXPECT_EQ(record.Texts.AnyStartMenuShortcut, c.anyStartMenu);
    EXPECT_EQ(record.Texts.AnyDesktopShortcut, c.anyDesktop);
  }
}

TEST_F(SummaryRecordTest, EmptyStreamLeavesEveryFieldCleared) {
  EXPECT_FALSE(Read({}));
  const SummaryHead zeroHead = {};
  EXPECT_EQ(memcmp(&record.Head, &zeroHead, sizeof zeroHead), 0);
  EXPECT_EQ(BufferText(record.Config.ProductName), "");
  EXPECT_EQ(BufferText(record.Config.Link3Url), "");
  EXPECT_EQ(record.Config.clrIn, 0u);
  EXPECT_EQ(record.DataFileCrc, 0u);
  EXPECT_TRUE(record.Entries.empty());
  EXPECT_EQ(record.Texts.FileListText, kUninstallerLines);
  EXPECT_EQ(record.Texts.StartMenuListText, "");
}

// The list has no count, so a record cut exactly between entries is indistinguishable
// from a shorter whole record; every other cut must be reported.
TEST_F(SummaryRecordTest, EveryCutIsReportedUnlessItFallsBetweenEntries) {
  const SummaryEntry first = MakeEntry("Readme", "txt", "%DIR%\\Readme.txt", 1, 0);
  const SummaryEntry second = MakeEntry("Data", "\\", "%DIR%\\Data", 0, 1);
  const Bytes full = Serialize(MakeRecord({first, second}));
  const size_t noEntries = Serialize(MakeRecord({})).size();
  const size_t oneEntry = Serialize(MakeRecord({first})).size();
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    SCOPED_TRACE(cut);
    const bool atBoundary = cut == noEntries || cut == oneEntry || cut == full.size();
    EXPECT_EQ(Read(Bytes(full.begin(), full.begin() + cut)), atBoundary);
    EXPECT_TRUE(EveryBufferTerminated(record));
    EXPECT_LE(record.Entries.size(), 2u);
    const std::string& files = record.Texts.FileListText;
    EXPECT_EQ(files.substr(files.size() - kUninstallerLines.size()), kUninstallerLines);
  }
}

TEST_F(SummaryRecordTest, EntryCutShortAfterItsNameIsStillListed) {
  const SummaryEntry first = MakeEntry("Readme", "txt", "%DIR%\\Readme.txt", 1, 0);
  const Bytes whole = Serialize(MakeRecord({first}));
  const Bytes cut = ByteWriter().Raw(whole).Str("Setup").bytes();

  EXPECT_FALSE(Read(cut));
  ASSERT_EQ(record.Entries.size(), 2u);
  // The fields it could not read keep the previous entry's values, as in the wizard.
  EXPECT_EQ(BufferText(record.Entries[1].Name), "Setup");
  EXPECT_EQ(BufferText(record.Entries[1].Extension), "txt");
  EXPECT_EQ(record.Texts.StartMenuListText,
            "Readme.txt - %DIR%\\Readme.txt\r\nSetup.txt - %DIR%\\Readme.txt\r\n");
}

TEST_F(SummaryRecordTest, OverLongStringFailsWithoutOverrun) {
  const Bytes stored = ByteWriter()
                           .U32(1).U32(0).U32(0).U32(10)
                           .U32(300).Text(std::string(300, 'P'))
                           .bytes();
  EXPECT_FALSE(Read(stored));
  EXPECT_EQ(BufferText(record.Config.ProductName), "");
  EXPECT_TRUE(EveryBufferTerminated(record));
}

TEST(SummaryLineTest, FormatsNameExtensionAndTarget) {
  EXPECT_EQ(SummaryLine(MakeEntry("Readme", "txt", "%DIR%\\Readme.txt")), "Readme.txt - %DIR%\\Readme.txt\r\n");
}

TEST(ConvertLineEndsTest, TurnsEachLineFeedIntoOnePair) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"no line end", "no line end"},
      {"a\nb", "a\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"ends\n", "ends\r\n"},
      {"already\r\npaired", "already\r\r\npaired"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(ConvertLineEnds(c.input), c.expected);
  }
}

}  // namespace
