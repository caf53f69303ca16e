// The installation dialog driven in-process: a whole run ending in "Finished.", cancels
// answered Yes (rolled back) and No (run goes on), a cancel in a run that asks nobody, the
// keyboard and close routes, a run that may not be cancelled, a log that cannot be created, and an owner that destroys the
// dialog while the run goes on.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <regex>

#include "install_ui/install_hand_over.h"
#include "resources/resource_ids.h"
#include "tests/install_dialog/dialog_test_support.h"

using namespace engine_test;
using namespace dialog_test;

namespace {

constexpr char kAbortQuestion[] = "Are you sure you want to abort the installation process?";

std::vector<PayloadItem> SmallProduct() {
  std::vector<PayloadItem> items(4);
  items[0] = Item("Docs", "\\", "%DIR%\\Docs");
  items[1] = Item("App", "exe", "%DIR%\\App.exe", PatternBytes(3000, 1));
  items[1].startMenu = true;
  items[1].shortcutName = "BET App";
  items[1].runAtFinish = true;
  items[2] = Item("Big", "bin", "%DIR%\\Big.bin", PatternBytes(1024 * 1024 + 3, 2));
  items[3] = Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(500, 3));
  items[3].runAtFinish = true;
  return items;
}

std::vector<RegistryItem> SmallRegistry() {
  return {{"HKEY_CURRENT_USER", kTestRegistryKey, "Name", "REG_SZ", "Value"}};
}

class InstallDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    CleanProductTraces();
    payload = MakePayload(sandbox.Path(), SmallProduct(), SmallRegistry());
    // Already there before the run: the installation replaces it, and a rollback must
    // bring the old content back.
    destination = sandbox / "Product";
    CreateDirectoryA(destination.c_str(), nullptr);
    WriteBytes(destination + "\\Big.bin", PatternBytes(1234, 9));
  }
  void TearDown() override {
    dialog.reset();
    CleanProductTraces();
    CoUninitialize();
  }

  HWND Dialog() const { return dialog ? dialog->GetSafeHwnd() : nullptr; }
  void Open() {
    dialog = OpenDialog(owner.Handle(), payload, destination);
    ASSERT_NE(dialog, nullptr);
  }
  void RunToTheEnd() { ASSERT_TRUE(PumpUntil([&] { return dialog->IsFinished(); }, Dialog())); }
  void CloseAndCollectReport() {
    HWND hwnd = Dialog();
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INSTALL_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INSTALL_CANCEL)));
    ASSERT_TRUE(PumpUntil([&] { return !owner.Reports().empty(); }, hwnd, 10000));
    EXPECT_FALSE(IsWindow(hwnd));
  }

  Sandbox sandbox;
  Payload payload;
  std::string destination;
  ReportingOwner owner;
  std::unique_ptr<CDialogInstall> dialog;
};

TEST_F(InstallDialogTest, CompleteRunShowsFinishedAndReportsSuccessWhenClosed) {
  ScriptedMessages messages;
  Open();
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_CAPTION), kProductName);
  char caption[64] = {};
  GetWindowTextA(Dialog(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Installing...");
  EXPECT_TRUE(IsWindowVisible(Dialog()));
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_CANCEL), "&Cancel");

  RunToTheEnd();
  EXPECT_TRUE(messages.shown().empty()) << messages.texts()[0];
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), "Finished.");
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_CANCEL), "&Close");
  EXPECT_TRUE(std::regex_match(ControlText(Dialog(), IDC_INSTALL_ELAPSED),
                               std::regex("Elapsed Time: 00:00:[0-5][0-9]")))
      << ControlText(Dialog(), IDC_INSTALL_ELAPSED);
  HWND bar = GetDlgItem(Dialog(), IDC_INSTALL_PROGRESS);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
  EXPECT_TRUE(owner.Reports().empty()) << "reported before the dialog was closed";

  CloseAndCollectReport();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{1});
  EXPECT_EQ(ReadBytes(destination + "\\Big.bin"), SmallProduct()[2].content);
  EXPECT_TRUE(PathExists(destination + "\\Uninstall.exe"));
  std::string runList, openList;
  dialog->GetLists(&runList, &openList);
  EXPECT_EQ(runList, "App.exe - " + destination + "\\App.exe\r\n");
  EXPECT_EQ(openList, "Readme.txt - " + destination + "\\Docs\\Readme.txt\r\n");

  dialog.reset();
  EXPECT_EQ(owner.Reports().size(), 1u) << "the report is sent once";
}

