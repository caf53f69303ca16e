// One log for two installations into the same folder: the merged records, and how the
// run's log takes the place of whatever "Uninstall.log" the folder already holds.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "engine/stale_entries.h"
#include "engine/uninstall_log_merge.h"
#include "engine/uninstall_log_placement.h"
#include "formats/uninstall_log.h"
#include "tests/engine/engine_test_support.h"

using namespace engine_test;

namespace {

FileEntry File(const std::string& targetPath, uint32_t size, bool folder = false) {
  FileEntry record{};
  SetBufferText(record.Name, "n");
  SetBufferText(record.Extension, folder ? "\\" : "bin");
  SetBufferText(record.TargetPath, targetPath);
  record.SizeLow = size;
  return record;
}

FileEntry WithShortcuts(FileEntry record) {
  record.StartMenuShortcut = record.DesktopShortcut = record.StartupShortcut = 1;
  return record;
}

RegistryEntry Value(const std::string& subKey, const std::string& name, const std::string& data,
                    const std::string& root = "HKEY_CURRENT_USER") {
  RegistryEntry record{};
  SetBufferText(record.RootKey, root);
  SetBufferText(record.SubKey, subKey);
  SetBufferText(record.ValueName, name);
  SetBufferText(record.ValueType, "REG_SZ");
  SetBufferText(record.ValueData, data);
  return record;
}

UninstallLog Log(const std::string& name, uint32_t allUsers, std::vector<FileEntry> files,
                 std::vector<RegistryEntry> registry, uint32_t colour = 0x00112233) {
  UninstallLog log;
  log.Header = UninstallLogHeader{};
  SetBufferText(log.Header.cName, name);
  log.Header.clrOut = colour;
  log.Header.clrIn = colour + 1;
  log.Header.bAllUsers = allUsers;
  log.Files = std::move(files);
  log.Registry = std::move(registry);
  log.Header.dwFiles = static_cast<uint32_t>(log.Files.size());
  log.Header.dwReg = static_cast<uint32_t>(log.Registry.size());
  return log;
}

std::vector<std::string> Targets(const UninstallLog& log) {
  std::vector<std::string> targets;
  for (const FileEntry& record : log.Files) targets.push_back(record.TargetPath);
  return targets;
}

std::vector<std::string> Values(const UninstallLog& log) {
  std::vector<std::string> values;
  for (const RegistryEntry& record : log.Registry) {
    values.push_back(std::string(record.RootKey) + "\\" + record.SubKey + "\\" + record.ValueName + "=" +
                     record.ValueData);
  }
  return values;
}

// ---- The merged records ----------------------------------------------------------------

TEST(MergeUninstallLogs, KeepsWhatOnlyTheFirstInstallationNamedAndTakesTheRestFromTheSecond) {
  const UninstallLog older =
      Log("Demo", 0,
          {File("C:\\App", 0, true), File("C:\\App\\Old.dll", 10), File("C:\\App\\Docs\\", 0, true),
           File("C:\\App\\Shared.exe", 20)},
          {Value("Software\\Demo", "OldOnly", "1"), Value("Software\\Demo", "Both", "old")}, 0x00AAAAAA);
  const UninstallLog newer =
      Log("Demo", 0,
          {File("C:\\APP", 0, true), File("c:\\app\\shared.EXE", 25), File("C:\\App\\Docs", 0, true),
           File("C:\\App\\New.txt", 30)},
          {Value("SOFTWARE\\demo", "BOTH", "new"), Value("Software\\Demo", "NewOnly", "2")}, 0x00BBBBBB);

  const UninstallLog merged = MergeUninstallLogs(older, newer);

  // The newer spelling and record of a path both runs named, its size that of the file
  // now on disk; a trailing backslash makes no other folder.
  EXPECT_EQ(Targets(merged), (std::vector<std::string>{"C:\\App\\Old.dll", "C:\\APP", "c:\\app\\shared.EXE",
                                                       "C:\\App\\Docs", "C:\\App\\New.txt"}));
  EXPECT_EQ(merged.Files[2].SizeLow, 25u);
  EXPECT_EQ(Values(merged), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Demo\\OldOnly=1",
                                                      "HKEY_CURRENT_USER\\SOFTWARE\\demo\\BOTH=new",
                                                      "HKEY_CURRENT_USER\\Software\\Demo\\NewOnly=2"}));
  EXPECT_EQ(merged.Header.dwFiles, merged.Files.size());
  EXPECT_EQ(merged.Header.dwReg, merged.Registry.size());
  EXPECT_EQ(merged.Header.clrOut, 0x00BBBBBBu);
}

