// The summary page: what it says the installation will do, with the path macros
// expanded, always reflecting the latest choices on the destination page.

#include <windows.h>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

std::string SystemDirectory() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  return system;
}

// What the summary shows for the products made with FilesWithShortcuts().
std::string ExpectedSummary(const std::string& shownFolder, const std::string& dir, bool startMenu, bool desktop) {
  const std::string tool = "tool.exe - " + dir + "\\tool.exe\r\n";
  const std::string readme = "readme.txt - " + dir + "\\readme.txt\r\n";
  std::string text = "Destination folder:\r\n\r\n" + shownFolder + "\r\n\r\n\r\nInstalling files:\r\n\r\n" + tool +
                     readme + "helper.dll - " + SystemDirectory() + "\\helper.dll\r\n" + "Uninstall.exe - " + dir +
                     "\\Uninstall.exe\r\n" + "Uninstall.log - " + dir + "\\Uninstall.log\r\n";
  if (startMenu) {
    text += "\r\n\r\nStart Menu shortcuts:\r\n\r\n" + tool + readme + "Uninstall.exe - " + dir + "\\Uninstall.exe\r\n";
  }
  if (desktop) text += "\r\n\r\nDesktop shortcuts:\r\n\r\n" + tool;
  return text;
}

class SummaryTest : public WizardTest {
 protected:
  void StartWithShortcuts() {
    TestProduct product;
    product.hasLicense = true;
    product.files = FilesWithShortcuts();
    StartWizard(product);
    GoTo(Page::kDestination);
  }

  // Back on the destination page: sets the folder and the boxes, then shows the summary.
  void ChooseAndShowSummary(const std::string& folder, bool startMenu, bool desktop) {
    ASSERT_TRUE(session_.WaitForPage(Page::kDestination));
    ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), folder));
    SetBox(kStartMenuBox, startMenu);
    SetBox(kDesktopBox, desktop);
    GoTo(Page::kSummary);
  }

  void SetBox(int id, bool checked) {
    HWND box = session_.PageControl(id);
    if (IsChecked(box) != checked) {
      ASSERT_TRUE(Click(box));
    }
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(box) == checked; }));
  }

  bool WaitForSummary(const std::string& expected) { return WaitForPageText(kPageText, expected); }
  std::string Summary() const { return WindowText(session_.PageControl(kPageText)); }
};

TEST_F(SummaryTest, ListsFilesAndTheChosenShortcutsWithMacrosExpanded) {
  struct Case {
    bool startMenu, desktop;
  };
  StartWithShortcuts();
  for (const Case& c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
    SCOPED_TRACE(std::string("start menu ") + (c.startMenu ? "on" : "off") + ", desktop " + (c.desktop ? "on" : "off"));
    ChooseAndShowSummary("C:\\Apps\\Tool", c.startMenu, c.desktop);
    const std::string expected = ExpectedSummary("C:\\Apps\\Tool", "C:\\Apps\\Tool", c.startMenu, c.desktop);
    EXPECT_TRUE(WaitForSummary(expected)) << "shown:\n" << Summary() << "\nexpected:\n" << expected;
    ASSERT_TRUE(session_.ClickBack());
  }
}

TEST_F(SummaryTest, DestinationLosesOneTrailingBackslashExceptAtADriveRoot) {
  struct Case {
    std::string typed, shown, dir;
  };
  StartWithShortcuts();
  for (const Case& c : {Case{"C:\\Apps\\Tool\\", "C:\\Apps\\Tool", "C:\\Apps\\Tool"}, Case{"C:\\", "C:\\", "C:"},
                        Case{"C:\\Apps\\\\", "C:\\Apps\\", "C:\\Apps"}}) {
    SCOPED_TRACE("typed '" + c.typed + "'");
    ChooseAndShowSummary(c.typed, true, true);
    const std::string expected = ExpectedSummary(c.shown, c.dir, true, true);
    EXPECT_TRUE(WaitForSummary(expected)) << "shown:\n" << Summary() << "\nexpected:\n" << expected;
    ASSERT_TRUE(session_.ClickBack());
    ASSERT_TRUE(session_.WaitForPage(Page::kDestination));
    EXPECT_TRUE(WaitForPageText(kPageText, c.shown)) << "the folder edit shows the trimmed form";
  }
}

TEST_F(SummaryTest, SetupWithoutShortcutsEndsWithTheFileList) {
  TestProduct product;
  product.hasLicense = true;
  StartWizard(product);
  GoTo(Page::kDestination);
  ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), "D:\\Acme"));
  GoTo(Page::kSummary);
  const std::string expected =
      "Destination folder:\r\n\r\nD:\\Acme\r\n\r\n\r\nInstalling files:\r\n\r\n"
      "tool.exe - D:\\Acme\\tool.exe\r\n"
      "Uninstall.exe - D:\\Acme\\Uninstall.exe\r\n"
      "Uninstall.log - D:\\Acme\\Uninstall.log\r\n";
  EXPECT_TRUE(WaitForSummary(expected)) << "shown:\n" << Summary();
}

}  // namespace
}  // namespace e2e
