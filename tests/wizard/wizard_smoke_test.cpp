// setup.exe started as a user would start it: a fatal start-up error, and the wizard on
// a small product in both data modes.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"

namespace {

using namespace driver;

const std::string kSetupExe = WindowsPathFromHost(BRISKLAY_SETUP_EXE);
const std::string kSampleSetupExe = WindowsPathFromHost(BRISKLAY_SAMPLE_SETUP_EXE);
const std::string kSampleBase = WindowsPathFromHost(std::string(BRISKLAY_SAMPLE_DATA_DIR) + "/sample");

constexpr int kCloseButton = 1;
constexpr int kNext = 1000;
constexpr int kBack = 1001;
constexpr int kFinishMarker = 1027;
constexpr int kWelcomeText = 1004;
constexpr int kPageText = 1006;
constexpr int kAccept = 1009;

// The wizard's frame once it is up. The prefix may report a Windows version the sample
// product does not list; that question is answered Yes.
HWND WaitForWizard(const ChildProcess& setup) {
  HWND frame = nullptr;
  WaitUntil([&] {
    if (HWND warning = WaitForMessageBox(setup.Id(), "Warning", Millis(0))) PressMessageBoxButton(warning, IDYES);
    frame = WaitForTopLevelWindow(setup.Id(), {"Setup Sample Product", "", true}, Millis(0));
    return frame != nullptr;
  });
  return frame;
}

TEST(WizardSmoke, MissingSummaryIsFatalBeforeAnythingIsShown) {
  char temp[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, temp);
  std::string base = std::string(temp) + "no such product";
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(kSetupExe, QuotedCommandLine(kSetupExe, base))) << setup.Error();
  HWND box = WaitForMessageBox(setup.Id(), "Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Couldn't open summary file: " + base + ".exe.sum.bin");
  EXPECT_TRUE(TopLevelWindows(setup.Id(), {"", "", true}).size() == 1) << "only the message box is visible";
  PressMessageBoxButton(box, IDOK);
  EXPECT_EQ(setup.WaitForExit(), 1u);
}

TEST(WizardSmoke, ExternalDataWalksToTheSummaryPage) {
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(kSetupExe, QuotedCommandLine(kSetupExe, kSampleBase))) << setup.Error();
  HWND frame = WaitForWizard(setup);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(FindById(frame, kWelcomeText)),
            "   This program will install \"Sample Product\" on your computer.");
  EXPECT_FALSE(IsEnabled(FindById(frame, kBack)));

  ASSERT_TRUE(Click(FindById(frame, kNext)));  // information
  EXPECT_TRUE(WaitUntil([&] {
    return WindowText(FindById(frame, kPageText)) == "Sample Product does sample things.\r\nIt has two lines.\r\n";
  }));
  ASSERT_TRUE(Click(FindById(frame, kNext)));  // licence: Next waits for the accept choice
  ASSERT_TRUE(WaitUntil([&] { return FindById(frame, kAccept) != nullptr; }));
  EXPECT_FALSE(IsEnabled(FindById(frame, kNext)));
  ASSERT_TRUE(Click(FindById(frame, kAccept)));
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(FindById(frame, kNext)); }));
  ASSERT_TRUE(Click(FindById(frame, kNext)));  // destination
  ASSERT_TRUE(Click(FindById(frame, kNext)));  // summary
  EXPECT_TRUE(WaitUntil([&] { return WindowText(FindById(frame, kCloseButton)) == "&Finish"; }));
  EXPECT_TRUE(IsShown(FindById(frame, kFinishMarker, false)));
  EXPECT_FALSE(IsEnabled(FindById(frame, kNext)));
  std::string summary = WindowText(FindById(frame, kPageText));
  EXPECT_EQ(summary.find("Destination folder:\r\n\r\n"), 0u) << summary;
  EXPECT_NE(summary.find("Start Menu shortcuts:"), std::string::npos) << summary;

  ASSERT_TRUE(Click(FindById(frame, kBack)));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(FindById(frame, kCloseButton)) == "&Cancel"; }));
  ASSERT_TRUE(Click(FindById(frame, kCloseButton)));
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(WizardSmoke, ProductCarriedAsResourcesOpensWithoutArguments) {
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(kSampleSetupExe, QuotedCommandLine(kSampleSetupExe, ""))) << setup.Error();
  HWND frame = WaitForWizard(setup);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(FindById(frame, kWelcomeText)),
            "   This program will install \"Sample Product\" on your computer.");
  ASSERT_TRUE(CloseBySystemCommand(frame));
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
