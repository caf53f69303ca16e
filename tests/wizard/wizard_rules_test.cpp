// The wizard's rules that need no window: where the base path comes from, which page
// follows which, the Alt-key shortcuts, the destination folder and the summary text.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup/alt_key_filter.h"
#include "setup/command_line.h"
#include "setup/destination_rules.h"
#include "setup/install_placement.h"
#include "setup/launch_list.h"
#include "setup/page_sequence.h"
#include "setup/summary_text.h"

namespace {

TEST(ExtractBasePath, FollowsTheProgramPathAndOneBlank) {
  struct Case {
    const char* commandLine;
    const char* basePath;
  } cases[] = {
      {"\"C:\\Dir\\setup.exe\"", ""},
      {"\"C:\\Dir\\setup.exe\" ", ""},
      {"\"C:\\Dir\\setup.exe\" C:\\Out\\Product Setup", "C:\\Out\\Product Setup"},
      {"\"C:\\Dir With Blanks\\setup.exe\" base", "base"},
      // Verbatim: further blanks belong to the argument.
      {"\"C:\\setup.exe\"  base ", " base "},
      // One pair of quotes around the base path, as shells pass a path with blanks.
      {"\"C:\\setup.exe\" \"C:\\Out\\Product Setup\"", "C:\\Out\\Product Setup"},
      {"\"C:\\setup.exe\" \"\"", ""},
      // Only a pair that encloses the whole argument is removed.
      {"\"C:\\setup.exe\" \"C:\\a\" b", "\"C:\\a\" b"},
      {"\"C:\\setup.exe\" \"", "\""},
      // An unquoted program path ends at the first blank (Wine starts programs so).
      {"C:\\Dir\\setup.exe", ""},
      {"C:\\Dir\\setup.exe base", "base"},
      {"setup.exe \"C:\\Out\\Product Setup\"", "C:\\Out\\Product Setup"},
      {"\"C:\\Dir\\setup.exe", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractBasePath(c.commandLine), c.basePath) << c.commandLine;
  }
}

TEST(ParseSetupCommandLine, ReadsSwitchesInAnyOrderAndCase) {
  struct Case {
    const char* commandLine;
    SetupMode mode;
    const char* basePath;
    std::optional<std::string> destination;
    std::optional<bool> allUsers;
    std::optional<std::pair<bool, bool>> shortcuts;  // Start Menu, Desktop
    bool log;
    const char* logFile;
    bool force;
    bool help;
  } cases[] = {
      // Without switches the whole rest is the base path, blanks and all.
      {"\"C:\\setup.exe\" C:\\Out\\Product Setup", SetupMode::kWizard, "C:\\Out\\Product Setup", {}, {}, {}, false,
       "", false, false},
      {"\"C:\\setup.exe\" /VerySilent", SetupMode::kVerySilent, "", {}, {}, {}, false, "", false, false},
      {"\"C:\\setup.exe\" /s /silent", SetupMode::kVerySilent, "", {}, {}, {}, false, "", false, false},
      {"\"C:\\setup.exe\" /SILENT /log", SetupMode::kSilent, "", {}, {}, {}, true, "", false, false},
      {"\"C:\\setup.exe\" \"C:\\Out\\Product Setup\" /verysilent /dir=\"C:\\Program Files\\Acme\" /allusers",
       SetupMode::kVerySilent, "C:\\Out\\Product Setup", std::string("C:\\Program Files\\Acme"), true, {}, false, "",
       false, false},
      {"setup.exe /currentuser /dir=C:\\a /log=\"C:\\My Logs\\run.log\" /force", SetupMode::kWizard, "",
       std::string("C:\\a"), false, {}, true, "C:\\My Logs\\run.log", true, false},
      // /D= takes the rest of the line, blanks included, quoted or not.
      {"\"C:\\setup.exe\" /S /D=C:\\Program Files\\Acme Tool", SetupMode::kVerySilent, "",
       std::string("C:\\Program Files\\Acme Tool"), {}, {}, false, "", false, false},
      {"\"C:\\setup.exe\" base /d=\"C:\\Program Files\\X /silent\" ", SetupMode::kWizard, "base",
       std::string("C:\\Program Files\\X /silent"), {}, {}, false, "", false, false},
      {"\"C:\\setup.exe\" /shortcuts=Desktop,startmenu", SetupMode::kWizard, "", {}, {}, std::make_pair(true, true),
       false, "", false, false},
      {"\"C:\\setup.exe\" /shortcuts=desktop", SetupMode::kWizard, "", {}, {}, std::make_pair(false, true), false, "",
       false, false},
      {"\"C:\\setup.exe\" /shortcuts=NONE", SetupMode::kWizard, "", {}, {}, std::make_pair(false, false), false, "",
       false, false},
      {"\"C:\\setup.exe\" /?", SetupMode::kWizard, "", {}, {}, {}, false, "", false, true},
      {"\"C:\\setup.exe\" /silent /HELP", SetupMode::kSilent, "", {}, {}, {}, false, "", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const SetupOptions options = ParseSetupCommandLine(c.commandLine);
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.mode, c.mode);
    EXPECT_EQ(options.basePath, c.basePath);
    EXPECT_EQ(options.destination, c.destination);
    EXPECT_EQ(options.allUsers, c.allUsers);
    ASSERT_EQ(options.shortcuts.has_value(), c.shortcuts.has_value());
    if (c.shortcuts) {
      EXPECT_EQ(options.shortcuts->startMenu, c.shortcuts->first);
      EXPECT_EQ(options.shortcuts->desktop, c.shortcuts->second);
    }
    EXPECT_EQ(options.log, c.log);
    EXPECT_EQ(options.logFile, c.logFile);
    EXPECT_EQ(options.force, c.force);
    EXPECT_EQ(options.help, c.help);
  }
}

TEST(ParseSetupCommandLine, NamesTheArgumentItCannotUse) {
  struct Case {
    const char* commandLine;
    const char* error;
  } cases[] = {
      {"\"C:\\setup.exe\" /verysilent /quiet", "Unknown switch: /quiet"},
      {"\"C:\\setup.exe\" /dir", "Malformed switch: /dir"},
      {"\"C:\\setup.exe\" /dir=", "Malformed switch: /dir="},
      {"\"C:\\setup.exe\" /silent=yes", "Malformed switch: /silent=yes"},
      {"\"C:\\setup.exe\" /log=", "Malformed switch: /log="},
      {"\"C:\\setup.exe\" /shortcuts=taskbar", "Malformed switch: /shortcuts=taskbar"},
      {"\"C:\\setup.exe\" /shortcuts=none,desktop", "Malformed switch: /shortcuts=none,desktop"},
      {"\"C:\\setup.exe\" /shortcuts=", "Malformed switch: /shortcuts="},
      {"\"C:\\setup.exe\" /dir=\"C:\\a b", "Unclosed quote: /dir=\"C:\\a b\nClose it: /dir=\"C:\\a b\""},
      {"\"C:\\setup.exe\" /VERYSILENT /DIR=\"C:\\Tool\\\"",
       "A backslash before a closing quote makes the quote part of the text: /DIR=\"C:\\Tool\\\"\n"
       "Write it without the last backslash: /DIR=\"C:\\Tool\"\nor double that backslash: /DIR=\"C:\\Tool\\\\\""},
      // Switches of the same family that this setup has no meaning for.
      {"\"C:\\setup.exe\" /SP- /TASKS=x", "Unknown switch: /TASKS=x"},
      {"\"C:\\setup.exe\" /NOCLOSEAPPLICATIONS", "Unknown switch: /NOCLOSEAPPLICATIONS"},
      {"\"C:\\setup.exe\" /NORESTART=1", "Malformed switch: /NORESTART=1"},
      {"\"C:\\setup.exe\" /S /D=", "Malformed switch: /D="},
      // With switches, a base path with blanks must be quoted.
      {"\"C:\\setup.exe\" C:\\Out\\Product Setup /S", "Unexpected argument: Setup"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSetupCommandLine(c.commandLine).error, c.error) << c.commandLine;
  }
  // The first bad argument is named, and what follows is still read: the run stays
  // silent and its log is written.
  const SetupOptions options = ParseSetupCommandLine("\"C:\\setup.exe\" /bogus /x /verysilent /log=run.log");
  EXPECT_EQ(options.error, "Unknown switch: /bogus");
  EXPECT_TRUE(options.Silent());
  EXPECT_EQ(options.logFile, "run.log");
}

TEST(ParseSetupCommandLine, AnUnusableLineWithASilentSwitchAnywhereStaysSilent) {
  struct Case {
    const char* commandLine;
    SetupMode mode;
  } cases[] = {
      // The open quote swallows the switch into the /dir word.
      {"\"C:\\setup.exe\" /dir=\"C:\\Tool\\\" /VERYSILENT /log=x.log", SetupMode::kVerySilent},
      {"\"C:\\setup.exe\" /dir=\"C:\\Tool\\\" /silent", SetupMode::kSilent},
      {"\"C:\\setup.exe\" /dir=\"C:\\Tool\\\"", SetupMode::kWizard},
  };
  for (const Case& c : cases) {
    const SetupOptions options = ParseSetupCommandLine(c.commandLine);
    EXPECT_FALSE(options.error.empty()) << c.commandLine;
    EXPECT_EQ(options.mode, c.mode) << c.commandLine;
  }
}

TEST(ParseSetupCommandLine, TakesWhatDeploymentToolsWrite) {
  struct Case {
    const char* commandLine;
    SetupMode mode;
    const char* destination;
    const char* logFile;
    bool suppressMessageBoxes;
    bool closeApplications;
    bool noCancel;
    bool noShortcuts;
  } cases[] = {
      // PowerShell, .NET and Python quote a whole argument that holds a blank.
      {R"("C:\setup.exe" /verysilent "/dir=C:\Program Files\Tool")", SetupMode::kVerySilent,
       R"(C:\Program Files\Tool)", "", false, false, false, false},
      {R"(setup.exe /SP- /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /LOG="C:\a b\x.log" /DIR="C:\Program Files\T")",
       SetupMode::kVerySilent, R"(C:\Program Files\T)", R"(C:\a b\x.log)", true, false, false, false},
      {R"(setup.exe /silent /SuppressMsgBoxes /CloseApplications /NoCancel /NoIcons /dir=C:\T\)", SetupMode::kSilent,
       R"(C:\T\)", "", true, true, true, true},
      // Quotes anywhere in the word, and a doubled backslash before the closing one.
      {R"(setup.exe /D"IR=C:\a b" /lo"g=C:\x y".log /dir="C:\Tool\\")", SetupMode::kWizard, R"(C:\Tool\)",
       R"(C:\x y.log)", false, false, false, false},
      // "/D=" written so takes the rest of the line; quoted whole it is a word like any other.
      {R"(setup.exe /S /D=C:\Program Files\"T" /x)", SetupMode::kVerySilent, R"(C:\Program Files\"T" /x)", "", false,
       false, false, false},
      {R"(setup.exe "/D=C:\Program Files\T" /S)", SetupMode::kVerySilent, R"(C:\Program Files\T)", "", false, false,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const SetupOptions options = ParseSetupCommandLine(c.commandLine);
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.mode, c.mode);
    EXPECT_EQ(options.destination.value_or(""), c.destination);
    EXPECT_EQ(options.logFile, c.logFile);
    EXPECT_EQ(options.suppressMessageBoxes, c.suppressMessageBoxes);
    EXPECT_EQ(options.closeApplications, c.closeApplications);
    EXPECT_EQ(options.noCancel, c.noCancel);
    EXPECT_EQ(options.shortcuts.has_value() && !options.shortcuts->startMenu && !options.shortcuts->desktop,
              c.noShortcuts);
  }
}

