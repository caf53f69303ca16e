// The driver proven against the stand-in program: every operation the end-to-end tests
// rely on, on the same kinds of windows the wizard shows.

#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/driver/stand_in/stand_in_ids.h"

namespace {

using namespace driver;

constexpr char kCaption[] = "Driver Stand-in";
constexpr DWORD kCancelExitCode = 3;

std::string StandInPath() { return WindowsPathFromHost(BRISKLAY_STAND_IN_EXE); }

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override { ReleaseModifiers(); }

  // Starts the stand-in and waits for its dialog; the test stops here if it never shows.
  void Launch(const std::string& argument = "") {
    ASSERT_TRUE(process_.Start(StandInPath(), QuotedCommandLine(StandInPath(), argument))) << process_.Error();
    dialog_ = WaitForTopLevelWindow(process_.Id(), {kCaption, "#32770", true});
    ASSERT_NE(dialog_, nullptr) << "the stand-in's dialog never appeared";
  }

  HWND Control(int id) { return FindById(dialog_, id); }

  bool WaitForText(int id, const std::string& text) {
    return WaitUntil([&] { return WindowText(Control(id)) == text; });
  }

  ChildProcess process_;
  HWND dialog_ = nullptr;
};

TEST_F(StandIn, QuitReturnsTheExitCodeGivenOnTheCommandLine) {
  struct Case {
    std::string argument;
    DWORD exitCode;
  };
  for (const Case& c : {Case{"", 0}, Case{"7", 7}, Case{"250", 250}}) {
    SCOPED_TRACE("argument '" + c.argument + "'");
    Launch(c.argument);
    ASSERT_TRUE(Click(Control(ID_QUIT)));
    EXPECT_EQ(process_.WaitForExit(), c.exitCode);
  }
}

TEST_F(StandIn, StartingAMissingProgramFailsWithAReason) {
  EXPECT_FALSE(process_.Start("C:\\no\\such\\program.exe", "\"C:\\no\\such\\program.exe\""));
  EXPECT_NE(process_.Error().find("no\\such"), std::string::npos) << process_.Error();
  EXPECT_FALSE(process_.IsRunning());
  EXPECT_EQ(process_.WaitForExit(Millis(10)), std::nullopt);
}

TEST_F(StandIn, KillEndsTheProgramAndLeavesNoWindow) {
  Launch();
  const DWORD id = process_.Id();
  process_.Kill();
  EXPECT_FALSE(process_.IsRunning());
  EXPECT_TRUE(WaitUntil([&] { return TopLevelWindows(id, {kCaption, "", false}).empty(); }));
}

TEST_F(StandIn, DestructorKillsAProgramStillRunning) {
  HANDLE watcher = nullptr;
  {
    ChildProcess scoped;
    ASSERT_TRUE(scoped.Start(StandInPath(), QuotedCommandLine(StandInPath(), "")));
    ASSERT_NE(WaitForTopLevelWindow(scoped.Id(), {kCaption, "", true}), nullptr);
    watcher = OpenProcess(SYNCHRONIZE, FALSE, scoped.Id());
    ASSERT_NE(watcher, nullptr);
  }
  EXPECT_EQ(WaitForSingleObject(watcher, 5000), WAIT_OBJECT_0);
  CloseHandle(watcher);
}

TEST_F(StandIn, StartUpErrorBoxIsReadAndDismissedBeforeAnyWindow) {
  ASSERT_TRUE(process_.Start(StandInPath(), QuotedCommandLine(StandInPath(), "fail")));
  HWND box = WaitForMessageBox(process_.Id(), "Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Couldn't start: stand-in told to fail!");
  EXPECT_TRUE(TopLevelWindows(process_.Id(), {kCaption, "", false}).empty());
  ASSERT_TRUE(PressMessageBoxButton(box, IDOK));
  EXPECT_EQ(process_.WaitForExit(), 1u);
}

TEST_F(StandIn, ClickThatOpensAModalBoxReturnsAndTheBoxIsAnswered) {
  struct Case {
    const char* name;
    bool byCaption;
    std::string caption;
    int id;
    std::string answer;
  };
  Launch();
  for (const Case& c : {Case{"caption with mnemonic", true, "&Yes", 0, "Yes"},
                        Case{"caption without mnemonic", true, "No", 0, "No"},
                        Case{"id", false, "", IDYES, "Yes"}, Case{"id", false, "", IDNO, "No"}}) {
    SCOPED_TRACE(c.name);
    SetDlgItemTextA(dialog_, ID_ANSWER, "");
    ASSERT_TRUE(Click(Control(ID_ASK)));
    HWND box = WaitForMessageBox(process_.Id(), "Question");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Proceed with the test?");
    EXPECT_FALSE(IsMessageBox(dialog_));
    ASSERT_TRUE(c.byCaption ? PressMessageBoxButton(box, c.caption) : PressMessageBoxButton(box, c.id));
    EXPECT_TRUE(WaitForText(ID_ANSWER, c.answer));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }
}

TEST_F(StandIn, PressingAButtonThatIsNotThereFails) {
  Launch();
  ASSERT_TRUE(Click(Control(ID_ASK)));
  HWND box = WaitForMessageBox(process_.Id(), "Question");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(PressMessageBoxButton(box, "Retry"));
  EXPECT_FALSE(PressMessageBoxButton(box, IDCANCEL));
  EXPECT_TRUE(PressMessageBoxButton(box, IDYES));
}

