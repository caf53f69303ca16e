// The example product with a version: Windows reads it from Setup.exe and from the
// installed uninstaller, the Add/Remove Programs entry carries it, an older setup asks
// before it replaces a newer installation and keeps to the installed folder, and a
// setup without a version installs as setups always did.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/e2e/demo_setup.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scratch_folder.h"
#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"

namespace e2e {
namespace {

using namespace driver;

constexpr Millis kInstallTimeout{120000};
constexpr int kInstallStatus = 1017;
constexpr int kInstallCloseButton = 1000;

// Replaces the example's version line, or removes it with "".
ManifestEdit WithVersion(const std::string& version) {
  return [version](std::string* manifest) {
    const std::string::size_type at = manifest->find("\nversion = ");
    if (at == std::string::npos) return;
    const std::string::size_type end = manifest->find('\n', at + 1);
    manifest->replace(at + 1, end - at, version.empty() ? "" : "version = \"" + version + "\"\n");
  };
}

// Removes every identity line of the example: the product as builders made it before.
void WithoutIdentity(std::string* manifest) {
  for (const char* key : {"\nversion = ", "\npublisher = ", "\nurl = \"https://example.org/brisklay\"\nsupport_url",
                          "\nsupport_url = "}) {
    const std::string::size_type at = manifest->find(key);
    if (at == std::string::npos) continue;
    manifest->erase(at + 1, manifest->find('\n', at + 1) - at);
  }
}

// One text of a program's version resource, as Explorer reads it; empty when missing.
std::string VersionText(const std::string& program, const std::string& name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(program.c_str(), 0, size, block.data())) return "";
  void* value = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904E4\\" + name;
  if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) return "";
  return static_cast<const char*>(value);
}

// The fixed file version, high and low halves; zero when there is none.
std::pair<DWORD, DWORD> FixedVersion(const std::string& program) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
  std::vector<char> block(size == 0 ? 1 : size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoA(program.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
    return {0, 0};
  }
  return {fixed->dwFileVersionMS, fixed->dwFileVersionLS};
}

class VersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDemoTraces();
    destination_ = scratch_.PathOf("Installed Demo");
    before_ = SnapshotDemoTraces(destination_);
  }
  void TearDown() override {
    session_.Process().Kill();
    RemoveDemoTraces();
  }

  DemoBuild Build(const std::string& folder, const ManifestEdit& edit) {
    DemoBuild build;
    std::string error;
    CreateDirectoryA(scratch_.PathOf(folder).c_str(), nullptr);
    EXPECT_TRUE(BuildDemoSetup(scratch_.PathOf(folder), DataMode::kResources, {}, &build, &error, edit)) << error;
    return build;
  }

  // Walks the wizard into `destination_`, installs, and closes without starting the demo.
  void Install(const DemoBuild& build) {
    ASSERT_TRUE(session_.Start(build.argument, build.program)) << session_.Process().Error();
    ASSERT_NE(session_.WaitForFrame(kDemoName), nullptr) << "the wizard never showed its frame";
    for (Page page = session_.CurrentPage(); page != Page::kSummary; page = session_.CurrentPage()) {
      ASSERT_NE(page, Page::kNone);
      if (page == Page::kLicense) { ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio))); }
      if (page == Page::kDestination) { ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), destination_)); }
      ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
      ASSERT_TRUE(session_.ClickNext());
      ASSERT_TRUE(session_.WaitForPageChange(page)) << "stuck on the " << PageName(page) << " page";
    }
    ASSERT_TRUE(session_.ClickCloseButton());
    HWND dialog = nullptr;
    std::string status;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND box = WaitForMessageBox(session_.Process().Id(), "", Millis(0))) {
            ADD_FAILURE() << WindowText(box) << ": " << MessageBoxText(box);
            if (!PressMessageBoxButton(box, IDYES)) PressMessageBoxButton(box, IDOK);
          }
          const auto dialogs = TopLevelWindows(session_.Process().Id(), {"Installing...", "#32770", true});
          dialog = dialogs.empty() ? nullptr : dialogs.front();
          status = WindowText(GetDlgItem(dialog, kInstallStatus));
          return status == "Finished." || status == "Aborted.";
        },
        kInstallTimeout));
    ASSERT_EQ(status, "Finished.");
    ASSERT_TRUE(Click(GetDlgItem(dialog, kInstallCloseButton)));
    ASSERT_TRUE(session_.WaitForPage(Page::kFinish, kInstallTimeout));
    ASSERT_TRUE(PressAltKey(session_.Frame(), 'R'));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(session_.PageControl(1018)); }));
    ASSERT_TRUE(session_.ClickCloseButton());
    ASSERT_EQ(session_.WaitForExit(), 0u);
  }

  std::optional<std::string> EntryText(const char* name) {
    return RegistryString(HKEY_LOCAL_MACHINE, kDemoUninstallKey, name);
  }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  ScratchFolder scratch_;
  WizardSession session_;
  std::string destination_;
  std::vector<std::string> before_;
};

