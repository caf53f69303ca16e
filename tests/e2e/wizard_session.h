#pragma once
// One run of the setup program under test, seen as a wizard: its frame, which page is
// showing, the frame's buttons and the controls of the page on view. The program is
// killed when the session ends, whatever the test did.

#include <windows.h>

#include <optional>
#include <string>

#include "tests/driver/driver.h"

namespace e2e {

// Control ids of the wizard's windows.
enum WizardId : int {
  kCloseButton = 1,  // "&Cancel", "&Finish" or "&Close"
  kNextButton = 1000,
  kBackButton = 1001,
  kFinishMarker = 1027,
  kCaptionBand = 1056,
  kWelcomeInstallText = 1004,
  kWelcomeClickText = 1005,
  kPageText = 1006,  // the information, licence and summary texts, and the folder edit
  kInfoLink1 = 1007,
  kAcceptRadio = 1009,
  kDeclineRadio = 1010,
  kBrowseButton = 1000,
  kStartMenuBox = 1012,
  kDesktopBox = 1013,
  kAllUsersRadio = 1024,
  kCurrentUserRadio = 1025,
};

enum class Page { kNone, kWelcome, kInformation, kLicense, kDestination, kSummary, kFinish };
const char* PageName(Page page);

// The setup program built with this tree (or the one BRISKLAY_E2E_SETUP_EXE names), as a
// Windows path.
std::string SetupExePath();
// The registry view the setup program under test writes HKLM in: a 32-bit program's is
// the 32-bit view.
REGSAM SetupRegistryView();

class WizardSession {
 public:
  WizardSession();

  // Starts `program` the way a shell would, with `argument` (empty: none) after it.
  bool Start(const std::string& argument, const std::string& program = SetupExePath());
  // Starts with an exact command line, for the command-line rule itself.
  bool StartWithCommandLine(const std::string& commandLine, const std::string& program = SetupExePath());

  // The frame, once it is on screen; its caption is "Setup " and the product name.
  HWND WaitForFrame(const std::string& productName);
  // The frame of whatever product, for runs that do not know its name.
  HWND WaitForAnyFrame();
  HWND Frame() const { return frame_; }

  Page CurrentPage() const;
  bool WaitForPage(Page page, driver::Millis timeout = driver::kDefaultTimeout) const;
  // Waits until another page than `from` is on view. The frame hides one page before it
  // shows the next, so "no page" in between does not count as a change.
  bool WaitForPageChange(Page from, driver::Millis timeout = driver::kDefaultTimeout) const;

  HWND FrameButton(int id) const;
  // A control of the page on view (page ids repeat across pages and the frame).
  HWND PageControl(int id) const;

  bool ClickNext() const { return driver::Click(FrameButton(kNextButton)); }
  bool ClickBack() const { return driver::Click(FrameButton(kBackButton)); }
  bool ClickCloseButton() const { return driver::Click(FrameButton(kCloseButton)); }

  std::optional<DWORD> WaitForExit(driver::Millis timeout = driver::kDefaultTimeout) {
    return process_.WaitForExit(timeout);
  }
  driver::ChildProcess& Process() { return process_; }

 private:
  HWND VisiblePage() const;

  driver::ChildProcess process_;
  HWND frame_ = nullptr;
};

// What the frame's buttons show, for comparing a page's state in one go.
struct ButtonState {
  bool backEnabled;
  bool nextEnabled;
  std::string closeCaption;
  bool markerShown;
  bool operator==(const ButtonState& other) const;
};
ButtonState ReadButtons(const WizardSession& session);
std::string Describe(const ButtonState& state);

}  // namespace e2e
