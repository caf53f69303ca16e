// The windows the wizard opens, as a user meets them: where they stand on the screen,
// and the about box on the frame's system menu with its content and its keyboard focus.

#include <windows.h>

#include <string>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

constexpr WPARAM kAboutCommand = 0x10;
constexpr int kContactLink = 1003;
constexpr int kLibraryLink = 1002;
constexpr int kHistory = 1023;

class AboutBoxTest : public WizardTest {
 protected:
  HWND OpenAboutBox() {
    if (!PostSystemCommand(session_.Frame(), kAboutCommand)) return nullptr;
    return WaitForTopLevelWindow(session_.Process().Id(), {"About Setup", "#32770", true});
  }
};

TEST_F(AboutBoxTest, WizardAndAboutBoxOpenCentredOnTheScreen) {
  StartWizard(TestProduct{});
  EXPECT_TRUE(IsCentredOnWorkArea(session_.Frame())) << "the wizard";
  HWND about = OpenAboutBox();
  ASSERT_NE(about, nullptr) << "no about box";
  EXPECT_TRUE(IsCentredOnWorkArea(about)) << "the about box";
}

TEST_F(AboutBoxTest, ShowsNameLinksAndTheWholeHistoryWithOkFocusedAndEnterClosesIt) {
  StartWizard(TestProduct{});
  HWND about = OpenAboutBox();
  ASSERT_NE(about, nullptr) << "no about box";
  EXPECT_NE(FindByText(about, "Setup - Version 1.4"), nullptr);
  EXPECT_EQ(WindowText(FindById(about, kContactLink)), "brisklay@example.org");
  EXPECT_EQ(WindowText(FindById(about, kLibraryLink)), "Using zlib archiving algorithm");

  // Both halves of the history, newest first, joined without a gap of their own.
  HWND history = FindById(about, kHistory);
  const std::string text = WindowText(history);
  EXPECT_EQ(text.rfind("* Version 1.4 (December 2008)\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\r\n\r\n* Version 1.2 (October 2005)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n\r\n* Version 1.0 (July 2005)\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos) << "an empty line too many";

  // It opens at its newest entry, nothing selected, and the focus on OK.
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(about) == GetDlgItem(about, IDOK); }))
      << "focus on '" << WindowText(FocusedWindow(about)) << "'";
  EXPECT_EQ(FirstVisibleLine(history), 0);
  const EditSelection selection = Selection(history);
  EXPECT_EQ(selection.start, selection.end) << "history selected";

  ASSERT_TRUE(PressKey(about, VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) || !IsShown(about); })) << "Enter left the about box open";
  EXPECT_TRUE(session_.Process().IsRunning());
  EXPECT_TRUE(session_.WaitForPage(Page::kWelcome, driver::Millis(5000))) << PageName(session_.CurrentPage());
}

}  // namespace
}  // namespace e2e
