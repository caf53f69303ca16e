// A product installed by the engine in this process, then removed by the real
// Uninstall.exe that the installation deployed, started the way Add/Remove Programs or
// "Uninstall.lnk" starts it. Afterwards the machine must be exactly as before.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "tests/driver/driver.h"
#include "formats/uninstall_log.h"
#include "tests/engine/engine_test_support.h"
#include "tests/uninstaller/uninstaller_run.h"
#include "uninstaller/uninstaller_ids.h"

using namespace engine_test;
using uninstaller_test::RunUninstaller;
using uninstaller_test::UninstallerRun;

namespace {

constexpr char kTitle[] = "Uninstall Brisklay Engine Test";
constexpr char kRemoved[] = "\"Brisklay Engine Test\" has been removed from your computer.";
constexpr DWORD kExitRemoved = 0, kExitFailed = 1, kExitDeclined = 2, kExitIncomplete = 3;

std::vector<PayloadItem> ProductItems() {
  std::vector<PayloadItem> items(6);
  items[0] = Item("Docs", "\\", "%DIR%\\Docs");
  items[0].startMenu = true;
  items[0].shortcutName = "BUT Docs";
  items[1] = Item("App", "exe", "%DIR%\\App.exe", PatternBytes(3000, 1));
  items[1].startMenu = items[1].desktop = items[1].startup = true;
  items[1].shortcutName = "BUT App";
  items[2] = Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(500, 2));
  items[2].desktop = true;
  items[2].shortcutName = "BUT Readme";
  items[3] = Item("Empty", "dat", "%DIR%\\Empty.dat");
  // Folders made on the way, without entries of their own.
  items[4] = Item("Deep", "bin", "%DIR%\\A\\B\\C\\Deep.bin", PatternBytes(100, 4));
  items[5] = Item("Settings", "ini", "%DIR%\\Settings.ini", PatternBytes(40, 5));
  return items;
}

std::vector<RegistryItem> ProductRegistry() {
  const std::string key = kTestRegistryKey;
  return {
      {"HKEY_CURRENT_USER", key + "\\Strings", "Name", "REG_SZ", "Value text"},
      {"HKEY_CURRENT_USER", key + "\\Numbers\\Deeper", "Count", "REG_DWORD", "123"},
      {"HKEY_CURRENT_USER", key, "", "REG_SZ", "default value"},
      {"HKEY_CURRENT_USER", key, "Marker", "REG_NONE", "abc"},
  };
}

// Under Wine the Desktop may be the home folder that other test runs share: the links of
// these tests carry names of their own.
void DeleteOwnLinks() {
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY,
                    CSIDL_STARTUP, CSIDL_COMMON_STARTUP}) {
    for (const char* name : {"BUT App.lnk", "BUT Docs.lnk", "BUT Readme.lnk"}) {
      DeleteFileA((SpecialFolder(csidl) + "\\" + name).c_str());
    }
  }
}

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanProductTraces();
    DeleteOwnLinks();
    // The folder that receives programs is there before any installation and stays.
    CreateDirectoryA((sandbox_ / "Program Files").c_str(), nullptr);
    destination_ = sandbox_ / "Program Files\\Brisklay Engine Test";
    before_ = TakeSnapshot(sandbox_.Path());
  }
  void TearDown() override {
    CleanProductTraces();
    DeleteOwnLinks();
    CoUninitialize();
  }

  // The engine deploys the real uninstaller: this test program carries it as its own
  // resource "Setup" 143, as the setup program does.
  void Install(bool allUsers = false) { InstallPayload(ProductItems(), ProductRegistry(), allUsers); }

  void InstallPayload(const std::vector<PayloadItem>& items, const std::vector<RegistryItem>& registry,
                      bool allUsers = false) {
    Payload payload = MakePayload(sandbox_.Path(), items, registry);
    InstallPlanned(PlanFor(payload, destination_, allUsers), payload);
  }

  void InstallPlanned(const InstallPlan& plan, const Payload& payload) {
    ScriptedMessages messages;
    RecordingHost host;
    InstallEngine engine(&host, plan);
    const bool installed = engine.Install();
    std::string shown;
    for (const std::string& text : messages.texts()) shown += "\n  " + text;
    ASSERT_TRUE(installed && shown.empty()) << "installed: " << installed << ", messages:" << shown;
    DeleteFileA(payload.archivePath.c_str());
    ASSERT_TRUE(PathExists(plan.destination + "\\Uninstall.exe"));
  }

  std::string UninstallerPath() const { return destination_ + "\\Uninstall.exe"; }
  std::string LogPath() const { return destination_ + "\\Uninstall.log"; }

  std::string AddRemoveCommandLine() const {
    RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    return value.found ? std::string(reinterpret_cast<const char*>(value.data.data())) : std::string();
  }

  // Started by Add/Remove Programs: the registered command line, from some other folder.
  UninstallerRun RunFromAddRemove(bool confirm = true) {
    return RunUninstaller(UninstallerPath(), AddRemoveCommandLine(), sandbox_.Path(), confirm);
  }

  // The uninstaller's copy finishes the work after the uninstaller has ended.
  bool Settles(const Snapshot& expected) {
    return driver::WaitUntil([&] { return TakeSnapshot(sandbox_.Path()) == expected; });
  }

  Sandbox sandbox_;
  std::string destination_;
  Snapshot before_;
};

