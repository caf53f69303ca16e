#pragma once
// The setup data, out of the program (or the external archive file), proven whole by the
// checksum of its compressed bytes before anything is installed from it. Nothing on the
// machine changes, and nothing is written to the temporary folder: the installation then
// inflates the same bytes straight into the files.

#include <functional>

#include "engine/install_host.h"
#include "engine/install_plan.h"
#include "engine/install_progress.h"
#include "engine/setup_data_source.h"

// What the user is told when the setup data fails a checksum.
extern const char kPayloadIntegrityMessage[];

enum class Proof { kProven, kCancelled, kFailed, kDamaged };

class SetupDataProof {
 public:
  SetupDataProof(InstallHost* host, InstallProgress* progress, const InstallPlan& plan,
                 std::function<bool()> stopRequested)
      : host_(host), progress_(progress), plan_(plan), stopRequested_(std::move(stopRequested)) {}

  // Opens the setup data into `source` and reads it once; when kProven, `source` is back at
  // its first byte.
  Proof Prove(SetupDataSource* source);

 private:
  bool Open(SetupDataSource* source);
  Proof Check(SetupDataSource* source);

  InstallHost* host_;
  InstallProgress* progress_;
  const InstallPlan& plan_;
  std::function<bool()> stopRequested_;
};