TEST_F(StandIn, HiddenAndDisabledButtonsCannotBeClicked) {
  Launch();
  HWND hidden = FindById(dialog_, ID_HIDDEN, false);
  HWND disabled = Control(ID_DISABLED);
  ASSERT_NE(hidden, nullptr);
  ASSERT_NE(disabled, nullptr);
  EXPECT_FALSE(IsShown(hidden));
  EXPECT_FALSE(IsEnabled(disabled));
  EXPECT_FALSE(Click(hidden));
  EXPECT_FALSE(Click(disabled));
  Pause(Millis(200));
  EXPECT_EQ(WindowText(Control(ID_ANSWER)), "");
}

TEST_F(StandIn, EditTextIsSetAndTypedWithOneChangePerEdit) {
  Launch();
  HWND edit = Control(ID_EDIT);
  ASSERT_TRUE(SetEditText(edit, "C:\\Program Files\\App"));
  EXPECT_EQ(WindowText(edit), "C:\\Program Files\\App");
  EXPECT_TRUE(WaitForText(ID_CHANGE_COUNT, "changes: 1"));

  ASSERT_TRUE(SetEditText(edit, ""));
  ASSERT_TRUE(TypeText(edit, "abc\b"));
  EXPECT_TRUE(WaitForText(ID_CHANGE_COUNT, "changes: 6"));
  EXPECT_EQ(WindowText(edit), "ab");
}

TEST_F(StandIn, CheckBoxFollowsClicksAndItsAltMnemonic) {
  Launch();
  HWND box = Control(ID_TOGGLE);
  EXPECT_FALSE(IsChecked(box));
  ASSERT_TRUE(Click(box));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(box); }));
  ASSERT_TRUE(PressAltKey(dialog_, 'T'));
  EXPECT_TRUE(WaitUntil([&] { return !IsChecked(box); }));
}

TEST_F(StandIn, AltKeyActsOncePerPressOfAlt) {
  Launch();
  HWND box = Control(ID_TOGGLE);
  ASSERT_TRUE(PressAltKeys(dialog_, {'K', 'K'}));
  // Alt+T is handled after both K strokes, so once it shows they have all been seen.
  ASSERT_TRUE(PressAltKey(dialog_, 'T'));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(box); }));
  EXPECT_EQ(WindowText(Control(ID_ALT_K_COUNT)), "alt-k: 1");

  ASSERT_TRUE(PressAltKey(dialog_, 'K'));
  ASSERT_TRUE(PressAltKey(dialog_, 'T'));
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(box); }));
  EXPECT_EQ(WindowText(Control(ID_ALT_K_COUNT)), "alt-k: 2");
}

TEST_F(StandIn, EscapeAltF4AndTheCloseBoxCancel) {
  struct Case {
    const char* name;
    bool (*close)(HWND);
  };
  const Case cases[] = {
      {"Escape", [](HWND w) { return PressKey(w, VK_ESCAPE); }},
      {"Alt+F4", [](HWND w) { return PressAltKey(w, VK_F4); }},
      {"close box", [](HWND w) { return CloseBySystemCommand(w); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Launch();
    ASSERT_TRUE(c.close(dialog_));
    EXPECT_EQ(process_.WaitForExit(), kCancelExitCode);
  }
}

TEST_F(StandIn, ControlsAreFoundByIdTextAndClassThroughNestedDialogs) {
  Launch();
  HWND nested = FindById(dialog_, ID_NESTED_EDIT);
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(ControlId(GetParent(nested)), ID_CHILD_PAGE);
  EXPECT_EQ(ClassName(nested), "Edit");

  EXPECT_EQ(FindByText(dialog_, "&Quit"), Control(ID_QUIT));
  EXPECT_EQ(FindByText(dialog_, "Quit"), nullptr);
  EXPECT_EQ(FindByText(dialog_, "Hidden"), nullptr);
  EXPECT_NE(FindByText(dialog_, "Hidden", false), nullptr);
  EXPECT_EQ(FindControls(dialog_, {kAnyId, "", "Edit", true}).size(), 2u);
  EXPECT_EQ(FindById(dialog_, 4242), nullptr);
}

TEST(HostPath, HostPathsBecomeDriveZPaths) {
  struct Case {
    std::string host, windows;
  };
  for (const Case& c : {Case{"/work/build/setup.exe", "Z:\\work\\build\\setup.exe"}, Case{"/", "Z:\\"},
                        Case{"C:\\Program Files\\App", "C:\\Program Files\\App"}, Case{"", ""},
                        Case{"relative/path", "relative/path"}}) {
    EXPECT_EQ(WindowsPathFromHost(c.host), c.windows) << c.host;
  }
}

TEST(Mnemonics, MarkersAreDroppedAndDoubledAmpersandsKept) {
  EXPECT_EQ(WithoutMnemonics("&Next >"), "Next >");
  EXPECT_EQ(WithoutMnemonics("< &Back"), "< Back");
  EXPECT_EQ(WithoutMnemonics("Save && &Quit"), "Save & Quit");
  EXPECT_EQ(WithoutMnemonics("trailing&"), "trailing&");
}

}  // namespace