void ExpectOnlyBox(const UninstallerRun& run, const std::string& caption, const std::string& textStart) {
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, caption);
  EXPECT_EQ(run.boxes[0].text.compare(0, textStart.size(), textStart), 0) << run.boxes[0].text;
}

// ---- Complete removal ----------------------------------------------------------------

struct StartCase {
  const char* name;
  bool allUsers;
  bool fromLink;
};

class CompleteRemovalTest : public UninstallerTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(CompleteRemovalTest, LeavesTheMachineAsItWasBeforeTheInstallation) {
  const StartCase start = GetParam();
  ASSERT_NO_FATAL_FAILURE(Install(start.allUsers));
  UninstallerRun run;
  if (start.fromLink) {
    // As the shell starts "Uninstall.lnk": no argument, its working directory.
    const int programs = start.allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    LinkProperties link = ReadLink(SpecialFolder(programs) + "\\" + kProductName + "\\Uninstall.lnk");
    ASSERT_TRUE(link.loaded);
    run = RunUninstaller(link.target, driver::QuotedCommandLine(link.target, ""), link.workingDirectory, true);
  } else {
    run = RunFromAddRemove();
  }
  ASSERT_EQ(run.startError, "");
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitRemoved));
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_EQ(run.boxes[0].caption, kTitle);
  EXPECT_EQ(run.boxes[0].text,
            "Do you really want to remove \"Brisklay Engine Test\" and all of its components from your computer?");
  EXPECT_EQ(run.boxes[1].caption, kTitle);
  EXPECT_EQ(run.boxes[1].text, kRemoved);
  EXPECT_TRUE(Settles(before_)) << Describe(before_, TakeSnapshot(sandbox_.Path()));
}

