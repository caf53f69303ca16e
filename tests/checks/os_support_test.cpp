#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "setup/preinstall_questions.h"
#include "tests/checks/scripted_message_boxes.h"

namespace {

constexpr uint32_t k9x = 1, kNt = 2, kCe = 3;

struct VersionCase {
  OsVersionReport report;
  const char* name;
  int code;
};

// Boundaries of every build range, and the numbers Wine reports for each emulated version.
const VersionCase kVersions[] = {
    {{k9x, 4, 0, 949}, "Unknown Windows Version", 0},
    {{k9x, 4, 0, 950}, "Windows 95", 1},
    {{k9x, 4, 0, 0x040003B6}, "Windows 95", 1},  // high word carries 4.0
    {{k9x, 4, 3, 950}, "Windows 95", 1},
    {{k9x, 4, 0, 951}, "Windows 95 SP1", 2},
    {{k9x, 4, 0, 1080}, "Windows 95 SP1", 2},
    {{k9x, 4, 0, 1081}, "Windows 95 OSR2", 3},
    {{k9x, 4, 9, 1212}, "Windows 95 OSR2", 3},
    {{k9x, 4, 10, 1997}, "Unknown Windows Version", 0},
    {{k9x, 4, 10, 1998}, "Windows 98", 4},
    {{k9x, 4, 10, 0x040A07CE}, "Windows 98", 4},
    {{k9x, 4, 10, 1999}, "Windows 98 SP1", 5},
    {{k9x, 4, 10, 2182}, "Windows 98 SP1", 5},
    {{k9x, 4, 10, 2183}, "Windows 98 SE", 6},
    {{k9x, 4, 10, 2222}, "Windows 98 SE", 6},
    {{k9x, 4, 90, 0}, "Windows ME", 7},
    {{k9x, 4, 90, 3000}, "Windows ME", 7},
    {{k9x, 4, 50, 2222}, "Unknown Windows Version", 0},
    {{k9x, 5, 0, 950}, "Unknown Windows Version", 0},
    {{kNt, 3, 51, 1057}, "Windows NT 3.51", 101},
    {{kNt, 3, 50, 807}, "Unknown Windows Version", 0},
    {{kNt, 4, 0, 1381}, "Windows NT 4", 102},
    {{kNt, 4, 10, 1998}, "Unknown Windows Version", 0},  // a 98 number on NT is not 98
    {{kNt, 5, 0, 2195}, "Windows 2000", 103},
    {{kNt, 5, 1, 2600}, "Windows XP", 104},
    {{kNt, 5, 2, 3790}, "Windows 2003", 105},
    {{kNt, 6, 0, 6002}, "Windows Vista/2008", 106},
    {{kNt, 6, 1, 7601}, "Windows 7", 107},
    {{kNt, 6, 2, 9200}, "Windows 8", 108},
    {{kNt, 6, 3, 9600}, "Windows 8.1", 109},
    {{kNt, 10, 0, 10240}, "Windows 10", 110},
    {{kNt, 10, 0, 20348}, "Windows 10", 110},  // Server 2022 shares the numbers of Windows 10
    {{kNt, 10, 0, 21999}, "Windows 10", 110},
    {{kNt, 10, 0, 22000}, "Windows 11", 111},
    {{kNt, 10, 0, 26100}, "Windows 11", 111},
    {{kNt, 10, 0, 0x00014E20}, "Windows 10", 110},  // 85536: only its low 16 bits, 20000, count
    {{kNt, 6, 4, 9841}, "Windows NT 6.4", 112},
    {{kNt, 10, 1, 0}, "Windows NT 10.1", 112},
    {{kNt, 11, 0, 30000}, "Windows NT 11.0", 112},
    {{kNt, 6, 5, 0}, "Windows NT 6.5", 112},
    {{kCe, 0, 0, 0}, "Windows CE", 201},
    {{kCe, 5, 2, 100}, "Windows CE", 201},
    {{0, 4, 0, 950}, "Unknown Windows Version", 0},  // Win32s
    {{4, 6, 0, 0}, "Unknown Windows Version", 0},
};

TEST(OsVersionTable, NamesEachReportedVersion) {
  for (const VersionCase& c : kVersions) {
    SCOPED_TRACE(testing::Message() << "platform " << c.report.PlatformId << ", " << c.report.MajorVersion << "."
                                    << c.report.MinorVersion << "." << c.report.BuildNumber);
    const DetectedOs os = ClassifyOsVersion(c.report);
    EXPECT_EQ(os.Name, c.name);
    EXPECT_EQ(os.Code, c.code);
  }
}

SetupConfig NoSystems() {
  SetupConfig config;
  std::memset(&config, 0, sizeof config);
  return config;
}

SetupConfig AllSystems() {
  SetupConfig config = NoSystems();
  for (uint32_t* flag : {&config.SupportsWin95, &config.SupportsWin98, &config.SupportsWinMe,
                         &config.SupportsWinNT, &config.SupportsWin2000, &config.SupportsWinXP,
                         &config.SupportsWin2003, &config.SupportsWinVista2008}) {
    *flag = 1;
  }
  return config;
}

// Which flag admits which codes: each flag alone must admit exactly its own systems.
TEST(OsSupportFlags, EachFlagAdmitsExactlyItsSystems) {
  struct FlagCase {
    uint32_t SetupConfig::*flag;
    std::vector<int> codes;
  };
  const FlagCase flags[] = {
      {&SetupConfig::SupportsWin95, {1, 2, 3}},  {&SetupConfig::SupportsWin98, {4, 5, 6}},
      {&SetupConfig::SupportsWinMe, {7}},        {&SetupConfig::SupportsWinNT, {101, 102}},
      {&SetupConfig::SupportsWin2000, {103}},    {&SetupConfig::SupportsWinXP, {104}},
      {&SetupConfig::SupportsWin2003, {105}},
      // Vista/2008 and every Windows after it.
      {&SetupConfig::SupportsWinVista2008, {106, 107, 108, 109, 110, 111, 112}},
  };
  const int allCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 201};
  for (const FlagCase& f : flags) {
    SetupConfig config = NoSystems();
    config.*f.flag = 1;
    for (int code : allCodes) {
      const bool expected = std::find(f.codes.begin(), f.codes.end(), code) != f.codes.end();
      EXPECT_EQ(IsOsSupported(config, code), expected) << "code " << code << ", flag for " << f.codes[0];
    }
  }
  // Any non-zero value counts as set.
  SetupConfig config = NoSystems();
  config.SupportsWinXP = 0xFFFFFFFF;
  EXPECT_TRUE(IsOsSupported(config, kOsWinXp));
}

