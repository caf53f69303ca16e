#pragma once
// A test's way to make one call that changes the machine fail, to prove that every
// failure of an installation is undone. Every such call of the installation (create,
// write, move, copy or delete a file, set its times, create or remove a folder, create or
// delete a registry key, set or delete a value, save a link, run regsvr32) asks
// ShouldFail() first. Unarmed, as in every real run, nothing fails and nothing is counted.

#include <string>
#include <vector>

namespace fault_injection {

struct Plan {
  // The call, counted from 1 after Arm(), that fails; 0 fails none (counting only).
  unsigned failingCall = 0;
  // Once the failing call has failed, every later call that would change this path fails
  // too, as when a full disk or another program keeps a replaced file from being put back.
  // Compared without regard to case; empty: none.
  std::string stuckPath;
};

void Arm(const Plan& plan);
void Disarm();
// Calls counted since Arm().
unsigned CallsCounted();
// Whether the planned failure has happened.
bool FailureInjected();
// The paths of the calls counted since Arm(), in order: which call changed what.
std::vector<std::string> CountedPaths();

// For the calls themselves: counts this call and tells whether it must fail, as the
// system would (the caller then sets a last error and returns its failure value).
// `path` is the file, folder or registry key it changes.
bool ShouldFail(const std::string& path);

}  // namespace fault_injection