INSTANTIATE_TEST_SUITE_P(Starts, CompleteRemovalTest,
                         ::testing::Values(StartCase{"AddRemoveCurrentUser", false, false},
                                           StartCase{"AddRemoveAllUsers", true, false},
                                           StartCase{"LinkCurrentUser", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Files changed since the installation --------------------------------------------

struct ChangeCase {
  const char* name;
  void (*change)(const std::string& path);
};

void Grow(const std::string& path) {
  Bytes bytes = ReadBytes(path);
  bytes.push_back('!');
  WriteBytes(path, bytes);
}

void RewriteSameSize(const std::string& path) { WriteBytes(path, PatternBytes(ReadBytes(path).size(), 77)); }

void TouchOnly(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetFileTime(file, nullptr, nullptr, &now);
  CloseHandle(file);
}

class ChangedFileTest : public UninstallerTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangedFileTest, IsKeptAndListedWhileEverythingElseGoes) {
  ASSERT_NO_FATAL_FAILURE(Install());
  const std::string changed = destination_ + "\\Docs\\Readme.txt";
  GetParam().change(changed);
  const Bytes content = ReadBytes(changed);

  UninstallerRun run = RunFromAddRemove();
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitIncomplete));
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_EQ(run.boxes[1].text,
            "\"Brisklay Engine Test\" has been removed from your computer, except for these items:\n\n" + changed +
                " (changed since installation)\n\nYou may remove them yourself.");

  // The kept file holds its folders; the rest is as before.
  Snapshot expected = before_;
  const Snapshot now = TakeSnapshot(sandbox_.Path());
  for (const std::string& kept : {destination_, destination_ + "\\Docs", changed}) {
    ASSERT_TRUE(now.files.count(kept)) << kept;
    expected.files[kept] = now.files.at(kept);
  }
  EXPECT_TRUE(Settles(expected)) << Describe(expected, TakeSnapshot(sandbox_.Path()));
  EXPECT_EQ(ReadBytes(changed), content);
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedFileTest,
                         ::testing::Values(ChangeCase{"Grown", Grow}, ChangeCase{"RewrittenSameSize", RewriteSameSize},
                                           ChangeCase{"TimeStampOnly", TouchOnly}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Nothing removed -----------------------------------------------------------------

struct LogDamage {
  const char* name;
  void (*damage)(const std::string& path);
  const char* message;
};

void DeleteLog(const std::string& path) { DeleteFileA(path.c_str()); }
void CutLog(const std::string& path) {
  Bytes bytes = ReadBytes(path);
  bytes.resize(bytes.size() - 10);
  WriteBytes(path, bytes);
}
void ExtendLog(const std::string& path) {
  Bytes bytes = ReadBytes(path);
  bytes.push_back(0);
  WriteBytes(path, bytes);
}
void EmptyLog(const std::string& path) { WriteBytes(path, {}); }
void InflateCounts(const std::string& path) {
  // dwFiles of a header whose name is "Brisklay Engine Test": a count the records do not meet.
  Bytes bytes = ReadBytes(path);
  bytes[4 + 20 + 8 + 3] = 0x7F;
  WriteBytes(path, bytes);
}

class UnusableLogTest : public UninstallerTest, public ::testing::WithParamInterface<LogDamage> {};

TEST_P(UnusableLogTest, IsReportedAndNothingIsRemoved) {
  ASSERT_NO_FATAL_FAILURE(Install());
  GetParam().damage(LogPath());
  const Snapshot installed = TakeSnapshot(sandbox_.Path());

  UninstallerRun run = RunFromAddRemove();
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitFailed));
  ExpectOnlyBox(run, "Error", std::string(GetParam().message) + "\n" + LogPath() + "\n\nNothing has been removed.");
  driver::Pause(driver::Millis(500));
  EXPECT_EQ(TakeSnapshot(sandbox_.Path()), installed) << Describe(installed, TakeSnapshot(sandbox_.Path()));
}

INSTANTIATE_TEST_SUITE_P(Logs, UnusableLogTest,
                         ::testing::Values(LogDamage{"Missing", DeleteLog, "Couldn't open uninstall log file!"},
                                           LogDamage{"CutShort", CutLog, "Uninstall log file is damaged!"},
                                           LogDamage{"TrailingBytes", ExtendLog, "Uninstall log file is damaged!"},
                                           LogDamage{"Empty", EmptyLog, "Uninstall log file is damaged!"},
                                           LogDamage{"CountBeyondRecords", InflateCounts,
                                                     "Uninstall log file is damaged!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UninstallerTest, AnsweringNoRemovesNothing) {
  ASSERT_NO_FATAL_FAILURE(Install());
  const Snapshot installed = TakeSnapshot(sandbox_.Path());
  UninstallerRun run = RunFromAddRemove(false);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitDeclined));
  ExpectOnlyBox(run, kTitle, "Do you really want to remove");
  EXPECT_TRUE(run.windowShown) << "the question came before the window";
  EXPECT_TRUE(run.windowCentred) << "the uninstaller's window is not centred on the screen";
  driver::Pause(driver::Millis(500));
  EXPECT_EQ(TakeSnapshot(sandbox_.Path()), installed) << Describe(installed, TakeSnapshot(sandbox_.Path()));
}

// ---- A second installation into the same folder --------------------------------------

TEST_F(UninstallerTest, RemovesAProductInstalledTwiceIntoTheSameFolder) {
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_FALSE(PathExists(TempFolder() + "Uninstall.log"));

  UninstallerRun run = RunFromAddRemove();
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitRemoved));
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_EQ(run.boxes[1].text, kRemoved);
  EXPECT_TRUE(Settles(before_)) << Describe(before_, TakeSnapshot(sandbox_.Path()));
}

