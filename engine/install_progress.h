#pragma once
// The installation's progress bar: one range per phase (the inflation, the files), in
// megabytes, moved by the bytes done.

#include <cstdint>
#include <string>

#include "engine/install_host.h"

// Bytes shown to the user as megabytes ("%.2f MB" uses this value).
double BytesToMegabytes(uint64_t bytes);
// A status text such as "Writing data... %.2f MB" for `bytes`.
std::string MegabytesText(const char* format, uint64_t bytes);

class InstallProgress {
 public:
  explicit InstallProgress(InstallHost* host) : host_(host) {}
  // A new phase of `megabytes`, the bar back at its start.
  void Prepare(double megabytes);
  void Advance(uint32_t bytes);
  // The phase is done, however its byte count ended.
  void Complete() { host_->SetProgressPosition(range_); }
  int Range() const { return range_; }

 private:
  InstallHost* host_;
  int range_ = 0;
  double done_ = 0.0;
};
