#pragma once
// Elapsed-time counters, each kept up to date by a thread of its own, identified by an
// integer key. The installation dialog counts its "Elapsed Time" with one of them. The
// set also offers a high-resolution stopwatch and the local date and time of day.
//
// Every operation may be called from any thread: the counters' values and the set's list
// are guarded, so a reader never sees a half-made counter.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct ElapsedTime {
  int days = 0;
  int hours = 0;     // 0-23
  int minutes = 0;   // 0-59
  int seconds = 0;   // 0-59
};

// Splits a number of elapsed seconds (fractions dropped) into days, hours, minutes, seconds.
ElapsedTime SplitElapsedSeconds(double totalSeconds);

class ElapsedTimerSet {
 public:
  // Seconds since 1970; counters take their time from it. The default is the calendar clock.
  using Clock = std::function<int64_t()>;

  static constexpr unsigned kDefaultIntervalMs = 250;
  static constexpr unsigned kMaxIntervalMs = 5000;

  explicit ElapsedTimerSet(Clock clock = nullptr);
  ElapsedTimerSet(const ElapsedTimerSet&) = delete;
  ElapsedTimerSet& operator=(const ElapsedTimerSet&) = delete;
  // Removes every counter.
  ~ElapsedTimerSet();

  // A new counter at 0 with its thread running; false (and the existing one untouched)
  // when the key is taken or the thread cannot start.
  bool Add(int key);
  bool Contains(int key) const;
  bool Get(int key, int* days, int* hours, int* minutes, int* seconds) const;
  // Milliseconds between updates, or -1 when there is no such counter.
  int GetInterval(int key) const;
  // Values above kMaxIntervalMs are stored as kMaxIntervalMs; takes effect after the
  // current wait.
  bool SetInterval(int key, unsigned milliseconds);
  bool Set(int key, int days, int hours, int minutes, int seconds);
  bool Reset(int key);
  // Stops the counter's thread (at once: it waits on an event, not in a sleep) and
  // forgets the counter.
  bool Remove(int key);
  bool Any() const;

  // The stopwatch: Start returns whether a performance counter exists; Read gives the
  // seconds since Start, or 0 without a performance counter.
  bool StopwatchStart();
  float StopwatchRead();

  static void Today(int* month, int* day, int* year);
  static void TimeOfDay(int* hours, int* minutes, int* seconds);

 private:
  struct Counter;
  static DWORD WINAPI CounterThread(void* counter);
  Counter* Find(int key) const;  // with listLock_ held
  void Stop(Counter* counter);

  Clock clock_;
  mutable std::mutex listLock_;
  std::vector<std::unique_ptr<Counter>> counters_;  // in order of adding

  bool counterAvailable_ = false;
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER stopwatchStart_{};
  LARGE_INTEGER stopwatchNow_{};
};