TEST(MergeUninstallLogs, TellsValuesOfDifferentRootsAndNamesApart) {
  const UninstallLog older = Log("Demo", 0, {},
                                 {Value("Software\\Demo", "", "default"), Value("Software\\Demo", "A", "1"),
                                  Value("Software\\Demo", "A", "1", "HKEY_LOCAL_MACHINE")});
  const UninstallLog newer = Log("Demo", 0, {}, {Value("Software\\Demo\\A", "", "x")});
  EXPECT_EQ(MergeUninstallLogs(older, newer).Registry.size(), 4u);
}

struct ShortcutCase {
  const char* name;
  uint32_t olderAllUsers, newerAllUsers;
  bool olderLinksKept;
};

class MergedShortcutsTest : public ::testing::TestWithParam<ShortcutCase> {};

// The uninstaller looks for links only in the folders the header's choice names.
TEST_P(MergedShortcutsTest, OlderLinksAreClaimedOnlyWhereTheUninstallerLooks) {
  const ShortcutCase& c = GetParam();
  const UninstallLog older = Log("Demo", c.olderAllUsers, {WithShortcuts(File("C:\\App\\Old.exe", 1))}, {});
  const UninstallLog newer = Log("Demo", c.newerAllUsers, {WithShortcuts(File("C:\\App\\New.exe", 1))}, {});
  const UninstallLog merged = MergeUninstallLogs(older, newer);
  ASSERT_EQ(merged.Files.size(), 2u);
  EXPECT_EQ(merged.Header.bAllUsers, c.newerAllUsers);
  const uint32_t expected = c.olderLinksKept ? 1 : 0;
  EXPECT_EQ(merged.Files[0].StartMenuShortcut, expected);
  EXPECT_EQ(merged.Files[0].DesktopShortcut, expected);
  EXPECT_EQ(merged.Files[0].StartupShortcut, expected);
  EXPECT_EQ(merged.Files[1].StartMenuShortcut, 1u);
}

INSTANTIATE_TEST_SUITE_P(AllUsersChoices, MergedShortcutsTest,
                         ::testing::Values(ShortcutCase{"BothCurrentUser", 0, 0, true},
                                           ShortcutCase{"BothAllUsers", 1, 7, true},
                                           ShortcutCase{"NowAllUsers", 0, 1, false},
                                           ShortcutCase{"NowCurrentUser", 1, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsSameProduct, ComparesNamesWithoutCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  for (const Case& c : {Case{"Demo", "Demo", true}, Case{"Demo", "DEMO", true}, Case{"Demo", "Demo 2", false},
                        Case{"", "Demo", false}, Case{"", "", true}}) {
    EXPECT_EQ(IsSameProduct(Log(c.a, 0, {}, {}).Header, Log(c.b, 0, {}, {}).Header), c.same) << c.a << "|" << c.b;
  }
}

// ---- Putting the run's log in place -----------------------------------------------------

bool WriteLog(const std::string& path, const UninstallLog& log) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = WriteUninstallLogHeader(log.Header, file);
  for (const FileEntry& record : log.Files) written = written && WriteFileEntry(record, file);
  for (const RegistryEntry& record : log.Registry) written = written && WriteRegistryEntry(record, file);
  return std::fclose(file) == 0 && written;
}

bool ReadLog(const std::string& path, UninstallLog* log) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::string error;
  const bool read = ReadUninstallLog(log, file, &error);
  std::fclose(file);
  return read;
}

UninstallLog FirstRun() {
  return Log("Demo", 0, {File("C:\\App\\Old.dll", 10), File("C:\\App\\Both.exe", 20)},
             {Value("Software\\Demo", "Old", "1")});
}

UninstallLog SecondRun() {
  return Log("Demo", 0, {File("C:\\App\\Both.exe", 21), File("C:\\App\\New.txt", 30)},
             {Value("Software\\Demo", "New", "2")});
}

Bytes Cut(Bytes bytes) {
  bytes.resize(bytes.size() - 3);
  return bytes;
}

Bytes Lengthened(Bytes bytes) {
  bytes.push_back(0);
  return bytes;
}

