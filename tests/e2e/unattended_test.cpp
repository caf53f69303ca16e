// Setup.exe and Uninstall.exe as a deployment tool starts them: switches, no window,
// an exit code for every way a run ends, a log, and removal through the Add/Remove
// Programs entry's quiet command.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/e2e/demo_setup.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scratch_folder.h"
#include "tests/e2e/test_product.h"
#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"

namespace e2e {
namespace {

using namespace driver;

constexpr Millis kRunTimeout{120000};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ProcessRun {
  std::optional<DWORD> exitCode;
  // Captions (or classes) of the visible top-level windows the process showed.
  std::vector<std::string> windows;
};

// Starts `commandLine` and waits for its end, noting every window the process shows
// meanwhile. A window busy or going away answers no text; the text it gave before counts.
ProcessRun RunWatched(const std::string& program, const std::string& commandLine) {
  ProcessRun run;
  ChildProcess process;
  if (!process.Start(program, commandLine)) {
    ADD_FAILURE() << process.Error();
    return run;
  }
  std::map<HWND, std::string> seen;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(process.Id(), {"", "", true})) {
          const std::string text = WindowText(window);
          if (!text.empty() || seen.count(window) == 0) seen[window] = text + " [" + ClassName(window) + "]";
        }
        return !process.IsRunning();
      },
      kRunTimeout);
  run.exitCode = process.WaitForExit(Millis(0));
  for (const auto& window : seen) run.windows.push_back(window.second);
  return run;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class UnattendedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDemoTraces();
    destination_ = scratch_.PathOf("Installed Demo");
    logPath_ = scratch_.PathOf("setup log.txt");
    before_ = SnapshotDemoTraces(destination_);
  }
  void TearDown() override { RemoveDemoTraces(); }

  void Build(DataMode mode = DataMode::kResources, const ManifestEdit& edit = nullptr) {
    std::string error;
    ASSERT_TRUE(BuildDemoSetup(scratch_.Path(), mode, {}, &build_, &error, edit)) << error;
  }

  // The built setup with `switches` after the program path (and the base path, in
  // external-data mode).
  ProcessRun RunSetup(const std::string& switches) {
    std::string line = Quoted(build_.program);
    if (!build_.argument.empty()) line += " " + Quoted(build_.argument);
    return RunWatched(build_.program, line + " " + switches);
  }

  std::string Into() const { return "/dir=" + Quoted(destination_) + " /log=" + Quoted(logPath_); }

  void ExpectDemoInstalled(bool desktopShortcut = true) {
    const std::string stage = DemoStageFolder();
    const std::pair<const char*, const char*> files[] = {{"BrisklayDemo.exe", "BrisklayDemo.exe"},
                                                          {"Docs\\Readme.txt", "docs\\Readme.txt"},
                                                          {"Docs\\Changes.txt", "docs\\Changes.txt"}};
    for (const auto& file : files) {
      EXPECT_EQ(FileSize(destination_ + "\\" + file.first), FileSize(stage + "\\" + file.second)) << file.first;
    }
    EXPECT_TRUE(FileExists(destination_ + "\\Uninstall.exe"));
    EXPECT_TRUE(FileExists(destination_ + "\\Uninstall.log"));
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, kDemoKey, "Version"), DWORD{1});
    const std::string programFolder = ProgramsFolder() + "\\" + kDemoName;
    EXPECT_TRUE(FileExists(programFolder + "\\Brisklay Demo.lnk"));
    EXPECT_TRUE(FileExists(programFolder + "\\Uninstall.lnk"));
    EXPECT_EQ(FileExists(DesktopFolder() + "\\Brisklay Demo.lnk"), desktopShortcut);
  }

  void ExpectMachineAsBefore() { EXPECT_EQ(SnapshotDemoTraces(destination_), before_); }

  void ExpectLogHolds(const std::vector<std::string>& lines) {
    const std::string log = ReadText(logPath_);
    for (const std::string& line : lines) EXPECT_NE(log.find(line), std::string::npos) << line << "\nin\n" << log;
  }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  ScratchFolder scratch_;
  DemoBuild build_;
  std::string destination_;
  std::string logPath_;
  std::vector<std::string> before_;
};

