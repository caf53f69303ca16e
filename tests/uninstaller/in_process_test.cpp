// The removal run in this process on logs written here, for what a whole installation
// cannot easily show: a COM server unregistered before it goes, links that lead
// elsewhere, a file that cannot be deleted, and a log whose names lead out of the
// places they belong to.

#include <gtest/gtest.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>

#include "tests/driver/host_path.h"
#include "tests/engine/engine_test_support.h"
#include "shell/restart_operations.h"
#include "uninstaller/uninstaller.h"

using namespace engine_test;

namespace {

constexpr char kServerKey[] = "Software\\Brisklay Engine Test\\Server";

bool SaveLink(const std::string& path, const std::string& target) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  link->SetPath(target.c_str());
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    saved = file->Save(wide, TRUE) == S_OK;
    file->Release();
  }
  link->Release();
  return saved;
}

bool KeyExists(HKEY root, const char* subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

class InProcessRemovalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanProductTraces();
    folder_ = sandbox_ / "Product";
    CreateDirectoryA(folder_.c_str(), nullptr);
    SetBufferText(log_.Header.cName, kProductName);
  }
  void TearDown() override {
    CleanProductTraces();
    DeleteFileA(DesktopLink("BUT Elsewhere").c_str());
    DeleteFileA(DesktopLink("BUT Ours").c_str());
    CoUninitialize();
  }

  // A file of the product with the size and times its record names.
  FileEntry AddFile(const std::string& name, const Bytes& content) {
    const std::string path = folder_ + "\\" + name;
    WriteBytes(path, content);
    FileEntry record = ToFileEntry(Item(name, "bin", path, content), static_cast<uint32_t>(log_.Files.size()));
    StampTimes(path, record);
    log_.Files.push_back(record);
    return record;
  }
  static void StampTimes(const std::string& path, const FileEntry& record) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME creation{record.CreationTime.dwLowDateTime, record.CreationTime.dwHighDateTime};
    const FILETIME write{record.LastWriteTime.dwLowDateTime, record.LastWriteTime.dwHighDateTime};
    SetFileTime(file, &creation, nullptr, &write);
    CloseHandle(file);
  }
  static std::string DesktopLink(const std::string& name) {
    return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + name + ".lnk";
  }

  Leftovers Run() {
    Uninstaller uninstaller(log_, folder_, folder_ + "\\Uninstall.exe", nullptr);
    uninstaller.Run();
    return uninstaller.leftovers();
  }

  static std::vector<std::string> Items(const Leftovers& leftovers) {
    std::vector<std::string> items;
    for (const Leftover& item : leftovers.items()) items.push_back(item.item + " (" + item.reason + ")");
    return items;
  }

  Sandbox sandbox_;
  std::string folder_;
  UninstallLog log_{};
};

TEST_F(InProcessRemovalTest, UnregistersAServerBeforeDeletingIt) {
  const Bytes server = ReadBytes(driver::WindowsPathFromHost(BRISKLAY_COM_STAND_IN));
  ASSERT_FALSE(server.empty());
  FileEntry record = AddFile("Server.dll", server);
  log_.Files.back().RegisterServer = 1;
  const std::string command = "regsvr32.exe /s \"" + BufferText(record.TargetPath) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = command;
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kServerKey));

  EXPECT_TRUE(Run().empty());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kServerKey));
  EXPECT_FALSE(PathExists(BufferText(record.TargetPath)));
}

TEST_F(InProcessRemovalTest, DeletesOnlyLinksThatLeadToTheLoggedTarget) {
  FileEntry ours = AddFile("Ours.bin", PatternBytes(10, 1));
  log_.Files.back().DesktopShortcut = 1;
  SetBufferText(log_.Files.back().ShortcutName, "BUT Ours");
  AddFile("Other.bin", PatternBytes(10, 2));
  log_.Files.back().DesktopShortcut = 1;
  SetBufferText(log_.Files.back().ShortcutName, "BUT Elsewhere");
  ASSERT_TRUE(SaveLink(DesktopLink("BUT Ours"), BufferText(ours.TargetPath)));
  // The user's own link of the same name, to something else.
  ASSERT_TRUE(SaveLink(DesktopLink("BUT Elsewhere"), sandbox_ / "Someone else.exe"));

  const Leftovers leftovers = Run();
  EXPECT_FALSE(PathExists(DesktopLink("BUT Ours")));
  EXPECT_TRUE(PathExists(DesktopLink("BUT Elsewhere")));
  EXPECT_EQ(Items(leftovers), std::vector<std::string>{DesktopLink("BUT Elsewhere") + " (points elsewhere)"});
}

