// The whole story of the example product: built by the builder, installed through the
// wizard, started from the finish page; in both data modes, aborted, over the background
// window in two placements, and installed twice into the same folder.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "builder/build_setup.h"
#include "resources/resource_ids.h"
#include "shell/restart_operations.h"
#include "tests/driver/driver.h"
#include "tests/e2e/demo_setup.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scratch_folder.h"
#include "tests/e2e/screen_capture.h"
#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"

namespace e2e {
namespace {

using namespace driver;

constexpr Millis kInstallTimeout{120000};
constexpr int kInstallStatus = 1017;
constexpr int kInstallCloseButton = 1000;
constexpr int kResultText = 1017;
constexpr int kRunBox = 1018;
constexpr int kRunList = 1019;
constexpr int kOpenBox = 1020;
constexpr int kOpenList = 1021;
constexpr int kFinishLinks[] = {1022, 1023, 1024};

const char kSucceeded[] = "   Thank you!\n\n\n   Setup has finished installing the software on your computer.";
const char kSucceededAtRestart[] =
    "   Thank you!\n\n   Setup has installed the software on your computer.\n"
    "   The installation completes at the next restart of Windows.";
const char kAborted[] =
    "   Setup aborted!\n\n\n   Unfortunately, the installation has been aborted. You can try installing later...";
const char kGreeting[] = "Hello from Brisklay Demo!";

// The demo program's greeting box: its own process, captioned with the product's name.
BOOL CALLBACK MatchGreeting(HWND window, LPARAM context) {
  if (IsShown(window) && ClassName(window) == "#32770" && WindowText(window) == kDemoName) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDemoGreeting() {
  HWND found = nullptr;
  EnumWindows(MatchGreeting, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct DocumentSearch {
  std::string name;
  HWND found;
};

BOOL CALLBACK MatchDocumentWindow(HWND window, LPARAM context) {
  DocumentSearch* search = reinterpret_cast<DocumentSearch*>(context);
  if (IsShown(window) && WindowText(window).find(search->name) != std::string::npos) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The window of a program another process started for a document (the text editor for
// a .txt file), found by the document's name in its title.
HWND FindWindowShowing(const std::string& documentName) {
  DocumentSearch search{documentName, nullptr};
  EnumWindows(MatchDocumentWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void EndProcessOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(file) && ok;
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD done = 0;
  while (ReadFile(file, buffer, sizeof buffer, &done, nullptr) && done > 0) bytes.append(buffer, done);
  CloseHandle(file);
  return bytes;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// Whether top-level window `upper` lies above `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower) {
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (window == upper) return true;
    if (window == lower) return false;
  }
  return false;
}

bool SetupCarriesUninstaller(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return false;
  const bool found = FindResourceA(module, MAKEINTRESOURCEA(143), "Setup") != nullptr;
  FreeLibrary(module);
  return found;
}

class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDemoTraces();
    destination_ = scratch_.PathOf("Installed Demo");
    before_ = SnapshotDemoTraces(destination_);
  }
  void TearDown() override {
    session_.Process().Kill();
    if (HWND greeting = FindDemoGreeting()) PressMessageBoxButton(greeting, IDOK);
    RemoveDemoTraces();
  }

  void Build(DataMode mode, const PicturePlacement& placement = {}) {
    std::string error;
    ASSERT_TRUE(BuildDemoSetup(scratch_.Path(), mode, placement, &build_, &error)) << error;
  }

  // Starts the setup and walks the wizard to its last page with our destination.
  void WalkToFinish() {
    ASSERT_NO_FATAL_FAILURE(StartAndWalkTo(Page::kSummary, kDemoName));
    ASSERT_EQ(WindowText(session_.FrameButton(kCloseButton)), "&Finish");
  }

  // Starts the setup of `productName` and walks the wizard to `target`, giving our
  // destination on the way.
  void StartAndWalkTo(Page target, const std::string& productName) {
    ASSERT_TRUE(session_.Start(build_.argument, build_.program)) << session_.Process().Error();
    ASSERT_NE(session_.WaitForFrame(productName), nullptr) << "the wizard never showed its frame";
    for (Page page = session_.CurrentPage(); page != target; page = session_.CurrentPage()) {
      ASSERT_NE(page, Page::kNone);
      if (page == Page::kLicense) {
        ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio)));
      }
      if (page == Page::kDestination) {
        ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), destination_));
      }
      ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
      ASSERT_TRUE(session_.ClickNext());
      ASSERT_TRUE(session_.WaitForPageChange(page)) << "stuck on the " << PageName(page) << " page";
    }
  }

  // Leaves the destination page with `folder` by `button` (Next, or Finish when no
  // summary page follows) and returns the refusal's text; stays on the page.
  std::string RefusalOfDestination(const std::string& folder, int button) {
    EXPECT_TRUE(SetEditText(session_.PageControl(kPageText), folder));
    EXPECT_TRUE(Click(session_.FrameButton(button)));
    HWND box = WaitForMessageBox(session_.Process().Id(), "Error");
    if (box == nullptr) {
      ADD_FAILURE() << "the folder was taken; now on the " << PageName(session_.CurrentPage()) << " page";
      return std::string();
    }
    const std::string text = MessageBoxText(box);
    EXPECT_TRUE(PressMessageBoxButton(box, IDOK));
    EXPECT_TRUE(WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }));
    Pause(Millis(300));
    EXPECT_EQ(session_.CurrentPage(), Page::kDestination);
    EXPECT_TRUE(IsShown(session_.Frame()));
    EXPECT_TRUE(TopLevelWindows(session_.Process().Id(), {"Installing...", "#32770", true}).empty());
    return text;
  }

  // Builds a product of one small file from a manifest written here, without a licence:
  // its destination page is the last one, and Finish leaves it.
  void BuildOneFileProduct(const std::string& fileName) {
    const std::string source = scratch_.PathOf("one file source");
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(source + "\\" + fileName, "one small file\r\n"));
    const std::string manifest = std::string("[product]\nname = \"") + kDemoName + "\"\n" +
                                 "[[files]]\nsource = \"" + fileName + "\"\ntarget = '%DIR%\\" + fileName + "'\n";
    ASSERT_NO_FATAL_FAILURE(BuildFromManifest(source, manifest, "One File Setup.exe"));
  }

  // Writes `manifest` into `source` and builds it into a Setup.exe of that name, which
  // becomes this test's build.
  void BuildFromManifest(const std::string& source, const std::string& manifest, const std::string& setupName) {
    ASSERT_TRUE(WriteFileBytes(source + "\\manifest.toml", manifest));
    BuildRequest request;
    request.manifestPath = source + "\\manifest.toml";
    request.outputBase = scratch_.PathOf(setupName);
    request.setupProgram = SetupExePath();
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
    build_.program = request.outputBase;
    build_.argument.clear();
  }

  // Presses Finish and waits for the run to end, answering questions Yes and errors OK;
  // the installation dialog stays open, with its status, until CloseInstallDialog.
  void Install() {
    ASSERT_TRUE(session_.ClickCloseButton());
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND box = WaitForMessageBox(session_.Process().Id(), "", Millis(0))) {
            messages_.push_back(WindowText(box) + ": " + MessageBoxText(box));
            if (!PressMessageBoxButton(box, IDYES)) PressMessageBoxButton(box, IDOK);
            Pause(Millis(100));
          }
          const auto dialogs = TopLevelWindows(session_.Process().Id(), {"Installing...", "#32770", true});
          installDialog_ = dialogs.empty() ? nullptr : dialogs.front();
          status_ = WindowText(GetDlgItem(installDialog_, kInstallStatus));
          return status_ == "Finished." || status_ == "Aborted.";
        },
        kInstallTimeout))
        << "the installation did not end; status '" << status_ << "'";
  }

  void CloseInstallDialog() {
    // Once the status holds its final text the button is Close: one click ends the
    // dialog, and no abort question may come up any more.
    ASSERT_TRUE(Click(GetDlgItem(installDialog_, kInstallCloseButton)));
    ASSERT_TRUE(session_.WaitForPage(Page::kFinish, kInstallTimeout)) << "no finish page after the installation";
    EXPECT_EQ(WaitForMessageBox(session_.Process().Id(), "Question", Millis(0)), nullptr)
        << "closing the finished installation asked whether to abort";
    ASSERT_TRUE(WaitUntil([&] { return IsShown(session_.Frame()); }));
    EXPECT_EQ(ReadButtons(session_).closeCaption, "&Close");
    EXPECT_FALSE(IsShown(session_.FrameButton(kNextButton)));
    EXPECT_FALSE(IsShown(session_.FrameButton(kBackButton)));
    EXPECT_FALSE(IsShown(session_.FrameButton(kFinishMarker)));
  }

  // Unticks the run box and closes the finish page: the setup ends, starting nothing.
  void CloseStartingNothing() {
    ASSERT_TRUE(PressAltKey(session_.Frame(), 'R'));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(session_.PageControl(kRunBox)); }));
    ASSERT_TRUE(session_.ClickCloseButton());
  }

  void InstallCompletely() {
    ASSERT_NO_FATAL_FAILURE(WalkToFinish());
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_EQ(status_, "Finished.") << ::testing::PrintToString(messages_);
    ASSERT_NO_FATAL_FAILURE(CloseInstallDialog());
  }

  // Every item of the example, where the installation put it.
  void ExpectDemoInstalled() {
    const std::string stage = DemoStageFolder();
    const std::pair<const char*, const char*> files[] = {{"BrisklayDemo.exe", "BrisklayDemo.exe"},
                                                          {"Docs\\Readme.txt", "docs\\Readme.txt"},
                                                          {"Docs\\Changes.txt", "docs\\Changes.txt"}};
    for (const auto& file : files) {
      const std::string source = stage + "\\" + file.second;
      ASSERT_TRUE(FileSize(source).has_value()) << source;
      EXPECT_EQ(FileSize(destination_ + "\\" + file.first), FileSize(source)) << file.first;
    }
    EXPECT_TRUE(FileExists(destination_ + "\\Uninstall.log"));
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kDemoKey, "Greeting"), std::string(kGreeting));
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, kDemoKey, "Version"), DWORD{1});
    const std::string programFolder = ProgramsFolder() + "\\" + kDemoName;
    EXPECT_TRUE(FileExists(programFolder + "\\Brisklay Demo.lnk"));
    EXPECT_TRUE(FileExists(programFolder + "\\Brisklay Demo documents.lnk"));
    EXPECT_TRUE(FileExists(DesktopFolder() + "\\Brisklay Demo.lnk"));
    if (!SetupCarriesUninstaller(build_.program)) return;
    const std::string uninstaller = destination_ + "\\Uninstall.exe";
    EXPECT_TRUE(FileExists(uninstaller));
    EXPECT_TRUE(FileExists(programFolder + "\\Uninstall.lnk"));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "DisplayName"), std::string(kDemoName));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "UninstallString"),
              "\"" + uninstaller + "\" " + destination_);
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "DisplayIcon"), uninstaller);
  }

  // Close on the finish page with the run box as it is: the demo greets with the text
  // its setup wrote into the registry, and the setup ends.
  void CloseAndExpectGreeting() {
    ASSERT_TRUE(session_.ClickCloseButton());
    HWND greeting = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (greeting = FindDemoGreeting()) != nullptr; })) << "the demo did not start";
    EXPECT_EQ(MessageBoxText(greeting).rfind(kGreeting, 0), 0u) << MessageBoxText(greeting);
    // The demo runs in the installation folder; the folder can only go once it has ended.
    DWORD demoId = 0;
    GetWindowThreadProcessId(greeting, &demoId);
    HANDLE demo = OpenProcess(SYNCHRONIZE, FALSE, demoId);
    PressMessageBoxButton(greeting, IDOK);
    if (demo != nullptr) {
      EXPECT_EQ(WaitForSingleObject(demo, 15000), WAIT_OBJECT_0) << "the demo did not end";
      CloseHandle(demo);
    }
    EXPECT_EQ(session_.WaitForExit(), 0u);
  }

  // Runs the command line Add/Remove Programs would run, confirms, and waits until the
  // machine is exactly as it was before the installation (the uninstaller's copy of
  // itself may still be finishing its removal when the first process ends).
  void UninstallAndExpectMachineAsBefore() {
    const std::optional<std::string> command =
        RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "UninstallString");
    ASSERT_TRUE(command.has_value()) << "no Add/Remove Programs entry";
    ASSERT_EQ(command->front(), '"');
    const std::string program = command->substr(1, command->find('"', 1) - 1);
    ChildProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start(program, *command)) << uninstaller.Error();
    std::vector<std::string> boxes;
    WaitUntil(
        [&] {
          if (HWND box = WaitForMessageBox(uninstaller.Id(), "", Millis(0))) {
            boxes.push_back(WindowText(box) + ": " + MessageBoxText(box));
            if (!PressMessageBoxButton(box, IDYES)) PressMessageBoxButton(box, IDOK);
            WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
          }
          return !uninstaller.IsRunning();
        },
        kInstallTimeout);
    EXPECT_EQ(boxes.size(), 2u) << "a question and a summary: " << ::testing::PrintToString(boxes);
    // The copy's removal of the folder can take longer than a window's wait on a busy machine.
    EXPECT_TRUE(WaitUntil([&] { return SnapshotDemoTraces(destination_) == before_; }, kInstallTimeout))
        << ::testing::PrintToString(SnapshotDemoTraces(destination_));
  }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  ScratchFolder scratch_;
  WizardSession session_;
  DemoBuild build_;
  std::string destination_;
  std::vector<std::string> before_;
  HWND installDialog_ = nullptr;
  std::string status_;
  std::vector<std::string> messages_;
};

