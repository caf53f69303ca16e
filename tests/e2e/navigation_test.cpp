// Moving through the wizard: the page sequence for each combination of information and
// licence, the buttons each page sets, the licence choice, Alt shortcuts, and every way
// of leaving before the installation.

#include <windows.h>

#include <vector>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

struct Step {
  Page page;
  ButtonState buttons;  // as the page shows them on arrival
};

const ButtonState kWelcomeButtons{false, true, "&Cancel", false};
const ButtonState kMiddleButtons{true, true, "&Cancel", false};
const ButtonState kLicenseButtons{true, false, "&Cancel", false};
const ButtonState kLastPageButtons{true, false, "&Finish", true};

struct SequenceCase {
  const char* name;
  bool information;
  bool license;
  std::vector<Step> steps;
};

class NavigationTest : public WizardTest {};

TEST_F(NavigationTest, NextAndBackFollowThePageSequence) {
  const SequenceCase cases[] = {
      {"neither text",
       false,
       false,
       {{Page::kWelcome, kWelcomeButtons}, {Page::kDestination, kLastPageButtons}}},
      {"information only",
       true,
       false,
       {{Page::kWelcome, kWelcomeButtons},
        {Page::kInformation, kMiddleButtons},
        {Page::kDestination, kLastPageButtons}}},
      {"licence only",
       false,
       true,
       {{Page::kWelcome, kWelcomeButtons},
        {Page::kLicense, kLicenseButtons},
        {Page::kDestination, kMiddleButtons},
        {Page::kSummary, kLastPageButtons}}},
      {"both texts",
       true,
       true,
       {{Page::kWelcome, kWelcomeButtons},
        {Page::kInformation, kMiddleButtons},
        {Page::kLicense, kLicenseButtons},
        {Page::kDestination, kMiddleButtons},
        {Page::kSummary, kLastPageButtons}}},
  };
  for (const SequenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestProduct product;
    product.hasInformation = c.information;
    product.hasLicense = c.license;
    StartWizard(product);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      SCOPED_TRACE(PageName(step.page));
      ASSERT_TRUE(session_.WaitForPage(step.page)) << "on " << PageName(session_.CurrentPage());
      EXPECT_TRUE(WaitForButtons(step.buttons)) << Describe(ReadButtons(session_));
      if (i + 1 < c.steps.size()) GoTo(c.steps[i + 1].page);
    }
    for (std::size_t i = c.steps.size() - 1; i > 0; --i) {
      ASSERT_TRUE(session_.ClickBack());
      ASSERT_TRUE(session_.WaitForPage(c.steps[i - 1].page)) << "Back from " << PageName(c.steps[i].page);
    }
    EXPECT_TRUE(WaitForButtons(kWelcomeButtons)) << Describe(ReadButtons(session_));
  }
}

TEST_F(NavigationTest, LicenceMustBeAcceptedAndTheChoiceSurvivesBackAndNext) {
  TestProduct product;
  product.hasLicense = true;
  StartWizard(product);
  GoTo(Page::kLicense);
  HWND accept = session_.PageControl(kAcceptRadio);
  HWND decline = session_.PageControl(kDeclineRadio);
  HWND next = session_.FrameButton(kNextButton);
  EXPECT_TRUE(IsChecked(decline));
  EXPECT_FALSE(IsChecked(accept));
  EXPECT_FALSE(IsEnabled(next));

  ASSERT_TRUE(Click(accept));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(next) && IsChecked(accept) && !IsChecked(decline); }));
  ASSERT_TRUE(Click(decline));
  EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(next) && IsChecked(decline); }));

  ASSERT_TRUE(session_.ClickBack());
  ASSERT_TRUE(session_.WaitForPage(Page::kWelcome));
  ASSERT_TRUE(session_.ClickNext());
  ASSERT_TRUE(session_.WaitForPage(Page::kLicense));
  EXPECT_TRUE(WaitForButtons(kLicenseButtons)) << "declined licence came back with " << Describe(ReadButtons(session_));

  ASSERT_TRUE(Click(accept));
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(next); }));
  GoTo(Page::kDestination);
  ASSERT_TRUE(session_.ClickBack());
  ASSERT_TRUE(session_.WaitForPage(Page::kLicense));
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(next) && IsChecked(accept); }));
}

TEST_F(NavigationTest, AltAcceptsAndAltODeclinesTheLicence) {
  TestProduct product;
  product.hasLicense = true;
  StartWizard(product);
  GoTo(Page::kLicense);
  HWND next = session_.FrameButton(kNextButton);
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'A'));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(session_.PageControl(kAcceptRadio)) && IsEnabled(next); }));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'O'));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(session_.PageControl(kDeclineRadio)) && !IsEnabled(next); }));
}