struct Flags {
  bool info;
  bool license;
};

TEST(PageSequence, VisitsOnlyThePagesTheSetupHas) {
  struct Case {
    Flags flags;
    std::vector<int> forward;  // from welcome until Next does nothing more
  } cases[] = {
      {{false, false}, {kPageWelcome, kPageDestination}},
      {{true, false}, {kPageWelcome, kPageInformation, kPageDestination}},
      {{false, true}, {kPageWelcome, kPageLicense, kPageDestination, kPageSummary}},
      {{true, true}, {kPageWelcome, kPageInformation, kPageLicense, kPageDestination, kPageSummary}},
  };
  for (const Case& c : cases) {
    std::vector<int> forward{kPageWelcome};
    for (int page = kPageWelcome;;) {
      int next = NextPage(page, c.flags.info, c.flags.license);
      if (next == page) break;
      forward.push_back(page = next);
    }
    EXPECT_EQ(forward, c.forward) << c.flags.info << c.flags.license;

    std::vector<int> backward{forward.back()};
    for (int page = forward.back();;) {
      int previous = PreviousPage(page, c.flags.info, c.flags.license);
      if (previous == page) break;
      backward.push_back(page = previous);
    }
    EXPECT_EQ(backward, std::vector<int>(forward.rbegin(), forward.rend())) << c.flags.info << c.flags.license;
  }
}

