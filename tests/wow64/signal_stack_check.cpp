// Checks that an emulator running 32-bit Wine gives each thread its own signal stack.
//
// 32-bit Wine finds a thread's TEB from the alternate signal stack its signal handlers run
// on. Wine's server interrupts a thread with a signal to suspend it, read its context or
// deliver a system APC (device I/O completion, for one: the shell's volume queries). An
// emulator that keeps one alternate signal stack for the whole process (qemu-user 7.2
// does) runs every handler on the stack of the thread that set it last, so the
// interrupted thread is taken for another one: the process hangs, or crashes once that
// thread has ended. Setup.exe met this at its first shortcut.
//
// Here the main thread is interrupted from a thread started after it, which is what
// exposes such an emulator. Prints "signal stacks: per thread" and ends with 0 when all
// went well.

#include <windows.h>

#include <cstdio>

namespace {

DWORD WINAPI SuspendMainThread(void* mainThread) {
  HANDLE main = static_cast<HANDLE>(mainThread);
  for (int i = 0; i < 20; ++i) {
    if (SuspendThread(main) == static_cast<DWORD>(-1)) return 1;
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_CONTROL;
    const BOOL read = GetThreadContext(main, &context);
    ResumeThread(main);
    if (!read) return 2;
    Sleep(10);
  }
  return 0;
}

}  // namespace

int main() {
  HANDLE main = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    std::printf("cannot name the main thread\n");
    return 3;
  }
  HANDLE interrupter = CreateThread(nullptr, 0, SuspendMainThread, main, 0, nullptr);
  if (!interrupter) {
    std::printf("cannot start a thread\n");
    return 3;
  }
  // Busy, so that the interruptions land in this thread's own code.
  volatile unsigned counter = 0;
  while (WaitForSingleObject(interrupter, 0) == WAIT_TIMEOUT) ++counter;
  DWORD code = 1;
  GetExitCodeThread(interrupter, &code);
  std::printf(code == 0 ? "signal stacks: per thread\n" : "suspending the main thread failed (%lu)\n",
              static_cast<unsigned long>(code));
  return static_cast<int>(code);
}
