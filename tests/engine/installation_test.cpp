// Whole installations from payloads made here: success, damaged payloads, cancels at the
// check points, the replace question, paths that cannot be written.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <zlib.h>

#include <cstring>
#include <memory>
#include <optional>

#include "formats/uninstall_log.h"
#include "tests/engine/engine_test_support.h"

using namespace engine_test;

namespace {

constexpr char kIntegrityMessage[] = "File integrity is corrupt!\nCRC32 checking failed.\nAborting.";
constexpr uint32_t kClrOut = 0x00FF0000;
constexpr uint32_t kClrIn = 0x000000FF;

std::vector<PayloadItem> StandardItems() {
  std::vector<PayloadItem> items(7);
  items[0] = Item("Docs", "\\", "%DIR%\\Docs");
  items[0].startMenu = true;
  items[0].shortcutName = "BET Docs";
  items[1] = Item("App", "exe", "%DIR%\\App.exe", PatternBytes(3000, 1));
  items[1].startMenu = items[1].desktop = items[1].startup = true;
  items[1].shortcutName = "BET App";
  items[1].shortcutDescription = "The application";
  items[1].runAtFinish = true;
  items[1].lastWriteTime = 0x01D1111111111111ull;
  items[2] = Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(500, 2));
  items[2].desktop = true;
  items[2].shortcutName = "BET Readme";
  items[2].runAtFinish = true;
  items[3] = Item("Empty", "dat", "%DIR%\\Empty.dat");
  items[4] = Item("Deep", "bin", "%DIR%\\A\\B\\C\\Deep.bin", PatternBytes(100, 4));
  items[5] = Item("Big", "bin", "%DIR%\\Big.bin", PatternBytes(6 * 1024 * 1024 + 17, 5));
  items[6] = Item("Last", "txt", "%DIR%\\Last.txt", PatternBytes(10, 6));
  return items;
}

std::vector<RegistryItem> StandardRegistry() {
  return {
      {"HKEY_CURRENT_USER", std::string(kTestRegistryKey) + "\\Strings", "Name", "REG_SZ", "Value text"},
      {"HKEY_CURRENT_USER", std::string(kTestRegistryKey) + "\\Numbers", "Count", "REG_DWORD", "123abc"},
      {"HKEY_CURRENT_USER", std::string(kTestRegistryKey) + "\\Expand", "Path", "REG_EXPAND_SZ", "%SystemRoot%\\x"},
      {"HKEY_CURRENT_USER", kTestRegistryKey, "Marker", "REG_NONE", "abc"},
  };
}

class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanProductTraces();
  }
  void TearDown() override {
    CleanProductTraces();
    CoUninitialize();
  }

  std::unique_ptr<InstallEngine> MakeEngine(const Payload& payload, const std::string& destination,
                                            bool allUsers = false, bool external = true) {
    InstallPlan plan = PlanFor(payload, destination, allUsers);
    plan.externalData = external;
    auto engine = std::make_unique<InstallEngine>(&host, plan);
    return engine;
  }

  // A destination that already holds a file the payload replaces and one it does not know.
  std::string PreparedDestination() {
    std::string destination = sandbox / "Existing Product";
    CreateDirectoryA(destination.c_str(), nullptr);
    CreateDirectoryA((destination + "\\Docs").c_str(), nullptr);
    WriteBytes(destination + "\\Docs\\Readme.txt", PatternBytes(77, 90));
    WriteBytes(destination + "\\Big.bin", PatternBytes(1234, 91));
    WriteBytes(destination + "\\Keep.txt", PatternBytes(55, 92));
    return destination;
  }

  Sandbox sandbox;
  RecordingHost host;
};

// ---- A complete installation ----------------------------------------------------------

class CompleteInstallationTest : public InstallationTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CompleteInstallationTest, InstallsEveryItemAndDeploysTheUninstaller) {
  const bool allUsers = GetParam();
  ScriptedMessages messages;
  const std::vector<PayloadItem> items = StandardItems();
  Payload payload = MakePayload(sandbox.Path(), items, StandardRegistry());
  const std::string destination = sandbox / "Program Files\\Brisklay Engine Test";
  auto engine = MakeEngine(payload, destination, allUsers);

  ASSERT_TRUE(engine->Install());
  EXPECT_TRUE(messages.texts().empty()) << messages.texts()[0];