// A cancel at a chosen moment of the run: when the status line first shows `when`, the
// user clicks Cancel and answers the abort question with `answer`.
struct CancelCase {
  const char* when;
  int answer;
  bool installed;
};

class CancelTest : public InstallDialogTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, YesRollsBackAndReportsFailureNoLetsTheRunGoOn) {
  const CancelCase& cancel = GetParam();
  ScriptedMessages messages([&](const MessageBoxRequest& request) {
    return request.caption == "Question" ? cancel.answer : IDOK;
  });
  const Snapshot before = TakeSnapshot(sandbox.Path());
  Open();
  bool clicked = false;
  TextHook hook(GetDlgItem(Dialog(), IDC_INSTALL_STATUS), [&](const std::string& text) {
    if (clicked || text.rfind(cancel.when, 0) != 0) return;
    clicked = true;
    ClickCancelButton(Dialog());
  });
  RunToTheEnd();
  ASSERT_TRUE(clicked) << "the run never showed " << cancel.when;
  ASSERT_FALSE(messages.shown().empty());
  EXPECT_EQ(messages.shown()[0].text, kAbortQuestion);
  EXPECT_EQ(messages.shown()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(messages.shown().size(), 1u) << messages.texts().back();
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), cancel.installed ? "Finished." : "Aborted.");

  CloseAndCollectReport();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{cancel.installed ? 1u : 0u});
  if (cancel.installed) {
    EXPECT_EQ(ReadBytes(destination + "\\Big.bin"), SmallProduct()[2].content);
  } else {
    const Snapshot after = TakeSnapshot(sandbox.Path());
    EXPECT_TRUE(before == after) << Describe(before, after);
  }
}

INSTANTIATE_TEST_SUITE_P(Moments, CancelTest,
                         ::testing::Values(CancelCase{"Extracting data...", IDYES, false},
                                           CancelCase{"Checking data...", IDYES, false},
                                           CancelCase{"Writing: App.exe", IDYES, false},
                                           CancelCase{"Writing: Readme.txt", IDYES, false},
                                           // Late, but before the last change: everything goes.
                                           CancelCase{"Writing registry information...", IDYES, false},
                                           CancelCase{"Creating uninstaller shortcut...", IDYES, false},
                                           CancelCase{"Writing: Big.bin", IDNO, true},
                                           CancelCase{"Checking data...", IDNO, true}));

// Every way of asking to close: while the run lasts it is the abort question, after it the
// dialog closes.
enum class Route { kButton, kEscape, kEnter, kCloseMessage };

void AskToClose(HWND dialog, Route route) {
  if (route == Route::kButton) {
    ClickCancelButton(dialog);
  } else if (route == Route::kCloseMessage) {
    SendMessageA(dialog, WM_CLOSE, 0, 0);
  } else {
    // The way the wizard's message loop hands a key to the dialog.
    MSG msg{dialog, WM_KEYDOWN, static_cast<WPARAM>(route == Route::kEscape ? VK_ESCAPE : VK_RETURN), 0, 0, {}};
    EXPECT_TRUE(WalkPreTranslateTree(dialog, &msg)) << "the key was not consumed";
  }
}

class CloseRouteTest : public InstallDialogTest, public ::testing::WithParamInterface<Route> {};

TEST_P(CloseRouteTest, AsksTheAbortQuestionWhileRunningAndClosesAfterwards) {
  ScriptedMessages messages([](const MessageBoxRequest&) { return IDNO; });
  Open();
  bool asked = false;
  TextHook hook(GetDlgItem(Dialog(), IDC_INSTALL_STATUS), [&](const std::string& text) {
    if (asked || text.rfind("Writing: ", 0) != 0) return;
    asked = true;
    AskToClose(Dialog(), GetParam());
  });
  RunToTheEnd();
  ASSERT_TRUE(asked);
  ASSERT_EQ(messages.texts(), std::vector<std::string>{kAbortQuestion});
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), "Finished.");
  EXPECT_TRUE(IsWindow(Dialog()));

  AskToClose(Dialog(), GetParam());
  ASSERT_TRUE(PumpUntil([&] { return !owner.Reports().empty(); }, nullptr, 10000));
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{1});
  EXPECT_EQ(messages.shown().size(), 1u) << "no question once the run is over";
}

