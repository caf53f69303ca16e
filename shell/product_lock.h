#pragma once
// One setup of a product at a time on a machine: two would keep their copies of replaced
// files under the same names and undo each other's work. A named mutex per product, held
// until the process ends (or the lock is destroyed), tells a second setup that one runs.

#include <string>

class SetupInstanceLock {
 public:
  SetupInstanceLock() = default;
  ~SetupInstanceLock();
  SetupInstanceLock(const SetupInstanceLock&) = delete;
  SetupInstanceLock& operator=(const SetupInstanceLock&) = delete;

  // False when a setup of the same product (names compared as product names are, without
  // regard to ASCII case) already holds the lock. A system that cannot make the mutex at
  // all does not stop the setup: the lock is a guard, not a condition of installing.
  bool Acquire(const std::string& productName);
  void Release();

 private:
  void* mutex_ = nullptr;
};

// "Global\Brisklay Setup <product name in lower case>": one name for every session of the
// machine, since the products install into shared folders and registry keys.
std::string SetupInstanceMutexName(const std::string& productName);

// What the second setup tells the user before it ends.
std::string SetupAlreadyRunningMessage(const std::string& productName);