  // Files, folders, contents and time stamps.
  for (const PayloadItem& item : items) {
    std::string path = item.targetPath;
    path.replace(0, 5, destination);
    if (item.extension == "\\") {
      EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << path;
      continue;
    }
    EXPECT_EQ(ReadBytes(path), item.content) << path;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME creation, access, write;
    GetFileTime(file, &creation, &access, &write);
    CloseHandle(file);
    FileEntry expected = ToFileEntry(item, 0);
    EXPECT_EQ(write.dwLowDateTime, expected.LastWriteTime.dwLowDateTime) << path;
    EXPECT_EQ(write.dwHighDateTime, expected.LastWriteTime.dwHighDateTime) << path;
  }

  // Shortcuts of the three kinds, in the folders the all-users choice names.
  const std::string programs = SpecialFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\" + kProductName;
  const std::string desktop = SpecialFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
  const std::string startup = SpecialFolder(allUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP);
  struct ExpectedLink {
    std::string path, target, workingDirectory, description;
  };
  const ExpectedLink links[] = {
      {programs + "\\BET App.lnk", destination + "\\App.exe", destination + "\\", "The application"},
      {desktop + "\\BET App.lnk", destination + "\\App.exe", destination + "\\", "The application"},
      {startup + "\\BET App.lnk", destination + "\\App.exe", destination + "\\", "The application"},
      {desktop + "\\BET Readme.lnk", destination + "\\Docs\\Readme.txt", destination + "\\Docs\\", "Readme"},
      {programs + "\\BET Docs.lnk", destination + "\\Docs", destination + "\\", "Docs"},
      {programs + "\\Uninstall.lnk", destination + "\\Uninstall.exe", destination + "\\", "Uninstall application"},
  };
  for (const ExpectedLink& expected : links) {
    LinkProperties link = ReadLink(expected.path);
    ASSERT_TRUE(link.loaded) << expected.path;
    EXPECT_EQ(link.target, expected.target) << expected.path;
    EXPECT_EQ(link.workingDirectory, expected.workingDirectory) << expected.path;
    EXPECT_EQ(link.description, expected.description) << expected.path;
  }

  // Registry values of the four types; a new key carries its type's class.
  const std::string key = kTestRegistryKey;
  RegistryValue text = ReadRegistryValue(HKEY_CURRENT_USER, key + "\\Strings", "Name");
  EXPECT_EQ(text.type, DWORD(REG_SZ));
  EXPECT_EQ(std::string(text.data.begin(), text.data.end()), std::string("Value text", 11));
  RegistryValue number = ReadRegistryValue(HKEY_CURRENT_USER, key + "\\Numbers", "Count");
  EXPECT_EQ(number.type, DWORD(REG_DWORD));
  EXPECT_EQ(number.data, (Bytes{123, 0, 0, 0}));
  EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, key + "\\Numbers"), "DWORD");
  RegistryValue expand = ReadRegistryValue(HKEY_CURRENT_USER, key + "\\Expand", "Path");
  EXPECT_EQ(expand.type, DWORD(REG_EXPAND_SZ));
  EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, key + "\\Expand"), "Expandable String");
  RegistryValue none = ReadRegistryValue(HKEY_CURRENT_USER, key, "Marker");
  EXPECT_EQ(none.type, DWORD(REG_NONE));
  EXPECT_EQ(none.data, (Bytes{'a', 'b', 'c'}));

  // The finish page's lists.
  std::string runList, openList;
  engine->GetLists(&runList, &openList);
  EXPECT_EQ(runList, "App.exe - " + destination + "\\App.exe\r\n");
  EXPECT_EQ(openList, "Readme.txt - " + destination + "\\Docs\\Readme.txt\r\n");

  // The uninstaller, its log with trustworthy counts, and the Add/Remove Programs entry.
  EXPECT_EQ(ReadBytes(destination + "\\Uninstall.exe"), Bytes({'u', 'n', 'i', 'n', 's', 't', '\n'}));
  FILE* logFile = std::fopen((destination + "\\Uninstall.log").c_str(), "rb");
  ASSERT_NE(logFile, nullptr);
  UninstallLog log;
  std::string error;
  EXPECT_TRUE(ReadUninstallLog(&log, logFile, &error)) << error;
  std::fclose(logFile);
  EXPECT_STREQ(log.Header.cName, kProductName);
  EXPECT_EQ(log.Header.clrOut, kClrOut);
  EXPECT_EQ(log.Header.clrIn, kClrIn);
  EXPECT_EQ(log.Header.bAllUsers, allUsers ? 1u : 0u);
  EXPECT_EQ(log.Files.size(), items.size());
  EXPECT_EQ(log.Registry.size(), 4u);
  EXPECT_EQ(std::string(log.Files[1].TargetPath), destination + "\\App.exe");
  EXPECT_STREQ(log.Registry[1].ValueData, "123abc");

  auto stringValue = [](const char* name) {
    RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    return value.data.empty() ? std::string() : std::string(value.data.begin(), value.data.end() - 1);
  };
  EXPECT_EQ(stringValue("DisplayName"), kProductName);
  EXPECT_EQ(stringValue("UninstallString"), "\"" + destination + "\\Uninstall.exe\" " + destination);
  EXPECT_EQ(stringValue("DisplayIcon"), destination + "\\Uninstall.exe");
  EXPECT_EQ(stringValue("QuietUninstallString"), "\"" + destination + "\\Uninstall.exe\" /S");
  EXPECT_EQ(stringValue("InstallLocation"), destination);
  auto dwordValue = [](const char* name) -> std::optional<DWORD> {
    RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD)) return std::nullopt;
    DWORD number = 0;
    std::memcpy(&number, value.data.data(), sizeof number);
    return number;
  };
  // Whole KiB, a part of one counting as one.
  EXPECT_EQ(dwordValue("EstimatedSize"), static_cast<DWORD>((payload.totalSize + 1023) / 1024));
  EXPECT_EQ(dwordValue("NoModify"), 1u);
  EXPECT_EQ(dwordValue("NoRepair"), 1u);

  // Nothing of the run stays in the temporary folder.
  EXPECT_FALSE(PathExists(TempFolder() + "Uninstall.log"));
  EXPECT_FALSE(PathExists(engine->LibraryScratchPath()));
  EXPECT_EQ(host.statuses.back(), "Finalizing installation...");
  EXPECT_EQ(engine->Outcome(), InstallOutcome::kInstalled);
}