class CompleteInstallationTest : public InstallationTest, public ::testing::WithParamInterface<DataMode> {};

TEST_P(CompleteInstallationTest, InstallsEveryItemAndStartsTheProgramFromTheFinishPage) {
  Build(GetParam());
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  EXPECT_TRUE(messages_.empty()) << ::testing::PrintToString(messages_);

  EXPECT_EQ(WindowText(session_.PageControl(kResultText)), kSucceeded);
  EXPECT_TRUE(IsChecked(session_.PageControl(kRunBox)));
  EXPECT_EQ(WindowText(session_.PageControl(kRunList)), "BrisklayDemo.exe - " + destination_ + "\\BrisklayDemo.exe\r\n");
  // Nothing of the example asks to be opened; two links of three are in use.
  EXPECT_FALSE(IsShown(FindById(session_.Frame(), kOpenBox, false)));
  EXPECT_FALSE(IsShown(FindById(session_.Frame(), kOpenList, false)));
  EXPECT_EQ(WindowText(FindById(session_.Frame(), kFinishLinks[0], false)), "Brisklay on the web");
  EXPECT_TRUE(IsShown(FindById(session_.Frame(), kFinishLinks[1], false)));
  EXPECT_FALSE(IsShown(FindById(session_.Frame(), kFinishLinks[2], false)));

  ExpectDemoInstalled();
  CloseAndExpectGreeting();
  UninstallAndExpectMachineAsBefore();
}