TEST(OsSupportFlags, ListsSetFlagsInFixedOrderWithTrailingBlanks) {
  EXPECT_EQ(SupportedSystemsList(NoSystems()), "");
  EXPECT_EQ(SupportedSystemsList(AllSystems()), "Win 95 Win 98 Win ME Win NT Win 2K Win XP Win 2003 Win Vista/2008 ");
  SetupConfig config = NoSystems();
  config.SupportsWinVista2008 = 1;
  config.SupportsWin2000 = 1;
  EXPECT_EQ(SupportedSystemsList(config), "Win 2K Win Vista/2008 ");
}

const char kCannotRead[] =
    "Failed to determine Operating System type and version.\nThe program may or may not install or run.\n"
    "Do you still wish to proceed?";
const char kUnknown[] =
    "Unknown Operating System type and version.\nThe program may or may not install or run.\n"
    "Do you still wish to proceed?";
const char kNotConfiguredEnd[] =
    "\nThe program is not configured to run on this type of Operating System.\nDo you still wish to proceed?";

TEST(OsSupportQuestion, AsksOnlyWhenTheSystemIsNotAdmitted) {
  SetupConfig win2000AndVista = NoSystems();
  win2000AndVista.SupportsWin2000 = 1;
  win2000AndVista.SupportsWinVista2008 = 1;
  SetupConfig ntOnly = NoSystems();
  ntOnly.SupportsWinNT = 1;
  SetupConfig xpOnly = NoSystems();
  xpOnly.SupportsWinXP = 1;

  struct QuestionCase {
    const char* what;
    std::optional<OsVersionReport> report;
    SetupConfig config;
    std::string question;  // empty: no question
  };
  const QuestionCase cases[] = {
      {"version unreadable", std::nullopt, AllSystems(), kCannotRead},
      {"Windows 7 with every flag", OsVersionReport{kNt, 6, 1, 7601}, AllSystems(), ""},
      {"Windows 11 on an XP-only product", OsVersionReport{kNt, 10, 0, 22631}, xpOnly,
       std::string("Detected Operating System: Windows 11. Supported: Win XP ") + kNotConfiguredEnd},
      {"Windows 10 with Vista", OsVersionReport{kNt, 10, 0, 19045}, win2000AndVista, ""},
      {"NT 3.50", OsVersionReport{kNt, 3, 50, 807}, AllSystems(), kUnknown},
      {"95 build below 950", OsVersionReport{k9x, 4, 0, 949}, AllSystems(), kUnknown},
      {"XP with 2K and Vista", OsVersionReport{kNt, 5, 1, 2600}, win2000AndVista,
       std::string("Detected Operating System: Windows XP. Supported: Win 2K Win Vista/2008 ") + kNotConfiguredEnd},
      {"no flag set", OsVersionReport{kNt, 5, 1, 2600}, NoSystems(),
       std::string("Detected Operating System: Windows XP. Supported: ") + kNotConfiguredEnd},
      {"CE with every flag", OsVersionReport{kCe, 4, 0, 0}, AllSystems(),
       std::string("Detected Operating System: Windows CE. Supported: Win 95 Win 98 Win ME Win NT Win 2K Win XP "
                   "Win 2003 Win Vista/2008 ") +
           kNotConfiguredEnd},
      {"98 SE on NT-only product", OsVersionReport{k9x, 4, 10, 2222}, ntOnly,
       std::string("Detected Operating System: Windows 98 SE. Supported: Win NT ") + kNotConfiguredEnd},
      {"NT 3.51 with NT flag", OsVersionReport{kNt, 3, 51, 1057}, ntOnly, ""},
      {"NT 4 with NT flag", OsVersionReport{kNt, 4, 0, 1381}, ntOnly, ""},
      {"Vista with its flag", OsVersionReport{kNt, 6, 0, 6002}, win2000AndVista, ""},
  };
  for (const QuestionCase& c : cases) {
    EXPECT_EQ(OsSupportQuestion(c.report, c.config), c.question) << c.what;
  }
}