TEST(PageSequence, FinishPageHasNoWayBackOrOn) {
  EXPECT_EQ(NextPage(kPageFinish, true, true), kPageFinish);
  EXPECT_EQ(PreviousPage(kPageFinish, true, true), kPageFinish);
}

TEST(AltKeyFilter, MapsPageMnemonicsAndLeavesTheFramesOwn) {
  struct Case {
    int page;
    unsigned message;
    unsigned key;
    PageAction action;
    bool consume;
  } cases[] = {
      {kPageLicense, WM_SYSKEYDOWN, 'A', PageAction::kAccept, true},
      {kPageLicense, WM_SYSCHAR, 'o', PageAction::kDecline, true},
      {kPageLicense, WM_SYSKEYDOWN, 'X', PageAction::kNone, true},
      {kPageDestination, WM_SYSKEYDOWN, 'W', PageAction::kBrowse, true},
      {kPageDestination, WM_SYSCHAR, 's', PageAction::kNone, false},  // 0x73 is also VK_F4
      {kPageDestination, WM_SYSKEYDOWN, 'S', PageAction::kToggleStartMenu, true},
      {kPageDestination, WM_SYSKEYDOWN, 'D', PageAction::kToggleDesktop, true},
      {kPageDestination, WM_SYSCHAR, 'a', PageAction::kSelectAllUsers, true},
      {kPageDestination, WM_SYSCHAR, 'u', PageAction::kSelectCurrentUser, true},
      {kPageFinish, WM_SYSKEYDOWN, 'R', PageAction::kToggleRun, true},
      {kPageFinish, WM_SYSCHAR, 'o', PageAction::kToggleOpen, true},
      // Pages without shortcuts of their own leave every key to the dialog.
      {kPageWelcome, WM_SYSKEYDOWN, 'A', PageAction::kNone, false},
      {kPageSummary, WM_SYSKEYDOWN, 'W', PageAction::kNone, false},
      // The frame's mnemonics, the system menu and Alt+F4 are never taken.
      {kPageLicense, WM_SYSKEYDOWN, 'N', PageAction::kNone, false},
      {kPageLicense, WM_SYSCHAR, 'b', PageAction::kNone, false},
      {kPageDestination, WM_SYSKEYDOWN, 'F', PageAction::kNone, false},
      {kPageFinish, WM_SYSKEYDOWN, 'C', PageAction::kNone, false},
      {kPageFinish, WM_SYSKEYDOWN, ' ', PageAction::kNone, false},
      {kPageFinish, WM_SYSKEYDOWN, VK_F4, PageAction::kNone, false},
      // Only keyboard messages: the mouse still moves while Alt is held.
      {kPageLicense, WM_MOUSEMOVE, 'A', PageAction::kNone, false},
      {kPageDestination, WM_TIMER, 'W', PageAction::kNone, false},
  };
  for (const Case& c : cases) {
    AltKeyFilter filter;
    AltKeyVerdict verdict = filter.Filter(true, c.message, c.key, c.page);
    EXPECT_EQ(verdict.action, c.action) << "page " << c.page << " key " << c.key;
    EXPECT_EQ(verdict.consume, c.consume) << "page " << c.page << " key " << c.key;
  }
}

