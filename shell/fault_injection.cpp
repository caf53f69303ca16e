#include "shell/fault_injection.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace fault_injection {
namespace {

std::mutex guard;
std::atomic<bool> armed{false};
Plan plan;
unsigned counted = 0;
bool injected = false;
std::vector<std::string> paths;

bool SamePath(const std::string& a, const std::string& b) {
  return !a.empty() && a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                                              static_cast<int>(a.size()), b.data(),
                                                              static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

void Arm(const Plan& newPlan) {
  std::lock_guard<std::mutex> lock(guard);
  plan = newPlan;
  counted = 0;
  injected = false;
  paths.clear();
  armed = true;
}

void Disarm() {
  std::lock_guard<std::mutex> lock(guard);
  armed = false;
}

unsigned CallsCounted() {
  std::lock_guard<std::mutex> lock(guard);
  return counted;
}

bool FailureInjected() {
  std::lock_guard<std::mutex> lock(guard);
  return injected;
}

std::vector<std::string> CountedPaths() {
  std::lock_guard<std::mutex> lock(guard);
  return paths;
}

bool ShouldFail(const std::string& path) {
  if (!armed) return false;
  std::lock_guard<std::mutex> lock(guard);
  ++counted;
  paths.push_back(path);
  if (injected && SamePath(path, plan.stuckPath)) return true;
  if (counted != plan.failingCall) return false;
  injected = true;
  return true;
}

}  // namespace fault_injection
