#pragma once
// Every wait of the driver is a poll with a deadline: a test may fail, but never hang.

#include <chrono>
#include <functional>

namespace driver {

using Millis = std::chrono::milliseconds;

// Long enough for a loaded machine running Wine; short enough that a broken test ends.
constexpr Millis kDefaultTimeout{15000};
constexpr Millis kPollInterval{20};

// Calls `condition` until it returns true or `timeout` has passed; the result is the last
// answer, so a condition that becomes true just at the deadline still counts.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kDefaultTimeout);

// Lets the other process run for a moment; for checks that something does NOT happen.
void Pause(Millis duration);

}  // namespace driver
