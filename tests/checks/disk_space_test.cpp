#include <gtest/gtest.h>

#include <limits>

#include "setup/preinstall_questions.h"
#include "tests/checks/scratch_dir.h"
#include "tests/checks/scripted_message_boxes.h"
#include "tests/checks/summary_entries.h"

namespace {

constexpr uint64_t kMiB = 1048576;
constexpr uint64_t kGiB = 1024 * kMiB;

TEST(RequiredBytes, JoinsBothHalvesOfTheTotal) {
  struct Case {
    uint32_t high, low;
    uint64_t bytes;
  };
  const Case cases[] = {
      {0, 0, 0},
      {0, 0xFFFFFFFFu, 0xFFFFFFFFull},
      {1, 0, 0x100000000ull},
      {1, 0x40000000u, 5 * kGiB},
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull},
  };
  for (const Case& c : cases) {
    const SummaryHead head{0, 0, c.high, c.low};
    EXPECT_EQ(RequiredBytes(head), c.bytes) << c.high << ":" << c.low;
  }
}

TEST(DriveRootOf, TakesTheFirstThreeCharacters) {
  EXPECT_EQ(DriveRootOf("C:\\Program Files\\Product"), "C:\\");
  EXPECT_EQ(DriveRootOf("D:\\"), "D:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\Product"), "\\\\s");
  EXPECT_EQ(DriveRootOf("C:"), "C:");
  EXPECT_EQ(DriveRootOf(""), "");
}

const char kCannotRead[] =
    "Failed to obtain free disk space!\nThe program may or may not have enough free disk space to install to.\n"
    "Do you still wish to proceed?";

TEST(DiskSpaceQuestion, AsksWhenAnyCountIsNotAboveTheRequiredSize) {
  struct Case {
    const char* what;
    uint64_t required;
    std::optional<DiskSpaceReport> report;  // free to caller, total, total free
    std::string question;
  };
  const Case cases[] = {
      {"space unreadable", 0, std::nullopt, kCannotRead},
      {"empty payload, some space", 0, DiskSpaceReport{1, 1, 1}, ""},
      {"empty payload, full disk", 0, DiskSpaceReport{0, 100 * kGiB, 0},
       "Not enough free space to complete installation.\nRequired space: 0.00 MB, Free space: 0.00 MB.\n"
       "Do you still wish to proceed?"},
      {"plenty", 10 * kMiB, DiskSpaceReport{20 * kMiB, 100 * kMiB, 20 * kMiB}, ""},
      {"exactly the free space", 10 * kMiB, DiskSpaceReport{10 * kMiB, 100 * kMiB, 20 * kMiB},
       "Not enough free space to complete installation.\nRequired space: 10.00 MB, Free space: 10.00 MB.\n"
       "Do you still wish to proceed?"},
      {"one byte short", 3 * kMiB / 2, DiskSpaceReport{3 * kMiB / 2 - 1, 100 * kMiB, 100 * kMiB},
       "Not enough free space to complete installation.\nRequired space: 1.50 MB, Free space: 1.50 MB.\n"
       "Do you still wish to proceed?"},
      {"quota: caller may use less than is free", 10 * kMiB, DiskSpaceReport{kMiB + kMiB / 4, 100 * kMiB, 50 * kMiB},
       "Not enough free space to complete installation.\nRequired space: 10.00 MB, Free space: 1.25 MB.\n"
       "Do you still wish to proceed?"},
      {"total free too small", 10 * kMiB, DiskSpaceReport{20 * kMiB, 100 * kMiB, 10 * kMiB},
       "Not enough free space to complete installation.\nRequired space: 10.00 MB, Free space: 20.00 MB.\n"
       "Do you still wish to proceed?"},
      {"disk smaller than payload", 10 * kMiB, DiskSpaceReport{20 * kMiB, 10 * kMiB, 20 * kMiB},
       "Not enough free space to complete installation.\nRequired space: 10.00 MB, Free space: 20.00 MB.\n"
       "Do you still wish to proceed?"},
      {"more than 4 GiB free counts in full", 5 * kGiB, DiskSpaceReport{6 * kGiB, 100 * kGiB, 6 * kGiB}, ""},
      {"over 4 GiB needed, low half small", 4 * kGiB + 1, DiskSpaceReport{2 * kGiB, 100 * kGiB, 2 * kGiB},
       "Not enough free space to complete installation.\nRequired space: 4096.00 MB, Free space: 2048.00 MB.\n"
       "Do you still wish to proceed?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DiskSpaceQuestion(c.required, c.report), c.question) << c.what;
  }
}

TEST(ConfirmDiskSpace, AnswerDecidesWhetherInstallationStarts) {
  int owner = 0;
  for (int answer : {kIdYes, kIdNo}) {
    ScriptedMessageBoxes boxes(answer);
    EXPECT_EQ(ConfirmDiskSpace(&owner, 10, std::nullopt), answer == kIdYes);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, kCannotRead);
    EXPECT_EQ(boxes.shown()[0].caption, "Warning");
    EXPECT_EQ(boxes.shown()[0].flags, kMbYesNo | kMbIconWarning);
    EXPECT_EQ(boxes.shown()[0].owner, &owner);
  }
}

