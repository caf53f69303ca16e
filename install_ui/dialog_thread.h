#pragma once
// A thread of the installation dialog: started with a routine, told to stop through an
// event the routine waits on, and waited for by the user-interface thread.
//
// The dialog's threads change its controls, which means sending messages to the
// user-interface thread; a plain wait there would deadlock. Join() therefore keeps
// answering messages sent to this thread while it waits.

#include <windows.h>

#include <functional>

class DialogThread {
 public:
  // The routine receives the stop event: it should wait on it instead of sleeping.
  using Routine = std::function<void(HANDLE stopEvent)>;

  DialogThread() = default;
  DialogThread(const DialogThread&) = delete;
  DialogThread& operator=(const DialogThread&) = delete;
  ~DialogThread();

  bool Start(Routine routine);
  bool Started() const { return thread_ != nullptr; }
  // Any thread.
  void SignalStop() const;
  // Waits until the routine has returned; does nothing when never started.
  void Join();

 private:
  static DWORD WINAPI Run(void* self);

  Routine routine_;
  HANDLE stopEvent_ = nullptr;
  HANDLE thread_ = nullptr;
};

// Waits for `handle`, answering messages that other threads send to this one meanwhile.
void WaitAnsweringSentMessages(HANDLE handle);
