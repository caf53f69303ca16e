#include "builder/interrupt_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <wchar.h>
#else
#include <unistd.h>
#endif

namespace {

// The handler may run at any moment, so it sees the registered paths through fixed tables
// of atomic pointers: no allocation, no locks, only unlink and rmdir on ready strings.
#ifdef _WIN32
using PathChar = wchar_t;
#else
using PathChar = char;
#endif
using PathText = std::basic_string<PathChar>;

constexpr int kSlots = 64;
std::atomic<PathChar*> files[kSlots];
std::atomic<PathChar*> folders[kSlots];

PathText NativePath(const std::string& utf8) { return std::filesystem::u8path(utf8).native(); }

PathChar* Copy(const PathText& text) {
  PathChar* copy = static_cast<PathChar*>(std::malloc((text.size() + 1) * sizeof(PathChar)));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(PathChar));
  return copy;
}

void Register(std::atomic<PathChar*> (&table)[kSlots], const std::string& path) {
  PathChar* copy = Copy(NativePath(path));
  if (copy == nullptr) return;
  for (std::atomic<PathChar*>& slot : table) {
    PathChar* empty = nullptr;
    if (slot.compare_exchange_strong(empty, copy)) return;
  }
  std::free(copy);  // a full table only costs the clean-up of this one path
}

void Forget(std::atomic<PathChar*> (&table)[kSlots], const PathText& path) {
  for (std::atomic<PathChar*>& slot : table) {
    PathChar* held = slot.load();
    if (held != nullptr && path == held && slot.compare_exchange_strong(held, nullptr)) std::free(held);
  }
}

void RemoveFile(const PathChar* path) {
#ifdef _WIN32
  _wunlink(path);
#else
  unlink(path);
#endif
}

void RemoveFolder(const PathChar* path) {
#ifdef _WIN32
  _wrmdir(path);
#else
  rmdir(path);
#endif
}

extern "C" void CleanUpAndStop(int signalNumber) {
  for (std::atomic<PathChar*>& slot : files) {
    if (const PathChar* path = slot.load()) RemoveFile(path);
  }
  for (int i = kSlots - 1; i >= 0; --i) {
    if (const PathChar* path = folders[i].load()) RemoveFolder(path);
  }
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

}  // namespace

void InstallInterruptCleanup() {
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    // A signal ignored from the start (a background job of a shell, nohup) stays ignored.
    if (std::signal(signalNumber, CleanUpAndStop) == SIG_IGN) std::signal(signalNumber, SIG_IGN);
  }
}

void RemoveFileOnInterrupt(const std::string& path) { Register(files, path); }

// Folders are taken in creation order, parents first, and must be removed the other way
// round; a table filled from the front keeps that order as long as folders are forgotten
// together, which one build does.
void RemoveFolderOnInterrupt(const std::string& path) { Register(folders, path); }

void ForgetOnInterrupt(const std::string& path) {
  const PathText native = NativePath(path);
  Forget(files, native);
  Forget(folders, native);
}