TEST_F(UnattendedTest, VerySilentInstallShowsNothingAndQuietUninstallStringRemovesIt) {
  ASSERT_NO_FATAL_FAILURE(Build());
  const ProcessRun run = RunSetup("/VERYSILENT " + Into());
  EXPECT_EQ(run.exitCode, DWORD{0});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  ExpectDemoInstalled();
  ExpectLogHolds({"Brisklay Setup", "Command line: ", "Windows version: ", "Operating system check: supported",
                  "Destination: " + destination_, "Disk space check: enough room", "Writing: BrisklayDemo.exe...",
                  "Result: installed. Exit code 0"});

  const std::string uninstaller = destination_ + "\\Uninstall.exe";
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "QuietUninstallString"), Quoted(uninstaller) + " /S");
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "InstallLocation"), destination_);
  EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "NoModify"), DWORD{1});
  EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "NoRepair"), DWORD{1});
  const std::optional<DWORD> size = RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "EstimatedSize");
  ASSERT_TRUE(size.has_value());
  EXPECT_GE(*size * 1024ull, *FileSize(destination_ + "\\BrisklayDemo.exe"));

  // As a deployment tool removes it: the quiet command, run as it stands.
  const std::optional<std::string> quiet = RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  const std::string removalLog = scratch_.PathOf("removal log.txt");
  const ProcessRun removal = RunWatched(uninstaller, *quiet + " /log=" + Quoted(removalLog));
  EXPECT_EQ(removal.exitCode, DWORD{0});
  EXPECT_TRUE(removal.windows.empty()) << ::testing::PrintToString(removal.windows);
  // The uninstaller's own file and folder go once it has ended.
  EXPECT_TRUE(WaitUntil([&] { return SnapshotDemoTraces(destination_) == before_; }));
  ExpectMachineAsBefore();
  EXPECT_NE(ReadText(removalLog).find("Exit code 0"), std::string::npos) << ReadText(removalLog);
}

TEST_F(UnattendedTest, QuietRemovalKeepsAChangedFileAndNamesIt) {
  ASSERT_NO_FATAL_FAILURE(Build());
  ASSERT_EQ(RunSetup("/S " + Into()).exitCode, DWORD{0});
  const std::string readme = destination_ + "\\Docs\\Readme.txt";
  {
    std::ofstream changed(readme, std::ios::binary | std::ios::app);
    changed << "changed by the user";
  }
  const std::string uninstaller = destination_ + "\\Uninstall.exe";
  const std::string removalLog = scratch_.PathOf("removal log.txt");
  const ProcessRun removal = RunWatched(uninstaller, Quoted(uninstaller) + " /S /log=" + Quoted(removalLog));
  EXPECT_EQ(removal.exitCode, DWORD{3});
  EXPECT_TRUE(removal.windows.empty()) << ::testing::PrintToString(removal.windows);
  EXPECT_TRUE(FileExists(readme));
  EXPECT_FALSE(FileExists(destination_ + "\\BrisklayDemo.exe"));
  EXPECT_NE(ReadText(removalLog).find("Kept: " + readme + " (changed since installation)"), std::string::npos)
      << ReadText(removalLog);
}

TEST_F(UnattendedTest, SilentShowsOnlyTheInstallationDialogAndEndsByItself) {
  ASSERT_NO_FATAL_FAILURE(Build());
  const ProcessRun run = RunSetup("/silent /currentuser /shortcuts=startmenu " + Into());
  EXPECT_EQ(run.exitCode, DWORD{0});
  ASSERT_FALSE(run.windows.empty()) << "the installation dialog never showed";
  for (const std::string& window : run.windows) EXPECT_EQ(window, "Installing... [#32770]");
  ExpectDemoInstalled(false);
  ExpectLogHolds({"Result: installed. Exit code 0"});
}