TEST(CheckDiskSpace, RoomyDriveShowsNothing) {
  ScriptedMessageBoxes boxes(kIdNo);
  EXPECT_TRUE(CheckDiskSpace(nullptr, "C:\\Program Files\\Product", SummaryWithTotal(0, 1024)));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(CheckDiskSpace, HugePayloadIsQuestionedWithTheDriveFreeSpace) {
  ScriptedMessageBoxes boxes(kIdNo);
  EXPECT_FALSE(CheckDiskSpace(nullptr, "C:\\Product", SummaryWithTotal(0xFFFFFFFFu, 0xFFFFFFFFu)));
  ASSERT_EQ(boxes.shown().size(), 1u);
  const std::string& text = boxes.shown()[0].text;
  EXPECT_EQ(text.rfind("Not enough free space to complete installation.\nRequired space: 17592186044416.00 MB, "
                       "Free space: ",
                       0),
            0u)
      << text;
  const std::string end = " MB.\nDo you still wish to proceed?";
  ASSERT_GE(text.size(), end.size());
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

TEST(CheckDiskSpace, UnreadableDestinationsAskAboutTheUnknownSpace) {
  for (const char* folder : {"\\\\server\\share\\Product", "", "Q"}) {
    ScriptedMessageBoxes boxes(kIdYes);
    EXPECT_TRUE(CheckDiskSpace(nullptr, folder, SummaryWithTotal(0, 1)));
    ASSERT_EQ(boxes.shown().size(), 1u) << folder;
    EXPECT_EQ(boxes.shown()[0].text, kCannotRead) << folder;
  }
}

// ---- The run's own files in the temporary folder ---------------------------

constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();

TEST(TemporaryBytesNeeded, CountsTheLogAndTheCopiesButNotThePayload) {
  SummaryRecord summary = SummaryWithTotal(0, 1000);
  summary.Entries.push_back(MakeEntry("tool", "exe", "%DIR%\\tool.exe"));
  // Fixed fields and the five strings "tool", "exe", "%DIR%\tool.exe", "", "".
  EXPECT_EQ(EntryRecordBytes(summary.Entries), 76u + 4 + 3 + 14);
  const uint64_t base = TemporaryBytesNeeded(summary, 0);
  EXPECT_GT(base, EntryRecordBytes(summary.Entries)) << "the log holds the records";
  EXPECT_EQ(TemporaryBytesNeeded(summary, 300), base + 300) << "the copies of replaced files";
  SummaryRecord larger = summary;
  larger.Head.TotalSizeLow = 300000000;
  EXPECT_EQ(TemporaryBytesNeeded(larger, 0), base) << "the contents are inflated straight into the files";
  EXPECT_EQ(TemporaryBytesNeeded(summary, kMost), kMost);
}

TEST(DriveNeeds, OneDriveAddsTheNeedsUpAndTwoDrivesAreAskedApart) {
  struct Case {
    const char* what;
    std::string destination;
    uint64_t destinationBytes;
    std::string temporary;
    uint64_t temporaryBytes;
    std::vector<DriveNeed> needs;
  };
  const Case cases[] = {
      {"same drive", "C:\\App", 100, "C:\\Temp\\", 50, {{"C:\\App", 150, false}}},
      {"drive letters in other case", "c:\\App", 100, "C:\\Temp\\", 50, {{"c:\\App", 150, false}}},
      {"bare drive root", "D:\\", 100, "d:\\Temp\\", 50, {{"D:\\", 150, false}}},
      {"two drives", "D:\\App", 100, "C:\\Temp\\", 50, {{"D:\\App", 100, false}, {"C:\\Temp\\", 50, true}}},
      {"one network share", "\\\\host\\share\\App", 100, "\\\\HOST\\Share\\Temp\\", 50,
       {{"\\\\host\\share\\App", 150, false}}},
      {"two shares of one host", "\\\\host\\share\\App", 100, "\\\\host\\other\\Temp\\", 50,
       {{"\\\\host\\share\\App", 100, false}, {"\\\\host\\other\\Temp\\", 50, true}}},
      {"a share and a drive", "\\\\host\\share\\App", 100, "C:\\Temp\\", 50,
       {{"\\\\host\\share\\App", 100, false}, {"C:\\Temp\\", 50, true}}},
      {"temporary folder unknown", "C:\\App", 100, "", 50, {{"C:\\App", 100, false}, {"", 50, true}}},
      {"sum beyond counting", "C:\\App", kMost, "C:\\T\\", 5, {{"C:\\App", kMost, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<DriveNeed> needs = DriveNeeds(c.destination, c.destinationBytes, c.temporary, c.temporaryBytes);
    ASSERT_EQ(needs.size(), c.needs.size());
    for (std::size_t i = 0; i < needs.size(); ++i) {
      EXPECT_EQ(needs[i].folder, c.needs[i].folder);
      EXPECT_EQ(needs[i].bytes, c.needs[i].bytes);
      EXPECT_EQ(needs[i].temporaryOnly, c.needs[i].temporaryOnly);
    }
  }
}

TEST(DriveSpaceQuestion, TheTemporaryFolderIsNamedInItsOwnQuestion) {
  struct Case {
    const char* what;
    DriveNeed need;
    std::optional<DiskSpaceReport> report;
    std::string question;
  };
  const DriveNeed temporary{"D:\\Temp\\", 10 * kMiB, true};
  const Case cases[] = {
      {"destination drive: the destination's question", {"C:\\App", 10 * kMiB, false},
       DiskSpaceReport{kMiB, 100 * kMiB, kMiB},
       "Not enough free space to complete installation.\nRequired space: 10.00 MB, Free space: 1.00 MB.\n"
       "Do you still wish to proceed?"},
      {"temporary drive with room", temporary, DiskSpaceReport{11 * kMiB, 100 * kMiB, 11 * kMiB}, ""},
      {"temporary drive short", temporary, DiskSpaceReport{10 * kMiB, 100 * kMiB, 50 * kMiB},
       "Not enough free space in the temporary folder \"D:\\Temp\\\" to complete installation.\n"
       "Required space: 10.00 MB, Free space: 10.00 MB.\nDo you still wish to proceed?"},
      {"temporary drive unreadable", temporary, std::nullopt,
       "Failed to obtain free disk space of the temporary folder \"D:\\Temp\\\"!\n"
       "The program may or may not have enough free disk space to install.\nDo you still wish to proceed?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DriveSpaceQuestion(c.need, c.report), c.question) << c.what;
  }
}

TEST(ConfirmDiskSpaceQuestions, EveryQuestionMustBeAnsweredYes) {
  for (int answer : {kIdYes, kIdNo}) {
    ScriptedMessageBoxes boxes(answer);
    EXPECT_EQ(ConfirmDiskSpaceQuestions(nullptr, {"first?", "second?"}), answer == kIdYes);
    // A No ends the check at once.
    EXPECT_EQ(boxes.shown().size(), answer == kIdYes ? 2u : 1u);
  }
  ScriptedMessageBoxes none(kIdNo);
  EXPECT_TRUE(ConfirmDiskSpaceQuestions(nullptr, {}));
  EXPECT_TRUE(none.shown().empty());
}

TEST(QueryReplacedBytes, CountsTheFilesTheTargetsWouldOverwrite) {
  ScratchDir destination;
  ASSERT_TRUE(destination.WriteFile("old.bin", std::string(1234, 'x')));
  ASSERT_TRUE(CreateDirectoryA(destination.PathOf("Docs").c_str(), nullptr));
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string systemFile = std::string(windows) + "\\brisklay-checks-replaced.ini";
  {
    HANDLE file = CreateFileA(systemFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "abcdefg", 7, &written, nullptr);
    CloseHandle(file);
  }
  const std::vector<SummaryEntry> entries = {
      MakeEntry("old", "bin", "%DIR%\\old.bin"),                              // there: 1234
      MakeEntry("new", "bin", "%DIR%\\new.bin"),                              // not there
      MakeEntry("gone", "bin", "%DIR%\\Missing\\gone.bin"),                  // nor its folder
      FolderEntry("Docs", "%DIR%\\Docs"),                                     // a folder copies nothing
      MakeEntry("Docs", "", "%DIR%\\Docs"),                                   // a folder where a file goes
      MakeEntry("brisklay-checks-replaced", "ini", "%WINDOWS%\\brisklay-checks-replaced.ini"),  // 7
  };
  EXPECT_EQ(QueryReplacedBytes(destination.Path(), entries), 1234u + 7u);
  DeleteFileA(systemFile.c_str());
}

}  // namespace
