// The wizard pages against a stand-in frame: what each page asks for, what it does with
// the answers, and how it drives the frame's buttons.

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_messages.h"
#include "resources/resource_ids.h"
#include "setup/destination_page.h"
#include "setup/finish_page.h"
#include "setup/information_page.h"
#include "setup/license_page.h"
#include "setup/summary_page.h"
#include "setup/welcome_page.h"

namespace {

// Answers the pages' requests from its fields and records every button message.
class CFakeFrame : public CDialog {
 public:
  CFakeFrame() : CDialog(IDD_SETUP) {}

  std::string productName = "Tool";
  std::string information = "Info text\r\n";
  std::string license = "Licence text\r\n";
  bool hasLicense = true;
  bool anyStartMenu = true;
  bool anyDesktop = true;
  std::string fileList = "Tool.exe - %DIR%\\Tool.exe\r\nUninstall.exe - %DIR%\\Uninstall.exe\r\n";
  std::string startMenuList = "Tool.exe - %DIR%\\Tool.exe\r\n";
  std::string destination = "C:\\Apps\\Tool";
  std::string links[3][2] = {{"Home", "http://example.org/"}, {"", "http://hidden.example.org/"}, {"Mail", "mailto:a@b"}};

  // What the pages told the frame.
  std::vector<std::string> buttons;
  std::string reportedFolder;
  WPARAM startMenuChoice = 9, desktopChoice = 9, allUsersChoice = 9;

  BEGIN_MSG_MAP(CFakeFrame)
    HANDLE_MESSAGE(WM_APP_GET_PRODUCT_NAME, OnProductName)
    HANDLE_MESSAGE(WM_APP_GET_INFORMATION, OnInformation)
    HANDLE_MESSAGE(WM_APP_GET_LICENSE, OnLicense)
    HANDLE_MESSAGE(WM_APP_GET_SHORTCUT_FLAGS, OnShortcutFlags)
    HANDLE_MESSAGE(WM_APP_GET_HAS_SUMMARY_PAGE, OnHasSummaryPage)
    HANDLE_MESSAGE(WM_APP_GET_FILE_LIST, OnFileList)
    HANDLE_MESSAGE(WM_APP_GET_SHORTCUT_LISTS, OnShortcutLists)
    HANDLE_MESSAGE(WM_APP_GET_DESTINATION, OnGetDestination)
    HANDLE_MESSAGE(WM_APP_DESTINATION, OnDestination)
    HANDLE_MESSAGE(WM_APP_SHORTCUT_CHOICES, OnShortcutChoices)
    HANDLE_MESSAGE(WM_APP_ALL_USERS, OnAllUsers)
    HANDLE_MESSAGE(WM_APP_GET_LINK1, OnLink1)
    HANDLE_MESSAGE(WM_APP_GET_LINK2, OnLink2)
    HANDLE_MESSAGE(WM_APP_GET_LINK3, OnLink3)
    HANDLE_MESSAGE(WM_APP_DISABLE_BACK, OnDisableBack)
    HANDLE_MESSAGE(WM_APP_ENABLE_BACK, OnEnableBack)
    HANDLE_MESSAGE(WM_APP_DISABLE_NEXT, OnDisableNext)
    HANDLE_MESSAGE(WM_APP_ENABLE_NEXT, OnEnableNext)
    HANDLE_MESSAGE(WM_APP_SET_CLOSE_BUTTON, OnCloseButton)
    CHAIN_MSG_MAP(CDialog)
  END_MSG_MAP()

