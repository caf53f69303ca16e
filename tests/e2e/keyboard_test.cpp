// The wizard driven by the keyboard alone, as a user would: where the focus is on each
// page, what Enter and Escape do there, and how the read-only texts open.

#include <windows.h>

#include <string>

#include "tests/e2e/wizard_fixture.h"

namespace e2e {
namespace {

using namespace driver;

// Long enough to scroll in the information and licence boxes, with a heading a user
// must see first.
std::string LongText(const std::string& heading) {
  std::string text = heading + "\n";
  for (int line = 2; line <= 61; ++line) text += "Line " + std::to_string(line) + " of the text.\n";
  return text;
}

bool IsReadOnlyEdit(HWND window) {
  return ClassName(window) == "Edit" && (GetWindowLongA(window, GWL_STYLE) & ES_READONLY) != 0;
}

class KeyboardTest : public WizardTest {
 protected:
  void StartLongProduct() {
    TestProduct product;
    product.hasInformation = true;
    product.hasLicense = true;
    product.informationText = LongText("ABOUT ACME TOOL");
    product.licenseText = LongText("ACME LICENCE");
    StartWizard(product);
  }

  HWND Focus() const { return FocusedWindow(session_.Frame()); }

  // Where the focus may rest when a page has settled: on an enabled, visible control of
  // the frame or the page on view, never on Cancel and never in a read-only text.
  void ExpectSensibleFocus(const char* where) {
    HWND focus = nullptr;
    WaitUntil([&] { return (focus = Focus()) != nullptr && IsEnabled(focus) && IsShown(focus); }, Millis(3000));
    SCOPED_TRACE(where);
    ASSERT_NE(focus, nullptr) << "no control has the focus";
    EXPECT_TRUE(IsChild(session_.Frame(), focus)) << ClassName(focus) << " '" << WindowText(focus) << "'";
    EXPECT_TRUE(IsEnabled(focus) && IsShown(focus)) << "focus on a disabled or hidden '" << WindowText(focus) << "'";
    EXPECT_FALSE(focus == session_.FrameButton(kCloseButton) && WindowText(focus) == "&Cancel") << "focus on Cancel";
    EXPECT_FALSE(IsReadOnlyEdit(focus)) << "focus in the read-only text";
  }

  // A read-only text as it opens: its first line on view and nothing selected.
  void ExpectTextAtItsStart(const char* where) {
    HWND text = session_.PageControl(kPageText);
    const EditSelection selection = Selection(text);
    EXPECT_EQ(FirstVisibleLine(text), 0) << where;
    EXPECT_EQ(selection.start, selection.end) << where << ": text selected";
  }

  void PressAndExpectPage(WORD key, Page page) {
    const Page from = session_.CurrentPage();
    ASSERT_TRUE(PressKey(session_.Frame(), key));
    ASSERT_TRUE(session_.WaitForPageChange(from)) << "still on the " << PageName(from) << " page";
    ASSERT_EQ(session_.CurrentPage(), page);
  }

  // A key that must do nothing: the wizard stays on its page and goes on running.
  void PressAndExpectNothing(WORD key, const char* what) {
    const Page page = session_.CurrentPage();
    ASSERT_TRUE(BringToForeground(session_.Frame()));
    ASSERT_TRUE(PressKey(session_.Frame(), key));
    Pause(Millis(500));
    EXPECT_TRUE(session_.Process().IsRunning()) << what << " ended the wizard";
    EXPECT_EQ(session_.CurrentPage(), page) << what << " left the " << PageName(page) << " page";
  }
};

TEST_F(KeyboardTest, EnterWalksEveryPageAndNeverLandsOnCancel) {
  StartLongProduct();
  ExpectSensibleFocus("welcome");
  EXPECT_EQ(Focus(), session_.FrameButton(kNextButton));

  ASSERT_NO_FATAL_FAILURE(PressAndExpectPage(VK_RETURN, Page::kInformation));
  ExpectSensibleFocus("information");
  ExpectTextAtItsStart("information");

  ASSERT_NO_FATAL_FAILURE(PressAndExpectPage(VK_RETURN, Page::kLicense));
  // Next is disabled until the licence is accepted, so the focus had to move off it.
  ExpectSensibleFocus("licence");
  ExpectTextAtItsStart("licence");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectNothing(VK_RETURN, "Enter on the declined licence"));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'A'));
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
  ExpectSensibleFocus("licence, accepted");
  // The accept mnemonic leaves the focus on that choice, inside the page, which keeps Enter
  // to itself; Alt+N goes on.
  ASSERT_NO_FATAL_FAILURE(PressAndExpectNothing(VK_RETURN, "Enter on the accepted licence's choice"));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'N'));
  ASSERT_TRUE(session_.WaitForPage(Page::kDestination));
  // Back on the frame's buttons, Enter is Next again.
  ASSERT_TRUE(BringToForeground(session_.Frame()));
  ExpectSensibleFocus("destination");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectPage(VK_RETURN, Page::kSummary));
  ExpectSensibleFocus("summary");
  ExpectTextAtItsStart("summary");

  // Back by Alt+B twice: the licence page comes back accepted, with Next and the focus on it.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'B'));
  ASSERT_TRUE(session_.WaitForPage(Page::kDestination));
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'B'));
  ASSERT_TRUE(session_.WaitForPage(Page::kLicense));
  ExpectSensibleFocus("licence again");
  // Declining disables Next under the focus; the focus moves on, and Enter stays harmless.
  ASSERT_TRUE(PressAltKey(session_.Frame(), 'O'));
  ASSERT_TRUE(WaitUntil([&] { return !IsEnabled(session_.FrameButton(kNextButton)); }));
  ExpectSensibleFocus("licence, declined again");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectNothing(VK_RETURN, "Enter after declining"));
}

TEST_F(KeyboardTest, TabReachesTheLicenceTextWhichStaysAtItsStart) {
  StartLongProduct();
  GoTo(Page::kLicense);
  HWND licence = session_.PageControl(kPageText);
  ASSERT_TRUE(BringToForeground(session_.Frame()));
  bool reached = false;
  for (int press = 0; press < 8 && !reached; ++press) {
    ASSERT_TRUE(PressKey(session_.Frame(), VK_TAB));
    reached = WaitUntil([&] { return Focus() == licence; }, Millis(300));
  }
  ASSERT_TRUE(reached) << "Tab never reached the licence text";
  ExpectTextAtItsStart("licence reached by Tab");
}

// Escape and Enter pressed inside a page (on one of its own controls) are kept by the
// page: neither ends the wizard or moves it.
TEST_F(KeyboardTest, EscapeAndEnterInsideAPageDoNothing) {
  TestProduct product;
  product.hasLicense = true;
  StartWizard(product);
  GoTo(Page::kLicense);
  ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio)));
  HWND accept = session_.PageControl(kAcceptRadio);
  for (WORD key : {VK_ESCAPE, VK_RETURN}) {
    SCOPED_TRACE(key == VK_ESCAPE ? "Escape" : "Enter");
    ASSERT_TRUE(BringToForeground(session_.Frame()));
    SendMessageTimeoutA(session_.Frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(accept), TRUE, SMTO_ABORTIFHUNG,
                        2000, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Focus() == accept; })) << "the accept choice did not take the focus";
    ASSERT_NO_FATAL_FAILURE(PressAndExpectNothing(key, "a key inside the page"));
  }
}

}  // namespace
}  // namespace e2e
