#include "engine/install_progress.h"

#include <cstdio>

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

}  // namespace

double BytesToMegabytes(uint64_t bytes) { return static_cast<double>(bytes) / kBytesPerMegabyte; }

std::string MegabytesText(const char* format, uint64_t bytes) {
  char text[64];
  std::snprintf(text, sizeof text, format, BytesToMegabytes(bytes));
  return text;
}

void InstallProgress::Prepare(double megabytes) {
  done_ = 0.0;
  const int range = static_cast<int>(megabytes);
  range_ = range < 5 ? 5 : range;
  host_->SetProgressRange(range_);
  host_->SetProgressPosition(0);
}

void InstallProgress::Advance(uint32_t bytes) {
  done_ += bytes / kBytesPerMegabyte;
  host_->SetProgressPosition(range_ < done_ ? range_ : static_cast<int>(done_));
}