TEST_F(VersionTest, WindowsReadsTheVersionAndTheEntryCarriesIt) {
  const DemoBuild build = Build("v2", WithVersion("2.5.1"));
  EXPECT_EQ(VersionText(build.program, "FileVersion"), "2.5.1");
  EXPECT_EQ(VersionText(build.program, "ProductVersion"), "2.5.1");
  EXPECT_EQ(VersionText(build.program, "ProductName"), kDemoName);
  EXPECT_EQ(VersionText(build.program, "CompanyName"), "Brisklay");
  EXPECT_EQ(VersionText(build.program, "FileDescription"), "Brisklay Demo Setup");
  EXPECT_EQ(VersionText(build.program, "OriginalFilename"), "Setup.exe");
  EXPECT_EQ(FixedVersion(build.program), std::make_pair(DWORD{0x00020005}, DWORD{0x00010000}));

  ASSERT_NO_FATAL_FAILURE(Install(build));
  EXPECT_EQ(EntryText("DisplayVersion"), std::string("2.5.1"));
  EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "VersionMajor"), DWORD{2});
  EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "VersionMinor"), DWORD{5});
  EXPECT_EQ(EntryText("Publisher"), std::string("Brisklay"));
  EXPECT_EQ(EntryText("URLInfoAbout"), std::string("https://example.org/brisklay"));
  EXPECT_EQ(EntryText("HelpLink"), std::string("https://example.org/brisklay/issues"));
  EXPECT_EQ(EntryText("DisplayName"), std::string(kDemoName));

  const std::string uninstaller = destination_ + "\\Uninstall.exe";
  EXPECT_EQ(VersionText(uninstaller, "ProductVersion"), "2.5.1");
  EXPECT_EQ(VersionText(uninstaller, "OriginalFilename"), "Uninstall.exe");
  EXPECT_EQ(VersionText(uninstaller, "FileDescription"), "Brisklay Demo Uninstaller");
}

TEST_F(VersionTest, AnOlderSetupAsksAndNoEndsItWithExitCode2) {
  ASSERT_NO_FATAL_FAILURE(Install(Build("v2", WithVersion("2.0"))));
  const std::vector<std::string> installed = SnapshotDemoTraces(destination_);
  const DemoBuild older = Build("v1", WithVersion("1.0"));

  ASSERT_TRUE(session_.Start(older.argument, older.program)) << session_.Process().Error();
  HWND box = WaitForMessageBox(session_.Process().Id(), "Warning");
  ASSERT_NE(box, nullptr) << "no question before a downgrade";
  EXPECT_EQ(MessageBoxText(box), "A newer version (2.0) of Brisklay Demo is installed.\nInstall version 1.0 over it?");
  ASSERT_TRUE(PressMessageBoxButton(box, IDNO));
  EXPECT_EQ(session_.WaitForExit(), 2u);
  EXPECT_EQ(SnapshotDemoTraces(destination_), installed) << "nothing changed";

  // Yes goes on, into the installed folder and no other.
  ASSERT_TRUE(session_.Start(older.argument, older.program)) << session_.Process().Error();
  box = WaitForMessageBox(session_.Process().Id(), "Warning");
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(PressMessageBoxButton(box, IDYES));
  ASSERT_NE(session_.WaitForFrame(kDemoName), nullptr);
  for (Page page = session_.CurrentPage(); page != Page::kDestination; page = session_.CurrentPage()) {
    if (page == Page::kLicense) { ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio))); }
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
    ASSERT_TRUE(session_.ClickNext());
    ASSERT_TRUE(session_.WaitForPageChange(page));
  }
  HWND folder = session_.PageControl(kPageText);
  EXPECT_EQ(WindowText(folder), destination_);
  EXPECT_NE(GetWindowLongA(folder, GWL_STYLE) & ES_READONLY, 0) << "the installed folder can be changed";
  EXPECT_FALSE(IsEnabled(session_.PageControl(kBrowseButton)));
}

TEST_F(VersionTest, ASilentOlderSetupStopsWithExitCode7UnlessForcedAndStaysInTheInstalledFolder) {
  ASSERT_NO_FATAL_FAILURE(Install(Build("v2", WithVersion("2.0"))));
  const std::vector<std::string> installed = SnapshotDemoTraces(destination_);
  const DemoBuild older = Build("v1", WithVersion("1.0"));
  const std::string quoted = "\"" + older.program + "\"";

  ASSERT_TRUE(session_.StartWithCommandLine(quoted + " /verysilent", older.program)) << session_.Process().Error();
  EXPECT_EQ(session_.WaitForExit(), 7u);
  EXPECT_EQ(SnapshotDemoTraces(destination_), installed) << "nothing changed";

  // Forced, it installs over the newer version, in its folder whatever /dir says.
  const std::string elsewhere = scratch_.PathOf("Elsewhere");
  ASSERT_TRUE(session_.StartWithCommandLine(quoted + " /verysilent /force /dir=\"" + elsewhere + "\"", older.program))
      << session_.Process().Error();
  EXPECT_EQ(session_.WaitForExit(), 0u);
  EXPECT_EQ(EntryText("DisplayVersion"), std::string("1.0"));
  EXPECT_EQ(GetFileAttributesA((destination_ + "\\Uninstall.exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
  EXPECT_EQ(GetFileAttributesA(elsewhere.c_str()), INVALID_FILE_ATTRIBUTES) << "installed beside the installed product";
}

TEST_F(VersionTest, ASetupWithoutVersionInstallsAsBefore) {
  const DemoBuild build = Build("plain", WithoutIdentity);
  EXPECT_EQ(VersionText(build.program, "FileVersion"), "");
  EXPECT_EQ(VersionText(build.program, "ProductName"), kDemoName);
  ASSERT_NO_FATAL_FAILURE(Install(build));
  EXPECT_EQ(EntryText("DisplayName"), std::string(kDemoName));
  for (const char* name : {"DisplayVersion", "Publisher", "URLInfoAbout", "HelpLink"}) {
    EXPECT_FALSE(EntryText(name).has_value()) << name;
  }
  EXPECT_FALSE(RegistryDword(HKEY_LOCAL_MACHINE, kDemoUninstallKey, "VersionMajor").has_value());

  // Over it, any version is newer: installed without a question.
  ASSERT_NO_FATAL_FAILURE(Install(Build("v1", WithVersion("1.0"))));
  EXPECT_EQ(EntryText("DisplayVersion"), std::string("1.0"));
}

}  // namespace
}  // namespace e2e
