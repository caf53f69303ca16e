#include "setup/setupdlg.h"

#include "common/message_box.h"
#include "common/run_log.h"
#include "setup/about_dlg.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "setup/setup_log.h"
#include "setup/unattended_host.h"
#include "setup/destination_page.h"
#include "setup/finish_page.h"
#include "setup/information_page.h"
#include "setup/license_page.h"
#include "setup/page_sequence.h"
#include "setup/preinstall_questions.h"
#include "setup/summary_page.h"
#include "setup/version_check.h"
#include "setup/welcome_page.h"
#include "shell/private_folder.h"
#include "window/app.h"
#include "window/placement.h"

namespace {

const char kFinishCaption[] = "&Finish";
const char kCloseCaption[] = "&Close";

// The pages sit below the caption band: 37 dialog units down, 60 pixels with the
// template's font.
constexpr int kPageTopDialogUnits = 37;

HWND HandleParam(WPARAM wParam) { return reinterpret_cast<HWND>(wParam); }

}  // namespace

CSetupDlg::CSetupDlg(HWND parent, const SetupOptions* options, RunLog* log)
    : CDialog(IDD_SETUP, parent),
      m_hIcon(::LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      options_(options),
      log_(log),
      exitCode_(kSetupCancelled) {
  if (log_) log_host_ = std::make_unique<UnattendedHost>(log_);
  ClearSummaryRecord(&description_.Summary);
}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::DoDataExchange() {
  BindControl(close_button_, IDC_CLOSE_BUTTON);
  BindControl(next_button_, IDC_NEXT);
  BindControl(back_button_, IDC_BACK);
  BindControl(finish_marker_, IDC_FINISH_MARKER);
  SubclassControl(caption_band_, IDC_CAPTION_BAND);
}

BOOL CSetupDlg::OnInitDialog() {
  AddAboutToSystemMenu();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  finish_marker_.ShowWindow(SW_HIDE);

  TempPath = UserTempFolder();

  if (!ReadDescription()) {
    FailStartup();
    return FALSE;
  }
  const std::string busy = ClaimProduct(&product_lock_, ProductName());
  if (!busy.empty()) {
    ShowMessageBox(m_hWnd, busy, "Error", MB_OK | MB_ICONERROR);
    FailStartup(kSetupAnotherRunning);
    return FALSE;
  }
  if (!CheckSystem()) {
    FailStartup();
    return FALSE;
  }
  installed_ = FindInstalledProduct(ProductName());
  if (!ConfirmOverInstalledVersion()) {
    FailStartup(kExitDowngradeDeclined);
    return FALSE;
  }
  SetTitleAndCaption();
  SendMessage(DM_SETDEFID, IDC_NEXT);
  CreatePages();
  if (options_ && page4_) page4_->PresetChoices(options_->destination, options_->allUsers, options_->shortcuts);
  // An installed product's folder wins over one the command line names.
  KeepInstalledFolder();
  CentreOnWorkArea(m_hWnd);
  FocusSensibleControl();
  return FALSE;
}

void CSetupDlg::AddAboutToSystemMenu() {
  HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
  if (!menu) return;
  std::string about = LoadStringText(IDS_ABOUTBOX);
  if (about.empty()) return;
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

bool CSetupDlg::ReadDescription() {
  IsExternal = false;
  BasePath.clear();
  std::string argument = options_ ? options_->basePath : ExtractBasePath(::GetCommandLineA());
  std::string error;
  bool read;
  if (!argument.empty()) {
    IsExternal = true;
    BasePath = argument;
    read = ReadDescriptionFromFiles(BasePath, &description_, &error);
  } else {
    read = ReadDescriptionFromResources(nullptr, TempPath, &description_, &error);
  }
  if (options_ && log_) {
    OpenSetupLog(log_, *options_, read ? ProductName() : std::string());
    log_->Write(read ? "Setup data read" : "Setup data cannot be used: " + error);
  }
  if (!read) ShowMessageBox(m_hWnd, error, "Error", MB_OK | MB_ICONERROR);
  return read;
}

bool CSetupDlg::CheckSystem() {
  const std::optional<OsVersionReport> report = QueryOsVersion();
  const bool goOn = ConfirmOsSupport(m_hWnd, report, description_.Summary.Config);
  if (log_) {
    const std::string question = OsSupportQuestion(report, description_.Summary.Config);
    log_->Write(question.empty() ? "Operating system check: supported"
                                 : "Operating system check: " + question + " Answer: " + (goOn ? "Yes" : "No") +
                                       ", by the user");
  }
  return goOn;
}

// Ends the program before anything of the wizard has been shown.
void CSetupDlg::FailStartup(int exitCode) {
  exitCode_ = exitCode;
  if (CWinApp* app = CWinApp::Current()) app->SetExitCode(exitCode_);
  EndDialog(1);
}

bool CSetupDlg::ConfirmOverInstalledVersion() {
  if (RelationToInstalledProduct(installed_, description_.Product) != InstalledRelation::kNewerInstalled) return true;
  const std::string question =
      DowngradeQuestion(ProductName(), installed_->versionText, description_.Product.versionText);
  // A box that could not be shown counts as No, and No is the default: this replaces
  // something newer.
  return ShowMessageBox(m_hWnd, question, "Warning", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CSetupDlg::KeepInstalledFolder() {
  if (installed_ && installed_->IsInstalled() && page4_) page4_->KeepInstalledFolder(installed_->folder);
}

std::string CSetupDlg::ProductName() const { return BufferText(description_.Summary.Config.ProductName); }

void CSetupDlg::SetTitleAndCaption() {
  SetWindowText("Setup " + ProductName());
  caption_band_.SetCaptionFont(42, 16, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  caption_band_.SetWindowText(ProductName());
  caption_band_.SetGradientColors(description_.Summary.Config.clrIn, description_.Summary.Config.clrOut);
  caption_band_.SetGradient(1);
}

void CSetupDlg::CreatePages() {
  RECT offset{0, kPageTopDialogUnits, 0, 0};
  ::MapDialogRect(m_hWnd, &offset);
  page1_ = std::make_unique<CDialogPage1>(m_hWnd);
  page2_ = std::make_unique<CDialogPage2>(m_hWnd);
  page3_ = std::make_unique<CDialogPage3>(m_hWnd);
  page4_ = std::make_unique<CDialogPage4>(m_hWnd);
  page5_ = std::make_unique<CDialogPage5>(m_hWnd);
  page6_ = std::make_unique<CDialogPage6>(m_hWnd);
  for (int index = 0; index < kPageCount; ++index) {
    CDialog* page = Page(index);
    page->Create(m_hWnd);
    page->SetWindowPos(nullptr, 0, offset.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    page->ShowWindow(index == kPageWelcome ? SW_SHOW : SW_HIDE);
    if (index == kPageWelcome) {
      page1_->Activate();
      CurrentPage = kPageWelcome;
    }
  }
}

CDialog* CSetupDlg::Page(int index) const {
  switch (index) {
    case 0: return page1_.get();
    case 1: return page2_.get();
    case 2: return page3_.get();
    case 3: return page4_.get();
    case 4: return page5_.get();
    case 5: return page6_.get();
    default: return nullptr;
  }
}

void CSetupDlg::ActivatePage(int index) {
  switch (index) {
    case kPageWelcome: page1_->Activate(); break;
    case kPageInformation: page2_->Activate(); break;
    case kPageLicense: page3_->Activate(); break;
    case kPageDestination: page4_->Activate(); break;
    case kPageSummary: page5_->Activate(); break;
    default: break;
  }
}

void CSetupDlg::GoToPage(int page) {
  if (page == CurrentPage || !Page(page)) return;
  Page(CurrentPage)->ShowWindow(SW_HIDE);
  Page(page)->ShowWindow(SW_SHOW);
  CurrentPage = page;
  ActivatePage(page);
}

void CSetupDlg::OnNext() {
  if (!page1_) return;
  if (CurrentPage == kPageDestination && !AcceptDestination(page4_->PendingDestination())) return;
  GoToPage(NextPage(CurrentPage, HasInformation(), HasLicense()));
}

void CSetupDlg::OnBack() {
  if (!page1_) return;
  GoToPage(PreviousPage(CurrentPage, HasInformation(), HasLicense()));
}

void CSetupDlg::OnOK() {
  std::string caption = close_button_.GetWindowText();
  if (caption == kFinishCaption) {
    Finish();
  } else if (caption == kCloseCaption) {
    CloseAfterInstallation();
  } else {
    // "&Cancel", before the installation, when nothing has been installed.
    EndDialog(IDOK);
  }
}

void CSetupDlg::RefreshDestination() {
  if (page4_ && page4_->m_hWnd)
    page4_->SendMessage(WM_APP_GET_DESTINATION, reinterpret_cast<WPARAM>(m_hWnd));
}

BOOL CSetupDlg::PreTranslateMessage(MSG* msg) {
  // While the frame is hidden its pages' shortcuts must not act on keys meant for the
  // installation dialog or the background.
  if (Installing()) return CDialog::PreTranslateMessage(msg);
  bool altDown = (::GetKeyState(VK_MENU) & 0x8000) != 0;
  AltKeyVerdict verdict = alt_keys_.Filter(altDown, msg->message, static_cast<unsigned>(msg->wParam), CurrentPage);
  if (verdict.action != PageAction::kNone) {
    PerformPageAction(verdict.action);
    SetFocus();
  }
  if (verdict.consume) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

void CSetupDlg::PerformPageAction(PageAction action) {
  if (!page1_) return;
  switch (action) {
    case PageAction::kAccept: page3_->Accept(); break;
    case PageAction::kDecline: page3_->Decline(); break;
    case PageAction::kBrowse: page4_->Browse(); break;
    case PageAction::kToggleStartMenu: page4_->ToggleStartMenu(); break;
    case PageAction::kToggleDesktop: page4_->ToggleDesktop(); break;
    case PageAction::kSelectAllUsers: page4_->SelectAllUsers(); break;
    case PageAction::kSelectCurrentUser: page4_->SelectCurrentUser(); break;
    case PageAction::kToggleRun: page6_->ToggleRun(); break;
    case PageAction::kToggleOpen: page6_->ToggleOpen(); break;
    case PageAction::kNone: break;
  }
}

namespace {

// Shown and enabled in itself: the frame is not on screen yet when it first places the
// focus, and a page's controls count only while the page itself is shown.
bool Shown(HWND window) { return (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }
bool Usable(HWND window) { return window && Shown(window) && ::IsWindowEnabled(window); }

bool IsReadOnlyText(HWND window) {
  char name[16] = "";
  ::GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Edit") == 0 && (::GetWindowLongA(window, GWL_STYLE) & ES_READONLY) != 0;
}

bool IsRadioButton(HWND window) {
  char name[16] = "";
  ::GetClassNameA(window, name, sizeof name);
  const LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
  return lstrcmpiA(name, "Button") == 0 && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON);
}

// A radio group is entered at its chosen button, as Tab does.
HWND CheckedInGroup(HWND dialog, HWND radio) {
  HWND item = radio;
  do {
    if (Usable(item) && ::SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED) return item;
    item = ::GetNextDlgGroupItem(dialog, item, FALSE);
  } while (item && item != radio);
  return radio;
}

}  // namespace

// The first control of the page on view that Tab would reach, other than a read-only
// text: a text to read is no place to start.
HWND CSetupDlg::FirstPageControl() const {
  CDialog* page = Page(CurrentPage);
  if (!page || !Shown(page->m_hWnd)) return nullptr;
  for (HWND child = ::GetWindow(page->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!Usable(child) || !(::GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) || IsReadOnlyText(child)) continue;
    return IsRadioButton(child) ? CheckedInGroup(page->m_hWnd, child) : child;
  }
  return nullptr;
}

// Next while it is enabled; on the last page Finish, after the installation Close; else
// the page's own first control, and Back as a last resort.
void CSetupDlg::FocusSensibleControl() {
  HWND target = nullptr;
  const std::string closeCaption = close_button_.GetWindowText();
  if (Usable(next_button_)) {
    target = next_button_;
  } else if ((closeCaption == kFinishCaption || closeCaption == kCloseCaption) && Usable(close_button_)) {
    target = close_button_;
  } else if (HWND first = FirstPageControl()) {
    target = first;
  } else if (Usable(back_button_)) {
    target = back_button_;
  }
  if (target) GotoDlgCtrl(target);
}

void CSetupDlg::DisableButton(CWindow button) {
  const bool hadFocus = ::GetFocus() == button.m_hWnd;
  button.EnableWindow(false);
  if (hadFocus) FocusSensibleControl();
}

LRESULT CSetupDlg::OnSetFocus(WPARAM, LPARAM) {
  FocusSensibleControl();
  return 0;
}

LRESULT CSetupDlg::OnSysCommand(WPARAM wParam, LPARAM, bool& handled) {
  if ((wParam & 0xFFF0) != IDM_ABOUTBOX) {
    handled = false;
    return 0;
  }
  CAboutDlg about(m_hWnd);
  about.DoModal();
  return 0;
}

LRESULT CSetupDlg::OnPaint(WPARAM, LPARAM, bool& handled) {
  if (!::IsIconic(m_hWnd)) {
    handled = false;
    return 0;
  }
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
  RECT client = GetClientRect();
  int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CSetupDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CSetupDlg::OnDestroy(WPARAM, LPARAM, bool& handled) {
  handled = false;  // the pages' windows go with the frame's; their objects go here
  // An installation still running when the frame goes ends as a failure: the dialog
  // undoes its work and reports, and nothing is run.
  page6_.reset();  // so that the end of the installation shows no finish page
  if (install_) EndInstallation(false);
  background_.reset();
  retired_install_.reset();
  page1_.reset();
  page2_.reset();
  page3_.reset();
  page4_.reset();
  page5_.reset();
  page6_.reset();
  return 0;
}

LRESULT CSetupDlg::OnGetProductName(WPARAM wParam, LPARAM) {
  CWindow(HandleParam(wParam)).SendText(WM_APP_PRODUCT_NAME, ProductName());
  return 0;
}

LRESULT CSetupDlg::OnDisableBack(WPARAM, LPARAM) {
  DisableButton(back_button_);
  return 0;
}

LRESULT CSetupDlg::OnEnableBack(WPARAM, LPARAM) {
  back_button_.EnableWindow(true);
  return 0;
}

LRESULT CSetupDlg::OnDisableNext(WPARAM, LPARAM) {
  DisableButton(next_button_);
  return 0;
}

LRESULT CSetupDlg::OnEnableNext(WPARAM, LPARAM) {
  next_button_.EnableWindow(true);
  return 0;
}

LRESULT CSetupDlg::OnSetCloseButton(WPARAM wParam, LPARAM lParam) {
  close_button_.SetWindowText(TextParam(wParam));
  finish_marker_.ShowWindow(lParam ? SW_SHOW : SW_HIDE);
  return 0;
}

LRESULT CSetupDlg::OnGetInformation(WPARAM wParam, LPARAM) {
  CWindow(HandleParam(wParam)).SendText(WM_APP_INFORMATION, description_.InformationText);
  return 0;
}

LRESULT CSetupDlg::OnGetLicense(WPARAM wParam, LPARAM) {
  CWindow(HandleParam(wParam)).SendText(WM_APP_LICENSE, description_.LicenseText);
  return 0;
}

LRESULT CSetupDlg::OnGetShortcutFlags(WPARAM wParam, LPARAM) {
  const SummaryTexts& texts = description_.Summary.Texts;
  CWindow(HandleParam(wParam)).SendMessage(WM_APP_SHORTCUT_FLAGS, texts.AnyStartMenuShortcut, texts.AnyDesktopShortcut);
  return 0;
}

LRESULT CSetupDlg::OnGetHasSummaryPage(WPARAM wParam, LPARAM) {
  CWindow(HandleParam(wParam)).SendMessage(WM_APP_HAS_SUMMARY_PAGE, HasLicense());
  return 0;
}

LRESULT CSetupDlg::OnGetDestination(WPARAM wParam, LPARAM) {
  RefreshDestination();
  HWND requester = HandleParam(wParam);
  if (requester && requester != m_hWnd) CWindow(requester).SendText(WM_APP_DESTINATION, DestinationFolder);
  return 0;
}

LRESULT CSetupDlg::OnDestination(WPARAM wParam, LPARAM) {
  DestinationFolder = TextParam(wParam);
  return 0;
}

LRESULT CSetupDlg::OnGetFileList(WPARAM wParam, LPARAM) {
  CWindow(HandleParam(wParam)).SendText(WM_APP_FILE_LIST, description_.Summary.Texts.FileListText);
  return 0;
}

LRESULT CSetupDlg::OnGetShortcutLists(WPARAM wParam, LPARAM) {
  if (page4_ && page4_->m_hWnd)
    page4_->SendMessage(WM_APP_GET_SHORTCUT_CHOICES, reinterpret_cast<WPARAM>(m_hWnd));
  const SummaryTexts& texts = description_.Summary.Texts;
  CWindow(HandleParam(wParam))
      .SendTexts(WM_APP_SHORTCUT_LISTS, CreateStartMenuShortcuts ? texts.StartMenuListText : std::string(),
                 CreateDesktopShortcuts ? texts.DesktopListText : std::string());
  return 0;
}

LRESULT CSetupDlg::OnGetLink1(WPARAM wParam, LPARAM) {
  const SetupConfig& config = description_.Summary.Config;
  CWindow(HandleParam(wParam)).SendTexts(WM_APP_LINK1, BufferText(config.Link1Caption), BufferText(config.Link1Url));
  return 0;
}

LRESULT CSetupDlg::OnGetLink2(WPARAM wParam, LPARAM) {
  const SetupConfig& config = description_.Summary.Config;
  CWindow(HandleParam(wParam)).SendTexts(WM_APP_LINK2, BufferText(config.Link2Caption), BufferText(config.Link2Url));
  return 0;
}

LRESULT CSetupDlg::OnGetLink3(WPARAM wParam, LPARAM) {
  const SetupConfig& config = description_.Summary.Config;
  CWindow(HandleParam(wParam)).SendTexts(WM_APP_LINK3, BufferText(config.Link3Caption), BufferText(config.Link3Url));
  return 0;
}

LRESULT CSetupDlg::OnShortcutChoices(WPARAM wParam, LPARAM lParam) {
  CreateStartMenuShortcuts = wParam != 0;
  CreateDesktopShortcuts = lParam != 0;
  return 0;
}

LRESULT CSetupDlg::OnAllUsers(WPARAM wParam, LPARAM) {
  AllUsers = wParam != 0;
  return 0;
}