INSTANTIATE_TEST_SUITE_P(BothDataModes, CompleteInstallationTest,
                         ::testing::Values(DataMode::kResources, DataMode::kExternalFiles),
                         [](const ::testing::TestParamInfo<DataMode>& info) {
                           return info.param == DataMode::kResources ? "OneSetupExe" : "ExternalDataFiles";
                         });

// Signing adds a certificate table behind the data; the setup must still find its data
// and install everything.
TEST_F(InstallationTest, SignedSetupExeInstallsEveryItem) {
  const std::string signedSetup = WindowsPathFromHost(BRISKLAY_SIGNED_SETUP);
  if (GetFileAttributesA(signedSetup.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no signed Setup.exe: the setup_signing test says why";
  }
  build_.program = signedSetup;
  build_.argument.clear();
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  EXPECT_TRUE(messages_.empty()) << ::testing::PrintToString(messages_);
  EXPECT_EQ(WindowText(session_.PageControl(kResultText)), kSucceeded);
  ExpectDemoInstalled();
  // The uninstaller waits for a setup of the product that still runs.
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  ASSERT_EQ(session_.WaitForExit(), 0u);
  UninstallAndExpectMachineAsBefore();
}

TEST_F(InstallationTest, UntickedRunBoxStartsNothing) {
  Build(DataMode::kExternalFiles);
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  EXPECT_EQ(session_.WaitForExit(), 0u);
  Pause(Millis(1000));
  EXPECT_EQ(FindDemoGreeting(), nullptr);
}

TEST_F(InstallationTest, DamagedSetupDataAbortsLeavesNothingAndRunsNothing) {
  Build(DataMode::kExternalFiles);
  // One flipped byte in the middle of the compressed payload.
  const std::string archive = build_.base + ".exe.archive.bin";
  HANDLE file = CreateFileA(archive.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const DWORD middle = GetFileSize(file, nullptr) / 2;
  unsigned char byte = 0;
  DWORD done = 0;
  SetFilePointer(file, middle, nullptr, FILE_BEGIN);
  ReadFile(file, &byte, 1, &done, nullptr);
  byte ^= 0x5A;
  SetFilePointer(file, middle, nullptr, FILE_BEGIN);
  WriteFile(file, &byte, 1, &done, nullptr);
  CloseHandle(file);

  ASSERT_NO_FATAL_FAILURE(WalkToFinish());
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_EQ(status_, "Aborted.");
  EXPECT_FALSE(messages_.empty()) << "the damage went unreported";
  ASSERT_NO_FATAL_FAILURE(CloseInstallDialog());

  EXPECT_EQ(WindowText(session_.PageControl(kResultText)), kAborted);
  for (int id : {kRunBox, kRunList, kOpenBox, kOpenList, kFinishLinks[0], kFinishLinks[1], kFinishLinks[2]}) {
    EXPECT_FALSE(IsShown(FindById(session_.Frame(), id, false))) << id;
  }
  ASSERT_TRUE(session_.ClickCloseButton());
  // Never the code of an installed product; which failure code it is depends on how soon
  // the damage is found (1 before any change, 3 after an undo).
  const std::optional<DWORD> exitCode = session_.WaitForExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_TRUE(*exitCode == 1u || *exitCode == 3u) << *exitCode;
  Pause(Millis(1000));
  EXPECT_EQ(FindDemoGreeting(), nullptr);
  EXPECT_EQ(SnapshotDemoTraces(destination_), before_);
}

TEST_F(InstallationTest, SecondInstallationIntoTheSameFolderSucceedsToo) {
  Build(DataMode::kResources);
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  ASSERT_EQ(session_.WaitForExit(), 0u);
  const std::vector<std::string> afterFirst = SnapshotDemoTraces(destination_);

  messages_.clear();
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ExpectDemoInstalled();
  CloseAndExpectGreeting();
  // The same items again, none doubled and none lost, and one removal takes them all.
  EXPECT_EQ(SnapshotDemoTraces(destination_).size(), afterFirst.size());
  UninstallAndExpectMachineAsBefore();
}

// Two products in one folder: the second would take over the first one's uninstall log,
// and the first could then never be removed. The destination page refuses the folder,
// naming the product there, and takes another one.
TEST_F(InstallationTest, AnotherProductsFolderIsRefusedOnTheDestinationPage) {
  Build(DataMode::kResources);
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  ASSERT_EQ(session_.WaitForExit(), 0u);
  const std::string firstLog = ReadFileBytes(destination_ + "\\Uninstall.log");
  ASSERT_FALSE(firstLog.empty());

  const char kOtherName[] = "Brisklay Other";
  const std::string otherBuild = scratch_.PathOf("other product");
  ASSERT_TRUE(CreateDirectoryA(otherBuild.c_str(), nullptr));
  std::string error;
  ASSERT_TRUE(BuildDemoSetup(otherBuild, DataMode::kResources, {}, &build_, &error, [&](std::string* manifest) {
    const std::string line = std::string("name = \"") + kDemoName + "\"";
    manifest->replace(manifest->find(line), line.size(), std::string("name = \"") + kOtherName + "\"");
  })) << error;
  ASSERT_NO_FATAL_FAILURE(StartAndWalkTo(Page::kDestination, kOtherName));
  EXPECT_EQ(RefusalOfDestination(destination_, kNextButton),
            "The folder \"" + destination_ + "\" already holds \"Brisklay Demo\".\nInstalling \"Brisklay Other\" "
            "there would take over its uninstall information, and \"Brisklay Demo\" could no longer be removed.\n"
            "Please choose another folder.");
  EXPECT_EQ(ReadFileBytes(destination_ + "\\Uninstall.log"), firstLog);

  ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), scratch_.PathOf("Other Product")));
  ASSERT_TRUE(session_.ClickNext());
  EXPECT_TRUE(session_.WaitForPage(Page::kSummary)) << "another folder was not taken";
  session_.Process().Kill();
  UninstallAndExpectMachineAsBefore();
}

