#include <gtest/gtest.h>

#include "setup/preinstall_questions.h"
#include "tests/checks/scripted_message_boxes.h"

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
  EXPECT_TRUE(CheckDiskSpace(nullptr, "C:\\Program Files\\Product", SummaryHead{0, 0, 0, 1024}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(CheckDiskSpace, HugePayloadIsQuestionedWithTheDriveFreeSpace) {
  ScriptedMessageBoxes boxes(kIdNo);
  EXPECT_FALSE(CheckDiskSpace(nullptr, "C:\\Product", SummaryHead{0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu}));
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
    EXPECT_TRUE(CheckDiskSpace(nullptr, folder, SummaryHead{0, 0, 0, 1}));
    ASSERT_EQ(boxes.shown().size(), 1u) << folder;
    EXPECT_EQ(boxes.shown()[0].text, kCannotRead) << folder;
  }
}

}  // namespace