 private:
  static CWindow Requester(WPARAM wParam) { return CWindow(reinterpret_cast<HWND>(wParam)); }
  LRESULT OnProductName(WPARAM w, LPARAM) { return Requester(w).SendText(WM_APP_PRODUCT_NAME, productName), 0; }
  LRESULT OnInformation(WPARAM w, LPARAM) { return Requester(w).SendText(WM_APP_INFORMATION, information), 0; }
  LRESULT OnLicense(WPARAM w, LPARAM) { return Requester(w).SendText(WM_APP_LICENSE, license), 0; }
  LRESULT OnShortcutFlags(WPARAM w, LPARAM) {
    return Requester(w).SendMessage(WM_APP_SHORTCUT_FLAGS, anyStartMenu, anyDesktop), 0;
  }
  LRESULT OnHasSummaryPage(WPARAM w, LPARAM) { return Requester(w).SendMessage(WM_APP_HAS_SUMMARY_PAGE, hasLicense), 0; }
  LRESULT OnFileList(WPARAM w, LPARAM) { return Requester(w).SendText(WM_APP_FILE_LIST, fileList), 0; }
  LRESULT OnShortcutLists(WPARAM w, LPARAM) {
    return Requester(w).SendTexts(WM_APP_SHORTCUT_LISTS, startMenuList, ""), 0;
  }
  LRESULT OnGetDestination(WPARAM w, LPARAM) { return Requester(w).SendText(WM_APP_DESTINATION, destination), 0; }
  LRESULT OnDestination(WPARAM w, LPARAM) { return reportedFolder = TextParam(w), 0; }
  LRESULT OnShortcutChoices(WPARAM w, LPARAM l) {
    startMenuChoice = w;
    desktopChoice = static_cast<WPARAM>(l);
    return 0;
  }
  LRESULT OnAllUsers(WPARAM w, LPARAM) { return allUsersChoice = w, 0; }
  LRESULT OnLink1(WPARAM w, LPARAM) { return Requester(w).SendTexts(WM_APP_LINK1, links[0][0], links[0][1]), 0; }
  LRESULT OnLink2(WPARAM w, LPARAM) { return Requester(w).SendTexts(WM_APP_LINK2, links[1][0], links[1][1]), 0; }
  LRESULT OnLink3(WPARAM w, LPARAM) { return Requester(w).SendTexts(WM_APP_LINK3, links[2][0], links[2][1]), 0; }
  LRESULT OnDisableBack(WPARAM, LPARAM) { return buttons.push_back("back off"), 0; }
  LRESULT OnEnableBack(WPARAM, LPARAM) { return buttons.push_back("back on"), 0; }
  LRESULT OnDisableNext(WPARAM, LPARAM) { return buttons.push_back("next off"), 0; }
  LRESULT OnEnableNext(WPARAM, LPARAM) { return buttons.push_back("next on"), 0; }
  LRESULT OnCloseButton(WPARAM w, LPARAM l) {
    return buttons.push_back(TextParam(w) + (l ? " >>" : "")), 0;
  }
};

class Pages : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(frame_.Create()); }
  template <typename Page>
  void CreatePage(Page& page) {
    ASSERT_TRUE(page.Create(frame_.m_hWnd));
    frame_.buttons.clear();
  }
  std::string Text(const CDialog& page, int id) const { return page.GetDlgItem(id).GetWindowText(); }
  bool Visible(const CDialog& page, int id) const {
    return (page.GetDlgItem(id).GetStyle() & WS_VISIBLE) != 0;
  }

  CFakeFrame frame_;
};

using Buttons = std::vector<std::string>;

TEST_F(Pages, WelcomeNamesTheProduct) {
  for (const char* name : {"Tool", ""}) {
    frame_.productName = name;
    CDialogPage1 page(frame_.m_hWnd);
    CreatePage(page);
    EXPECT_EQ(Text(page, IDC_WELCOME_INSTALL), std::string("   This program will install \"") + name + "\" on your computer.");
    EXPECT_EQ(Text(page, IDC_WELCOME_CLICK), std::string("   Click \"Next\" to install \"") + name + "\".");
    page.Activate();
    EXPECT_EQ(frame_.buttons, (Buttons{"back off", "next on", "&Cancel"}));
  }
}

TEST_F(Pages, InformationShowsTextAndHidesLinksWithoutCaption) {
  CDialogPage2 page(frame_.m_hWnd);
  CreatePage(page);
  EXPECT_EQ(Text(page, IDC_PAGE_TEXT), "Info text\r\n");
  EXPECT_TRUE(Visible(page, IDC_INFO_LINK1));
  EXPECT_EQ(Text(page, IDC_INFO_LINK1), "Home");
  EXPECT_FALSE(Visible(page, IDC_INFO_LINK2));
  EXPECT_EQ(Text(page, IDC_INFO_LINK3), "Mail");
  page.Activate();
  EXPECT_EQ(frame_.buttons, (Buttons{"back on", "next on", "&Cancel"}));
}