TEST(AltKeyFilter, OnePressOfAltActsOnce) {
  AltKeyFilter filter;
  EXPECT_EQ(filter.Filter(true, WM_SYSKEYDOWN, 'A', kPageLicense).action, PageAction::kAccept);
  // The character message of the same key, and a second press while Alt stays down:
  // neither acts, and neither may reach the dialog keyboard handling, which would find
  // the control's own mnemonic and act after all.
  AltKeyVerdict sameKey = filter.Filter(true, WM_SYSCHAR, 'a', kPageLicense);
  EXPECT_EQ(sameKey.action, PageAction::kNone);
  EXPECT_TRUE(sameKey.consume);
  EXPECT_EQ(filter.Filter(true, WM_SYSKEYDOWN, 'A', kPageLicense).action, PageAction::kNone);
  // Any message seen with Alt up re-arms it.
  filter.Filter(false, WM_MOUSEMOVE, 0, kPageLicense);
  EXPECT_EQ(filter.Filter(true, WM_SYSKEYDOWN, 'A', kPageLicense).action, PageAction::kAccept);
}

TEST(AltKeyFilter, StrokesAfterTheFirstActionAreHeldBackOnlyWhereThePageHasThatMnemonic) {
  struct Case {
    int page;
    unsigned message;
    unsigned key;
    bool consume;
  } cases[] = {
      {kPageDestination, WM_SYSKEYDOWN, 'S', true},
      {kPageDestination, WM_SYSKEYDOWN, 'D', true},
      {kPageDestination, WM_SYSCHAR, 'u', true},
      {kPageFinish, WM_SYSCHAR, 'r', true},
      {kPageLicense, WM_SYSKEYDOWN, 'O', true},
      // Keys the page has no use for, the frame's own mnemonics and Alt+F4 still pass.
      {kPageDestination, WM_SYSKEYDOWN, 'X', false},
      {kPageDestination, WM_SYSKEYDOWN, 'N', false},
      {kPageDestination, WM_SYSKEYDOWN, VK_F4, false},
      {kPageFinish, WM_SYSKEYDOWN, 'C', false},
      // Pages without shortcuts of their own keep the standard handling.
      {kPageWelcome, WM_SYSKEYDOWN, 'S', false},
      {kPageSummary, WM_SYSCHAR, 'a', false},
      {kPageDestination, WM_MOUSEMOVE, 'S', false},
  };
  for (const Case& c : cases) {
    AltKeyFilter filter;
    // The first stroke of this press of Alt: a frame key, so it marks Alt as used on
    // every page without acting.
    filter.Filter(true, WM_SYSKEYDOWN, 'N', c.page);
    AltKeyVerdict verdict = filter.Filter(true, c.message, c.key, c.page);
    EXPECT_EQ(verdict.action, PageAction::kNone) << "page " << c.page << " key " << c.key;
    EXPECT_EQ(verdict.consume, c.consume) << "page " << c.page << " key " << c.key;
  }
}