INSTANTIATE_TEST_SUITE_P(ForCurrentUserAndAllUsers, CompleteInstallationTest, ::testing::Bool());

// ---- Damaged payloads ----------------------------------------------------------------

struct DamageCase {
  const char* name;
  void (*damage)(Payload*);
  std::vector<std::string> messages;
  InstallOutcome outcome = InstallOutcome::kDamagedPayload;
};

void Truncate(const std::string& path) {
  Bytes bytes = ReadBytes(path);
  bytes.resize(bytes.size() / 2);
  WriteBytes(path, bytes);
}

// A stream broken before the builder took its checksum: it passes the check of the
// compressed bytes and breaks only while it is inflated into the files.
void TruncateBeforeTheChecksum(Payload* payload) {
  Truncate(payload->archivePath);
  const Bytes bytes = ReadBytes(payload->archivePath);
  payload->setupDataCrc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
}

const DamageCase kDamageCases[] = {
    {"stream_checksum", [](Payload* p) { p->setupDataCrc ^= 1; }, {kIntegrityMessage}},
    {"data_checksum", [](Payload* p) { p->dataFileCrc ^= 0x80000000u; }, {kIntegrityMessage}},
    {"truncated_stream", [](Payload* p) { Truncate(p->archivePath); }, {kIntegrityMessage}},
    {"stream_broken_before_its_checksum", TruncateBeforeTheChecksum, {kIntegrityMessage}},
    {"missing_archive", [](Payload* p) { DeleteFileA(p->archivePath.c_str()); },
     {"Couldn't obtain extracted data size!"}, InstallOutcome::kFailedAndUndone},
};

class DamagedPayloadTest : public InstallationTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedPayloadTest, IsRefusedAndLeavesNothingBehind) {
  Payload payload = MakePayload(sandbox.Path(), StandardItems(), StandardRegistry());
  GetParam().damage(&payload);
  const std::string destination = PreparedDestination();
  Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  auto engine = MakeEngine(payload, destination);
  EXPECT_FALSE(engine->Install());