TEST_F(Pages, LicenceMustBeAcceptedBeforeNext) {
  CDialogPage3 page(frame_.m_hWnd);
  CreatePage(page);
  EXPECT_EQ(Text(page, IDC_PAGE_TEXT), "Licence text\r\n");
  page.Activate();
  EXPECT_EQ(frame_.buttons, (Buttons{"back on", "&Cancel", "next off"}));

  frame_.buttons.clear();
  page.Accept();
  EXPECT_EQ(page.GetDlgItem(IDC_LICENSE_ACCEPT).GetCheck(), BST_CHECKED);
  EXPECT_EQ(page.GetDlgItem(IDC_LICENSE_DECLINE).GetCheck(), BST_UNCHECKED);
  page.Activate();  // coming back keeps the choice
  EXPECT_EQ(frame_.buttons, (Buttons{"next on", "back on", "&Cancel", "next on"}));

  frame_.buttons.clear();
  HWND decline = page.GetDlgItem(IDC_LICENSE_DECLINE);
  ::SendMessageA(decline, BM_CLICK, 0, 0);
  EXPECT_EQ(frame_.buttons, (Buttons{"next off"}));
}

TEST_F(Pages, DestinationDefaultsToTheProgramFilesFolderWindowsGivesThisProgram) {
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  // On 64-bit Windows a 32-bit program gets "Program Files (x86)".
  char programFiles[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)));
  EXPECT_EQ(Text(page, IDC_PAGE_TEXT), std::string(programFiles) + "\\Tool");
  EXPECT_EQ(page.GetDlgItem(IDC_START_MENU).GetCheck(), BST_CHECKED);
  EXPECT_EQ(page.GetDlgItem(IDC_CURRENT_USER).GetCheck(), BST_CHECKED);
}

TEST_F(Pages, DestinationEnablesNextForThreeCharactersWhenASummaryFollows) {
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  page.Activate();
  EXPECT_EQ(frame_.buttons, (Buttons{"back on", "next on", "&Cancel", "next on"}));
  CWindow folder = page.GetDlgItem(IDC_PAGE_TEXT);
  struct Case {
    const char* text;
    const char* button;
  } cases[] = {{"C:", "next off"}, {"C:\\", "next on"}, {"", "next off"}};
  for (const Case& c : cases) {
    frame_.buttons.clear();
    folder.SetWindowText(c.text);
    EXPECT_EQ(frame_.buttons, Buttons{c.button}) << c.text;
  }
}

TEST_F(Pages, DestinationIsTheLastPageWithoutLicence) {
  frame_.hasLicense = false;
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  page.Activate();
  // Setting the folder text re-runs the change rule, which keeps Next off.
  EXPECT_EQ(frame_.buttons, (Buttons{"back on", "next off", "&Finish >>", "next off"}));
}

TEST_F(Pages, DestinationReportsItsFolderWithoutTrailingBackslash) {
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  struct Case {
    const char* typed;
    const char* reported;
  } cases[] = {{"C:\\Program Files\\App\\", "C:\\Program Files\\App"}, {"C:\\", "C:\\"}, {"D:\\x", "D:\\x"}};
  for (const Case& c : cases) {
    page.GetDlgItem(IDC_PAGE_TEXT).SetWindowText(c.typed);
    page.SendMessage(WM_APP_GET_DESTINATION, reinterpret_cast<WPARAM>(frame_.m_hWnd));
    EXPECT_EQ(frame_.reportedFolder, c.reported);
  }
}

