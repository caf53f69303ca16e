// The operating-system question at start-up, on versions Wine reports as it is told.

#include <windows.h>

#include <optional>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

constexpr char kNotConfigured[] =
    "\nThe program is not configured to run on this type of Operating System.\nDo you still wish to proceed?";

struct OsCase {
  const char* version;  // Wine's name for it
  unsigned systems;     // what the product admits
  std::optional<std::string> question;
  int answer;  // IDYES or IDNO, when asked
};

class OsQuestionTest : public WizardTest {};

TEST_F(OsQuestionTest, UnsupportedOrUnknownSystemsAskAndNoEndsWithOne) {
  const OsCase cases[] = {
      {"winxp", kWinXP, std::nullopt, 0},
      {"win2k", kWinXP, "Detected Operating System: Windows 2000. Supported: Win XP " + std::string(kNotConfigured),
       IDNO},
      {"win2k", kWin2000 | kWinXP, std::nullopt, 0},
      {"win98", kWin95 | kWinXP,
       "Detected Operating System: Windows 98 SE. Supported: Win 95 Win XP " + std::string(kNotConfigured), IDYES},
      {"win95", kAllSystems & ~kWin95,
       "Detected Operating System: Windows 95. Supported: Win 98 Win ME Win NT Win 2K Win XP Win 2003 Win "
       "Vista/2008 " +
           std::string(kNotConfigured),
       IDNO},
      {"nt40", kWinNT, std::nullopt, 0},
      {"vista", kWinXP, "Detected Operating System: Windows Vista/2008. Supported: Win XP " + std::string(kNotConfigured),
       IDYES},
      {"win7", kAllSystems, std::nullopt, 0},
      {"win7", kWinXP, "Detected Operating System: Windows 7. Supported: Win XP " + std::string(kNotConfigured), IDNO},
      // Only a program that declares Windows 10 in its manifest is told the true version.
      {"win10", kWinXP, "Detected Operating System: Windows 10. Supported: Win XP " + std::string(kNotConfigured),
       IDYES},
      {"win10", kWinVista2008, std::nullopt, 0},
  };
  for (const OsCase& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.answer == IDNO ? ", answered No" : ""));
    ReportedWindowsVersion version(c.version);
    ASSERT_TRUE(version.Applied());
    TestProduct product;
    product.systems = c.systems;
    ASSERT_TRUE(WriteExternalData(Base(), product));
    ASSERT_TRUE(session_.Start(Base()));
    if (c.question) {
      HWND box = WaitForMessageBox(session_.Process().Id(), "Warning");
      ASSERT_NE(box, nullptr) << "no question asked";
      EXPECT_EQ(MessageBoxText(box), *c.question);
      EXPECT_TRUE(TopLevelWindows(session_.Process().Id(), {"Setup " + product.name, "", true}).empty())
          << "the wizard showed before the question was answered";
      ASSERT_TRUE(PressMessageBoxButton(box, c.answer));
      if (c.answer == IDNO) {
        EXPECT_EQ(session_.WaitForExit(), 1u);
        continue;
      }
    }
    EXPECT_NE(session_.WaitForFrame(product.name), nullptr);
    EXPECT_TRUE(session_.WaitForPage(Page::kWelcome));
    EXPECT_TRUE(TopLevelWindows(session_.Process().Id(), {"Warning", "", true}).empty());
  }
}

}  // namespace
}  // namespace e2e
