// The window layer under real windows: message maps, control binding, subclassing,
// reflected notifications, modal and modeless dialogs and the pre-translation walk.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/app.h"
#include "window/dialog.h"
#include "window/placement.h"
#include "window/subclassed_window.h"

namespace {

constexpr UINT kTemplate = 300;
constexpr int kStaticId = 301;
constexpr int kEditId = 302;
constexpr int kButtonId = 303;
constexpr UINT kAsk = WM_APP + 100;

std::vector<std::string> g_events;

class CTestStatic : public CStatic {
 public:
  bool handleSeenBeforeSubclass = false;
  bool procedureStillOriginal = false;
  HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
  ~CTestStatic() override { ::DeleteObject(brush); }

  BEGIN_MSG_MAP(CTestStatic)
    HANDLE_REFLECTED_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColor)
    HANDLE_REFLECTED_COMMAND_CODE(STN_CLICKED, OnClicked)
    HANDLE_MESSAGE(kAsk, OnAsk)
  END_MSG_MAP()

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN) g_events.push_back("static pre-translate");
    return FALSE;
  }

 protected:
  void PreSubclassWindow() override {
    handleSeenBeforeSubclass = m_hWnd != nullptr && GetWindowText() == "Static text";
    procedureStillOriginal = FromHandle(m_hWnd) == this &&
                             static_cast<ULONG_PTR>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) ==
                                 static_cast<ULONG_PTR>(::GetClassLongPtrA(m_hWnd, GCLP_WNDPROC));
  }

 private:
  LRESULT OnCtlColor(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(brush); }
  void OnClicked() { g_events.push_back("static clicked"); }
  LRESULT OnAsk(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 3; }
};

class CTestDialog : public CDialog {
 public:
  explicit CTestDialog(HWND parent = nullptr) : CDialog(kTemplate, parent) {}

  CWindow edit;
  CTestStatic label;
  INT_PTR endDuringInit = 0;
  bool postKeyToStatic = false;
  bool shown = false;

  BEGIN_MSG_MAP(CTestDialog)
    HANDLE_MESSAGE(kAsk, OnAsk)
    HANDLE_MESSAGE_OR_PASS(WM_SHOWWINDOW, OnShowWindow)
    HANDLE_COMMAND_ID(kButtonId, OnButton)
    HANDLE_COMMAND(kEditId, EN_CHANGE, OnEditChanged)
    HANDLE_COMMAND_ID(kStaticId, OnStaticCommand)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN && msg->wParam == 'Q') {
      g_events.push_back("dialog pre-translate");
      EndDialog(42);
      return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
  }

 protected:
  void DoDataExchange() override {
    BindControl(edit, kEditId);
    SubclassControl(label, kStaticId);
  }
  BOOL OnInitDialog() override {
    g_events.push_back("init");
    if (endDuringInit) EndDialog(endDuringInit);
    if (postKeyToStatic) ::PostMessageA(label.m_hWnd, WM_KEYDOWN, 'Q', 0);
    return TRUE;
  }

 private:
  LRESULT OnAsk(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
  LRESULT OnShowWindow(WPARAM wParam, LPARAM, bool& handled) {
    if (wParam) shown = true;
    handled = false;
    return 0;
  }
  void OnButton() { g_events.push_back("button"); }
  void OnEditChanged() { g_events.push_back("edit changed"); }
  void OnStaticCommand() { g_events.push_back("dialog saw static command"); }
};

class WindowLayer : public ::testing::Test {
 protected:
  void SetUp() override { g_events.clear(); }
};

TEST_F(WindowLayer, ModelessDialogDispatchesItsMap) {
  CTestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(CMessageWindow::FromHandle(dialog.m_hWnd), &dialog);
  EXPECT_EQ(g_events, std::vector<std::string>{"init"});
  // A result that travels back through DWLP_MSGRESULT.
  EXPECT_EQ(dialog.SendMessage(kAsk, 40, 2), 42);

  HWND button = dialog.GetDlgItem(kButtonId);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  dialog.edit.SetWindowText("typed");  // the edit itself sends EN_CHANGE
  // A notification the map lists for another code does not fire.
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_SETFOCUS), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(g_events, (std::vector<std::string>{"init", "button", "edit changed"}));
  EXPECT_EQ(dialog.edit.GetWindowText(), "typed");
}