// Paths that fit the files but not the uninstaller: every file of this product fits
// below the folder, "Uninstall.exe" would not. Refused at Finish before anything is
// made; a folder one character shorter installs completely and is removed again.
TEST_F(InstallationTest, DestinationTooLongForTheUninstallerIsRefusedBeforeAnythingChanges) {
  ASSERT_NO_FATAL_FAILURE(BuildOneFileProduct("a.txt"));
  const std::string parent = scratch_.Path() + "\\";
  ASSERT_LT(parent.size(), 200u) << "the temporary folder's path is too long for this test";
  const std::string tooLong = parent + std::string(246 - parent.size(), 'd');
  const std::string fits = parent + std::string(245 - parent.size(), 'f');
  const std::vector<std::string> nothing = SnapshotDemoTraces(tooLong);

  ASSERT_NO_FATAL_FAILURE(StartAndWalkTo(Page::kDestination, kDemoName));
  EXPECT_EQ(RefusalOfDestination(tooLong, kCloseButton),
            "The destination folder is too long for this product.\n\"" + tooLong +
                "\\Uninstall.exe\" would have 260 characters; Windows takes at most 259.\n"
                "Please choose a folder of at most 245 characters.");
  EXPECT_FALSE(FileExists(tooLong));
  EXPECT_EQ(SnapshotDemoTraces(tooLong), nothing);

  destination_ = fits;
  before_ = SnapshotDemoTraces(destination_);
  ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), destination_));
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_EQ(status_, "Finished.") << ::testing::PrintToString(messages_);
  EXPECT_TRUE(messages_.empty()) << ::testing::PrintToString(messages_);
  EXPECT_TRUE(FileExists(destination_ + "\\a.txt"));
  EXPECT_TRUE(FileExists(destination_ + "\\Uninstall.log"));
  if (SetupCarriesUninstaller(build_.program)) {
    EXPECT_TRUE(FileExists(destination_ + "\\Uninstall.exe"));
  }
  ASSERT_NO_FATAL_FAILURE(CloseInstallDialog());
  ASSERT_TRUE(session_.ClickCloseButton());
  EXPECT_EQ(session_.WaitForExit(), 0u);
  UninstallAndExpectMachineAsBefore();
}

