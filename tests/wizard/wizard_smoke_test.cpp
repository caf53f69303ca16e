// setup.exe started as a user would start it: a fatal start-up error, and the wizard on
// a small product in both data modes.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "formats/record_stream.h"
#include "formats/summary_record.h"
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

// A product with neither information nor licence, written beside a temporary base path.
class ShortProduct {
 public:
  explicit ShortProduct(uint32_t totalSizeHigh) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    base_ = std::string(temp) + "short product " + std::to_string(::GetCurrentProcessId());
    SummaryRecord record;
    ClearSummaryRecord(&record);
    SetBufferText(record.Config.ProductName, "Sample Product");
    record.Config.SupportsWinXP = 1;
    record.Head.TotalSizeHigh = totalSizeHigh;
    record.Head.TotalSizeLow = 1024;
    FILE* file = std::fopen(SummaryPath().c_str(), "wb");
    if (file) {
      WriteSummaryRecord(record, file);
      std::fclose(file);
    }
  }
  ~ShortProduct() { std::remove(SummaryPath().c_str()); }
  const std::string& Base() const { return base_; }

 private:
  std::string SummaryPath() const { return base_ + ".exe.sum.bin"; }
  std::string base_;
};

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
  // The page turns Next off as it is shown, not before: wait for it, then accept.
  EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(FindById(frame, kNext)); }));
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
  EXPECT_EQ(setup.WaitForExit(), 2u) << "Cancel ends as a cancel";
}

HWND StartAtDestinationPage(ChildProcess& setup, const ShortProduct& product) {
  if (!setup.Start(kSetupExe, QuotedCommandLine(kSetupExe, product.Base()))) return nullptr;
  HWND frame = WaitForWizard(setup);
  if (!frame || !Click(FindById(frame, kNext))) return nullptr;
  return WaitUntil([&] { return WindowText(FindById(frame, kCloseButton)) == "&Finish"; }) ? frame : nullptr;
}

TEST(WizardSmoke, WithoutLicenceTheDestinationPageFinishes) {
  ShortProduct product(0);
  ChildProcess setup;
  HWND frame = StartAtDestinationPage(setup, product);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(IsShown(FindById(frame, kFinishMarker, false)));
  EXPECT_FALSE(IsEnabled(FindById(frame, kNext)));

  ASSERT_TRUE(Click(FindById(frame, kBack)));  // straight back to the welcome page
  ASSERT_TRUE(WaitUntil([&] { return FindById(frame, kWelcomeText) != nullptr; }));
  EXPECT_EQ(WindowText(FindById(frame, kCloseButton)), "&Cancel");
  EXPECT_FALSE(IsShown(FindById(frame, kFinishMarker, false)));

  ASSERT_TRUE(Click(FindById(frame, kNext)));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(FindById(frame, kCloseButton)) == "&Finish"; }));
  // Finish hands over to the installation dialog and hides the wizard. (The product has
  // no payload; the run itself is the end-to-end tests' business.)
  ASSERT_TRUE(Click(FindById(frame, kCloseButton)));
  EXPECT_NE(WaitForTopLevelWindow(setup.Id(), {"Installing...", "", true}), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsShown(frame); }));
}

TEST(WizardSmoke, DeclinedDiskSpaceQuestionKeepsTheWizard) {
  ShortProduct product(0x7FFFFFFF);  // far more than any drive holds
  ChildProcess setup;
  HWND frame = StartAtDestinationPage(setup, product);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Click(FindById(frame, kCloseButton)));
  HWND question = WaitForMessageBox(setup.Id(), "Warning");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(MessageBoxText(question).rfind("Not enough free space to complete installation.\n", 0), 0u);
  PressMessageBoxButton(question, IDNO);
  Pause(Millis(300));
  EXPECT_TRUE(setup.IsRunning());
  EXPECT_TRUE(IsShown(frame));
  EXPECT_EQ(WindowText(FindById(frame, kCloseButton)), "&Finish");
  ASSERT_TRUE(CloseBySystemCommand(frame));
  EXPECT_EQ(setup.WaitForExit(), 2u);
}

TEST(WizardSmoke, ProductCarriedAsResourcesOpensWithoutArguments) {
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(kSampleSetupExe, QuotedCommandLine(kSampleSetupExe, ""))) << setup.Error();
  HWND frame = WaitForWizard(setup);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(FindById(frame, kWelcomeText)),
            "   This program will install \"Sample Product\" on your computer.");
  ASSERT_TRUE(CloseBySystemCommand(frame));
  EXPECT_EQ(setup.WaitForExit(), 2u);
}

}  // namespace