TEST_F(UnattendedTest, ExternalDataModeTakesItsBasePathBeforeTheSwitches) {
  ASSERT_NO_FATAL_FAILURE(Build(DataMode::kExternalFiles));
  const ProcessRun run = RunSetup("/verysilent /shortcuts=none " + Into());
  EXPECT_EQ(run.exitCode, DWORD{0});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  EXPECT_TRUE(FileExists(destination_ + "\\BrisklayDemo.exe"));
  EXPECT_FALSE(FileExists(DesktopFolder() + "\\Brisklay Demo.lnk"));
  EXPECT_FALSE(FileExists(ProgramsFolder() + "\\" + kDemoName + "\\Brisklay Demo.lnk"));
}

// Each exit code from the cause a deployment would meet, with nothing shown.
TEST_F(UnattendedTest, ExitCodesTellHowTheRunEnded) {
  ASSERT_NO_FATAL_FAILURE(Build());
  struct Case {
    const char* cause;
    std::string switches;
    const char* reportedVersion;  // null: the supported one
    DWORD exitCode;
    std::string logLine;
  } cases[] = {
      {"bad switch", "/verysilent /quiet " + Into(), nullptr, 6, "Unknown switch: /quiet"},
      {"malformed switch", "/verysilent /shortcuts=taskbar " + Into(), nullptr, 6,
       "Malformed switch: /shortcuts=taskbar"},
      {"unsupported Windows", "/verysilent " + Into(), "win98", 4, "Answer: stop, by rule"},
      {"usage", "/verysilent /? " + Into(), nullptr, 0, "Usage asked for"},
      {"relative destination", "/verysilent /log=" + Quoted(logPath_) + " /dir=Demo", nullptr, 8,
       "Destination check: refused"},
      {"switch of a family this setup does not follow", "/SP- /VERYSILENT /TASKS=x " + Into(), nullptr, 6,
       "Unknown switch: /TASKS=x"},
      // The closing quote made literal: the message says how to write it.
      {"backslash before the closing quote", "/verysilent /log=" + Quoted(logPath_) + " /dir=\"C:\\Tool\\\"",
       nullptr, 6,
       "A backslash before a closing quote makes the quote part of the text: /dir=\"C:\\Tool\\\" / "
       "Write it without the last backslash: /dir=\"C:\\Tool\" / or double that backslash: /dir=\"C:\\Tool\\\\\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    std::optional<ReportedWindowsVersion> version;
    if (c.reportedVersion) version.emplace(c.reportedVersion);
    const ProcessRun run = RunSetup(c.switches);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
    ExpectMachineAsBefore();
    ExpectLogHolds({c.logLine, "Exit code " + std::to_string(c.exitCode)});
  }
}

TEST_F(UnattendedTest, ForceInstallsOnAnUnsupportedWindows) {
  ASSERT_NO_FATAL_FAILURE(Build());
  ReportedWindowsVersion unsupported("win98");
  const ProcessRun run = RunSetup("/verysilent /force " + Into());
  EXPECT_EQ(run.exitCode, DWORD{0});
  ExpectDemoInstalled();
  ExpectLogHolds({"Answer: go on, by rule (/force)"});
}

// Drive Q: is a 2 MiB tmpfs while this test runs (tests/install_dialog/full_disk_drive.sh);
// it is filled up to a little room, less than the example needs.
TEST_F(UnattendedTest, AFullDriveEndsWithFiveAndChangesNothing) {
  ULARGE_INTEGER free{}, total{};
  if (!GetDiskFreeSpaceExA("Q:\\", &free, &total, nullptr) || total.QuadPart > (16u << 20)) {
    GTEST_SKIP() << "drive Q: is not mapped to a small tmpfs (mounting one needs root)";
  }
  ASSERT_NO_FATAL_FAILURE(Build());
  const std::string filler = "Q:\\filler.bin";
  {
    std::ofstream out(filler, std::ios::binary);
    const std::string block(4096, 'x');
    for (uint64_t left = free.QuadPart > (64u << 10) ? free.QuadPart - (64u << 10) : 0; left >= block.size();
         left -= block.size()) {
      out.write(block.data(), block.size());
    }
  }
  destination_ = "Q:\\Brisklay Demo";
  before_ = SnapshotDemoTraces(destination_);
  const ProcessRun run = RunSetup("/verysilent " + Into());
  DeleteFileA(filler.c_str());
  EXPECT_EQ(run.exitCode, DWORD{5});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  ExpectMachineAsBefore();
  ExpectLogHolds({"Disk space check: Not enough free space", "Answer: stop, by rule", "Exit code 5"});
}

TEST_F(UnattendedTest, AFailureInTheMiddleIsUndoneAndEndsWithThree) {
  ASSERT_NO_FATAL_FAILURE(Build());
  // A folder where the program file must go: the docs are written, the program is not.
  ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((destination_ + "\\BrisklayDemo.exe").c_str(), nullptr));
  before_ = SnapshotDemoTraces(destination_);
  const ProcessRun run = RunSetup("/verysilent " + Into());
  EXPECT_EQ(run.exitCode, DWORD{3});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  ExpectMachineAsBefore();
  ExpectLogHolds({"Failure", "Result: the installation failed and was undone. Exit code 3"});
}