TEST_F(NavigationTest, AltNextAndAltBackMoveOnePagePerPress) {
  TestProduct product;
  product.hasInformation = true;
  product.hasLicense = true;
  StartWizard(product);
  GoTo(Page::kLicense);
  ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio)));
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'B'));
  ASSERT_TRUE(session_.WaitForPage(Page::kInformation));

  // One step, to the licence page. Had the press counted twice, the wizard would be on
  // the destination page, where Alt+O does nothing; on the licence page Alt+O declines,
  // which also proves every stroke before it has been handled.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'N'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'O'));
  EXPECT_TRUE(WaitUntil([&] {
    return session_.CurrentPage() == Page::kLicense && IsChecked(session_.PageControl(kDeclineRadio));
  })) << "ended on the " << PageName(session_.CurrentPage()) << " page";

  // One step back, to the information page; Alt+N returns to the licence page, where
  // Alt+A accepts. Had Alt+B counted twice, Alt+N would only reach the information page.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'B'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'N'));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'A'));
  EXPECT_TRUE(WaitUntil([&] {
    return session_.CurrentPage() == Page::kLicense && IsChecked(session_.PageControl(kAcceptRadio));
  })) << "ended on the " << PageName(session_.CurrentPage()) << " page";
}

TEST_F(NavigationTest, EnterOnTheFrameActsAsNext) {
  StartWizard(TestProduct{});
  ASSERT_TRUE(PressKey(session_.Frame(), VK_RETURN));
  EXPECT_TRUE(session_.WaitForPage(Page::kDestination));
}

TEST_F(NavigationTest, WelcomePageNamesTheProduct) {
  struct Case {
    std::string name;
  };
  for (const Case& c : {Case{"Acme Tool"}, Case{""}}) {
    SCOPED_TRACE("product '" + c.name + "'");
    TestProduct product;
    product.name = c.name;
    StartWizard(product);
    EXPECT_EQ(WindowText(session_.Frame()), "Setup " + c.name);
    EXPECT_EQ(WindowText(session_.FrameButton(kCaptionBand)), c.name);
    EXPECT_EQ(WindowText(session_.PageControl(kWelcomeInstallText)),
              "   This program will install \"" + c.name + "\" on your computer.");
    EXPECT_EQ(WindowText(session_.PageControl(kWelcomeClickText)), "   Click \"Next\" to install \"" + c.name + "\".");
  }
}

TEST_F(NavigationTest, InformationPageShowsOnlyLinksWithACaption) {
  TestProduct product;
  product.hasInformation = true;
  StartWizard(product);
  GoTo(Page::kInformation);
  EXPECT_EQ(WindowText(session_.PageControl(kInfoLink1)), "Acme home page");
  EXPECT_TRUE(IsShown(session_.PageControl(kInfoLink1)));
  EXPECT_FALSE(IsShown(session_.PageControl(kInfoLink1 + 1)));
  EXPECT_FALSE(IsShown(session_.PageControl(kInfoLink1 + 2)));
}

// Every way out before the installation ends the program at once, with no question.
struct LeaveCase {
  const char* name;
  Page page;
  bool (*leave)(WizardSession&);
};

bool CancelButton(WizardSession& s) { return s.ClickCloseButton(); }
bool Escape(WizardSession& s) { return PressKey(s.Frame(), VK_ESCAPE); }
bool AltF4(WizardSession& s) { return PressAltKey(s.Frame(), VK_F4); }
bool CloseBox(WizardSession& s) { return CloseBySystemCommand(s.Frame()); }

TEST_F(NavigationTest, CancelEscapeAltF4AndTheCloseBoxEndTheWizard) {
  const LeaveCase cases[] = {
      {"Cancel", Page::kWelcome, CancelButton},       {"Cancel", Page::kDestination, CancelButton},
      {"Escape", Page::kWelcome, Escape},             {"Escape", Page::kSummary, Escape},
      {"Alt+F4", Page::kWelcome, AltF4},              {"Alt+F4", Page::kInformation, AltF4},
      {"Alt+F4", Page::kLicense, AltF4},              {"Alt+F4", Page::kDestination, AltF4},
      {"Alt+F4", Page::kSummary, AltF4},              {"close box", Page::kInformation, CloseBox},
      {"close box", Page::kSummary, CloseBox},
  };
  for (const LeaveCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " on the " + PageName(c.page) + " page");
    TestProduct product;
    product.hasInformation = true;
    product.hasLicense = true;
    StartWizard(product);
    GoTo(c.page);
    ASSERT_TRUE(c.leave(session_));
    EXPECT_EQ(session_.WaitForExit(), 2u) << "leaving the wizard is a cancel";
  }
}

}  // namespace
}  // namespace e2e