// A later version: some files written anew with other contents, some only its own, in a
// folder of its own too; one file, one link and one registry value of the first it no
// longer has, and a value the first one did not set.
std::vector<PayloadItem> UpdateItems() {
  std::vector<PayloadItem> items = ProductItems();
  items[1].content = PatternBytes(4100, 11);  // App.exe, larger
  items[1].lastWriteTime = 0x01D2222222222222ull;
  items[2].desktop = false;  // no Desktop link to the readme any more
  items.erase(items.begin() + 5);  // Settings.ini is not part of it
  items.push_back(Item("Plugins", "\\", "%DIR%\\Plugins"));
  items.push_back(Item("Extra", "dll", "%DIR%\\Plugins\\Extra.dll", PatternBytes(700, 12)));
  items.push_back(Item("Notes", "txt", "%DIR%\\Docs\\Notes.txt", PatternBytes(60, 13)));
  return items;
}

std::vector<RegistryItem> UpdateRegistry() {
  std::vector<RegistryItem> registry = ProductRegistry();
  registry[0].valueData = "Other text";
  registry.erase(registry.begin() + 1);  // nor the count under Numbers\Deeper
  registry.push_back({"HKEY_CURRENT_USER", std::string(kTestRegistryKey) + "\\Update", "Version", "REG_SZ", "2"});
  return registry;
}

// The second installation upgrades the first: what only the first had goes at once, the
// log names the upgrade alone, and the removal then leaves nothing of either.
TEST_F(UninstallerTest, RemovesAnUpgradedProductCompletely) {
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_NO_FATAL_FAILURE(InstallPayload(UpdateItems(), UpdateRegistry()));
  EXPECT_FALSE(PathExists(TempFolder() + "Uninstall.log"));
  EXPECT_FALSE(PathExists(destination_ + "\\Settings.ini"));
  EXPECT_FALSE(PathExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\BUT Readme.lnk"));
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, std::string(kTestRegistryKey) + "\\Numbers\\Deeper", "Count").found);

  FILE* file = std::fopen(LogPath().c_str(), "rb");
  ASSERT_NE(file, nullptr);
  UninstallLog log;
  std::string error;
  EXPECT_TRUE(ReadUninstallLog(&log, file, &error)) << error;
  std::fclose(file);
  std::vector<std::string> targets;
  for (const FileEntry& record : log.Files) targets.push_back(record.TargetPath);
  std::sort(targets.begin(), targets.end());
  std::vector<std::string> expected;
  for (const char* name : {"A\\B\\C\\Deep.bin", "App.exe", "Docs", "Docs\\Notes.txt", "Docs\\Readme.txt",
                           "Empty.dat", "Plugins", "Plugins\\Extra.dll"}) {
    expected.push_back(destination_ + "\\" + name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(targets, expected);
  EXPECT_EQ(log.Registry.size(), UpdateRegistry().size());

  UninstallerRun run = RunFromAddRemove();
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitRemoved));
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_EQ(run.boxes[1].text, kRemoved);
  EXPECT_TRUE(Settles(before_)) << Describe(before_, TakeSnapshot(sandbox_.Path()));
}

// A log that cannot be read describes nothing trustworthy; the new installation's own log
// takes its place, so that at least the new installation can be removed.
TEST_F(UninstallerTest, ASecondInstallationReplacesADamagedLog) {
  ASSERT_NO_FATAL_FAILURE(InstallPayload({Item("Old", "txt", "%DIR%\\Old.txt", PatternBytes(80, 21))}, {}));
  Bytes damaged = ReadBytes(LogPath());
  damaged.resize(damaged.size() - 5);
  WriteBytes(LogPath(), damaged);
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_FALSE(PathExists(TempFolder() + "Uninstall.log"));

  UninstallerRun run = RunFromAddRemove();
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitIncomplete));
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_NE(run.boxes[1].text.find(destination_ + " (folder not empty)"), std::string::npos) << run.boxes[1].text;
  // Only what the damaged log alone named stays, and the folder that holds it.
  Snapshot expected = before_;
  const Snapshot after = TakeSnapshot(sandbox_.Path());
  for (const std::string& path : {destination_, destination_ + "\\Old.txt"}) {
    auto found = after.files.find(path);
    ASSERT_NE(found, after.files.end()) << path;
    expected.files.insert(*found);
  }
  EXPECT_TRUE(Settles(expected)) << Describe(expected, TakeSnapshot(sandbox_.Path()));
}