// A product whose finish page offers a program that cannot start, a text that opens in
// the editor and a document nothing can open.
// The wizard with /log: the log tells the checks and the installation, and the exit
// code tells how it ended, for a completed run and for one that failed and was undone.
TEST_F(InstallationTest, WizardRunsWriteTheLogAndEndWithTheirOutcome) {
  Build(DataMode::kResources);
  const std::string log = scratch_.PathOf("wizard log.txt");
  build_.argument = "/log=\"" + log + "\"";
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  EXPECT_EQ(session_.WaitForExit(), 0u);
  auto readLog = [&] {
    std::ifstream in(log, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  std::string text = readLog();
  for (const char* line : {"Operating system check: supported", "Disk space check: enough room",
                           "Writing: BrisklayDemo.exe...", "Result: installed. Exit code 0"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
  UninstallAndExpectMachineAsBefore();

  // A folder where the program file must go makes the next run fail half-way.
  ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((destination_ + "\\BrisklayDemo.exe").c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(WalkToFinish());
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_EQ(status_, "Aborted.");
  ASSERT_NO_FATAL_FAILURE(CloseInstallDialog());
  ASSERT_TRUE(session_.ClickCloseButton());
  EXPECT_EQ(session_.WaitForExit(), 3u);
  text = readLog();
  EXPECT_NE(text.find("Failure"), std::string::npos) << text;
  EXPECT_NE(text.find("Exit code 3"), std::string::npos) << text;
}

// A file another program holds open waits beside it for the restart: the wizard says so,
// starts nothing, and ends with 3010. The replacement is taken back out of the restart list
// here, since this prefix is never restarted.
TEST_F(InstallationTest, AFileInUseIsReplacedAtTheRestartAndTheFinishPageSaysSo) {
  Build(DataMode::kResources);
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  ASSERT_NO_FATAL_FAILURE(CloseStartingNothing());
  ASSERT_EQ(session_.WaitForExit(), 0u);
  const std::string readme = destination_ + "\\Docs\\Readme.txt";
  // As a loaded library is held: readable by others, never writable.
  HANDLE held = CreateFileA(readme.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  messages_.clear();
  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  EXPECT_EQ(WindowText(session_.PageControl(kResultText)), kSucceededAtRestart);
  TemplateFont font(SetupExePath(), IDD_SETUP);
  const std::vector<std::string> clipped = ClippedTexts(session_.Frame(), font.Font());
  EXPECT_TRUE(clipped.empty()) << ::testing::PrintToString(clipped);
  EXPECT_FALSE(IsShown(FindById(session_.Frame(), kRunBox, false)));
  ASSERT_TRUE(session_.ClickCloseButton());
  EXPECT_EQ(session_.WaitForExit(), 3010u);
  EXPECT_EQ(FindDemoGreeting(), nullptr);

  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((readme + ".brisklay-*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE) << "no new content waits beside the held file";
  FindClose(search);
  const std::string waiting = destination_ + "\\Docs\\" + found.cFileName;
  EXPECT_TRUE(RestartPendingFor(RestartTag(kDemoName)));
  EXPECT_TRUE(ForgetScheduledOperation(waiting));
  EXPECT_FALSE(RestartPendingFor(RestartTag(kDemoName)));
  EXPECT_TRUE(DeleteFileA(waiting.c_str()));
  CloseHandle(held);
  UninstallAndExpectMachineAsBefore();
}

TEST_F(InstallationTest, FinishPageOpensWhatItCanAndNamesWhatItCannot) {
  const std::string source = scratch_.PathOf("launch source");
  ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(source + "\\broken.exe", "not a program"));
  ASSERT_TRUE(WriteFileBytes(source + "\\LaunchNotes.txt", "Read me first.\r\n"));
  ASSERT_TRUE(WriteFileBytes(source + "\\data.nothingopensthis", "no program knows this"));
  ASSERT_TRUE(WriteFileBytes(source + "\\license.txt", "Licence.\r\n"));
  const std::string manifest =
      "[product]\nname = \"Brisklay Demo\"\nlicense = \"license.txt\"\n"
      "[[files]]\nsource = \"broken.exe\"\ntarget = '%DIR%\\broken.exe'\nrun_at_finish = true\n"
      "[[files]]\nsource = \"LaunchNotes.txt\"\ntarget = '%DIR%\\LaunchNotes.txt'\nrun_at_finish = true\n"
      "[[files]]\nsource = \"data.nothingopensthis\"\ntarget = '%DIR%\\data.nothingopensthis'\n"
      "run_at_finish = true\n";
  ASSERT_NO_FATAL_FAILURE(BuildFromManifest(source, manifest, "Launch Setup.exe"));

  ASSERT_NO_FATAL_FAILURE(InstallCompletely());
  EXPECT_EQ(WindowText(session_.PageControl(kRunList)), "broken.exe - " + destination_ + "\\broken.exe\r\n");
  EXPECT_EQ(WindowText(session_.PageControl(kOpenList)),
            "LaunchNotes.txt - " + destination_ + "\\LaunchNotes.txt\r\ndata.nothingopensthis - " + destination_ +
                "\\data.nothingopensthis\r\n");
  // Alt+O takes the open box off and on again.
  ASSERT_TRUE(IsChecked(session_.PageControl(kOpenBox)));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'O'));
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(session_.PageControl(kOpenBox)); })) << "Alt+O did not untick";
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'O'));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(session_.PageControl(kOpenBox)); })) << "Alt+O did not tick again";

  ASSERT_TRUE(session_.ClickCloseButton());
  std::vector<std::string> warnings;
  WaitUntil(
      [&] {
        if (HWND box = WaitForMessageBox(session_.Process().Id(), "Warning!", Millis(0))) {
          warnings.push_back(MessageBoxText(box));
          PressMessageBoxButton(box, IDOK);
          WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
        }
        return !session_.Process().IsRunning();
      },
      kInstallTimeout);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Couldn't execute program: " + destination_ + "\\broken.exe",
                                                "Couldn't open file: " + destination_ + "\\data.nothingopensthis"}));
  EXPECT_EQ(session_.WaitForExit(), 0u);
  HWND editor = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (editor = FindWindowShowing("LaunchNotes")) != nullptr; }))
      << "the text was not opened";
  if (editor != nullptr) EndProcessOf(editor);
}