INSTANTIATE_TEST_SUITE_P(Routes, CloseRouteTest,
                         ::testing::Values(Route::kButton, Route::kEscape, Route::kEnter, Route::kCloseMessage));

// What a run that asks nobody hears: every note and status, and every question to answer.
class RecordingCompanion : public InstallHost {
 public:
  void ReportError(const std::string& text, const std::string&) override { events.push_back("error: " + text); }
  void Warn(const std::string& text) override { events.push_back("warning: " + text); }
  bool Confirm(const std::string& question) override {
    events.push_back("question: " + question);
    return true;
  }
  void SetStatusText(const std::string& text) override { events.push_back(text); }
  void SetProgressRange(int) override {}
  void SetProgressPosition(int) override {}
  void EnableCancelButton(bool) override {}
  void Note(const std::string& event) override { events.push_back(event); }
  std::vector<std::string> events;
};

// The dialog of a silent run: Cancel cancels without the abort question, the run is
// undone, and the dialog goes by itself.
TEST_F(InstallDialogTest, AnsweringByRuleCancelsWithoutAQuestionAndClosesItself) {
  ScriptedMessages messages;
  const Snapshot before = TakeSnapshot(sandbox.Path());
  dialog = std::make_unique<CDialogInstall>(owner.Handle(), PlanFor(payload, destination));
  ASSERT_TRUE(dialog->IsCreated());
  RecordingCompanion companion;
  dialog->SetCompanion(&companion, true);
  dialog->CloseWhenFinished();
  HWND hwnd = Dialog();
  bool clicked = false;
  TextHook hook(GetDlgItem(hwnd, IDC_INSTALL_STATUS), [&](const std::string& text) {
    if (clicked || text.rfind("Writing: App.exe", 0) != 0) return;
    clicked = true;
    ClickCancelButton(hwnd);
  });
  dialog->StartInstall();
  ASSERT_TRUE(PumpUntil([&] { return !owner.Reports().empty(); }, hwnd, 30000)) << "the dialog stayed open";
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(messages.shown().empty()) << messages.texts()[0];
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{0});
  EXPECT_NE(dialog->Outcome(), InstallOutcome::kInstalled);
  EXPECT_NE(std::find(companion.events.begin(), companion.events.end(), "Writing: App.exe..."), companion.events.end());
  EXPECT_NE(std::find(companion.events.begin(), companion.events.end(),
                      "Cancel pressed: the installation is cancelled without a question"),
            companion.events.end());
  const Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

TEST_F(InstallDialogTest, PastThePointOfNoReturnNothingAsksAndTheRunCompletes) {
  ScriptedMessages messages([](const MessageBoxRequest&) { return IDYES; });
  Open();
  bool reached = false;
  TextHook hook(GetDlgItem(Dialog(), IDC_INSTALL_STATUS), [&](const std::string& text) {
    if (reached || text != "Finalizing installation...") return;
    reached = true;
    for (Route route : {Route::kButton, Route::kEscape, Route::kCloseMessage}) AskToClose(Dialog(), route);
  });
  RunToTheEnd();
  ASSERT_TRUE(reached);
  EXPECT_TRUE(messages.shown().empty()) << messages.texts()[0];
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), "Finished.");
  CloseAndCollectReport();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{1});
  EXPECT_TRUE(PathExists(destination + "\\Uninstall.exe"));
  EXPECT_TRUE(PathExists(destination + "\\Uninstall.log"));
}

