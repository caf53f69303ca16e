#pragma once
// The setup data out of the program (or the external archive file) into the temporary
// folder, inflated into the data file and proven by both checksums before anything is
// installed from it. Nothing on the machine changes but the run's own temporary files.

#include <functional>
#include <string>

#include "engine/install_host.h"
#include "engine/install_plan.h"
#include "engine/install_progress.h"

enum class Extraction { kReady, kCancelled, kFailed, kDamaged };

class PayloadExtraction {
 public:
  PayloadExtraction(InstallHost* host, InstallProgress* progress, const InstallPlan& plan,
                    std::function<bool()> stopRequested)
      : host_(host), progress_(progress), plan_(plan), stopRequested_(std::move(stopRequested)) {}

  // Leaves the inflated data at `dataFilePath` when kReady; the compressed copy, named
  // `dataFilePath` + "2" meanwhile, never stays.
  Extraction Extract(const std::string& dataFilePath);

 private:
  bool CopyCompressed(const std::string& path);

  InstallHost* host_;
  InstallProgress* progress_;
  const InstallPlan& plan_;
  std::function<bool()> stopRequested_;
};