TEST_F(WindowLayer, SubclassedStaticGetsItsMessagesAndReflectedNotifications) {
  CTestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  CTestStatic& label = dialog.label;
  EXPECT_TRUE(label.handleSeenBeforeSubclass);
  EXPECT_TRUE(label.procedureStillOriginal);
  EXPECT_EQ(label.SendMessage(kAsk, 5), 15);
  // What the map does not handle goes to the static's own procedure.
  label.SetWindowText("changed");
  EXPECT_EQ(label.GetWindowText(), "changed");

  HDC dc = ::GetDC(label.m_hWnd);
  LRESULT brush = dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(label.m_hWnd));
  ::ReleaseDC(label.m_hWnd, dc);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), label.brush);

  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kStaticId, STN_CLICKED), reinterpret_cast<LPARAM>(label.m_hWnd));
  EXPECT_EQ(g_events, (std::vector<std::string>{"init", "static clicked"}));
}

TEST_F(WindowLayer, ObjectsLetGoOfDestroyedWindows) {
  CTestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HWND hwnd = dialog.m_hWnd;
  HWND label = dialog.label.m_hWnd;
  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_EQ(dialog.label.m_hWnd, nullptr);
  EXPECT_EQ(CMessageWindow::FromHandle(hwnd), nullptr);
  EXPECT_EQ(CMessageWindow::FromHandle(label), nullptr);
}

TEST_F(WindowLayer, DialogEndedDuringInitialisationIsNeverShown) {
  CTestDialog dialog;
  dialog.endDuringInit = 7;
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_FALSE(dialog.shown);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(WindowLayer, ModalLoopOffersMessagesInnermostWindowFirst) {
  CTestDialog dialog;
  dialog.postKeyToStatic = true;
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_TRUE(dialog.shown);
  EXPECT_EQ(g_events, (std::vector<std::string>{"init", "static pre-translate", "dialog pre-translate"}));
}

TEST_F(WindowLayer, OkEndsAModalDialogButNotAModelessOne) {
  CTestDialog modeless;
  ASSERT_TRUE(modeless.Create());
  modeless.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(modeless.IsWindow());

  CTestDialog modal;
  struct Poster {
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      HWND dialog = ::FindWindowA(nullptr, "Window layer test");
      ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  };
  ::SetTimer(nullptr, 0, 10, &Poster::Fire);
  modeless.DestroyWindow();
  EXPECT_EQ(modal.DoModal(), IDOK);
}

TEST(LoadStringText, ReadsEntriesAndGivesEmptyForMissingOnes) {
  EXPECT_EQ(LoadStringText(400), "Hello from the string table");
  EXPECT_EQ(LoadStringText(401), "");
}

TEST(CentredInWorkArea, CentresAndKeepsTheTopLeftCornerInside) {
  struct Case {
    const char* what;
    RECT window, area, expected;
  } cases[] = {
      {"at the corner", {0, 0, 400, 300}, {0, 0, 1024, 738}, {312, 219, 712, 519}},
      {"task bar on the left and top", {50, 60, 450, 360}, {100, 30, 1124, 768}, {412, 249, 812, 549}},
      {"second monitor", {0, 0, 400, 300}, {1024, 0, 2304, 1024}, {1464, 362, 1864, 662}},
      {"wider and taller than the area", {10, 10, 1200, 900}, {0, 40, 1024, 768}, {0, 40, 1190, 930}},
  };
  for (const Case& c : cases) {
    const RECT r = CentredInWorkArea(c.window, c.area);
    EXPECT_EQ(r.left, c.expected.left) << c.what;
    EXPECT_EQ(r.top, c.expected.top) << c.what;
    EXPECT_EQ(r.right, c.expected.right) << c.what;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.what;
  }
}

TEST(WindowWrapper, NullHandleIsHarmless) {
  CWindow none;
  EXPECT_EQ(none.GetWindowText(), "");
  none.SetWindowText("x");
  none.ShowWindow(SW_SHOW);
  EXPECT_FALSE(none.IsWindow());
  EXPECT_EQ(none.SendMessage(WM_USER), 0);
}

}  // namespace