TEST_F(InstallDialogTest, DisabledButtonIgnoresEveryRoute) {
  ScriptedMessages messages;
  Open();
  RunToTheEnd();
  EnableWindow(GetDlgItem(Dialog(), IDC_INSTALL_CANCEL), FALSE);
  for (Route route : {Route::kButton, Route::kEscape, Route::kEnter, Route::kCloseMessage}) AskToClose(Dialog(), route);
  PumpUntil([] { return false; }, Dialog(), 50);
  EXPECT_TRUE(IsWindow(Dialog()));
  EXPECT_TRUE(owner.Reports().empty());
  EXPECT_TRUE(messages.shown().empty());
}

bool CloseBoxEnabled(HWND dialog) {
  const UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

// A plan that forbids cancelling (/NOCANCEL): no route stops the run, and once it is over
// the dialog closes as always.
TEST_F(InstallDialogTest, PlanWithoutCancelIgnoresEveryRouteUntilTheRunIsOver) {
  ScriptedMessages messages([](const MessageBoxRequest&) { return IDYES; });
  InstallPlan plan = PlanFor(payload, destination);
  plan.userMayCancel = false;
  dialog = OpenInstallDialog(owner.Handle(), plan);
  ASSERT_NE(dialog, nullptr);
  bool tried = false;
  TextHook hook(GetDlgItem(Dialog(), IDC_INSTALL_STATUS), [&](const std::string& text) {
    if (tried || text.rfind("Writing: ", 0) != 0) return;
    tried = true;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog(), IDC_INSTALL_CANCEL)));
    EXPECT_FALSE(CloseBoxEnabled(Dialog()));
    for (Route route : {Route::kButton, Route::kEscape, Route::kEnter, Route::kCloseMessage}) AskToClose(Dialog(), route);
    SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  RunToTheEnd();
  ASSERT_TRUE(tried);
  EXPECT_TRUE(messages.shown().empty()) << messages.texts()[0];
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), "Finished.");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Dialog(), IDC_INSTALL_CANCEL)));
  EXPECT_TRUE(CloseBoxEnabled(Dialog()));
  CloseAndCollectReport();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{1});
}

TEST_F(InstallDialogTest, UninstallLogThatCannotBeCreatedEndsAbortedAtOnce) {
  // A temporary folder that is not there: the run cannot make its own folder in it, where
  // the log would go. (Something made in advance at a name in the temporary folder no
  // longer stops the log: the run never uses such a name.)
  const std::string temp = TempFolder();
  const std::string missing = temp + "no such folder\\";
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", missing.c_str()) && SetEnvironmentVariableA("TEMP", missing.c_str()));
  ScriptedMessages messages;
  Open();
  RunToTheEnd();
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("TEMP", temp.c_str());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn't create uninstall log file!"});
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_STATUS), "Aborted.");
  EXPECT_EQ(ControlText(Dialog(), IDC_INSTALL_CANCEL), "&Close");
  CloseAndCollectReport();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{0});
  EXPECT_EQ(ReadBytes(destination + "\\Big.bin"), PatternBytes(1234, 9));
}

TEST_F(InstallDialogTest, OwnerDestroyingTheDialogMidRunGetsARolledBackFailure) {
  ScriptedMessages messages;
  const Snapshot before = TakeSnapshot(sandbox.Path());
  Open();
  bool reached = false;
  {
    TextHook hook(GetDlgItem(Dialog(), IDC_INSTALL_STATUS), [&](const std::string& text) {
      if (text.rfind("Writing: Readme.txt", 0) == 0) reached = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return reached; }, Dialog()));
  }
  dialog.reset();
  EXPECT_EQ(owner.Reports(), std::vector<WPARAM>{0});
  const Snapshot after = TakeSnapshot(sandbox.Path());
  EXPECT_TRUE(before == after) << Describe(before, after);
}

TEST(ElapsedTimeTextTest, ShowsHoursMinutesSecondsWithTwoDigits) {
  const struct {
    int hours, minutes, seconds;
    const char* text;
  } cases[] = {
      {0, 0, 0, "Elapsed Time: 00:00:00"},
      {1, 2, 3, "Elapsed Time: 01:02:03"},
      {23, 59, 59, "Elapsed Time: 23:59:59"},
  };
  for (const auto& c : cases) EXPECT_EQ(ElapsedTimeText(c.hours, c.minutes, c.seconds), c.text);
}

}  // namespace
