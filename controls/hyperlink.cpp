#include "controls/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "common/message_box.h"
#include "controls/link_fit.h"
#include "window/app.h"

namespace {

constexpr UINT kToolId = 1;
constexpr UINT kHoverPeriodMs = 50;
const char kNoTarget[] = "NULL";

// The short form is understood by every version of the common controls.
TOOLINFOA ToolFor(HWND control) {
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = control;
  tool.uId = kToolId;
  return tool;
}

}  // namespace

CMyHyperLink::CMyHyperLink() = default;

CMyHyperLink::~CMyHyperLink() {
  // The control may outlive this object; it must not keep a font that is about to go.
  if (IsWindow()) {
    HFONT current = GetFont();
    if (current && (current == normalFont_.Handle() || current == underlineFont_.Handle()))
      CWindow::SetFont(originalFont_, false);
    KillTimer(kHoverTimerId);
  }
  if (toolTip_ && ::IsWindow(toolTip_)) ::DestroyWindow(toolTip_);
  UnsubclassWindow();
}

void CMyHyperLink::PreSubclassWindow() {
  ModifyStyle(0, SS_NOTIFY);  // without it the static reports no clicks
  if (target_.empty()) target_ = GetWindowText();
  if (target_.empty()) {
    target_ = kNoTarget;
    SetWindowText(kNoTarget);
  }
  if (!CreateFonts()) ShowMessageBox(m_hWnd, "Couldn't load font.", "Error", kMbIconError);
  FitToText();
  CreateToolTip();
}

bool CMyHyperLink::CreateFonts() {
  originalFont_ = GetFont();
  HFONT source = originalFont_;
  if (!source) source = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (!source) source = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  LOGFONTA logFont;
  if (!source || ::GetObjectA(source, sizeof logFont, &logFont) != sizeof logFont) return false;
  if (!normalFont_.CreateFontIndirect(logFont)) return false;
  logFont.lfUnderline = TRUE;
  if (!underlineFont_.CreateFontIndirect(logFont)) {
    normalFont_.DeleteObject();
    return false;
  }
  return true;
}

void CMyHyperLink::CreateToolTip() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&classes);
  toolTip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AppInstance(), nullptr);
  if (!toolTip_) return;
  TOOLINFOA tool = ToolFor(m_hWnd);
  tool.rect = GetClientRect();
  tool.lpszText = const_cast<char*>(target_.c_str());
  ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CMyHyperLink::UpdateToolTip() {
  if (!toolTip_) return;
  TOOLINFOA tool = ToolFor(m_hWnd);
  tool.rect = GetClientRect();
  ::SendMessageA(toolTip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = const_cast<char*>(target_.c_str());
  ::SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CMyHyperLink::SetTarget(const std::string& target) {
  target_ = target;
  if (!IsWindow()) return;
  FitToText();
  UpdateToolTip();
}

void CMyHyperLink::SetLinkColors(COLORREF link, COLORREF followed, COLORREF hover) {
  linkColor_ = link;
  followedColor_ = followed;
  hoverColor_ = hover == static_cast<COLORREF>(-1) ? ::GetSysColor(COLOR_HIGHLIGHT) : hover;
  if (IsWindow()) Invalidate(true);
}

void CMyHyperLink::SetFollowed(int followed) {
  followed_ = followed;
  if (IsWindow()) Invalidate(true);
}

void CMyHyperLink::SetCursorResource(UINT id) {
  cursor_ = ::LoadCursorA(AppInstance(), MAKEINTRESOURCEA(id));
  if (!cursor_) cursor_ = ::LoadCursorA(nullptr, IDC_HAND);
}

void CMyHyperLink::SetUnderlineMode(int mode) {
  if (mode == underlineMode_) return;
  if (IsWindow()) SelectFont(mode == kUnderlineAlways ? underlineFont_.Handle() : normalFont_.Handle());
  underlineMode_ = mode;
}

void CMyHyperLink::SetFitToText(int fit) {
  fitToText_ = fit;
  if (IsWindow()) {
    FitToText();
    UpdateToolTip();
  }
}

void CMyHyperLink::SelectFont(HFONT font) {
  if (font) CWindow::SetFont(font, true);
}

void CMyHyperLink::FitToText() {
  if (!fitToText_ || !IsWindow()) return;
  const RECT window = GetRectInParent();
  const RECT client = GetClientRect();
  const SIZE border{(window.right - window.left) - (client.right - client.left),
                    (window.bottom - window.top) - (client.bottom - client.top)};

  const std::string text = GetWindowText();
  SIZE extent{0, 0};
  {
    CClientDC dc(m_hWnd);
    HFONT measureFont = underlineFont_.Handle() ? underlineFont_.Handle() : GetFont();
    HGDIOBJ previous = measureFont ? ::SelectObject(dc, measureFont) : nullptr;
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous) ::SelectObject(dc, previous);
  }
  const RECT fitted = FitLinkRect(window, border, extent, GetStyle());
  SetWindowPos(nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CMyHyperLink::DestroyWindow() {
  KillTimer(kHoverTimerId);
  return CStatic::DestroyWindow();
}

BOOL CMyHyperLink::PreTranslateMessage(MSG* msg) {
  if (toolTip_) ::SendMessageA(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  return CStatic::PreTranslateMessage(msg);
}

LRESULT CMyHyperLink::OnCtlColor(WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetTextColor(dc, hovering_ ? hoverColor_ : followed_ ? followedColor_ : linkColor_);
  ::SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

LRESULT CMyHyperLink::OnSetCursor(WPARAM, LPARAM) {
  if (!cursor_) return FALSE;
  ::SetCursor(cursor_);
  return TRUE;
}

LRESULT CMyHyperLink::OnMouseMove(WPARAM, LPARAM, bool& handled) {
  if (!hovering_) {
    hovering_ = 1;
    if (underlineMode_ == kUnderlineHover) SelectFont(underlineFont_.Handle());
    Invalidate(true);
    SetTimer(kHoverTimerId, kHoverPeriodMs);
  }
  handled = false;
  return 0;
}

// The mouse is never captured, so leaving is noticed by polling where it is.
bool CMyHyperLink::CursorOutside() const {
  const DWORD position = ::GetMessagePos();
  POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ::ScreenToClient(m_hWnd, &point);
  const RECT client = GetClientRect();
  return !::PtInRect(&client, point);
}

LRESULT CMyHyperLink::OnTimer(WPARAM wParam, LPARAM, bool& handled) {
  handled = false;
  if (wParam != kHoverTimerId || !CursorOutside()) return 0;
  hovering_ = 0;
  KillTimer(kHoverTimerId);
  if (underlineMode_ != kUnderlineAlways) SelectFont(normalFont_.Handle());
  Invalidate(true);
  return 0;
}

LRESULT CMyHyperLink::OnEraseBackground(WPARAM wParam, LPARAM) {
  RECT client = GetClientRect();
  ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

void CMyHyperLink::OnClicked() {
  hovering_ = 0;
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, "Open", target_.c_str(), nullptr, nullptr, SW_SHOW));
  if (result > 32) {
    SetFollowed(1);
    return;
  }
  // A failure also undoes an earlier success; the colour follows at the next repaint.
  followed_ = 0;
  ::MessageBeep(MB_ICONEXCLAMATION);
  char text[64];
  std::snprintf(text, sizeof text, "Unable to follow link.\nError: %d.", static_cast<int>(result));
  ShowMessageBox(m_hWnd, text, "Error", kMbIconError);
}