std::string Replaced(std::string text, const std::string& placeholder, const std::string& value) {
  for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
  return text;
}

std::string DefaultDestination() {
  char programFiles[MAX_PATH] = {};
  GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof programFiles);
  return std::string(programFiles) + "\\" + kDemoName;
}

// The exact lines that shells, package managers and the README's winget and Chocolatey
// fragments start the setup and the uninstaller with; <INSTALLPATH> and <LOGPATH> are
// filled in as winget fills them in, with a folder and a log whose names hold blanks.
TEST_F(UnattendedTest, DeploymentToolsLinesInstallAndRemoveWithoutAQuestion) {
  ASSERT_NO_FATAL_FAILURE(Build());
  constexpr char kProgress[] = "Installing... [#32770]";
  constexpr char kRemovalProgress[] = "Uninstall Brisklay Demo [#32770]";
  constexpr char kQuietRemoval[] = "/VERYSILENT /SUPPRESSMSGBOXES /NORESTART";
  struct Case {
    const char* writer;
    const char* setupSwitches;
    bool defaultDestination;
    const char* installWindow;  // null: none at all
    const char* removalSwitches;
    const char* removalWindow;  // null: none at all; else that one window, no message box
  } cases[] = {
      {"PowerShell, .NET, Python", R"("/dir=<INSTALLPATH>" /verysilent "/log=<LOGPATH>")", false, nullptr,
       kQuietRemoval, nullptr},
      {"the inno set", R"(/SP- /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /LOG="<LOGPATH>" /DIR="<INSTALLPATH>")", false,
       nullptr, kQuietRemoval, nullptr},
      {"the nullsoft set", "/S /D=<INSTALLPATH>", false, nullptr, "/S", nullptr},
      {"winget Silent, Log, InstallLocation",
       R"(/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG="<LOGPATH>" /DIR="<INSTALLPATH>")", false, nullptr,
       kQuietRemoval, nullptr},
      {"winget SilentWithProgress, Log, InstallLocation",
       R"(/SILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG="<LOGPATH>" /DIR="<INSTALLPATH>")", false, kProgress,
       "/SILENT /SUPPRESSMSGBOXES /NORESTART", kRemovalProgress},
      {"Chocolatey", "/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-", true, nullptr, kQuietRemoval, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.writer);
    destination_ = c.defaultDestination ? DefaultDestination() : scratch_.PathOf("Installed Demo");
    before_ = SnapshotDemoTraces(destination_);
    DeleteFileA(logPath_.c_str());
    const std::string switches =
        Replaced(Replaced(c.setupSwitches, "<INSTALLPATH>", destination_), "<LOGPATH>", logPath_);
    const ProcessRun run = RunSetup(switches);
    EXPECT_EQ(run.exitCode, DWORD{0});
    for (const std::string& window : run.windows) EXPECT_EQ(window, c.installWindow ? c.installWindow : "");
    if (c.installWindow) {
      EXPECT_FALSE(run.windows.empty()) << "the installation dialog never showed";
    }
    ExpectDemoInstalled();
    if (std::string(c.setupSwitches).find("<LOGPATH>") != std::string::npos) {
      ExpectLogHolds({"Command line: ", "Destination: " + destination_, "Exit code 0"});
    }

    const std::string uninstaller = destination_ + "\\Uninstall.exe";
    const ProcessRun removal = RunWatched(uninstaller, Quoted(uninstaller) + " " + c.removalSwitches);
    EXPECT_EQ(removal.exitCode, DWORD{0});
    const std::vector<std::string> removalWindows =
        c.removalWindow ? std::vector<std::string>{c.removalWindow} : std::vector<std::string>{};
    EXPECT_EQ(removal.windows, removalWindows);
    EXPECT_TRUE(WaitUntil([&] { return SnapshotDemoTraces(destination_) == before_; }));
    ExpectMachineAsBefore();
  }
}