TEST(ConfirmOsSupport, SupportedSystemShowsNothing) {
  ScriptedMessageBoxes boxes(kIdNo);
  EXPECT_TRUE(ConfirmOsSupport(nullptr, OsVersionReport{kNt, 5, 1, 2600}, AllSystems()));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(ConfirmOsSupport, AnswerDecidesWhetherStartUpGoesOn) {
  int owner = 0;
  struct AnswerCase {
    int answer;
    bool goesOn;
  };
  for (const AnswerCase& c : {AnswerCase{kIdYes, true}, AnswerCase{kIdNo, false}, AnswerCase{0, false}}) {
    ScriptedMessageBoxes boxes(c.answer);
    EXPECT_EQ(ConfirmOsSupport(&owner, OsVersionReport{kNt, 3, 50, 807}, AllSystems()), c.goesOn)
        << "answer " << c.answer;
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, kUnknown);
    EXPECT_EQ(boxes.shown()[0].caption, "Warning");
    EXPECT_EQ(boxes.shown()[0].flags, kMbYesNo | kMbIconWarning);
    EXPECT_EQ(boxes.shown()[0].owner, &owner);
  }
}

// The running system: whatever Windows version the prefix reports, the check asks exactly
// the question that version calls for and names it the same way.
TEST(CheckOSSupport, AsksAboutTheRunningSystem) {
  const std::optional<OsVersionReport> running = QueryOsVersion();
  ASSERT_TRUE(running.has_value());

  std::string name;
  int code = -1;
  EXPECT_TRUE(GetOSVersion(&name, &code));
  EXPECT_EQ(name, ClassifyOsVersion(*running).Name);
  EXPECT_EQ(code, ClassifyOsVersion(*running).Code);

  const SetupConfig config = NoSystems();
  ScriptedMessageBoxes boxes(kIdNo);
  EXPECT_FALSE(CheckOSSupport(nullptr, config));  // with no flag set nothing is admitted
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, OsSupportQuestion(running, config));
}

}  // namespace
