// Walks the wizard through every page for scripts/screenshots.sh, pausing on each one
// until the script has taken its picture.
//
// Usage: wizard_screenshot_tour SETUP_EXE BASE_PATH HANDSHAKE_DIR
// For each picture it creates HANDSHAKE_DIR\NN-name.ready and waits for the script to
// answer with NN-name.done. Ends with 0 when the wizard was walked to its end.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"

namespace {

using namespace driver;
using namespace e2e;

constexpr Millis kShotTimeout{60000};
constexpr Millis kInstallTimeout{120000};
constexpr WPARAM kAboutCommand = 0x10;
constexpr int kRunBox = 1018;
constexpr int kOpenBox = 1020;

class Tour {
 public:
  Tour(std::string handshakeDir) : handshakeDir_(std::move(handshakeDir)) {}

  // Lets the script take a picture of the screen as it is now.
  bool Shoot(const std::string& name) {
    char numbered[8];
    std::snprintf(numbered, sizeof numbered, "%02d-", ++count_);
    const std::string base = handshakeDir_ + "\\" + numbered + name;
    Pause(Millis(300));  // let the window finish painting
    FILE* ready = std::fopen((base + ".ready").c_str(), "wb");
    if (ready == nullptr) return false;
    std::fclose(ready);
    const bool done = WaitUntil([&] { return GetFileAttributesA((base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; },
                                kShotTimeout);
    DeleteFileA((base + ".done").c_str());
    std::printf("%s%s\n", numbered, name.c_str());
    return done;
  }

 private:
  std::string handshakeDir_;
  int count_ = 0;
};

bool WalkPages(WizardSession& session, Tour& tour) {
  for (;;) {
    const Page page = session.CurrentPage();
    if (page == Page::kLicense) {
      if (!tour.Shoot("licence")) return false;
      Click(session.PageControl(kAcceptRadio));
      WaitUntil([&] { return IsEnabled(session.FrameButton(kNextButton)); });
    } else if (!tour.Shoot(PageName(page))) {
      return false;
    }
    if (!IsEnabled(session.FrameButton(kNextButton))) return true;  // the last page
    session.ClickNext();
    if (!session.WaitForPageChange(page)) return false;
  }
}

bool ShowAboutBox(WizardSession& session, Tour& tour) {
  PostSystemCommand(session.Frame(), kAboutCommand);
  HWND about = WaitForTopLevelWindow(session.Process().Id(), {"About Setup", "", true});
  if (about == nullptr) return false;
  const bool shot = tour.Shoot("about");
  Click(GetDlgItem(about, IDOK));
  WaitUntil([&] { return !IsWindow(about); });
  return shot;
}

// The installation's windows (its dialog, the background): neither the frame nor a
// message box.
std::vector<HWND> InstallationWindows(WizardSession& session) {
  std::vector<HWND> windows;
  for (HWND window : TopLevelWindows(session.Process().Id(), {"", "#32770", true})) {
    if (window != session.Frame() && !IsMessageBox(window)) windows.push_back(window);
  }
  return windows;
}

// Presses a button that ends the finished installation dialog, never one that aborts.
void CloseFinishedInstallation(HWND dialog) {
  for (const char* caption : {"&Close", "Close", "&OK", "OK"}) {
    HWND button = FindByText(dialog, caption);
    if (button != nullptr && IsEnabled(button)) Click(button);
  }
}

bool Install(WizardSession& session, Tour& tour) {
  session.ClickCloseButton();  // reads "&Finish" on the last page
  bool installingShot = false;
  return WaitUntil(
      [&] {
        if (HWND question = WaitForMessageBox(session.Process().Id(), "Warning", Millis(0))) {
          PressMessageBoxButton(question, IDYES);
        }
        const auto windows = InstallationWindows(session);
        if (!windows.empty() && !installingShot) installingShot = tour.Shoot("installing");
        for (HWND window : windows) CloseFinishedInstallation(window);
        return session.CurrentPage() == Page::kFinish && IsShown(session.Frame());
      },
      kInstallTimeout);
}

bool Finish(WizardSession& session, Tour& tour) {
  const bool shot = tour.Shoot("finish");
  // Nothing of the example is started or opened from a picture run.
  for (int id : {kRunBox, kOpenBox}) {
    if (IsChecked(session.PageControl(id))) Click(session.PageControl(id));
  }
  WaitUntil([&] { return !IsChecked(session.PageControl(kRunBox)) && !IsChecked(session.PageControl(kOpenBox)); });
  session.ClickCloseButton();
  return session.WaitForExit().has_value() && shot;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: wizard_screenshot_tour SETUP_EXE BASE_PATH HANDSHAKE_DIR\n");
    return 2;
  }
  ReportedWindowsVersion version(kSupportedTestVersion);
  WizardSession session;
  Tour tour(argv[3]);
  if (!session.Start(argv[2], argv[1]) || session.WaitForAnyFrame() == nullptr) {
    std::fprintf(stderr, "the wizard did not start: %s\n", session.Process().Error().c_str());
    return 1;
  }
  if (!session.WaitForPage(Page::kWelcome) || !WalkPages(session, tour) || !ShowAboutBox(session, tour)) {
    std::fprintf(stderr, "could not walk the wizard's pages\n");
    return 1;
  }
  if (!Install(session, tour)) {
    std::fprintf(stderr, "the installation did not reach the finish page\n");
    return 1;
  }
  return Finish(session, tour) ? 0 : 1;
}