TEST_F(Pages, DestinationChoicesFollowKeyboardActions) {
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  page.ToggleStartMenu();
  page.SelectAllUsers();
  page.SendMessage(WM_APP_GET_SHORTCUT_CHOICES, reinterpret_cast<WPARAM>(frame_.m_hWnd));
  page.SendMessage(WM_APP_GET_ALL_USERS, reinterpret_cast<WPARAM>(frame_.m_hWnd));
  EXPECT_EQ(frame_.startMenuChoice, 0u);
  EXPECT_EQ(frame_.desktopChoice, 1u);
  EXPECT_EQ(frame_.allUsersChoice, 1u);
  page.SelectCurrentUser();
  page.SendMessage(WM_APP_GET_ALL_USERS, reinterpret_cast<WPARAM>(frame_.m_hWnd));
  EXPECT_EQ(frame_.allUsersChoice, 0u);
}

TEST_F(Pages, DestinationWithoutShortcutsOffersNoChoices) {
  frame_.anyStartMenu = false;
  frame_.anyDesktop = false;
  CDialogPage4 page(frame_.m_hWnd);
  CreatePage(page);
  for (int id : {IDC_START_MENU, IDC_DESKTOP, IDC_ALL_USERS, IDC_CURRENT_USER}) EXPECT_FALSE(Visible(page, id)) << id;
  page.ToggleStartMenu();
  page.ToggleDesktop();
  page.SelectAllUsers();
  page.SendMessage(WM_APP_GET_SHORTCUT_CHOICES, reinterpret_cast<WPARAM>(frame_.m_hWnd));
  page.SendMessage(WM_APP_GET_ALL_USERS, reinterpret_cast<WPARAM>(frame_.m_hWnd));
  EXPECT_EQ(frame_.startMenuChoice, 0u);
  EXPECT_EQ(frame_.desktopChoice, 0u);
  EXPECT_EQ(frame_.allUsersChoice, 0u);
}

TEST_F(Pages, SummaryShowsTheCurrentChoicesEachTime) {
  CDialogPage5 page(frame_.m_hWnd);
  CreatePage(page);
  page.Activate();
  EXPECT_EQ(frame_.buttons, (Buttons{"next off", "&Finish >>"}));
  std::string text = Text(page, IDC_PAGE_TEXT);
  EXPECT_EQ(text.find("Destination folder:\r\n\r\nC:\\Apps\\Tool\r\n"), 0u) << text;
  EXPECT_NE(text.find("Tool.exe - C:\\Apps\\Tool\\Tool.exe\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Start Menu shortcuts:"), std::string::npos) << text;

  frame_.destination = "D:\\";
  frame_.startMenuList.clear();
  page.Activate();
  text = Text(page, IDC_PAGE_TEXT);
  EXPECT_NE(text.find("Uninstall.exe - D:\\Uninstall.exe\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Start Menu shortcuts:"), std::string::npos) << text;
}

TEST_F(Pages, FinishPageAfterAnAbortOffersNothing) {
  CDialogPage6 page(frame_.m_hWnd);
  CreatePage(page);
  page.SetLink1("Home", "http://example.org/");
  page.SetLink2("", "http://hidden.example.org/");
  page.SetRunList("Tool.exe - C:\\Apps\\Tool\\Tool.exe\r\n");
  page.SetOpenList("");
  EXPECT_FALSE(Visible(page, IDC_FINISH_LINK2));
  EXPECT_FALSE(Visible(page, IDC_OPEN_BOX));
  EXPECT_EQ(page.GetChoices(), std::make_pair(true, false));
  page.ToggleOpen();  // no open list: nothing to toggle
  EXPECT_EQ(page.GetChoices(), std::make_pair(true, false));
  page.ToggleRun();
  EXPECT_EQ(page.GetChoices(), std::make_pair(false, false));
  page.ToggleRun();

  page.ShowResult(false);
  EXPECT_EQ(Text(page, IDC_RESULT_TEXT),
            "   Setup aborted!\n\n\n   Unfortunately, the installation has been aborted. You can try installing later...");
  EXPECT_FALSE(Visible(page, IDC_RUN_BOX));
  EXPECT_FALSE(Visible(page, IDC_FINISH_LINK1));
  EXPECT_EQ(page.GetChoices(), std::make_pair(false, false));
  page.ToggleRun();
  EXPECT_EQ(page.GetChoices(), std::make_pair(false, false));
}

}  // namespace