// A file another program holds open goes at the next restart, and its folder after it:
// nothing is listed as left. The requests are taken back here, since this prefix is
// never restarted and later runs of the product would wait for that restart.
TEST_F(InProcessRemovalTest, DeletesAFileInUseAndItsFolderAtTheRestart) {
  FileEntry busy = AddFile("Busy.bin", PatternBytes(10, 3));
  AddFile("Free.bin", PatternBytes(10, 4));
  HANDLE open = CreateFileA(busy.TargetPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  Uninstaller uninstaller(log_, folder_, folder_ + "\\Uninstall.exe", nullptr);
  uninstaller.Run();
  CloseHandle(open);
  const std::string tag = RestartTag(BufferText(log_.Header.cName));
  const bool pending = RestartPendingFor(tag);
  EXPECT_TRUE(ForgetScheduledOperationsTagged(tag));
  EXPECT_TRUE(ForgetScheduledOperation(folder_));
  EXPECT_TRUE(Items(uninstaller.leftovers()).empty()) << ::testing::PrintToString(Items(uninstaller.leftovers()));
  EXPECT_TRUE(uninstaller.RestartNeeded());
  EXPECT_TRUE(pending);
  EXPECT_FALSE(RestartPendingFor(tag));
  EXPECT_FALSE(PathExists(folder_ + "\\Free.bin"));
}

TEST_F(InProcessRemovalTest, LeavesFoldersOutsideTheProductAloneWhenTheyAreNotEmpty) {
  // A folder record for a shared folder (here the sandbox itself, which holds the
  // product): it stays, and the user is not told to empty it.
  FileEntry shared = ToFileEntry(Item("Shared", "\\", sandbox_.Path()), 0);
  log_.Files.push_back(shared);
  AddFile("Only.bin", PatternBytes(5, 5));
  EXPECT_TRUE(Run().empty());
  EXPECT_TRUE(PathExists(sandbox_.Path()));
  EXPECT_FALSE(PathExists(folder_ + "\\Only.bin"));
}

TEST_F(InProcessRemovalTest, KeepsTheAddRemoveEntryOfAnotherInstallation) {
  // The same product installed again elsewhere took the entry over.
  const std::string other = "\"C:\\Elsewhere\\Uninstall.exe\" C:\\Elsewhere";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                 static_cast<DWORD>(other.size() + 1));
  RegCloseKey(key);
  EXPECT_TRUE(Run().empty());
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

  const std::string ours = "\"" + folder_ + "\\Uninstall.exe\" " + folder_;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(ours.c_str()),
                 static_cast<DWORD>(ours.size() + 1));
  RegCloseKey(key);
  EXPECT_TRUE(Run().empty());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// Asks for a stop while the removal is at its `at`-th item, as a close of the window does.
class StopAt : public RemovalProgress {
 public:
  explicit StopAt(int at) : at_(at) {}
  Uninstaller* uninstaller = nullptr;
  void SetStatus(const std::string&) override {}
  void SetRange(int) override {}
  void Step() override {
    if (++steps_ == at_) uninstaller->RequestStop();
  }

 private:
  int at_;
  int steps_ = 0;
};

TEST_F(InProcessRemovalTest, AStopFinishesTheItemInHandAndKeepsALogOfTheRest) {
  const FileEntry first = AddFile("First.bin", PatternBytes(10, 1));
  const FileEntry second = AddFile("Second.bin", PatternBytes(10, 2));
  const FileEntry third = AddFile("Third.bin", PatternBytes(10, 3));
  RegistryEntry value{};
  SetBufferText(value.RootKey, "HKEY_CURRENT_USER");
  SetBufferText(value.SubKey, kTestRegistryKey);
  SetBufferText(value.ValueName, "Marker");
  log_.Registry.push_back(value);
  log_.Header.dwFiles = 3;
  log_.Header.dwReg = 1;
  const std::string logPath = folder_ + "\\Uninstall.log";
  ASSERT_TRUE(WriteUninstallLogFile(logPath, log_));

  StopAt stop(2);
  Uninstaller uninstaller(log_, folder_, folder_ + "\\Uninstall.exe", &stop);
  stop.uninstaller = &uninstaller;
  uninstaller.Run();

  EXPECT_TRUE(uninstaller.Stopped());
  EXPECT_FALSE(PathExists(BufferText(first.TargetPath)));
  EXPECT_FALSE(PathExists(BufferText(second.TargetPath)));
  EXPECT_TRUE(PathExists(BufferText(third.TargetPath)));
  EXPECT_EQ(Items(uninstaller.leftovers()),
            (std::vector<std::string>{BufferText(third.TargetPath) + " (left when the removal was stopped)",
                                      "HKEY_CURRENT_USER\\" + std::string(kTestRegistryKey) +
                                          "\\Marker (left when the removal was stopped)"}));
  // What is left, and nothing else, for the next run.
  FILE* file = std::fopen(logPath.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  UninstallLog rest;
  std::string error;
  EXPECT_TRUE(ReadUninstallLog(&rest, file, &error)) << error;
  std::fclose(file);
  ASSERT_EQ(rest.Files.size(), 1u);
  EXPECT_EQ(BufferText(rest.Files[0].TargetPath), BufferText(third.TargetPath));
  EXPECT_EQ(rest.Registry.size(), 1u);
  EXPECT_EQ(BufferText(rest.Header.cName), kProductName);
}

}  // namespace
