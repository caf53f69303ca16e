#include "engine/install_progress.h"

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

}  // namespace

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
