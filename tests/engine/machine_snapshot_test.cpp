// The snapshot that judges every run of the fault loop: it must see each change a run
// could leave behind, and none of those no undo can avoid, or the loop would pass on a
// damaged machine or fail on a sound one.

#include "tests/engine/machine_snapshot.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>

#include "tests/engine/engine_test_support.h"

using namespace engine_test;

namespace {

const std::string kKey = std::string(kTestRegistryKey) + "\\Snapshot";

void SetTimes(const std::string& path, const FILETIME* creation, const FILETIME* lastWrite) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  SetFileTime(file, creation, nullptr, lastWrite);
  CloseHandle(file);
}

FILETIME Time(uint64_t value) { return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)}; }

void SetValue(const std::string& subKey, const char* name, DWORD type, const std::string& data) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

// A small tree, a shared folder beside it and a key with values and a subkey.
class MachineSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey);
    tree_ = sandbox_ / "Tree";
    shared_ = sandbox_ / "Shared";
    for (const std::string& folder : {tree_, tree_ + "\\Sub", shared_, shared_ + "\\Inner"}) {
      CreateDirectoryA(folder.c_str(), nullptr);
    }
    WriteBytes(tree_ + "\\a.txt", PatternBytes(100, 1));
    WriteBytes(tree_ + "\\Sub\\b.bin", PatternBytes(10, 2));
    WriteBytes(tree_ + "\\c.lnk", PatternBytes(60, 3));
    WriteBytes(shared_ + "\\d.lnk", PatternBytes(60, 4));
    WriteBytes(tree_ + "\\Excluded.txt", PatternBytes(5, 5));
    SetValue(kKey, "Text", REG_SZ, std::string("one", 4));
    SetValue(kKey, "", REG_SZ, std::string("default", 8));
    SetValue(kKey + "\\Child", "Number", REG_DWORD, std::string("\x01\0\0\0", 4));
    scope_.trees = {tree_, sandbox_ / "Missing.txt"};
    scope_.shallowFolders = {shared_};
    scope_.excluded = {tree_ + "\\Excluded.txt"};
    scope_.keys = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kKey}};
  }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey); }

  std::string DifferencesAfter(const std::function<void()>& change) {
    const MachineSnapshot before = MachineSnapshot::Take(scope_);
    change();
    return Differences(before, MachineSnapshot::Take(scope_));
  }

  Sandbox sandbox_;
  std::string tree_, shared_;
  SnapshotScope scope_;
};

struct SeenChange {
  const char* what;
  std::function<void()> change;
  std::string told;  // a piece of the line that tells it
};

TEST_F(MachineSnapshotTest, TellsEveryChangeARunCouldLeave) {
  const SeenChange cases[] = {
      {"same size, other bytes", [&] { WriteBytes(tree_ + "\\a.txt", PatternBytes(100, 9)); },
       "a.txt: bytes differ from offset 0"},
      {"other size", [&] { WriteBytes(tree_ + "\\a.txt", PatternBytes(101, 1)); }, "100 -> 101 bytes"},
      {"last-write time",
       [&] {
         FILETIME w = Time(0x01D0000000000000ull);
         SetTimes(tree_ + "\\a.txt", nullptr, &w);
       },
       "last written "},
      {"file deleted deep down", [&] { DeleteFileA((tree_ + "\\Sub\\b.bin").c_str()); }, "gone file of 10 bytes: "},
      {"folder created", [&] { CreateDirectoryA((tree_ + "\\New").c_str(), nullptr); }, "new folder: "},
      {"file where none was", [&] { WriteBytes(sandbox_ / "Missing.txt", {}); }, "Missing.txt"},
      {"link rewritten", [&] { WriteBytes(tree_ + "\\c.lnk", PatternBytes(60, 7)); }, "changed link: "},
      {"link in a shared folder", [&] { WriteBytes(shared_ + "\\e.lnk", {1}); }, "new link of 1 bytes: "},
      {"value data", [&] { SetValue(kKey, "Text", REG_SZ, std::string("two", 4)); },
       "[\"Text\"]: REG_SZ \"one\\0\" -> REG_SZ \"two\\0\""},
      {"value type", [&] { SetValue(kKey, "Text", REG_DWORD, std::string("\x02\0\0\0", 4)); },
       "REG_SZ \"one\\0\" -> REG_DWORD 2"},
      {"default value deleted",
       [&] {
         HKEY key;
         RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_SET_VALUE, &key);
         RegDeleteValueA(key, "");
         RegCloseKey(key);
       },
       "gone value: HKEY_CURRENT_USER\\Software\\Brisklay Engine Test\\Snapshot [(default)] (REG_SZ \"default\\0\")"},
      {"subkey created", [&] { SetValue(kKey + "\\Child\\Grandchild", "x", REG_SZ, "x"); },
       "new key: HKEY_CURRENT_USER\\Software\\Brisklay Engine Test\\Snapshot\\Child\\Grandchild"},
      {"subkey deleted", [&] { SHDeleteKeyA(HKEY_CURRENT_USER, (kKey + "\\Child").c_str()); }, "gone key: "},
  };
  for (const SeenChange& c : cases) {
    SetUp();
    const std::string told = DifferencesAfter([&] { c.change(); });
    EXPECT_NE(told.find(c.told), std::string::npos) << c.what << ":\n" << told;
  }
}

TEST_F(MachineSnapshotTest, OverlooksWhatNoUndoCanAvoidAndWhatLiesOutside) {
  const std::function<void()> unseen[] = {
      // A child made and removed again changes its folder's times.
      [&] {
        WriteBytes(tree_ + "\\Sub\\x.tmp", {1});
        DeleteFileA((tree_ + "\\Sub\\x.tmp").c_str());
        FILETIME t = Time(0x01D0000000000000ull);
        SetTimes(tree_ + "\\Sub", &t, &t);
      },
      // A link saved again with the same content.
      [&] {
        FILETIME t = Time(0x01D0000000000000ull);
        SetTimes(tree_ + "\\c.lnk", &t, &t);
      },
      // Below a shared folder's first level, and excluded paths.
      [&] { WriteBytes(shared_ + "\\Inner\\f.txt", {1}); },
      [&] { WriteBytes(tree_ + "\\Excluded.txt", {1}); },
  };
  for (const auto& change : unseen) {
    SetUp();
    EXPECT_EQ(DifferencesAfter(change), "");
  }
}

TEST_F(MachineSnapshotTest, ShowsTheFirstDifferencesAndCountsTheRest) {
  const std::string told = DifferencesAfter([&] {
    for (int i = 0; i < 12; ++i) WriteBytes(tree_ + "\\n" + std::to_string(i) + ".txt", {1});
  });
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 9) << told;
  EXPECT_NE(told.find("... and 4 more"), std::string::npos) << told;
}

}  // namespace
