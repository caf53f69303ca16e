// The shell calls of an installation and its undo (links, shared-file counts, regsvr32):
// told to fail, each fails as the system would, having changed nothing and been counted
// once.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlwapi.h>

#include <functional>

#include "shell/fault_injection.h"
#include "shell/regsvr32.h"
#include "shell/shared_files.h"
#include "shell/shell_links.h"
#include "tests/driver/host_path.h"
#include "tests/engine/engine_test_support.h"
#include "tests/engine/machine_snapshot.h"

using namespace engine_test;

namespace {

// Only a name in the count's key; no such file is needed.
constexpr char kSharedPath[] = "C:\\windows\\BET Seam.dll";

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

class ShellFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey);
    // As on every Windows: the key is there before any installation counts a file.
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegCloseKey(key);
    }
    ForgetSharedCount();
    scope_.trees = {sandbox_.Path()};
    scope_.keys = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kTestRegistryKey},
                   {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kSharedDllsKey}};
  }
  void TearDown() override {
    fault_injection::Disarm();
    ForgetSharedCount();
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey);
    CoUninitialize();
  }
  static void ForgetSharedCount() { SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, kSharedPath); }

  Sandbox sandbox_;
  SnapshotScope scope_;
};

struct ShellCall {
  const char* what;
  std::function<void()> prepare;
  // Made with the first counted call failing; true when it reports the failure.
  std::function<bool()> reportsFailure;
};

TEST_F(ShellFaultsTest, EachCallFailsAsTheSystemWouldAndChangesNothing) {
  const std::string link = sandbox_ / "BET Seam.lnk";
  const std::string target = sandbox_ / "App.exe";
  SharedFileCountChange change;
  const ShellCall calls[] = {
      {"saving a link", [] {},
       [&] { return SaveLink(link, target, sandbox_.Path(), "Seam") == LinkSaving::kNotSaved; }},
      {"removing a link", [&] { ASSERT_EQ(SaveLink(link, target, sandbox_.Path(), "Seam"), LinkSaving::kSaved); },
       [&] { return RemoveLinkTo(link, target) == LinkRemoval::kNotDeleted; }},
      {"counting a new user of a shared file", [] {}, [&] { return !AddSharedFileUser(kSharedPath, false, &change); }},
      {"putting a count back", [&] { ASSERT_TRUE(AddSharedFileUser(kSharedPath, true, &change)); },
       [&] {
         return !UndoSharedFileCountChange(SharedFileCountChange{kSharedPath, 1u});
       }},
      {"taking a count's last user away", [&] { ASSERT_TRUE(AddSharedFileUser(kSharedPath, false, &change)); },
       [&] { return ReleaseSharedFile(kSharedPath) == SharedFileRelease::kNotWritten; }},
      {"registering a server", [] {},
       [&] {
         return RunRegsvr32(SystemFolder(), driver::WindowsPathFromHost(BRISKLAY_COM_STAND_IN),
                            ServerRegistration::kRegister) == Regsvr32Outcome::kNotStarted;
       }},
  };
  for (const ShellCall& call : calls) {
    SCOPED_TRACE(call.what);
    DeleteFileA(link.c_str());
    ForgetSharedCount();
    call.prepare();
    const MachineSnapshot before = MachineSnapshot::Take(scope_);
    fault_injection::Arm({1, ""});
    EXPECT_TRUE(call.reportsFailure());
    fault_injection::Disarm();
    EXPECT_EQ(fault_injection::CallsCounted(), 1u);
    EXPECT_TRUE(fault_injection::FailureInjected());
    EXPECT_EQ(Differences(before, MachineSnapshot::Take(scope_)), "");
  }
}

bool SharedDllsKeyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Where the key is missing, a reader leaves it so, and a writer's creating it is a change
// of its own, counted and failing like the others. The key's values are put back after.
TEST_F(ShellFaultsTest, TheMissingSharedCountKeyIsCreatedOnlyByAWriterThroughTheSeam) {
  const MachineSnapshot saved =
      MachineSnapshot::Take({{}, {}, {}, {{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kSharedDllsKey}}});
  ASSERT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSharedDllsKey), ERROR_SUCCESS);

  EXPECT_FALSE(SharedFileCount(kSharedPath).has_value());
  EXPECT_FALSE(SharedDllsKeyExists()) << "a reader created the key";
  SharedFileCountChange change;
  fault_injection::Arm({1, ""});
  EXPECT_FALSE(AddSharedFileUser(kSharedPath, false, &change));
  fault_injection::Disarm();
  EXPECT_EQ(fault_injection::CallsCounted(), 1u);
  EXPECT_FALSE(SharedDllsKeyExists()) << "the failing creation created the key";
  fault_injection::Arm({0, ""});
  EXPECT_TRUE(AddSharedFileUser(kSharedPath, false, &change));
  fault_injection::Disarm();
  EXPECT_EQ(fault_injection::CallsCounted(), 2u);  // the key, then the count

  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& keyState : saved.keys) {
    for (const auto& value : keyState.second.values) {
      RegSetValueExA(key, value.first.c_str(), 0, value.second.type, value.second.data.data(),
                     static_cast<DWORD>(value.second.data.size()));
    }
  }
  RegCloseKey(key);
}

}  // namespace
