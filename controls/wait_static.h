#pragma once
// An animated "busy" strip: a soft spot of one colour fading into a second colour toward
// both sides, travelling across the control and re-entering at the other edge while the
// animation runs. The spot moves on a thread of its own, so it keeps moving while the
// user-interface thread is busy; painting stays on the user-interface thread.

#include <windows.h>

#include <atomic>

#include "window/subclassed_window.h"

// The spot's next centre on a strip `width` pixels wide: past the right edge it re-enters
// at 0, at or past the left edge at `width`.
int NextWaitPosition(int position, int step, int width);

// Colour of band `band` (0 = centre, bandCount = outer end), per component, truncated.
COLORREF WaitBandColour(COLORREF centre, COLORREF outer, int band, int bandCount);

struct WaitBandSpan {
  int left;
  int right;
};
// The two spans (right of the centre, left of it) that band `band` covers when the spot's
// centre is at `position`; a span wholly beyond an edge re-enters at the other one.
void WaitBandSpans(int position, int width, int band, int bandCount, WaitBandSpan* rightSpan,
                   WaitBandSpan* leftSpan);

class CWaitStatic : public CStatic {
 public:
  CWaitStatic();
  // Stops the animation before the control goes.
  ~CWaitStatic() override;

  void SetColors(COLORREF centre, COLORREF outer);
  void SetCentreColor(COLORREF colour);
  void SetOuterColor(COLORREF colour);
  void SetStep(int step) { step_ = step; }
  // 0 is ignored.
  void SetBandCount(int count);
  // Takes effect after the current wait.
  void SetPeriod(int milliseconds) { period_ = milliseconds; }
  // Outside the strip it becomes 0.
  void SetPosition(int position);

  // Restarts the animation thread (any thread may call it).
  void Start();
  // Ends the animation thread and returns only when it has ended, without waiting out its
  // pause: no tick follows. Harmless when nothing runs.
  void Stop();
  bool IsRunning() const { return animation_.load() != nullptr; }

  // One tick: move the spot and ask for a repaint.
  void Advance();

  int Position() const { return position_; }
  int Step() const { return step_; }
  int BandCount() const { return bandCount_; }
  int Period() const { return period_; }
  COLORREF CentreColor() const { return centreColor_; }
  COLORREF OuterColor() const { return outerColor_; }

  BEGIN_MSG_MAP(CWaitStatic)
    HANDLE_MESSAGE(WM_PAINT, OnPaint)
  END_MSG_MAP()

 private:
  struct Animation;
  static DWORD WINAPI AnimationThread(void* animation);
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc, const RECT& client) const;
  int ClientWidth() const;

  std::atomic<Animation*> animation_{nullptr};
  std::atomic<COLORREF> centreColor_;
  std::atomic<COLORREF> outerColor_;
  std::atomic<int> step_{1};
  std::atomic<int> position_{0};
  std::atomic<int> bandCount_{255};
  std::atomic<int> period_{100};
};