  EXPECT_EQ(messages.texts(), GetParam().messages);
  EXPECT_EQ(engine->Outcome(), GetParam().outcome);
  Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedPayloadTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallationTest, ProgramWithoutPayloadResourceSaysSoAndLeavesNothing) {
  Payload payload = MakePayload(sandbox.Path(), StandardItems(), {});
  Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_FALSE(MakeEngine(payload, sandbox / "Product", false, /*external=*/false)->Install());

  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn't find setup data resource!"});
  Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

// ---- Cancels at the check points -----------------------------------------------------

// Arms the host so that the cancel is confirmed at one precise moment of the run.
struct CancelCase {
  const char* name;
  const char* armingStatus;  // the status text after which the next event cancels
  bool onProgress;           // cancel at the next progress step instead of at the status itself
};

const CancelCase kCancelCases[] = {
    {"before_inflation", "Extracting data...", false},
    {"while_checking_the_setup_data", "Checking data...", true},
    {"after_logging_an_entry_that_replaces_a_file", "Writing: Readme.txt...", false},
    {"between_content_blocks_of_a_replaced_file", "Writing: Big.bin...", true},
    {"after_the_last_entry", "Writing: Last.txt...", true},
};

class CancelTest : public InstallationTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, LeavesTheMachineExactlyAsBefore) {
  Payload payload = MakePayload(sandbox.Path(), StandardItems(), StandardRegistry());
  const std::string destination = PreparedDestination();
  auto engine = MakeEngine(payload, destination);
  const CancelCase& cancel = GetParam();
  bool armed = false;
  host.onStatus = [&](const std::string& text) {
    if (text.rfind(cancel.armingStatus, 0) != 0) return;
    if (cancel.onProgress) {
      armed = true;
    } else {
      engine->RequestAbort();
    }
  };
  host.onProgress = [&]() {
    if (armed) engine->RequestAbort();
  };
  Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_FALSE(engine->Install());

  EXPECT_TRUE(messages.texts().empty()) << messages.texts()[0];
  for (const std::string& status : host.statuses) EXPECT_NE(status, "Writing registry information...");
  Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

INSTANTIATE_TEST_SUITE_P(CheckPoints, CancelTest, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A cancel confirmed late in the run: before the point of no return it undoes everything,
// registry values included; after it the run completes, with its uninstaller.
struct LateCancelCase {
  const char* name;
  const char* status;
  bool complete;
};

const LateCancelCase kLateCancelCases[] = {
    {"while_writing_registry_values", "Writing registry information...", false},
    {"while_extracting_the_uninstaller", "Extracting uninstaller...", false},
    {"while_creating_the_uninstaller_shortcut", "Creating uninstaller shortcut...", false},
    {"while_finalizing", "Finalizing installation...", true},
};

class LateCancelTest : public InstallationTest, public ::testing::WithParamInterface<LateCancelCase> {};

TEST_P(LateCancelTest, UndoesEverythingOrCompletesNeverHalfway) {
  Payload payload = MakePayload(sandbox.Path(), StandardItems(), StandardRegistry());
  const std::string destination = PreparedDestination();
  // A value the run overwrites, which an undo must bring back.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Marker", 0, REG_SZ, reinterpret_cast<const BYTE*>("earlier"), 8);
  RegCloseKey(key);
  auto engine = MakeEngine(payload, destination);
  bool asked = false;
  host.onStatus = [&](const std::string& text) {
    if (text != GetParam().status) return;
    asked = true;
    engine->RequestAbort();
  };
  const Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_EQ(engine->Install(), GetParam().complete);

  ASSERT_TRUE(asked);
  EXPECT_TRUE(messages.texts().empty()) << messages.texts()[0];
  if (GetParam().complete) {
    EXPECT_EQ(engine->Outcome(), InstallOutcome::kInstalled);
    EXPECT_TRUE(PathExists(destination + "\\Uninstall.exe"));
    EXPECT_TRUE(PathExists(destination + "\\Uninstall.log"));
    EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").found);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kTestRegistryKey, "Marker").type, DWORD(REG_NONE));
  } else {
    EXPECT_EQ(engine->Outcome(), InstallOutcome::kCancelled);
    const Snapshot after = TakeSnapshot(sandbox.Path());
    EXPECT_TRUE(before == after) << Describe(before, after);
  }
  EXPECT_FALSE(PathExists(TempFolder() + "Uninstall.log"));
}

INSTANTIATE_TEST_SUITE_P(Moments, LateCancelTest, ::testing::ValuesIn(kLateCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Shared files in the system folder ----------------------------------------------

constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::optional<DWORD> SharedCount(const std::string& path) {
  const RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path);
  if (!value.found || value.type != REG_DWORD || value.data.size() != sizeof(DWORD)) return std::nullopt;
  return *reinterpret_cast<const DWORD*>(value.data.data());
}

void SetSharedCount(const std::string& path, std::optional<DWORD> count) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (count) {
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*count), sizeof(DWORD));
  } else {
    RegDeleteValueA(key, path.c_str());
  }
  RegCloseKey(key);
}