struct PlacementCase {
  const char* name;
  // What the destination folder holds before; null for nothing at all.
  std::function<Bytes()> existing;
  std::function<Bytes()> run;
  LogPlacement expected;
};

// Through a file of its own: a second Sandbox made in the same clock tick would share
// the test's folder.
Bytes LogBytes(const UninstallLog& log) {
  const std::string path = TempFolder() + "brisklay-merge-" + std::to_string(GetCurrentProcessId()) + ".log";
  EXPECT_TRUE(WriteLog(path, log));
  Bytes bytes = ReadBytes(path);
  DeleteFileA(path.c_str());
  return bytes;
}

Bytes Merged() { return LogBytes(MergeUninstallLogs(FirstRun(), SecondRun())); }
Bytes Second() { return LogBytes(SecondRun()); }

class PlaceUninstallLogTest : public ::testing::TestWithParam<PlacementCase> {
 protected:
  std::string RunLog() const { return sandbox_ / "temp Uninstall.log"; }
  std::string DestinationLog() const { return sandbox_ / "Uninstall.log"; }
  Sandbox sandbox_;
};

// Whatever the folder held, the run's log leaves the temporary folder and the uninstaller
// finds one whole log that names at least everything of the run.
TEST_P(PlaceUninstallLogTest, LeavesOneLogAndNothingBehind) {
  const PlacementCase& c = GetParam();
  WriteBytes(RunLog(), c.run());
  if (c.existing) WriteBytes(DestinationLog(), c.existing());
  const Bytes run = ReadBytes(RunLog());

  EXPECT_EQ(PlaceUninstallLog(RunLog(), DestinationLog()), c.expected);

  EXPECT_FALSE(PathExists(RunLog()));
  EXPECT_FALSE(PathExists(DestinationLog() + ".new"));
  EXPECT_EQ(ReadBytes(DestinationLog()), c.expected == LogPlacement::kMerged ? Merged() : run);
}