// ---- A removal that takes its time --------------------------------------------------

constexpr char kServerKey[] = "Software\\Brisklay Engine Test\\Server";

bool KeyExists(HKEY root, const char* subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The uninstaller's own window: its message boxes carry the same caption.
HWND UninstallerWindow(DWORD processId) {
  for (HWND window : driver::TopLevelWindows(processId, {kTitle, "", true})) {
    if (GetDlgItem(window, IDC_UNINSTALL_STATUS) != nullptr) return window;
  }
  return nullptr;
}

// The first item is a server whose unregistration takes seconds: meanwhile the window
// must answer and repaint, and closing it must end the removal after that item.
TEST_F(UninstallerTest, KeepsAnsweringDuringASlowServerAndStopsWhenClosed) {
  const Bytes server = ReadBytes(driver::WindowsPathFromHost(BRISKLAY_SLOW_COM_STAND_IN));
  ASSERT_FALSE(server.empty());
  std::vector<PayloadItem> items = {Item("Slow", "dll", "%DIR%\\Slow.dll", server),
                                    Item("App", "exe", "%DIR%\\App.exe", PatternBytes(3000, 1)),
                                    Item("Readme", "txt", "%DIR%\\Readme.txt", PatternBytes(500, 2))};
  items[0].registerServer = true;
  ASSERT_NO_FATAL_FAILURE(InstallPayload(items, {{"HKEY_CURRENT_USER", kTestRegistryKey, "Marker", "REG_SZ", "x"}}));
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kServerKey));

  driver::ChildProcess process;
  ASSERT_TRUE(process.Start(UninstallerPath(), AddRemoveCommandLine(), sandbox_.Path())) << process.Error();
  HWND question = driver::WaitForMessageBox(process.Id(), kTitle);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(driver::PressMessageBoxButton(question, IDYES));
  HWND window = nullptr;
  ASSERT_TRUE(driver::WaitUntil([&] { return (window = UninstallerWindow(process.Id())) != nullptr; }));
  HWND status = GetDlgItem(window, IDC_UNINSTALL_STATUS);
  ASSERT_TRUE(driver::WaitUntil([&] { return WindowText(status).find("Slow.dll") != std::string::npos; }));

  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer), 0u);
  InvalidateRect(window, nullptr, TRUE);
  EXPECT_TRUE(driver::WaitUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, driver::Millis(3000)))
      << "no repaint";
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kServerKey)) << "the server was quicker than the checks";

  PostMessageA(window, WM_CLOSE, 0, 0);
  HWND summary = driver::WaitForMessageBox(process.Id(), kTitle, driver::Millis(30000));
  ASSERT_NE(summary, nullptr);
  const std::string text = driver::MessageBoxText(summary);
  driver::PressMessageBoxButton(summary, IDOK);
  EXPECT_EQ(process.WaitForExit(), std::optional<DWORD>(kExitIncomplete));

  // The item in hand was finished, the rest stays and is listed, and so does the way to
  // remove it later.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kServerKey));
  EXPECT_FALSE(PathExists(destination_ + "\\Slow.dll"));
  EXPECT_EQ(text.rfind("The removal of \"Brisklay Engine Test\" was stopped.", 0), 0u) << text;
  for (const std::string& left : {destination_ + "\\App.exe", destination_ + "\\Readme.txt"}) {
    EXPECT_TRUE(PathExists(left)) << left;
    EXPECT_NE(text.find(left + " (left when the removal was stopped)"), std::string::npos) << text;
  }
  EXPECT_NE(text.find("HKEY_CURRENT_USER\\Software\\Brisklay Engine Test\\Marker"), std::string::npos) << text;
  EXPECT_TRUE(PathExists(UninstallerPath()));
  EXPECT_FALSE(AddRemoveCommandLine().empty());

  UninstallerRun rest = RunFromAddRemove();
  EXPECT_EQ(rest.exitCode, std::optional<DWORD>(kExitRemoved));
  EXPECT_TRUE(Settles(before_)) << Describe(before_, TakeSnapshot(sandbox_.Path()));
}

