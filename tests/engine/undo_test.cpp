// A run that fails or is cancelled takes back every change, and never loses the user's
// data: replaced files come back with their bytes and times, or stay kept aside, named;
// overwritten registry values get their earlier data back; a log record that could not be
// written whole is cut off.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "engine/uninstall_log_file.h"
#include "formats/uninstall_log.h"
#include "shell/fault_injection.h"
#include "tests/driver/host_path.h"
#include "tests/engine/engine_test_support.h"

using namespace engine_test;

namespace {

std::string BackupRoot() { return SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Brisklay Backup\\" + kProductName; }

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanProductTraces();
    destination = sandbox / "Product";
    CreateDirectoryA(destination.c_str(), nullptr);
  }
  void TearDown() override {
    RemoveTree(BackupRoot());
    RemoveDirectoryA((SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Brisklay Backup").c_str());
    CleanProductTraces();
    CoUninitialize();
  }

  Payload Make(const std::vector<PayloadItem>& items, const std::vector<RegistryItem>& registry = {}) {
    return MakePayload(sandbox.Path(), items, registry);
  }
  bool Install(const Payload& payload) {
    InstallEngine engine(&host, PlanFor(payload, destination));
    const bool installed = engine.Install();
    outcome = engine.Outcome();
    return installed;
  }

  Sandbox sandbox;
  std::string destination;
  RecordingHost host;
  InstallOutcome outcome = InstallOutcome::kInstalled;
};

// ---- Replaced files -------------------------------------------------------------------

// A later entry that cannot be written: its folder would have to be made where a file is.
PayloadItem Unwritable() { return Item("Never", "txt", "%DIR%\\Blocker.txt\\Never.txt", PatternBytes(10, 9)); }

TEST_F(UndoTest, AFileWrittenTwiceInOneRunGetsItsOriginalBack) {
  // The second entry, in another letter case, must not take the first entry's bytes for
  // the user's file.
  const Bytes original = PatternBytes(3000, 7);
  WriteBytes(destination + "\\Twice.txt", original);
  WriteBytes(destination + "\\Blocker.txt", PatternBytes(5, 8));
  const Payload payload = Make({Item("Twice", "txt", "%DIR%\\Twice.txt", PatternBytes(10, 1)),
                                Item("TWICE", "TXT", "%DIR%\\TWICE.TXT", PatternBytes(20, 2)), Unwritable()});
  const Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_FALSE(Install(payload));

  EXPECT_EQ(outcome, InstallOutcome::kFailedAndUndone);
  const Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
  EXPECT_FALSE(PathExists(BackupRoot()));
}

TEST_F(UndoTest, AReplacedFileHeldOpenDuringTheUndoStaysKeptAsideAndIsNamed) {
  const std::string replaced = destination + "\\Data.bin";
  const Bytes original = PatternBytes(1234, 7);
  WriteBytes(replaced, original);
  WriteBytes(destination + "\\Blocker.txt", PatternBytes(5, 8));
  // Another program opens the file, without sharing it, once the run has failed and
  // before it undoes itself.
  HANDLE held = INVALID_HANDLE_VALUE;
  ScriptedMessages messages([&](const MessageBoxRequest& request) {
    if (held == INVALID_HANDLE_VALUE && request.text.rfind("Couldn't create folder", 0) == 0) {
      held = CreateFileA(replaced.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    return IDOK;
  });

  EXPECT_FALSE(Install(Make({Item("Data", "bin", "%DIR%\\Data.bin", PatternBytes(100, 1)), Unwritable()})));
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);

  ASSERT_EQ(messages.texts().size(), 2u);
  const std::string final = messages.texts()[1];
  EXPECT_NE(final.find(replaced), std::string::npos) << final;
  const std::size_t at = final.find("kept at ");
  ASSERT_NE(at, std::string::npos) << final;
  const std::string copy = final.substr(at + 8);
  EXPECT_EQ(copy.substr(0, BackupRoot().size() + 1), BackupRoot() + "\\");
  EXPECT_EQ(copy.substr(copy.rfind('\\')), "\\Data.bin") << "the copy keeps the original's name";
  EXPECT_EQ(ReadBytes(copy), original);
  EXPECT_EQ(outcome, InstallOutcome::kFailedAndUndone);
  bool noted = false;
  for (const std::string& note : host.notes) noted = noted || note.find(copy) != std::string::npos;
  EXPECT_TRUE(noted);
}

TEST_F(UndoTest, EveryChangeIsNotedAndEachStepIsABoundary) {
  WriteBytes(destination + "\\Data.bin", PatternBytes(50, 7));
  ScriptedMessages messages;

  ASSERT_TRUE(Install(Make({Item("Data", "bin", "%DIR%\\Data.bin", PatternBytes(100, 1))})));

  ASSERT_FALSE(host.boundaries.empty());
  for (std::size_t i = 0; i < host.boundaries.size(); ++i) EXPECT_EQ(host.boundaries[i], int(i) + 1);
  bool replacedNoted = false;
  for (const std::string& note : host.notes) {
    replacedNoted = replacedNoted || note.rfind("Wrote " + destination + "\\Data.bin (replaced; copy kept at ", 0) == 0;
  }
  EXPECT_TRUE(replacedNoted);
  EXPECT_FALSE(PathExists(BackupRoot())) << "copies go once the run is complete";
}

// ---- COM servers ----------------------------------------------------------------------

bool ServerRegistered() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brisklay Engine Test\\Server", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void RunRegsvr32On(const std::string& server) {
  std::string line = "regsvr32.exe /s \"" + server + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

class CancelledServerTest : public UndoTest, public ::testing::WithParamInterface<bool> {};

// A cancelled run unregisters the server it installed, waiting for it, before the file
// goes; a server it replaced is back in place and registered again.
TEST_P(CancelledServerTest, LeavesTheRegistrationAsItWas) {
  const bool replacing = GetParam();
  const Bytes server = ReadBytes(driver::WindowsPathFromHost(BRISKLAY_COM_STAND_IN));
  ASSERT_FALSE(server.empty());
  const std::string path = destination + "\\Server.dll";
  Bytes original = server;
  original.push_back(0);  // other bytes, the same server
  if (replacing) {
    WriteBytes(path, original);
    RunRegsvr32On(path);
    ASSERT_TRUE(ServerRegistered());
  }
  PayloadItem item = Item("Server", "dll", "%DIR%\\Server.dll", server);
  item.registerServer = true;
  const Payload payload = Make({item, Item("Last", "txt", "%DIR%\\Last.txt", PatternBytes(10, 2))});
  Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages([](const MessageBoxRequest&) { return IDYES; });
  InstallEngine engine(&host, PlanFor(payload, destination));
  host.onStatus = [&](const std::string& text) {
    if (text == "Writing: Last.txt...") engine.RequestAbort();
  };

  EXPECT_FALSE(engine.Install());

  EXPECT_EQ(engine.Outcome(), InstallOutcome::kCancelled);
  EXPECT_EQ(ServerRegistered(), replacing);
  if (replacing) { EXPECT_EQ(ReadBytes(path), original); }
  before.registry.clear();  // the server's own key, checked above
  Snapshot after = TakeSnapshot(sandbox.Path());
  after.registry.clear();
  EXPECT_TRUE(before == after) << Describe(before, after);
  DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Brisklay Engine Test\\Server");
}

INSTANTIATE_TEST_SUITE_P(NewOrReplacing, CancelledServerTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "replacing" : "new"); });

// ---- Registry values ------------------------------------------------------------------

TEST_F(UndoTest, AFailedRegistryWriteUndoesTheValuesWrittenBefore) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Kept", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%earlier%"), 10);
  RegCloseKey(key);
  // Keys below a volatile key must be volatile too; the run creates lasting keys.
  const std::string volatileKey = std::string(kTestRegistryKey) + "\\Volatile";
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, volatileKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const Payload payload =
      Make({Item("App", "exe", "%DIR%\\App.exe", PatternBytes(100, 1))},
           {{"HKEY_CURRENT_USER", kTestRegistryKey, "Kept", "REG_DWORD", "7"},
            {"HKEY_CURRENT_USER", std::string(kTestRegistryKey) + "\\New\\Deeper", "Fresh", "REG_SZ", "x"},
            {"HKEY_CURRENT_USER", volatileKey + "\\Lasting", "V", "REG_SZ", "D"}});
  const Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_FALSE(Install(payload));

  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Failed to write in registry!\nKey: HKEY_CURRENT_USER, Subkey: " +
                                                       volatileKey + "\\Lasting\nValue: V, Data: D"});
  EXPECT_EQ(outcome, InstallOutcome::kFailedAndUndone);
  const Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
  const RegistryValue kept = ReadRegistryValue(HKEY_CURRENT_USER, kTestRegistryKey, "Kept");
  EXPECT_EQ(kept.type, DWORD(REG_EXPAND_SZ));
  EXPECT_EQ(std::string(kept.data.begin(), kept.data.end()), std::string("%earlier%", 10));
  HKEY created;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kTestRegistryKey) + "\\New").c_str(), 0, KEY_READ, &created),
            ERROR_SUCCESS);
}

