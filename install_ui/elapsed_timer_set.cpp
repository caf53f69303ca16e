#include "install_ui/elapsed_timer_set.h"

#include <algorithm>
#include <atomic>
#include <ctime>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t CalendarSeconds() { return static_cast<int64_t>(_time64(nullptr)); }

}  // namespace

ElapsedTime SplitElapsedSeconds(double totalSeconds) {
  ElapsedTime time;
  if (!(totalSeconds > 0)) return time;
  const int64_t whole = static_cast<int64_t>(totalSeconds);
  time.days = static_cast<int>(whole / kSecondsPerDay);
  int64_t rest = whole % kSecondsPerDay;
  time.hours = static_cast<int>(rest / 3600);
  rest %= 3600;
  time.minutes = static_cast<int>(rest / 60);
  time.seconds = static_cast<int>(rest % 60);
  return time;
}

struct ElapsedTimerSet::Counter {
  int key = 0;
  const Clock* clock = nullptr;
  mutable std::mutex lock;
  double total = 0.0;
  int64_t lastTime = 0;
  ElapsedTime split;
  std::atomic<unsigned> intervalMs{kDefaultIntervalMs};
  HANDLE stopEvent = nullptr;
  HANDLE thread = nullptr;

  void Update() {
    std::lock_guard<std::mutex> guard(lock);
    const int64_t now = (*clock)();
    total += static_cast<double>(now - lastTime);
    split = SplitElapsedSeconds(total);
    lastTime = now;
  }
  void Store(double seconds) {
    std::lock_guard<std::mutex> guard(lock);
    total = seconds;
    split = SplitElapsedSeconds(total);
    lastTime = (*clock)();
  }
};

ElapsedTimerSet::ElapsedTimerSet(Clock clock) : clock_(clock ? std::move(clock) : Clock(CalendarSeconds)) {
  counterAvailable_ = QueryPerformanceFrequency(&frequency_) != FALSE;
}

ElapsedTimerSet::~ElapsedTimerSet() {
  std::vector<std::unique_ptr<Counter>> counters;
  {
    std::lock_guard<std::mutex> guard(listLock_);
    counters.swap(counters_);
  }
  for (auto& counter : counters) Stop(counter.get());
}

DWORD WINAPI ElapsedTimerSet::CounterThread(void* parameter) {
  auto* counter = static_cast<Counter*>(parameter);
  do {
    counter->Update();
  } while (WaitForSingleObject(counter->stopEvent, counter->intervalMs.load()) == WAIT_TIMEOUT);
  return 0;
}

ElapsedTimerSet::Counter* ElapsedTimerSet::Find(int key) const {
  for (const auto& counter : counters_)
    if (counter->key == key) return counter.get();
  return nullptr;
}

bool ElapsedTimerSet::Add(int key) {
  std::lock_guard<std::mutex> guard(listLock_);
  if (Find(key)) return false;
  auto counter = std::make_unique<Counter>();
  counter->key = key;
  counter->clock = &clock_;
  counter->lastTime = clock_();
  counter->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!counter->stopEvent) return false;
  counter->thread = CreateThread(nullptr, 0, CounterThread, counter.get(), 0, nullptr);
  if (!counter->thread) {
    CloseHandle(counter->stopEvent);
    return false;
  }
  counters_.push_back(std::move(counter));
  return true;
}

bool ElapsedTimerSet::Contains(int key) const {
  std::lock_guard<std::mutex> guard(listLock_);
  return Find(key) != nullptr;
}

bool ElapsedTimerSet::Get(int key, int* days, int* hours, int* minutes, int* seconds) const {
  std::lock_guard<std::mutex> guard(listLock_);
  Counter* counter = Find(key);
  if (!counter) return false;
  std::lock_guard<std::mutex> valueGuard(counter->lock);
  *days = counter->split.days;
  *hours = counter->split.hours;
  *minutes = counter->split.minutes;
  *seconds = counter->split.seconds;
  return true;
}

int ElapsedTimerSet::GetInterval(int key) const {
  std::lock_guard<std::mutex> guard(listLock_);
  Counter* counter = Find(key);
  return counter ? static_cast<int>(counter->intervalMs.load()) : -1;
}

bool ElapsedTimerSet::SetInterval(int key, unsigned milliseconds) {
  std::lock_guard<std::mutex> guard(listLock_);
  Counter* counter = Find(key);
  if (!counter) return false;
  counter->intervalMs = std::min(milliseconds, kMaxIntervalMs);
  return true;
}

bool ElapsedTimerSet::Set(int key, int days, int hours, int minutes, int seconds) {
  std::lock_guard<std::mutex> guard(listLock_);
  Counter* counter = Find(key);
  if (!counter) return false;
  counter->Store(static_cast<double>(days) * kSecondsPerDay + hours * 3600.0 + minutes * 60.0 + seconds);
  return true;
}

bool ElapsedTimerSet::Reset(int key) { return Set(key, 0, 0, 0, 0); }

bool ElapsedTimerSet::Remove(int key) {
  std::unique_ptr<Counter> removed;
  {
    std::lock_guard<std::mutex> guard(listLock_);
    auto found = std::find_if(counters_.begin(), counters_.end(),
                              [key](const std::unique_ptr<Counter>& counter) { return counter->key == key; });
    if (found == counters_.end()) return false;
    removed = std::move(*found);
    counters_.erase(found);
  }
  Stop(removed.get());
  return true;
}

void ElapsedTimerSet::Stop(Counter* counter) {
  SetEvent(counter->stopEvent);
  WaitForSingleObject(counter->thread, INFINITE);
  CloseHandle(counter->thread);
  CloseHandle(counter->stopEvent);
}

bool ElapsedTimerSet::Any() const {
  std::lock_guard<std::mutex> guard(listLock_);
  return !counters_.empty();
}

bool ElapsedTimerSet::StopwatchStart() {
  QueryPerformanceCounter(&stopwatchStart_);
  stopwatchNow_ = stopwatchStart_;
  return counterAvailable_;
}

float ElapsedTimerSet::StopwatchRead() {
  QueryPerformanceCounter(&stopwatchNow_);
  if (!counterAvailable_ || frequency_.QuadPart == 0) return 0.0f;
  return static_cast<float>(static_cast<double>(stopwatchNow_.QuadPart - stopwatchStart_.QuadPart) /
                            static_cast<double>(frequency_.QuadPart));
}

void ElapsedTimerSet::Today(int* month, int* day, int* year) {
  __time64_t now = _time64(nullptr);
  struct tm local {};
  _localtime64_s(&local, &now);
  *month = local.tm_mon + 1;
  *day = local.tm_mday;
  *year = local.tm_year + 1900;
}

void ElapsedTimerSet::TimeOfDay(int* hours, int* minutes, int* seconds) {
  __time64_t now = _time64(nullptr);
  struct tm local {};
  _localtime64_s(&local, &now);
  *hours = local.tm_hour;
  *minutes = local.tm_min;
  *seconds = local.tm_sec;
}