// ---- A library that several products share ------------------------------------------

constexpr char kSecondProduct[] = "Brisklay Engine Test Two";
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class SharedLibraryTest : public UninstallerTest {
 protected:
  void SetUp() override {
    UninstallerTest::SetUp();
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    library_ = std::string(system) + "\\BrisklayUninstallTestShared.dll";
    Forget();
    second_ = sandbox_ / "Program Files\\Second";
  }
  void TearDown() override {
    Forget();
    DeleteRegistryTree(HKEY_LOCAL_MACHINE,
                       (std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kSecondProduct).c_str());
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) RemoveTree(SpecialFolder(csidl) + "\\" + kSecondProduct);
    UninstallerTest::TearDown();
  }
  void Forget() {
    DeleteFileA(library_.c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, library_.c_str());
    RegCloseKey(key);
  }
  // Both products bring the same library (recorded as "bin": a library without a version
  // would make the second installation ask before replacing it); each has its own file.
  void InstallAs(const std::string& product, const std::string& destination, uint32_t seed) {
    Payload payload = MakePayload(sandbox_.Path(),
                                  {Item("BrisklayUninstallTestShared", "bin", "%SYSTEM%\\BrisklayUninstallTestShared.dll",
                                        PatternBytes(900, 30)),
                                   Item("Own", "txt", "%DIR%\\Own.txt", PatternBytes(40, seed))},
                                  {});
    InstallPlan plan = PlanFor(payload, destination);
    plan.productName = product;
    InstallPlanned(plan, payload);
  }
  std::optional<DWORD> Count() const {
    const RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, library_);
    if (!value.found || value.data.size() != sizeof(DWORD)) return std::nullopt;
    return *reinterpret_cast<const DWORD*>(value.data.data());
  }
  UninstallerRun Remove(const std::string& destination) {
    const std::string program = destination + "\\Uninstall.exe";
    return RunUninstaller(program, driver::QuotedCommandLine(program, destination), sandbox_.Path(), true);
  }

  std::string library_;
  std::string second_;
};

TEST_F(SharedLibraryTest, StaysUntilTheLastOfTwoProductsIsRemoved) {
  ASSERT_NO_FATAL_FAILURE(InstallAs(kProductName, destination_, 31));
  EXPECT_EQ(Count(), std::optional<DWORD>(1));
  ASSERT_NO_FATAL_FAILURE(InstallAs(kSecondProduct, second_, 32));
  EXPECT_EQ(Count(), std::optional<DWORD>(2));

  UninstallerRun first = Remove(destination_);
  EXPECT_EQ(first.exitCode, std::optional<DWORD>(kExitRemoved));
  EXPECT_TRUE(driver::WaitUntil([&] { return !PathExists(destination_); }));
  EXPECT_TRUE(PathExists(library_));
  EXPECT_EQ(Count(), std::optional<DWORD>(1));

  UninstallerRun second = Remove(second_);
  EXPECT_EQ(second.exitCode, std::optional<DWORD>(kExitRemoved));
  EXPECT_FALSE(PathExists(library_));
  EXPECT_EQ(Count(), std::nullopt);
  EXPECT_TRUE(Settles(before_)) << Describe(before_, TakeSnapshot(sandbox_.Path()));
}

// The second installation's log merges with the first: one user, one removal.
TEST_F(SharedLibraryTest, CountsAProductInstalledTwiceIntoTheSameFolderOnce) {
  ASSERT_NO_FATAL_FAILURE(InstallAs(kProductName, destination_, 31));
  ASSERT_NO_FATAL_FAILURE(InstallAs(kProductName, destination_, 31));
  EXPECT_EQ(Count(), std::optional<DWORD>(1));

  UninstallerRun run = Remove(destination_);
  EXPECT_EQ(run.exitCode, std::optional<DWORD>(kExitRemoved));
  EXPECT_FALSE(PathExists(library_));
  EXPECT_EQ(Count(), std::nullopt);
}

}  // namespace
