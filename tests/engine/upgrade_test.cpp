// An installed version 1.0 upgraded in its folder by 2.0, which drops a file (with its
// folder and its link), adds one, drops a registry value, and no longer has a file the
// user changed. Then the same upgrade failed at each of its changes from the first
// removal on: every such run must leave 1.0 exactly as it was.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

#include "formats/uninstall_log.h"
#include "shell/fault_injection.h"
#include "shell/paths.h"
#include "shell/shared_files.h"
#include "tests/engine/engine_test_support.h"
#include "tests/engine/machine_snapshot.h"

using namespace engine_test;

namespace {

const std::string kSettingsKey = std::string(kTestRegistryKey) + "\\Settings";
const std::string kLegacyKey = std::string(kTestRegistryKey) + "\\Legacy\\Deep";

std::vector<PayloadItem> EarlierItems() {
  std::vector<PayloadItem> items = {
      Item("Docs", "\\", "%DIR%\\Docs"),
      Item("App", "exe", "%DIR%\\App.exe", PatternBytes(300, 1)),
      Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(50, 2)),
      Item("Old", "txt", "%DIR%\\Old\\Old.txt", PatternBytes(40, 3)),
      Item("Notes", "txt", "%DIR%\\Notes.txt", PatternBytes(30, 4)),
      // Shared with other programs: it stays, for the uninstaller to take away with its count.
      Item("BET Upgrade Shared", "txt", "%WINDOWS%\\BET Upgrade Shared.txt", PatternBytes(10, 5)),
  };
  items[1].startMenu = items[1].desktop = true;
  items[1].shortcutName = "BET App";
  items[3].desktop = true;
  items[3].shortcutName = "BET Old";
  return items;
}

std::vector<RegistryItem> EarlierRegistry() {
  return {{"HKEY_CURRENT_USER", kSettingsKey, "Mode", "REG_SZ", "1"},
          {"HKEY_CURRENT_USER", kLegacyKey, "Flag", "REG_DWORD", "1"}};
}

std::vector<PayloadItem> LaterItems() {
  std::vector<PayloadItem> items = {
      Item("Docs", "\\", "%DIR%\\Docs"),
      Item("App", "exe", "%DIR%\\App.exe", PatternBytes(420, 11)),
      Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(50, 2)),
      Item("New", "txt", "%DIR%\\New.txt", PatternBytes(25, 12)),
  };
  items[1].startMenu = items[1].desktop = true;
  items[1].shortcutName = "BET App";
  items[1].lastWriteTime = 0x01D2222222222222ull;
  return items;
}

std::vector<RegistryItem> LaterRegistry() {
  return {{"HKEY_CURRENT_USER", kSettingsKey, "Mode", "REG_SZ", "2"},
          {"HKEY_CURRENT_USER", kSettingsKey, "Fresh", "REG_SZ", "new"}};
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

class UpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanProductTraces();
    destination_ = sandbox_ / "Product";
    for (const char* name : {"v1", "v2"}) CreateDirectoryA((sandbox_ / name).c_str(), nullptr);
    earlier_ = MakePayload(sandbox_ / "v1", EarlierItems(), EarlierRegistry());
    later_ = MakePayload(sandbox_ / "v2", LaterItems(), LaterRegistry());
    desktop_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    backups_ = SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Brisklay Backup";
    scope_.trees = {destination_, SpecialFolder(CSIDL_PROGRAMS) + "\\" + kProductName, backups_};
    scope_.shallowFolders = {desktop_, WithoutTrailingBackslash(TempFolder())};
    scope_.keys = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kTestRegistryKey},
                   {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kUninstallKey}};
  }
  void TearDown() override {
    fault_injection::Disarm();
    CleanProductTraces();
    RemoveSharedFile();
    RemoveTree(destination_);
    CoUninitialize();
  }

  static std::string SharedFile() { return WindowsFolder() + "\\BET Upgrade Shared.txt"; }
  static void RemoveSharedFile() {
    DeleteFileA(SharedFile().c_str());
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, SharedFile().c_str());
  }

  // Version 1.0 installed, and its Notes.txt since rewritten by the user.
  void InstallEarlierVersion() {
    CleanProductTraces();
    RemoveSharedFile();
    RemoveTree(destination_);
    // Copies an earlier test left behind would hide the ones this run leaves.
    RemoveTree(backups_ + "\\" + kProductName);
    RemoveDirectoryA(backups_.c_str());
    ScriptedMessages messages;
    RecordingHost host;
    InstallEngine engine(&host, PlanFor(earlier_, destination_));
    ASSERT_TRUE(engine.Install());
    ASSERT_FALSE(engine.Upgrades());
    WriteBytes(destination_ + "\\Notes.txt", PatternBytes(31, 99));
  }

  Sandbox sandbox_;
  std::string destination_, desktop_, backups_;
  Payload earlier_, later_;
  SnapshotScope scope_;
};

std::vector<std::string> LoggedTargets(const std::string& logPath) {
  std::vector<std::string> targets;
  FILE* file = std::fopen(logPath.c_str(), "rb");
  if (file == nullptr) return targets;
  UninstallLog log;
  if (ReadUninstallLog(&log, file, nullptr)) {
    for (const FileEntry& record : log.Files) targets.push_back(record.TargetPath);
  }
  std::fclose(file);
  std::sort(targets.begin(), targets.end());
  return targets;
}

