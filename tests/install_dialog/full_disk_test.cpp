// An installation onto a drive that fills up: the write failure names the file, the run
// rolls back, and the drive is left as it was. The drive is a tiny tmpfs that the test
// harness maps as Q: (full_disk_drive.sh).

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <iterator>

#include "resources/resource_ids.h"
#include "tests/install_dialog/dialog_test_support.h"

using namespace engine_test;
using namespace dialog_test;

namespace {

constexpr char kDrive[] = "Q:\\";
constexpr ULONGLONG kLargestSmallDrive = 8ull * 1024 * 1024;

// The drive and the temporary folder only: the shell folders may be shared with other
// programs on this machine, and this payload makes no shortcuts.
Snapshot DriveAndTemporaryFolder() {
  Snapshot snapshot = TakeSnapshot("Q:");
  snapshot.registry.clear();
  for (auto item = snapshot.files.begin(); item != snapshot.files.end();) {
    const bool kept = item->first.rfind("Q:", 0) == 0 || item->first.rfind(TempFolder(), 0) == 0;
    item = kept ? std::next(item) : snapshot.files.erase(item);
  }
  return snapshot;
}

TEST(FullDiskTest, WriteFailureNamesTheFileAndRollsBack) {
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExA(kDrive, &available, &total, &free))
    GTEST_SKIP() << "drive Q: is not mapped to a small tmpfs (mounting one needs root)";
  ASSERT_LT(total.QuadPart, kLargestSmallDrive) << "Q: is not the small test drive";

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitialize(nullptr);
  CleanProductTraces();
  // Something of the user's already on the drive, which must survive.
  WriteBytes("Q:\\Keep.txt", PatternBytes(300, 7));

  Sandbox sandbox;
  std::vector<PayloadItem> items = {
      Item("Small", "txt", "%DIR%\\Small.txt", PatternBytes(1000, 1)),
      // Random bytes do not compress, so the payload stays small only on C:.
      Item("Big", "bin", "%DIR%\\Big.bin", PatternBytes(static_cast<size_t>(total.QuadPart) * 2, 2)),
      Item("After", "txt", "%DIR%\\After.txt", PatternBytes(10, 3)),
  };
  Payload payload = MakePayload(sandbox.Path(), items, {});
  const std::string destination = "Q:\\Product";
  const Snapshot before = DriveAndTemporaryFolder();

  ScriptedMessages messages;
  ReportingOwner owner;
  auto dialog = OpenDialog(owner.Handle(), payload, destination);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return dialog->IsFinished(); }, dialog->GetSafeHwnd()));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn't write file:\n" + destination + "\\Big.bin"});
  EXPECT_EQ(ControlText(dialog->GetSafeHwnd(), IDC_INSTALL_STATUS), "Aborted.");
  dialog.reset();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{0});

  const Snapshot after = DriveAndTemporaryFolder();
  EXPECT_TRUE(before == after) << Describe(before, after);
  EXPECT_EQ(ReadBytes("Q:\\Keep.txt"), PatternBytes(300, 7));
  DeleteFileA("Q:\\Keep.txt");
  CleanProductTraces();
  CoUninitialize();
}

// An upgrade that replaces a large file with a small one, then fills the disk with the
// next: the undo must first free the disk of what the run wrote, then put the original
// back, bytes and times, from its copy off the full drive.
TEST(FullDiskTest, AFailedUpgradeGetsTheReplacedFileBack) {
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExA(kDrive, &available, &total, &free))
    GTEST_SKIP() << "drive Q: is not mapped to a small tmpfs (mounting one needs root)";
  ASSERT_LT(total.QuadPart, kLargestSmallDrive) << "Q: is not the small test drive";
  CoInitialize(nullptr);
  CleanProductTraces();
  const std::string destination = "Q:\\Product";
  CreateDirectoryA(destination.c_str(), nullptr);
  const Bytes original = PatternBytes(static_cast<size_t>(total.QuadPart) * 6 / 10, 4);
  WriteBytes(destination + "\\Data.bin", original);

  Sandbox sandbox;
  Payload payload = MakePayload(sandbox.Path(),
                                {Item("Data", "bin", "%DIR%\\Data.bin", PatternBytes(100, 5)),
                                 Item("Big", "bin", "%DIR%\\Big.bin", PatternBytes(static_cast<size_t>(total.QuadPart), 6))},
                                {});
  const Snapshot before = DriveAndTemporaryFolder();
  ScriptedMessages messages;
  RecordingHost host;
  InstallEngine engine(&host, PlanFor(payload, destination));

  EXPECT_FALSE(engine.Install());

  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn't write file:\n" + destination + "\\Big.bin"});
  EXPECT_EQ(engine.Outcome(), InstallOutcome::kFailedAndUndone);
  EXPECT_EQ(ReadBytes(destination + "\\Data.bin"), original);
  const Snapshot after = DriveAndTemporaryFolder();
  EXPECT_TRUE(before == after) << Describe(before, after);
  RemoveTree(destination);
  CleanProductTraces();
  CoUninitialize();
}

}  // namespace