// ---- The uninstall log ----------------------------------------------------------------

TEST(UninstallLogFileTest, ARecordThatDoesNotReachTheDiskWholeIsCutOff) {
  Sandbox sandbox;
  const std::string path = sandbox / "Uninstall.log";
  UninstallLogFile log;
  ASSERT_TRUE(log.Create(path));
  UninstallLogHeader header{};
  SetBufferText(header.cName, kProductName);
  ASSERT_TRUE(log.AppendRecord([&](FILE* file) { return WriteUninstallLogHeader(header, file); }));
  FileEntry entry = ToFileEntry(Item("A", "txt", "C:\\A.txt"), 0);
  ASSERT_TRUE(log.AppendRecord([&](FILE* file) { return WriteFileEntry(entry, file); }));
  ASSERT_TRUE(log.Push());
  const uint64_t whole = log.WholeBytes();
  ASSERT_EQ(ReadBytes(path).size(), whole);

  // The next push to the disk takes only part of the records held, as a full disk does.
  ASSERT_TRUE(log.AppendRecord([&](FILE* file) { return WriteFileEntry(entry, file); }));
  fault_injection::Arm({1, ""});
  const bool pushed = log.Push();
  const bool injected = fault_injection::FailureInjected();
  fault_injection::Disarm();

  ASSERT_TRUE(injected);
  EXPECT_FALSE(pushed);
  EXPECT_EQ(ReadBytes(path).size(), whole);
  // The log stays readable: a reader takes it as two records and nothing after them.
  log.Close();
  header.dwFiles = 1;
  FILE* file = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(RewriteUninstallLogCounts(1, 0, file));
  std::fclose(file);
  file = std::fopen(path.c_str(), "rb");
  UninstallLog read;
  std::string error;
  EXPECT_TRUE(ReadUninstallLog(&read, file, &error)) << error;
  std::fclose(file);
}

}  // namespace
