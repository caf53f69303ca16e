// Start-up: where the setup program takes its description from, and every failure that
// ends it before the wizard shows.

#include <windows.h>

#include <functional>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

class StartupTest : public WizardTest {
 public:
  std::string NormalModeCopy() const { return scratch_.PathOf("setup.exe"); }

 protected:
  // Only message boxes may be on screen before the wizard is ready.
  bool OnlyMessageBoxesShown() {
    for (HWND window : TopLevelWindows(session_.Process().Id(), {"", "", true})) {
      if (!IsMessageBox(window)) return false;
    }
    return true;
  }
};

struct FatalCase {
  const char* name;
  // Prepares the data and starts the program; returns the message it must show.
  std::function<std::string(StartupTest&, WizardSession&, const std::string& base)> start;
};

TEST_F(StartupTest, EveryFatalStartupErrorShowsItsMessageThenExitsWithOne) {
  const FatalCase cases[] = {
      {"external summary file missing",
       [](StartupTest&, WizardSession& s, const std::string& base) {
         s.Start(base);
         return "Couldn't open summary file: " + base + ".exe.sum.bin";
       }},
      {"external information file missing",
       [](StartupTest&, WizardSession& s, const std::string& base) {
         TestProduct product;
         product.hasInformation = true;
         WriteExternalData(base, product);
         DeleteFileA((base + ".exe.info.txt").c_str());
         s.Start(base);
         return "Couldn't open information file: " + base + ".exe.info.txt";
       }},
      {"external licence file missing",
       [](StartupTest&, WizardSession& s, const std::string& base) {
         TestProduct product;
         product.hasInformation = true;
         product.hasLicense = true;
         WriteExternalData(base, product);
         DeleteFileA((base + ".exe.eula.txt").c_str());
         s.Start(base);
         return "Couldn't open EULA file: " + base + ".exe.eula.txt";
       }},
      {"no argument and no summary resource",
       [](StartupTest&, WizardSession& s, const std::string&) {
         s.Start("");
         return std::string("Couldn't find summary resource!");
       }},
      {"one blank after the program is no argument",
       [](StartupTest&, WizardSession& s, const std::string&) {
         s.StartWithCommandLine("\"" + SetupExePath() + "\" ");
         return std::string("Couldn't find summary resource!");
       }},
      {"information resource missing",
       [](StartupTest& t, WizardSession& s, const std::string&) {
         TestProduct product;
         product.hasInformation = true;
         WriteNormalModeSetup(SetupExePath(), t.NormalModeCopy(), product, {true, false, true});
         s.Start("", t.NormalModeCopy());
         return std::string("Couldn't find information resource!");
       }},
      {"licence resource missing",
       [](StartupTest& t, WizardSession& s, const std::string&) {
         TestProduct product;
         product.hasLicense = true;
         WriteNormalModeSetup(SetupExePath(), t.NormalModeCopy(), product, {true, true, false});
         s.Start("", t.NormalModeCopy());
         return std::string("Couldn't find EULA resource!");
       }},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    const std::string expected = c.start(*this, session_, folder.PathOf("Product Setup"));
    ASSERT_TRUE(session_.Process().IsRunning()) << session_.Process().Error();
    HWND box = WaitForMessageBox(session_.Process().Id(), "Error");
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_EQ(MessageBoxText(box), expected);
    EXPECT_TRUE(OnlyMessageBoxesShown());
    ASSERT_TRUE(PressMessageBoxButton(box, IDOK));
    EXPECT_EQ(session_.WaitForExit(), 1u);
    session_.Process().Kill();
  }
}

TEST_F(StartupTest, NormalModeReadsItsOwnResourcesAndRemovesTheTemporarySummary) {
  TestProduct product;
  product.hasInformation = true;
  product.hasLicense = true;
  ASSERT_TRUE(WriteNormalModeSetup(SetupExePath(), NormalModeCopy(), product));
  ASSERT_TRUE(session_.Start("", NormalModeCopy()));
  ASSERT_NE(session_.WaitForFrame(product.name), nullptr);
  ASSERT_TRUE(session_.WaitForPage(Page::kWelcome));
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  EXPECT_FALSE(FileExists(std::string(temp) + "Summary.tmp"));

  GoTo(Page::kInformation);
  EXPECT_TRUE(WaitForPageText(kPageText, "About Acme Tool.\r\nIt does things."));
  GoTo(Page::kLicense);
  EXPECT_TRUE(WaitForPageText(kPageText, "Acme licence.\r\nUse it kindly."));
}