TEST(AltKeyFilter, WithoutAltNothingHappens) {
  AltKeyFilter filter;
  AltKeyVerdict verdict = filter.Filter(false, WM_KEYDOWN, 'A', kPageLicense);
  EXPECT_EQ(verdict.action, PageAction::kNone);
  EXPECT_FALSE(verdict.consume);
}

TEST(DestinationRules, DefaultFolderIsTheProductInProgramFiles) {
  EXPECT_EQ(DefaultDestination("C:\\Program Files (x86)", "Tool"), "C:\\Program Files (x86)\\Tool");
  EXPECT_EQ(DefaultDestination("D:\\Program Files\\", ""), "D:\\Program Files\\");
  // A Windows that names no Program Files folder.
  EXPECT_EQ(DefaultDestination(ProgramFilesOnWindowsDrive("D:\\winnt"), "Tool"), "D:\\Program Files\\Tool");
}

TEST(DestinationRules, BrowsedFolderGetsTheProductNameOnce) {
  struct Case {
    const char* folder;
    const char* product;
    const char* result;
  } cases[] = {
      {"C:\\Apps", "Tool", "C:\\Apps\\Tool"},
      {"D:\\", "Tool", "D:\\Tool"},
      {"C:\\Apps\\Tool", "Tool", "C:\\Apps\\Tool"},
      {"C:\\Apps\\tool", "Tool", "C:\\Apps\\tool\\Tool"},  // the comparison is case-sensitive
      {"C:\\Apps", "", "C:\\Apps"},
      {"T", "Tool", "T\\Tool"},  // shorter than the name
  };
  for (const Case& c : cases) EXPECT_EQ(ComposeBrowsedFolder(c.folder, c.product), c.result) << c.folder;
}

