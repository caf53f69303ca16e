#include "controls/background_window.h"

#include "common/app_messages.h"
#include "controls/caption_fit.h"
#include "controls/dpi.h"
#include "controls/gradient_fill.h"
#include "controls/picture_placement.h"
#include "resources/resource_ids.h"

namespace {

// Selects an object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

CDialogBack::CDialogBack(HWND parent)
    : CDialog(IDD_BACKGROUND, parent),
      startColour_(::GetSysColor(COLOR_WINDOW)),
      endColour_(::GetSysColor(COLOR_WINDOW)),
      owner_(parent) {
  captionFont_.CreateFont(ScaleForDpi(100), ScaleForDpi(50), 0, 0, 600, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "Times New Roman");
  if (Create(parent)) ShowWindow(SW_SHOW);
}

CDialogBack::~CDialogBack() {
  DestroyWindow();
  ReleasePicture();
}

BOOL CDialogBack::OnInitDialog() {
  SetWindowPos(nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER);
  ::BringWindowToTop(m_hWnd);
  return TRUE;
}

void CDialogBack::SetGradientColors(COLORREF start, COLORREF end) {
  startColour_ = start;
  endColour_ = end;
  Redraw();
}

void CDialogBack::SetCaption(const std::string& caption) {
  caption_ = caption;
  Redraw();
}

void CDialogBack::LoadPicture(const std::string& path, UINT flags, int horizontalMode, int verticalMode) {
  ReleasePicture();
  HANDLE image = ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags);
  if (image) {
    BITMAP description{};
    if (::GetObjectA(image, sizeof description, &description) == sizeof description) {
      picture_ = static_cast<HBITMAP>(image);
      pictureWidth_ = static_cast<uint32_t>(description.bmWidth);
      pictureHeight_ = static_cast<uint32_t>(description.bmHeight);
      horizontalMode_ = horizontalMode;
      verticalMode_ = verticalMode;
    } else {
      ::DeleteObject(image);
    }
  }
  Redraw();
}

void CDialogBack::ReleasePicture() {
  if (picture_) ::DeleteObject(picture_);
  picture_ = nullptr;
  pictureWidth_ = 0;
  pictureHeight_ = 0;
}

void CDialogBack::Redraw() const {
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CDialogBack::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

LRESULT CDialogBack::OnPaint(WPARAM, LPARAM) {
  CPaintDC dc(m_hWnd);
  Paint(dc, GetClientRect());
  return 0;
}

LRESULT CDialogBack::OnPrintClient(WPARAM wParam, LPARAM) {
  Paint(reinterpret_cast<HDC>(wParam), GetClientRect());
  return 0;
}

// The paint covers every pixel, so erasing first would only flicker.
LRESULT CDialogBack::OnEraseBackground(WPARAM, LPARAM) { return TRUE; }

LRESULT CDialogBack::OnClose(WPARAM, LPARAM) { return 0; }

LRESULT CDialogBack::OnSetFocus(WPARAM, LPARAM, bool& handled) {
  handled = false;
  if (owner_) ::SendMessageA(owner_, WM_APP_RAISE_INSTALL_DIALOG, 0, 0);
  return 0;
}

LRESULT CDialogBack::OnDestroy(WPARAM, LPARAM, bool& handled) {
  handled = false;
  captionFont_.DeleteObject();
  ReleasePicture();
  return 0;
}

void CDialogBack::Paint(HDC dc, const RECT& client) const {
  FillVerticalGradient(dc, client, startColour_, endColour_);
  if (picture_) PaintPicture(dc, client);
  PaintCaption(dc, client);
}

// Goes through one off-screen image, so a stretched picture is shown only within its own
// placed rectangle.
void CDialogBack::PaintPicture(HDC dc, const RECT& client) const {
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int w = static_cast<int>(pictureWidth_);
  const int h = static_cast<int>(pictureHeight_);
  const int margin = ScaleForDpi(kPictureMargin);
  const int x = PictureOffset(horizontalMode_, width, w, margin);
  const int y = PictureOffset(verticalMode_, height, h, margin);

  HDC offscreenDc = ::CreateCompatibleDC(dc);
  HDC pictureDc = ::CreateCompatibleDC(dc);
  HBITMAP offscreen = ::CreateCompatibleBitmap(dc, width, height);
  if (offscreenDc && pictureDc && offscreen) {
    SelectedObject offscreenSelection(offscreenDc, offscreen);
    SelectedObject pictureSelection(pictureDc, picture_);
    const RECT whole{0, 0, width, height};
    FillSolidRect(offscreenDc, whole, ::GetBkColor(dc));
    if (StretchesPicture(w, h, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN))) {
      ::StretchBlt(offscreenDc, 0, 0, width, height, pictureDc, 0, 0, w, h, SRCCOPY);
    } else {
      ::BitBlt(offscreenDc, x, y, w, h, pictureDc, 0, 0, SRCCOPY);
    }
    ::BitBlt(dc, client.left + x, client.top + y, w, h, offscreenDc, x, y, SRCCOPY);
  }
  if (offscreen) ::DeleteObject(offscreen);
  if (pictureDc) ::DeleteDC(pictureDc);
  if (offscreenDc) ::DeleteDC(offscreenDc);
}

void CDialogBack::PaintCaption(HDC dc, const RECT& client) const {
  RECT area = client;
  ::SetTextColor(dc, RGB(0, 0, 0));
  const int previousMode = ::SetBkMode(dc, TRANSPARENT);
  DrawFittedCaption(dc, captionFont_.Handle(), caption_, area);
  ::SetBkMode(dc, previousMode);
}