TEST_F(StartupTest, LicenceResourceStopsAtItsFirstNulByte) {
  TestProduct product;
  product.hasLicense = true;
  product.licenseText = std::string("Line one.\nLine two.\0hidden tail", 30);
  ASSERT_TRUE(WriteNormalModeSetup(SetupExePath(), NormalModeCopy(), product));
  ASSERT_TRUE(session_.Start("", NormalModeCopy()));
  ASSERT_NE(session_.WaitForFrame(product.name), nullptr);
  GoTo(Page::kLicense);
  EXPECT_TRUE(WaitForPageText(kPageText, "Line one.\r\nLine two."));
}

TEST_F(StartupTest, TextFilesShowWithWindowsLineEndsWhateverTheirOwn) {
  TestProduct product;
  product.hasInformation = true;
  product.hasLicense = true;
  product.informationText = "bare\nline\nends\n";
  product.licenseText = "windows\r\nline\r\nends";
  StartWizard(product);
  GoTo(Page::kInformation);
  EXPECT_TRUE(WaitForPageText(kPageText, "bare\r\nline\r\nends\r\n"));
  GoTo(Page::kLicense);
  EXPECT_TRUE(WaitForPageText(kPageText, "windows\r\nline\r\nends"));
}

// The base path is found however the program itself was named on the command line: a
// shell quotes a path with blanks (the quotes are not part of the file names), and Wine
// starts a program by its bare path.
TEST_F(StartupTest, BasePathFollowsAQuotedOrBareProgramPath) {
  TestProduct product;
  product.hasInformation = true;
  ASSERT_TRUE(WriteExternalData(Base(), product));
  const std::string program = SetupExePath();
  ASSERT_EQ(program.find(' '), std::string::npos) << "a bare program path must hold no blank";
  const std::string commandLines[] = {
      QuotedCommandLine(program, "\"" + Base() + "\""),
      program + " " + Base(),
  };
  for (const std::string& commandLine : commandLines) {
    SCOPED_TRACE(commandLine);
    ASSERT_TRUE(session_.StartWithCommandLine(commandLine, program));
    EXPECT_NE(session_.WaitForFrame(product.name), nullptr);
    EXPECT_EQ(WaitForMessageBox(session_.Process().Id(), "Error", Millis(0)), nullptr);
    // The information text came from the files named after the base path.
    GoTo(Page::kInformation);
    EXPECT_TRUE(WaitForPageText(kPageText, "About Acme Tool.\r\nIt does things."));
    session_.Process().Kill();
  }
}

// Two setups of one product would keep their copies of replaced files under the same
// names: while one runs, a second one says so and ends. Other products are not held up,
// and once the first has ended the product's setup starts again.
TEST_F(StartupTest, ASecondSetupOfTheSameProductIsRefusedWhileOneRuns) {
  StartWizard(TestProduct{});
  WizardSession second;
  ASSERT_TRUE(second.Start(Base())) << second.Process().Error();
  HWND box = WaitForMessageBox(second.Process().Id(), "Error");
  ASSERT_NE(box, nullptr) << "the second setup started";
  EXPECT_EQ(MessageBoxText(box), "Setup or removal of \"Acme Tool\" is already running.\n"
                                 "Please let it finish, then start this program again.");
  ASSERT_TRUE(PressMessageBoxButton(box, IDOK));
  // The code deployment tools retry on.
  EXPECT_EQ(second.WaitForExit(), 1618u);
  EXPECT_TRUE(session_.Process().IsRunning());
  GoTo(Page::kDestination);

  ScratchFolder otherFolder;
  TestProduct other;
  other.name = "Other Tool";
  const std::string otherBase = otherFolder.PathOf("Other Setup");
  ASSERT_TRUE(WriteExternalData(otherBase, other));
  WizardSession otherSession;
  ASSERT_TRUE(otherSession.Start(otherBase));
  EXPECT_NE(otherSession.WaitForFrame(other.name), nullptr);
  EXPECT_EQ(WaitForMessageBox(otherSession.Process().Id(), "Error", Millis(0)), nullptr);

  session_.Process().Kill();  // waits until it has ended
  WizardSession again;
  ASSERT_TRUE(again.Start(Base()));
  EXPECT_NE(again.WaitForFrame(product_.name), nullptr);
  EXPECT_EQ(WaitForMessageBox(again.Process().Id(), "Error", Millis(0)), nullptr);
}

TEST_F(StartupTest, FilesOfAbsentTextsAreNeverLookedFor) {
  // Neither text is announced and neither file exists: the wizard starts without a
  // complaint and goes from the welcome page straight to the destination page.
  StartWizard(TestProduct{});
  GoTo(Page::kDestination);
  EXPECT_TRUE(session_.Process().IsRunning());
  EXPECT_TRUE(TopLevelWindows(session_.Process().Id(), {"Error", "", true}).empty());
}

}  // namespace
}  // namespace e2e
