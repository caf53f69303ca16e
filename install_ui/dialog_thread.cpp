#include "install_ui/dialog_thread.h"

DialogThread::~DialogThread() {
  SignalStop();
  Join();
}

bool DialogThread::Start(Routine routine) {
  if (thread_) return false;
  routine_ = std::move(routine);
  if (!stopEvent_) stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stopEvent_) return false;
  ResetEvent(stopEvent_);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  return thread_ != nullptr;
}

void DialogThread::SignalStop() const {
  if (stopEvent_) SetEvent(stopEvent_);
}

void DialogThread::Join() {
  if (thread_) {
    WaitAnsweringSentMessages(thread_);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (stopEvent_) {
    CloseHandle(stopEvent_);
    stopEvent_ = nullptr;
  }
}

DWORD WINAPI DialogThread::Run(void* self) {
  auto* thread = static_cast<DialogThread*>(self);
  thread->routine_(thread->stopEvent_);
  return 0;
}

void WaitAnsweringSentMessages(HANDLE handle) {
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) return;  // the handle, or a failed wait
    MSG ignored;
    // Peeking delivers the waiting sent messages; nothing is taken from the queue.
    PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