// A removal nobody watches that gets a switch it does not know ends at once, in the log.
TEST_F(UnattendedTest, SilentRemovalWithAnUnknownSwitchShowsNothingAndEndsWithOne) {
  ASSERT_NO_FATAL_FAILURE(Build());
  ASSERT_EQ(RunSetup("/S " + Into()).exitCode, DWORD{0});
  const std::string uninstaller = destination_ + "\\Uninstall.exe";
  const std::string removalLog = scratch_.PathOf("removal log.txt");
  for (const char* silent : {"/VERYSILENT", "/SILENT"}) {
    SCOPED_TRACE(silent);
    const ProcessRun removal = RunWatched(
        uninstaller, Quoted(uninstaller) + " " + silent + " /TASKS=x " + Quoted("/log=" + removalLog));
    EXPECT_EQ(removal.exitCode, DWORD{1});
    EXPECT_TRUE(removal.windows.empty()) << ::testing::PrintToString(removal.windows);
    EXPECT_NE(ReadText(removalLog).find("Unknown switch: /TASKS=x"), std::string::npos) << ReadText(removalLog);
    EXPECT_TRUE(FileExists(destination_ + "\\BrisklayDemo.exe"));
  }
}

// The wizard's own runs: a bad switch is named in a message box; the usage is one too.
TEST_F(UnattendedTest, InteractiveBadSwitchIsNamedAndEndsWithSix) {
  ASSERT_NO_FATAL_FAILURE(Build());
  ChildProcess process;
  ASSERT_TRUE(process.Start(build_.program, Quoted(build_.program) + " /dir=C:\\x /bogus")) << process.Error();
  HWND box = WaitForMessageBox(process.Id());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind("Unknown switch: /bogus", 0), 0u) << MessageBoxText(box);
  ASSERT_TRUE(PressMessageBoxButton(box, IDOK));
  EXPECT_EQ(process.WaitForExit(), DWORD{6});
}

// Setup data that cannot be used, and a drive without room: the product of the wizard
// tests, written as external data.
class UnattendedDataTest : public ::testing::Test {
 protected:
  ProcessRun RunSetup(const std::string& switches) {
    const std::string program = SetupExePath();
    return RunWatched(program, Quoted(program) + " " + Quoted(Base()) + " " + switches);
  }
  std::string Base() const { return scratch_.PathOf("Product Setup"); }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  ScratchFolder scratch_;
};

TEST_F(UnattendedDataTest, UnusableDataEndsWithOneAndTooLittleRoomWithFive) {
  const std::string destination = scratch_.PathOf("Installed Product");
  const std::string log = scratch_.PathOf("setup.log");
  const std::string switches = "/verysilent /dir=" + Quoted(destination) + " /log=" + Quoted(log);

  // No setup data beside the base path at all.
  ProcessRun run = RunSetup(switches);
  EXPECT_EQ(run.exitCode, DWORD{1});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  EXPECT_NE(ReadText(log).find("Setup data cannot be used"), std::string::npos) << ReadText(log);

  // A product larger than any drive.
  TestProduct product;
  product.totalSize = 1ull << 52;
  ASSERT_TRUE(WriteExternalData(Base(), product));
  run = RunSetup(switches);
  EXPECT_EQ(run.exitCode, DWORD{5});
  EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(run.windows);
  EXPECT_FALSE(FileExists(destination));
  EXPECT_NE(ReadText(log).find("Disk space check: "), std::string::npos) << ReadText(log);
}

}  // namespace
}  // namespace e2e
