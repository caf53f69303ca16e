// The destination page: the default folder, the rule that keeps Next disabled for short
// folders, the folder browser, and the shortcut options.

#include <windows.h>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

class DestinationTest : public WizardTest {
 protected:
  void StartOnDestination(bool license, bool shortcuts) {
    TestProduct product;
    product.hasLicense = license;
    if (shortcuts) product.files = FilesWithShortcuts();
    StartWizard(product);
    GoTo(Page::kDestination);
  }

  HWND FolderEdit() const { return session_.PageControl(kPageText); }

  // The folder browser is the process's one visible dialog besides the frame.
  HWND WaitForFolderBrowser() {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND window : TopLevelWindows(session_.Process().Id(), {"", "#32770", true})) {
        if (window != session_.Frame()) found = window;
      }
      return found != nullptr;
    });
    return found;
  }
};

std::string WindowsDriveRoot() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows, 3);
}

TEST_F(DestinationTest, DefaultFolderIsProgramFilesOnTheWindowsDrive) {
  StartOnDestination(true, false);
  EXPECT_EQ(WindowText(FolderEdit()), WindowsDriveRoot() + "Program Files\\Acme Tool");
}

TEST_F(DestinationTest, NextNeedsAFolderOfThreeOrMoreCharacters) {
  struct Case {
    std::string folder;
    bool nextEnabled;
  };
  StartOnDestination(true, false);
  HWND next = session_.FrameButton(kNextButton);
  for (const Case& c : {Case{"", false}, Case{"C", false}, Case{"C:", false}, Case{"C:\\", true},
                        Case{"D:\\Apps", true}, Case{"ab", false}}) {
    SCOPED_TRACE("folder '" + c.folder + "'");
    ASSERT_TRUE(SetEditText(FolderEdit(), c.folder));
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(next) == c.nextEnabled; }));
  }
  // Typing goes through the same rule, character by character.
  ASSERT_TRUE(SetEditText(FolderEdit(), ""));
  ASSERT_TRUE(TypeText(FolderEdit(), "E:"));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(FolderEdit()) == "E:"; }));
  EXPECT_FALSE(IsEnabled(next));
  ASSERT_TRUE(TypeText(FolderEdit(), "\\"));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(next); }));
}

TEST_F(DestinationTest, WithoutLicenceThisIsTheLastPageWhateverTheFolder) {
  StartOnDestination(false, false);
  const ButtonState last{true, false, "&Finish", true};
  EXPECT_TRUE(WaitForButtons(last)) << Describe(ReadButtons(session_));
  ASSERT_TRUE(SetEditText(FolderEdit(), "D:\\Somewhere\\Else"));
  Pause(Millis(200));
  EXPECT_TRUE(WaitForButtons(last)) << Describe(ReadButtons(session_));
}

TEST_F(DestinationTest, ShortcutOptionsAreHiddenAndInertWhenTheSetupHasNone) {
  StartOnDestination(true, false);
  const int options[] = {kStartMenuBox, kDesktopBox, kAllUsersRadio, kCurrentUserRadio};
  for (int id : options) {
    HWND control = session_.PageControl(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_FALSE(IsShown(control)) << id;
  }
  // Alt+W opens the browser after the others have been handled, so once it shows, the
  // hidden options would have changed if they were going to.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'S'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'D'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'A'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'W'));
  HWND browser = WaitForFolderBrowser();
  ASSERT_NE(browser, nullptr);
  EXPECT_FALSE(IsChecked(session_.PageControl(kStartMenuBox)));
  EXPECT_FALSE(IsChecked(session_.PageControl(kDesktopBox)));
  EXPECT_FALSE(IsChecked(session_.PageControl(kAllUsersRadio)));
  EXPECT_TRUE(PressMessageBoxButton(browser, IDCANCEL));
}

TEST_F(DestinationTest, ShortcutOptionsStartCheckedForTheCurrentUserAndFollowAltKeys) {
  StartOnDestination(true, true);
  HWND startMenu = session_.PageControl(kStartMenuBox);
  HWND desktop = session_.PageControl(kDesktopBox);
  HWND allUsers = session_.PageControl(kAllUsersRadio);
  HWND currentUser = session_.PageControl(kCurrentUserRadio);
  for (HWND control : {startMenu, desktop, allUsers, currentUser}) EXPECT_TRUE(IsShown(control));
  EXPECT_TRUE(IsChecked(startMenu));
  EXPECT_TRUE(IsChecked(desktop));
  EXPECT_TRUE(IsChecked(currentUser));
  EXPECT_FALSE(IsChecked(allUsers));

  // One toggle per press; Alt+D is handled after Alt+S, so once it shows, so has S.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'S'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'D'));
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(desktop); }));
  EXPECT_FALSE(IsChecked(startMenu));

  ASSERT_TRUE(PressAltKey(session_.Frame(), 'A'));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(allUsers) && !IsChecked(currentUser); }));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'U'));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(currentUser) && !IsChecked(allUsers); }));
}

