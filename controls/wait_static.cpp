#include "controls/wait_static.h"

#include "controls/dpi.h"
#include "window/gdi.h"

int NextWaitPosition(int position, int step, int width) {
  position += step;
  if (position >= width) return 0;
  if (position <= 0) return width;
  return position;
}

COLORREF WaitBandColour(COLORREF centre, COLORREF outer, int band, int bandCount) {
  auto component = [&](int shift) {
    const double from = static_cast<double>((centre >> shift) & 0xFF);
    const double to = static_cast<double>((outer >> shift) & 0xFF);
    return static_cast<COLORREF>(static_cast<int>(from + (to - from) * band / bandCount)) << shift;
  };
  return component(0) | component(8) | component(16);
}

void WaitBandSpans(int position, int width, int band, int bandCount, WaitBandSpan* rightSpan,
                   WaitBandSpan* leftSpan) {
  const int half = width / 2 + 1;
  const float bandWidth = static_cast<float>(half) / static_cast<float>(bandCount);
  const int a = static_cast<int>(band * bandWidth);
  const int b = static_cast<int>((band + 1) * bandWidth);
  *rightSpan = {position + a, position + b};
  if (rightSpan->left >= width && rightSpan->right >= width) {
    rightSpan->left -= width;
    rightSpan->right -= width;
  }
  *leftSpan = {position - b, position - a};
  if (leftSpan->left <= 0 && leftSpan->right <= 0) {
    leftSpan->left += width;
    leftSpan->right += width;
  }
}

// What the animation thread needs; owned by whoever stops it.
struct CWaitStatic::Animation {
  CWaitStatic* bar = nullptr;
  HANDLE stopEvent = nullptr;
  HANDLE thread = nullptr;
};

CWaitStatic::CWaitStatic()
    : centreColor_(::GetSysColor(COLOR_WINDOW)), outerColor_(::GetSysColor(COLOR_WINDOW)) {}

CWaitStatic::~CWaitStatic() {
  Stop();
  UnsubclassWindow();
}

void CWaitStatic::SetColors(COLORREF centre, COLORREF outer) {
  centreColor_ = centre;
  outerColor_ = outer;
  Invalidate(true);
}

void CWaitStatic::SetCentreColor(COLORREF colour) {
  centreColor_ = colour;
  Invalidate(true);
}

void CWaitStatic::SetOuterColor(COLORREF colour) {
  outerColor_ = colour;
  Invalidate(true);
}

void CWaitStatic::SetBandCount(int count) {
  if (count == 0) return;
  bandCount_ = count;
  Invalidate(true);
}

void CWaitStatic::SetPosition(int position) {
  position_ = (position < 0 || position >= ClientWidth()) ? 0 : position;
  Invalidate(true);
}

int CWaitStatic::ClientWidth() const {
  RECT client = GetClientRect();
  return client.right - client.left;
}

void CWaitStatic::Start() {
  Stop();
  auto* animation = new Animation;
  animation->bar = this;
  animation->stopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (animation->stopEvent)
    animation->thread = ::CreateThread(nullptr, 0, AnimationThread, animation, 0, nullptr);
  if (!animation->thread) {
    if (animation->stopEvent) ::CloseHandle(animation->stopEvent);
    delete animation;
    return;
  }
  animation_ = animation;
}

void CWaitStatic::Stop() {
  Animation* animation = animation_.exchange(nullptr);
  if (!animation) return;
  ::SetEvent(animation->stopEvent);
  // The thread only invalidates, which never waits for the user-interface thread, so
  // waiting for it cannot deadlock whichever thread calls Stop.
  ::WaitForSingleObject(animation->thread, INFINITE);
  ::CloseHandle(animation->thread);
  ::CloseHandle(animation->stopEvent);
  delete animation;
}

DWORD WINAPI CWaitStatic::AnimationThread(void* parameter) {
  auto* animation = static_cast<Animation*>(parameter);
  do {
    animation->bar->Advance();
  } while (::WaitForSingleObject(animation->stopEvent, static_cast<DWORD>(animation->bar->period_.load())) ==
           WAIT_TIMEOUT);
  return 0;
}

void CWaitStatic::Advance() {
  // The step is in pixels at 96 DPI, so the bar crosses in the same time on any screen.
  position_ = NextWaitPosition(position_, ScaleForDpi(step_), ClientWidth());
  Invalidate(true);
}

LRESULT CWaitStatic::OnPaint(WPARAM, LPARAM) {
  CPaintDC dc(m_hWnd);
  Paint(dc, GetClientRect());
  return 0;
}

void CWaitStatic::Paint(HDC dc, const RECT& client) const {
  const int width = client.right - client.left;
  const int count = bandCount_;
  const int position = position_;
  const COLORREF centre = centreColor_;
  const COLORREF outer = outerColor_;
  for (int band = 0; band <= count; ++band) {
    WaitBandSpan right{}, left{};
    WaitBandSpans(position, width, band, count, &right, &left);
    const COLORREF colour = WaitBandColour(centre, outer, band, count);
    FillSolidRect(dc, RECT{right.left, client.top, right.right, client.bottom}, colour);
    FillSolidRect(dc, RECT{left.left, client.top, left.right, client.bottom}, colour);
  }
}