struct SharedCase {
  const char* name;
  bool fileThere;               // the file is in the system folder before the installation
  std::optional<DWORD> before;  // its count then
  std::optional<DWORD> after;   // its count after a complete installation
};

const SharedCase kSharedCases[] = {
    {"new_file", false, std::nullopt, 1},
    // Whoever put it there uses it too.
    {"uncounted_existing_file", true, std::nullopt, 2},
    {"counted_existing_file", true, 3, 4},
};

class SharedFileCountTest : public InstallationTest, public ::testing::WithParamInterface<SharedCase> {
 protected:
  void SetUp() override {
    InstallationTest::SetUp();
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    shared = std::string(system) + "\\BrisklayEngineTestShared.dat";
    if (GetParam().fileThere) WriteBytes(shared, PatternBytes(20, 8));
    SetSharedCount(shared, GetParam().before);
  }
  void TearDown() override {
    DeleteFileA(shared.c_str());
    SetSharedCount(shared, std::nullopt);
    InstallationTest::TearDown();
  }
  std::vector<PayloadItem> Items() const {
    return {Item("BrisklayEngineTestShared", "dat", "%SYSTEM%\\BrisklayEngineTestShared.dat", PatternBytes(700, 7)),
            Item("Last", "txt", "%DIR%\\Last.txt", PatternBytes(10, 6))};
  }
  std::string shared;
};

TEST_P(SharedFileCountTest, InstallationCountsOneMoreUser) {
  Payload payload = MakePayload(sandbox.Path(), Items(), {});
  ScriptedMessages messages;
  EXPECT_TRUE(MakeEngine(payload, sandbox / "Product")->Install());
  EXPECT_TRUE(messages.texts().empty()) << messages.texts()[0];
  EXPECT_EQ(SharedCount(shared), GetParam().after);
}

TEST_P(SharedFileCountTest, RollbackPutsTheCountBack) {
  Payload payload = MakePayload(sandbox.Path(), Items(), {});
  auto engine = MakeEngine(payload, sandbox / "Product");
  host.onStatus = [&](const std::string& text) {
    if (text == "Writing: Last.txt...") engine->RequestAbort();
  };
  ScriptedMessages messages;
  EXPECT_FALSE(engine->Install());
  EXPECT_EQ(SharedCount(shared), GetParam().before);
  EXPECT_EQ(PathExists(shared), GetParam().fileThere);
}