// Switches given to an interactive run are the page's starting choices.
TEST_F(DestinationTest, CommandLineChoicesAreThePagesStartingChoices) {
  TestProduct product;
  product.files = FilesWithShortcuts();
  product_ = product;
  ASSERT_TRUE(WriteExternalData(Base(), product));
  const std::string folder = "C:\\Chosen Place\\Acme";
  ASSERT_TRUE(session_.StartWithCommandLine("\"" + SetupExePath() + "\" \"" + Base() + "\" /allusers /dir=\"" + folder +
                                            "\" /shortcuts=desktop"))
      << session_.Process().Error();
  ASSERT_NE(session_.WaitForFrame(product.name), nullptr) << "the wizard never showed its frame";
  ASSERT_TRUE(session_.WaitForPage(Page::kWelcome));
  GoTo(Page::kDestination);
  EXPECT_EQ(WindowText(FolderEdit()), folder);
  EXPECT_FALSE(IsChecked(session_.PageControl(kStartMenuBox)));
  EXPECT_TRUE(IsChecked(session_.PageControl(kDesktopBox)));
  EXPECT_TRUE(IsChecked(session_.PageControl(kAllUsersRadio)));
  EXPECT_FALSE(IsChecked(session_.PageControl(kCurrentUserRadio)));
}

// With Alt held, a further S must not reach the frame's dialog keyboard handling, which
// would find the check box's own mnemonic inside the page and toggle it again.
TEST_F(DestinationTest, HoldingAltTogglesOnceHoweverOftenTheKeyIsStruck) {
  StartOnDestination(true, true);
  HWND startMenu = session_.PageControl(kStartMenuBox);
  HWND desktop = session_.PageControl(kDesktopBox);
  ASSERT_TRUE(PressAltKeys(session_.Frame(), {'S', 'S', 'S', 'S'}));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'D'));
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(desktop); }));
  EXPECT_FALSE(IsChecked(startMenu)) << "toggled an even number of times";
}

TEST_F(DestinationTest, CancelledBrowserLeavesTheFolderAlone) {
  StartOnDestination(true, false);
  ASSERT_TRUE(SetEditText(FolderEdit(), "D:\\Kept"));
  ASSERT_TRUE(Click(session_.PageControl(kBrowseButton)));
  HWND browser = WaitForFolderBrowser();
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(PressMessageBoxButton(browser, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
  EXPECT_EQ(WindowText(FolderEdit()), "D:\\Kept");
  EXPECT_TRUE(IsEnabled(session_.FrameButton(kNextButton)));
}

// An installation of the product, as its Add/Remove Programs entry and its log describe
// it; removed again when the test ends.
class InstalledAcmeTool {
 public:
  explicit InstalledAcmeTool(const std::string& folder) : folder_(folder) {
    CreateDirectoryA(folder_.c_str(), nullptr);
    CloseHandle(CreateFileA((folder_ + "\\Uninstall.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      const std::string command = "\"" + folder_ + "\\Uninstall.exe\" " + folder_;
      RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
      RegCloseKey(key);
    }
  }
  ~InstalledAcmeTool() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    DeleteFileA((folder_ + "\\Uninstall.log").c_str());
    RemoveDirectoryA(folder_.c_str());
  }

 private:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Tool";
  std::string folder_;
};

// Another folder would leave the installed product orphaned. Without a licence the
// destination page is the last one; keeping the folder must not touch the welcome page's
// Next button on the way.
TEST_F(DestinationTest, AnInstalledProductKeepsItsFolder) {
  const std::string installed = scratch_.PathOf("Installed Acme");
  InstalledAcmeTool product(installed);
  StartOnDestination(false, true);
  EXPECT_EQ(WindowText(FolderEdit()), installed);
  EXPECT_NE(GetWindowLongA(FolderEdit(), GWL_STYLE) & ES_READONLY, 0) << "the folder can be typed over";
  EXPECT_FALSE(IsEnabled(session_.PageControl(kBrowseButton)));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'W'));
  Pause(Millis(300));
  EXPECT_EQ(TopLevelWindows(session_.Process().Id(), {"", "#32770", true}).size(), 1u) << "a folder browser opened";
  EXPECT_EQ(ReadButtons(session_).closeCaption, "&Finish");
}

}  // namespace
}  // namespace e2e
