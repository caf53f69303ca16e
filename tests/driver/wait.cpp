#include "tests/driver/wait.h"

#include <thread>

namespace driver {

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(kPollInterval);
  }
  return condition();
}

void Pause(Millis duration) { std::this_thread::sleep_for(duration); }

}  // namespace driver