TEST_F(UpgradeTest, RemovesWhatOnlyTheEarlierVersionHadAndKeepsAChangedFile) {
  ASSERT_NO_FATAL_FAILURE(InstallEarlierVersion());
  ScriptedMessages messages;
  RecordingHost host;
  InstallEngine engine(&host, PlanFor(later_, destination_));
  ASSERT_TRUE(engine.Install());
  EXPECT_TRUE(engine.Upgrades());

  EXPECT_EQ(ReadBytes(destination_ + "\\App.exe"), PatternBytes(420, 11));
  EXPECT_TRUE(PathExists(destination_ + "\\New.txt"));
  EXPECT_FALSE(PathExists(destination_ + "\\Old")) << "the dropped file's folder stays";
  EXPECT_FALSE(PathExists(desktop_ + "\\BET Old.lnk"));
  EXPECT_TRUE(PathExists(desktop_ + "\\BET App.lnk"));
  EXPECT_EQ(ReadBytes(destination_ + "\\Notes.txt"), PatternBytes(31, 99));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kTestRegistryKey) + "\\Legacy"));
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Fresh").found);
  EXPECT_FALSE(PathExists(backups_)) << "the removed files' copies outlive the run";

  // The changed file is named in the log of the run and in a warning at its end.
  const std::string notes = destination_ + "\\Notes.txt";
  EXPECT_NE(std::find(host.notes.begin(), host.notes.end(),
                      "Kept the earlier version's " + notes + " (changed since installation)"),
            host.notes.end());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].caption, "Warning");
  EXPECT_NE(messages.shown()[0].text.find(notes), std::string::npos) << messages.shown()[0].text;

  // The log names the installed version alone, and the earlier version's shared file,
  // which stays until the uninstaller takes it away with its count.
  EXPECT_TRUE(PathExists(SharedFile()));
  std::vector<std::string> expected;
  for (const char* name : {"App.exe", "Docs", "Docs\\Readme.txt", "New.txt"}) {
    expected.push_back(destination_ + "\\" + name);
  }
  expected.push_back(SharedFile());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(LoggedTargets(destination_ + "\\Uninstall.log"), expected);
}

// Runs the upgrade with call `failingCall` of the seam failing (0: none); the calls counted.
std::vector<std::string> RunUpgrade(const Payload& payload, const std::string& destination, unsigned failingCall,
                                    InstallOutcome* outcome, std::string* finalError) {
  ScriptedMessages messages([](const MessageBoxRequest& request) {
    return (request.flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  });
  RecordingHost host;
  InstallEngine engine(&host, PlanFor(payload, destination));
  fault_injection::Arm({failingCall, ""});
  engine.Install();
  fault_injection::Disarm();
  *outcome = engine.Outcome();
  finalError->clear();
  for (const MessageBoxRequest& shown : messages.shown()) {
    if ((shown.flags & MB_ICONMASK) == MB_ICONERROR) *finalError = shown.text;
  }
  return fault_injection::CountedPaths();
}

TEST_F(UpgradeTest, AFailedUpgradeLeavesTheEarlierVersionExactlyAsItWas) {
  ASSERT_NO_FATAL_FAILURE(InstallEarlierVersion());
  InstallOutcome outcome;
  std::string error;
  const std::vector<std::string> calls = RunUpgrade(later_, destination_, 0, &outcome, &error);
  ASSERT_EQ(outcome, InstallOutcome::kInstalled);
  // From the first change to what only the earlier version had, to the run's last change.
  const auto firstRemoval = std::find_if(calls.begin(), calls.end(), [&](const std::string& path) {
    return SamePath(path, destination_ + "\\Old\\Old.txt") || SamePath(path, desktop_ + "\\BET Old.lnk");
  });
  ASSERT_NE(firstRemoval, calls.end()) << "the upgrade removed nothing through the seam";

  std::string failures;
  unsigned undone = 0;
  bool earlierInstalled = false;
  MachineSnapshot before;
  for (unsigned n = static_cast<unsigned>(firstRemoval - calls.begin()) + 1; n <= calls.size(); ++n) {
    if (!earlierInstalled) {
      ASSERT_NO_FATAL_FAILURE(InstallEarlierVersion());
      before = MachineSnapshot::Take(scope_);
      earlierInstalled = true;
    }
    RunUpgrade(later_, destination_, n, &outcome, &error);
    const std::string what = "call " + std::to_string(n) + " (" + calls[n - 1] + ")";
    if (outcome == InstallOutcome::kInstalled) {
      // A failure the run rides out; 1.0 is gone, so the next run needs it again.
      earlierInstalled = false;
      continue;
    }
    const std::string differences = Differences(before, MachineSnapshot::Take(scope_), 5);
    if (!differences.empty()) failures += what + ": the machine differs:\n" + differences;
    if (error.empty()) failures += what + ": no error message\n";
    ++undone;
  }
  EXPECT_EQ(failures, "");
  EXPECT_GT(undone, 0u);
  std::printf("[ covered  ] calls %u to %zu failed in turn, %u of them undone\n",
              static_cast<unsigned>(firstRemoval - calls.begin()) + 1, calls.size(), undone);
}

}  // namespace
