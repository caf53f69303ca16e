#include "tests/e2e/wizard_session.h"

#include <cstdlib>
#include <fstream>

namespace e2e {

namespace {

constexpr char kDialogClass[] = "#32770";

// Each page is told apart by a text only it shows.
struct PageMark {
  Page page;
  const char* text;
};
constexpr PageMark kPageMarks[] = {
    {Page::kWelcome, "   Welcome!"},
    {Page::kInformation, "Program Information"},
    {Page::kLicense, "End-User License Agreement"},
    {Page::kDestination, "Destination Folder"},
    {Page::kSummary, "Summary"},
};
constexpr int kResultText = 1017;

}  // namespace

const char* PageName(Page page) {
  switch (page) {
    case Page::kNone: return "none";
    case Page::kWelcome: return "welcome";
    case Page::kInformation: return "information";
    case Page::kLicense: return "licence";
    case Page::kDestination: return "destination";
    case Page::kSummary: return "summary";
    case Page::kFinish: return "finish";
  }
  return "?";
}

std::string SetupExePath() {
  // The emulated 32-bit lane runs these tests, built for 64 bits, on the 32-bit program.
  const char* chosen = std::getenv("BRISKLAY_E2E_SETUP_EXE");
  return driver::WindowsPathFromHost(chosen && *chosen ? chosen : BRISKLAY_SETUP_EXE);
}

REGSAM SetupRegistryView() {
  // The setup writes HKLM in its own view: a 32-bit one on 64-bit Windows in the 32-bit
  // view. Read from the program's header once: snapshots ask for every key.
  static const REGSAM view = []() -> REGSAM {
    std::ifstream program(SetupExePath(), std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    DWORD signature = 0;
    if (!program.read(reinterpret_cast<char*>(&dos), sizeof dos)) return KEY_WOW64_64KEY;
    program.seekg(dos.e_lfanew);
    if (!program.read(reinterpret_cast<char*>(&signature), sizeof signature) ||
        !program.read(reinterpret_cast<char*>(&header), sizeof header))
      return KEY_WOW64_64KEY;
    return header.Machine == IMAGE_FILE_MACHINE_I386 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  }();
  return view;
}

WizardSession::WizardSession() { driver::ReleaseModifiers(); }

bool WizardSession::Start(const std::string& argument, const std::string& program) {
  return StartWithCommandLine(driver::QuotedCommandLine(program, argument), program);
}

bool WizardSession::StartWithCommandLine(const std::string& commandLine, const std::string& program) {
  frame_ = nullptr;
  return process_.Start(program, commandLine);
}

HWND WizardSession::WaitForFrame(const std::string& productName) {
  frame_ = driver::WaitForTopLevelWindow(process_.Id(), {"Setup " + productName, kDialogClass, true});
  return frame_;
}

HWND WizardSession::WaitForAnyFrame() {
  frame_ = nullptr;
  driver::WaitUntil([&] {
    for (HWND window : driver::TopLevelWindows(process_.Id(), {"", kDialogClass, true})) {
      if (!driver::IsMessageBox(window) && driver::WindowText(window).rfind("Setup ", 0) == 0) frame_ = window;
    }
    return frame_ != nullptr;
  });
  return frame_;
}

HWND WizardSession::VisiblePage() const {
  for (HWND child = GetWindow(frame_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (driver::ClassName(child) == kDialogClass && driver::IsShown(child)) return child;
  }
  return nullptr;
}

Page WizardSession::CurrentPage() const {
  HWND page = VisiblePage();
  if (page == nullptr) return Page::kNone;
  if (driver::FindById(page, kResultText, false) != nullptr) return Page::kFinish;
  for (const PageMark& mark : kPageMarks) {
    if (driver::FindByText(page, mark.text, false) != nullptr) return mark.page;
  }
  return Page::kNone;
}

bool WizardSession::WaitForPage(Page page, driver::Millis timeout) const {
  return driver::WaitUntil([&] { return CurrentPage() == page; }, timeout);
}

bool WizardSession::WaitForPageChange(Page from, driver::Millis timeout) const {
  return driver::WaitUntil(
      [&] {
        const Page now = CurrentPage();
        return now != from && now != Page::kNone;
      },
      timeout);
}

HWND WizardSession::FrameButton(int id) const { return GetDlgItem(frame_, id); }

HWND WizardSession::PageControl(int id) const { return driver::FindById(VisiblePage(), id, false); }

bool ButtonState::operator==(const ButtonState& other) const {
  return backEnabled == other.backEnabled && nextEnabled == other.nextEnabled &&
         closeCaption == other.closeCaption && markerShown == other.markerShown;
}

ButtonState ReadButtons(const WizardSession& session) {
  return {driver::IsEnabled(session.FrameButton(kBackButton)), driver::IsEnabled(session.FrameButton(kNextButton)),
          driver::WindowText(session.FrameButton(kCloseButton)), driver::IsShown(session.FrameButton(kFinishMarker))};
}

std::string Describe(const ButtonState& state) {
  return std::string("back ") + (state.backEnabled ? "on" : "off") + ", next " + (state.nextEnabled ? "on" : "off") +
         ", '" + state.closeCaption + "', marker " + (state.markerShown ? "shown" : "hidden");
}

}  // namespace e2e