INSTANTIATE_TEST_SUITE_P(
    ExistingLogs, PlaceUninstallLogTest,
    ::testing::Values(PlacementCase{"NoneThere", nullptr, Second, LogPlacement::kMoved},
                      PlacementCase{"SameProduct", [] { return LogBytes(FirstRun()); }, Second,
                                    LogPlacement::kMerged},
                      PlacementCase{"SameProductOtherCase",
                                    [] {
                                      UninstallLog first = FirstRun();
                                      SetBufferText(first.Header.cName, "DEMO");
                                      return LogBytes(first);
                                    },
                                    Second, LogPlacement::kMerged},
                      PlacementCase{"AnotherProduct", [] { return LogBytes(Log("Other", 0, {}, {})); }, Second,
                                    LogPlacement::kReplaced},
                      PlacementCase{"CutShort", [] { return Cut(LogBytes(FirstRun())); }, Second,
                                    LogPlacement::kReplaced},
                      PlacementCase{"TrailingBytes", [] { return Lengthened(LogBytes(FirstRun())); }, Second,
                                    LogPlacement::kReplaced},
                      PlacementCase{"Empty", [] { return Bytes(); }, Second, LogPlacement::kReplaced},
                      PlacementCase{"Garbage", [] { return PatternBytes(300, 9); }, Second,
                                    LogPlacement::kReplaced},
                      // A run log the merge cannot read still goes in place: it is all
                      // there is about the run.
                      PlacementCase{"RunLogDamaged", [] { return LogBytes(FirstRun()); },
                                    [] { return Cut(LogBytes(SecondRun())); }, LogPlacement::kReplaced}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaceUninstallLog, ReplacesAReadOnlyLog) {
  Sandbox sandbox;
  ASSERT_TRUE(WriteLog(sandbox / "run.log", SecondRun()));
  ASSERT_TRUE(WriteLog(sandbox / "Uninstall.log", FirstRun()));
  SetFileAttributesA((sandbox / "Uninstall.log").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(PlaceUninstallLog(sandbox / "run.log", sandbox / "Uninstall.log"), LogPlacement::kMerged);
  UninstallLog placed;
  ASSERT_TRUE(ReadLog(sandbox / "Uninstall.log", &placed));
  EXPECT_EQ(placed.Files.size(), 3u);
  EXPECT_FALSE(PathExists(sandbox / "run.log"));
}

// Installing into the temporary folder itself: the run's log already is the folder's.
TEST(PlaceUninstallLog, KeepsALogThatIsAlreadyInPlace) {
  Sandbox sandbox;
  ASSERT_TRUE(WriteLog(sandbox / "Uninstall.log", SecondRun()));
  const Bytes before = ReadBytes(sandbox / "Uninstall.log");
  for (const std::string& spelling : {sandbox / "Uninstall.log", sandbox / "UNINSTALL.LOG",
                                      sandbox / ".\\Uninstall.log"}) {
    EXPECT_EQ(PlaceUninstallLog(sandbox / "Uninstall.log", spelling), LogPlacement::kKept) << spelling;
    EXPECT_EQ(ReadBytes(sandbox / "Uninstall.log"), before) << spelling;
  }
}

TEST(PlaceUninstallLog, KeepsTheRunLogWhenTheFolderIsGone) {
  Sandbox sandbox;
  ASSERT_TRUE(WriteLog(sandbox / "run.log", SecondRun()));
  EXPECT_EQ(PlaceUninstallLog(sandbox / "run.log", sandbox / "Missing\\Uninstall.log"), LogPlacement::kFailed);
  EXPECT_TRUE(PathExists(sandbox / "run.log"));
}

// After an upgrade the run's log alone describes the folder: nothing of the earlier log
// survives, same product or not.
TEST(PlaceUninstallLog, AnUpgradeReplacesTheEarlierLogOfTheSameProduct) {
  Sandbox sandbox;
  ASSERT_TRUE(WriteLog(sandbox / "run.log", SecondRun()));
  ASSERT_TRUE(WriteLog(sandbox / "Uninstall.log", FirstRun()));
  EXPECT_EQ(PlaceUninstallLog(sandbox / "run.log", sandbox / "Uninstall.log", EarlierLog::kReplace),
            LogPlacement::kReplaced);
  UninstallLog placed;
  ASSERT_TRUE(ReadLog(sandbox / "Uninstall.log", &placed));
  EXPECT_EQ(Targets(placed), Targets(SecondRun()));
  EXPECT_EQ(Values(placed), Values(SecondRun()));
  EXPECT_FALSE(PathExists(sandbox / "run.log"));
}

// ---- What an upgrade leaves to remove ---------------------------------------------------

// A record names the same thing as the newer one's whatever the spelling of its path or
// value name; anything else of the earlier log is stale, each once.
TEST(FindStaleEntries, NamesWhatOnlyTheEarlierLogHasWhateverTheSpelling) {
  const UninstallLog earlier = Log("P", 0,
                                   {File("C:\\App\\Docs\\", 0, true), File("C:\\App\\APP.EXE", 1),
                                    File("c:/app/docs/readme.txt", 2), File("C:\\App\\Old.txt", 3),
                                    File("C:\\App\\Old.txt", 3), File("C:\\App\\Gone", 0, true)},
                                   {Value("Software\\P", "Mode", "1"), Value("SOFTWARE\\p", "MODE", "1"),
                                    Value("Software\\P", "Legacy", "1"),
                                    Value("Software\\P", "Mode", "1", "HKEY_LOCAL_MACHINE")});
  const UninstallLog current = Log("P", 0,
                                   {File("c:\\app\\docs", 0, true), File("C:\\App\\App.exe", 4),
                                    File("C:\\App\\Docs\\Readme.txt", 5), File("C:\\App\\New.txt", 6)},
                                   {Value("Software\\P", "mode", "2")});
  const StaleEntries stale = FindStaleEntries(earlier, current);
  std::vector<std::string> files, folders, values;
  for (const FileEntry& record : stale.files) files.push_back(record.TargetPath);
  for (const FileEntry& record : stale.folders) folders.push_back(record.TargetPath);
  for (const RegistryEntry& record : stale.registry) {
    values.push_back(std::string(record.RootKey) + "\\" + record.SubKey + "\\" + record.ValueName);
  }
  EXPECT_EQ(files, std::vector<std::string>({"C:\\App\\Old.txt"}));
  EXPECT_EQ(folders, std::vector<std::string>({"C:\\App\\Gone"}));
  EXPECT_EQ(values, std::vector<std::string>({"HKEY_CURRENT_USER\\Software\\P\\Legacy",
                                              "HKEY_LOCAL_MACHINE\\Software\\P\\Mode"}));
}

}  // namespace
