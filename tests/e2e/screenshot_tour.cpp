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
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brisklay Demo";

// Makes `window` the active window, title bar included: a program's first window can be the
// foreground window on Wine's desktop while its title bar still shows the inactive colours,
// until it is told again that it is active.
void Activate(HWND window) {
  SetForegroundWindow(window);
  if (GetForegroundWindow() == window) SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
}

class Tour {
 public:
  Tour(std::string handshakeDir) : handshakeDir_(std::move(handshakeDir)) {}

  // Lets the script take a picture of the screen as it is now, with `active` (if any) the
  // active window, as the one a user works in.
  bool Shoot(const std::string& name, HWND active = nullptr) {
    char numbered[8];
    std::snprintf(numbered, sizeof numbered, "%02d-", ++count_);
    const std::string base = handshakeDir_ + "\\" + numbered + name;
    if (active != nullptr) Activate(active);
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
      if (!tour.Shoot("licence", session.Frame())) return false;
      Click(session.PageControl(kAcceptRadio));
      WaitUntil([&] { return IsEnabled(session.FrameButton(kNextButton)); });
    } else if (!tour.Shoot(PageName(page), session.Frame())) {
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
  const bool shot = tour.Shoot("about", about);
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
        if (!windows.empty() && !installingShot) {
          HWND dialog = nullptr;
          for (HWND window : windows) {
            if (WindowText(window) == "Installing...") dialog = window;
          }
          installingShot = tour.Shoot("installing", dialog);
        }
        for (HWND window : windows) CloseFinishedInstallation(window);
        return session.CurrentPage() == Page::kFinish && IsShown(session.Frame());
      },
      kInstallTimeout);
}

bool Finish(WizardSession& session, Tour& tour) {
  const bool shot = tour.Shoot("finish", session.Frame());
  // Nothing of the example is started or opened from a picture run.
  for (int id : {kRunBox, kOpenBox}) {
    if (IsChecked(session.PageControl(id))) Click(session.PageControl(id));
  }
  WaitUntil([&] { return !IsChecked(session.PageControl(kRunBox)) && !IsChecked(session.PageControl(kOpenBox)); });
  session.ClickCloseButton();
  return session.WaitForExit().has_value() && shot;
}

// Removes the product again with the command Add/Remove Programs would run: its window
// while it asks, and the report it ends with.
bool Uninstall(Tour& tour) {
  HKEY key = nullptr;
  char command[1024] = "";
  DWORD size = sizeof command;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  const bool read = RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(command),
                                     &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  const std::string line = command;
  if (!read || line.size() < 2 || line[0] != '"') return false;
  ChildProcess uninstaller;
  if (!uninstaller.Start(line.substr(1, line.find('"', 1) - 1), line)) return false;
  HWND question = WaitForMessageBox(uninstaller.Id(), "", kShotTimeout);
  if (question == nullptr || !tour.Shoot("uninstall", question)) return false;
  PressMessageBoxButton(question, IDYES);
  HWND report = nullptr;
  WaitUntil([&] { return (report = WaitForMessageBox(uninstaller.Id(), "", Millis(0))) != nullptr && report != question; },
            kInstallTimeout);
  if (report == nullptr || report == question || !tour.Shoot("uninstalled", report)) return false;
  PressMessageBoxButton(report, IDOK);
  return uninstaller.WaitForExit(kInstallTimeout).has_value();
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
  if (!Finish(session, tour)) return 1;
  if (!Uninstall(tour)) {
    std::fprintf(stderr, "the uninstaller did not remove the product\n");
    return 1;
  }
  return 0;
}