// The background covers the screen while the installation runs, and the installation
// dialog is placed clear of the picture. Each run leaves a picture of the screen in the
// build tree (tests/e2e/captures).
struct PlacementCase {
  const char* name;
  PicturePlacement placement;
  bool dialogTopLeft;
};

class BackgroundPlacementTest : public InstallationTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(BackgroundPlacementTest, CoversTheScreenAndKeepsTheDialogClearOfThePicture) {
  const PlacementCase& c = GetParam();
  Build(DataMode::kResources, c.placement);
  ASSERT_NO_FATAL_FAILURE(WalkToFinish());
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_EQ(status_, "Finished.") << ::testing::PrintToString(messages_);

  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  HWND background = nullptr;
  for (HWND window : TopLevelWindows(session_.Process().Id(), {"", "#32770", true})) {
    const RECT rect = [&] { RECT r; GetWindowRect(window, &r); return r; }();
    if (window != installDialog_ && rect.left == 0 && rect.top == 0 && rect.right == screenWidth &&
        rect.bottom == screenHeight)
      background = window;
  }
  EXPECT_NE(background, nullptr) << "no full-screen background window";
  EXPECT_FALSE(IsShown(session_.Frame()));

  RECT dialog;
  RECT client;
  GetWindowRect(installDialog_, &dialog);
  GetClientRect(installDialog_, &client);
  if (c.dialogTopLeft) {
    EXPECT_EQ(dialog.left, 50);
    EXPECT_EQ(dialog.top, 100);
  } else {
    EXPECT_EQ(dialog.left, screenWidth - client.right - 50);
    EXPECT_EQ(dialog.top, screenHeight - client.bottom - 50);
  }
  // The gradient runs from the example's "in" colour at the top to its "out" colour at
  // the bottom, in corners that neither the picture nor the dialog covers here.
  EXPECT_EQ(ScreenPixel(screenWidth - 1, 0), RGB(0x1E, 0x3C, 0x78));
  const COLORREF bottom = ScreenPixel(0, screenHeight - 1);
  EXPECT_NEAR(GetRValue(bottom), 0x46, 2);
  EXPECT_NEAR(GetGValue(bottom), 0xB4, 2);
  EXPECT_NEAR(GetBValue(bottom), 0xAA, 2);
  const std::string captures = WindowsPathFromHost(BRISKLAY_E2E_CAPTURES);
  CreateDirectoryA(captures.c_str(), nullptr);
  CaptureScreen(captures + "\\background-" + c.name + ".bmp");  // for a person to look at

  // A click on the background activates it, above the dialog; the background then asks
  // the wizard to bring the installation dialog back on top.
  if (background != nullptr) {
    SetForegroundWindow(background);
    Pause(Millis(500));
    EXPECT_TRUE(WaitUntil([&] { return IsAbove(installDialog_, background); }))
        << "the installation dialog stayed behind the background";
  }
  ASSERT_NO_FATAL_FAILURE(CloseInstallDialog());
  EXPECT_FALSE(IsWindow(background));
}

INSTANTIATE_TEST_SUITE_P(
    TwoPlacements, BackgroundPlacementTest,
    ::testing::Values(PlacementCase{"left_bottom", {"left", "bottom"}, false},
                      PlacementCase{"centre_bottom", {"centre", "bottom"}, true},
                      PlacementCase{"right_top", {"right", "top"}, false}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