TEST(DestinationRules, ReportedFolderLosesOneTrailingBackslash) {
  struct Case {
    const char* folder;
    const char* reported;
  } cases[] = {
      {"C:\\Program Files\\App\\", "C:\\Program Files\\App"},
      {"C:\\Program Files\\App", "C:\\Program Files\\App"},
      {"C:\\", "C:\\"},
      {"C:\\a\\\\", "C:\\a\\"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimDestination(c.folder), c.reported) << c.folder;
}

TEST(DestinationRules, NextNeedsThreeCharactersAndASummaryPage) {
  EXPECT_TRUE(FolderEnablesNext("C:\\", true));
  EXPECT_FALSE(FolderEnablesNext("C:", true));
  EXPECT_FALSE(FolderEnablesNext("C:\\Program Files\\App", false));
}

SummaryInputs SampleInputs() {
  SummaryInputs inputs;
  inputs.Destination = "C:\\Apps\\Tool";
  inputs.FileList =
      "Tool.exe - %DIR%\\Tool.exe\r\nhelper.dll - %SYSTEM%\\helper.dll\r\n"
      "Uninstall.exe - %DIR%\\Uninstall.exe\r\nUninstall.log - %DIR%\\Uninstall.log\r\n";
  inputs.WindowsDirectory = "C:\\WINDOWS";
  inputs.SystemDirectory = "C:\\WINDOWS\\system32";
  return inputs;
}

TEST(SummaryText, ListsFilesWithMacrosExpanded) {
  EXPECT_EQ(BuildSummaryText(SampleInputs()),
            "Destination folder:\r\n\r\nC:\\Apps\\Tool\r\n\r\n\r\nInstalling files:\r\n\r\n"
            "Tool.exe - C:\\Apps\\Tool\\Tool.exe\r\nhelper.dll - C:\\WINDOWS\\system32\\helper.dll\r\n"
            "Uninstall.exe - C:\\Apps\\Tool\\Uninstall.exe\r\nUninstall.log - C:\\Apps\\Tool\\Uninstall.log\r\n");
}

TEST(SummaryText, ShortcutBlocksOnlyForChosenShortcuts) {
  SummaryInputs inputs = SampleInputs();
  inputs.StartMenuList = "Tool.exe - %DIR%\\Tool.exe\r\n";
  std::string startMenuOnly = BuildSummaryText(inputs);
  EXPECT_NE(startMenuOnly.find("\r\n\r\nStart Menu shortcuts:\r\n\r\nTool.exe - C:\\Apps\\Tool\\Tool.exe\r\n"
                               "Uninstall.exe - C:\\Apps\\Tool\\Uninstall.exe\r\n"),
            std::string::npos);
  EXPECT_EQ(startMenuOnly.find("Desktop shortcuts:"), std::string::npos);

  inputs.StartMenuList.clear();
  inputs.DesktopList = "Tool.exe - %DIR%\\Tool.exe\r\n";
  std::string desktopOnly = BuildSummaryText(inputs);
  EXPECT_EQ(desktopOnly.find("Start Menu shortcuts:"), std::string::npos);
  const std::string desktopBlock = "\r\n\r\nDesktop shortcuts:\r\n\r\nTool.exe - C:\\Apps\\Tool\\Tool.exe\r\n";
  ASSERT_GE(desktopOnly.size(), desktopBlock.size());
  EXPECT_EQ(desktopOnly.substr(desktopOnly.size() - desktopBlock.size()), desktopBlock);
}

TEST(SummaryText, DriveRootDestinationHasNoDoubleBackslash) {
  SummaryInputs inputs = SampleInputs();
  inputs.Destination = "C:\\";
  EXPECT_NE(BuildSummaryText(inputs).find("Uninstall.exe - C:\\Uninstall.exe\r\n"), std::string::npos);
}

TEST(ExpandMacro, ReplacesEveryOccurrenceAndEnds) {
  struct Case {
    const char* text;
    const char* value;
    const char* result;
  } cases[] = {
      {"%DIR%\\a %DIR%\\b", "C:\\X", "C:\\X\\a C:\\X\\b"},
      {"none here", "C:\\X", "none here"},
      {"%DIR%%DIR%", "", ""},
      // A value that contains the macro's own name is not expanded again.
      {"%DIR%\\a", "C:\\%DIR%", "C:\\%DIR%\\a"},
      {"x%DIR%y%DIR%", "%DIR%%DIR%", "x%DIR%%DIR%y%DIR%%DIR%"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandMacro(c.text, "%DIR%", c.value), c.result) << c.text;
}

TEST(LaunchList, EachLineStartsItsFullPathInTheFolderThatHoldsIt) {
  struct Case {
    const char* list;
    std::vector<std::pair<std::string, std::string>> items;  // file, directory
  } cases[] = {
      {"", {}},
      {"tool.exe - C:\\Program Files\\Acme\\tool.exe\r\n", {{"C:\\Program Files\\Acme\\tool.exe", "C:\\Program Files\\Acme"}}},
      // In list order; an upper-case extension is a program too.
      {"a.exe - C:\\A\\a.exe\r\nB.EXE - D:\\B\\B.EXE\r\n", {{"C:\\A\\a.exe", "C:\\A"}, {"D:\\B\\B.EXE", "D:\\B"}}},
      // A drive root: the folder is the drive itself.
      {"tool.exe - C:\\tool.exe\r\n", {{"C:\\tool.exe", "C:"}}},
      // Names holding ".exe" or " - ", and a path with blanks and dashes.
      {"my.exe.old.exe - C:\\A - B\\my.exe.old.exe\r\n", {{"C:\\A - B\\my.exe.old.exe", "C:\\A - B"}}},
      // A network path has no drive: passed over, the next line still counts.
      {"x.txt - \\\\server\\share\\x.txt\r\ny.txt - E:\\y.txt\r\n", {{"E:\\y.txt", "E:"}}},
      // A last line without its line end, and an empty line.
      {"\r\nz.txt - F:\\Docs\\z.txt", {{"F:\\Docs\\z.txt", "F:\\Docs"}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const LaunchItem& item : ParseLaunchList(c.list)) got.emplace_back(item.file, item.directory);
    EXPECT_EQ(got, c.items) << c.list;
  }
}

TEST(InstallDialogPosition, GoesTopLeftOnlyWhenThePictureLeavesThatCornerFree) {
  struct Case {
    bool backgroundCreated;
    int horizontal, vertical;
    LONG x, y;
  } cases[] = {
      {true, 1, 2, 50, 100},
      {true, 2, 2, 50, 100},
      {true, 0, 2, 1024 - 400 - 50, 768 - 150 - 50},
      {true, 1, 1, 1024 - 400 - 50, 768 - 150 - 50},
      {true, 2, 0, 1024 - 400 - 50, 768 - 150 - 50},
      {true, 3, 2, 1024 - 400 - 50, 768 - 150 - 50},
      {false, 1, 2, 1024 - 400 - 50, 768 - 150 - 50},
  };
  for (const Case& c : cases) {
    const POINT at = InstallDialogPosition(c.backgroundCreated, c.horizontal, c.vertical, SIZE{1024, 768}, SIZE{400, 150});
    EXPECT_EQ(at.x, c.x) << c.horizontal << "," << c.vertical << " background " << c.backgroundCreated;
    EXPECT_EQ(at.y, c.y) << c.horizontal << "," << c.vertical << " background " << c.backgroundCreated;
  }
}

}  // namespace