INSTANTIATE_TEST_SUITE_P(Counts, SharedFileCountTest, ::testing::ValuesIn(kSharedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The replace question for an existing library ------------------------------------

struct ReplaceCase {
  const char* name;
  int answer;
};

class ReplaceLibraryTest : public InstallationTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceLibraryTest, AsksWithTheVersionAndFollowsTheAnswer) {
  const std::string destination = sandbox / "Product";
  CreateDirectoryA(destination.c_str(), nullptr);
  const Bytes oldLibrary = PatternBytes(300, 70);
  WriteBytes(destination + "\\Lib.Dll", oldLibrary);
  std::vector<PayloadItem> items(2);
  items[0] = Item("Lib", "Dll", "%DIR%\\Lib.Dll", PatternBytes(400, 71));
  items[1] = Item("After", "txt", "%DIR%\\After.txt", PatternBytes(50, 72));
  Payload payload = MakePayload(sandbox.Path(), items, {});
  const bool yes = GetParam().answer == IDYES;
  ScriptedMessages messages([&](const MessageBoxRequest& request) {
    return (request.flags & MB_YESNO) ? GetParam().answer : IDOK;
  });

  ASSERT_TRUE(MakeEngine(payload, destination)->Install());

  const std::string library = destination + "\\Lib.Dll";
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0].text, "Couldn't get library version: " + library);
  EXPECT_EQ(messages.shown()[0].caption, "Warning");
  EXPECT_EQ(messages.shown()[1].text, "File \"" + library +
                                          "\" already exists and has the version number 0.0, build no 0.\n"
                                          "Replace existing file?");
  EXPECT_EQ(messages.shown()[1].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(ReadBytes(library), yes ? items[0].content : oldLibrary);
  EXPECT_EQ(ReadBytes(destination + "\\After.txt"), items[1].content);

  // A declined library has no record, and the header says so.
  FILE* logFile = std::fopen((destination + "\\Uninstall.log").c_str(), "rb");
  ASSERT_NE(logFile, nullptr);
  UninstallLog log;
  std::string error;
  EXPECT_TRUE(ReadUninstallLog(&log, logFile, &error)) << error;
  std::fclose(logFile);
  EXPECT_EQ(log.Header.dwFiles, yes ? 2u : 1u);
  EXPECT_EQ(log.Files.size(), yes ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReplaceLibraryTest,
                         ::testing::Values(ReplaceCase{"Yes", IDYES}, ReplaceCase{"No", IDNO}),
                         [](const auto& info) { return std::string(info.param.name); });

// The facts behind the question come from the files' version resources: the payload's
// copy is read from its bytes, without being installed or loaded.
TEST_F(InstallationTest, TheLibraryQuestionCarriesBothVersions) {
  struct FactsHost : RecordingHost {
    bool ConfirmLibraryReplacement(const std::string&, const LibraryQuestion& question) override {
      facts = question;
      return false;
    }
    LibraryQuestion facts;
  } factsHost;
  const std::string destination = sandbox / "Product";
  CreateDirectoryA(destination.c_str(), nullptr);
  WriteBytes(destination + "\\Lib.dll", PatternBytes(300, 70));
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string versioned = std::string(system) + "\\kernel32.dll";
  Payload payload = MakePayload(sandbox.Path(), {Item("Lib", "dll", "%DIR%\\Lib.dll", ReadBytes(versioned))}, {});
  ScriptedMessages messages;

  InstallEngine engine(&factsHost, PlanFor(payload, destination));
  ASSERT_TRUE(engine.Install());

  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(versioned.c_str(), &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(versioned.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(factsHost.facts.path, destination + "\\Lib.dll");
  EXPECT_FALSE(factsHost.facts.installed.known);
  EXPECT_TRUE(factsHost.facts.payload.known);
  EXPECT_EQ(factsHost.facts.payload.major, DWORD(HIWORD(fixed->dwFileVersionMS)));
  EXPECT_EQ(factsHost.facts.payload.minor, DWORD(LOWORD(fixed->dwFileVersionMS)));
  EXPECT_EQ(factsHost.facts.payload.build, DWORD(HIWORD(fixed->dwFileVersionLS)));
  EXPECT_EQ(ReadBytes(destination + "\\Lib.dll"), PatternBytes(300, 70)) << "declined";
  EXPECT_FALSE(PathExists(engine.LibraryScratchPath()));
}

// ---- Destinations that cannot take the files -----------------------------------------

struct UnusableDestinationCase {
  const char* name;
  std::string (*destination)(const Sandbox&);
  std::string (*message)(const Sandbox&);
};

const UnusableDestinationCase kUnusableDestinations[] = {
    // A file stands where a folder of the path should be.
    {"unwritable", [](const Sandbox& s) { return s / "blocker.txt\\Product"; },
     [](const Sandbox& s) { return "Couldn't create folder:\n" + s / "blocker.txt"; }},
    {"too_long_once_expanded", [](const Sandbox& s) { return s / std::string(255 - s.Path().size(), 'L'); },
     [](const Sandbox&) { return std::string("Invalid file path in decompressed data file!"); }},
};

class UnusableDestinationTest : public InstallationTest,
                                public ::testing::WithParamInterface<UnusableDestinationCase> {};

TEST_P(UnusableDestinationTest, FailsTheEntryAndRollsBack) {
  WriteBytes(sandbox / "blocker.txt", PatternBytes(5, 80));
  Payload payload = MakePayload(sandbox.Path(), StandardItems(), StandardRegistry());
  Snapshot before = TakeSnapshot(sandbox.Path());
  ScriptedMessages messages;

  EXPECT_FALSE(MakeEngine(payload, GetParam().destination(sandbox))->Install());

  EXPECT_EQ(messages.texts(), std::vector<std::string>{GetParam().message(sandbox)});
  Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnusableDestinationTest, ::testing::ValuesIn(kUnusableDestinations),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
