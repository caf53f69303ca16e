#pragma once
// Runs the installation's steps in order and, when the run fails or is cancelled, undoes
// the ones it ran in reverse: first everything that only removes what the run made, then
// the steps that put earlier content back, so that a full disk has its space back before
// the copies return. One step's failing undo never stops the others.

#include <memory>
#include <vector>

#include "engine/install_host.h"
#include "engine/steps/step.h"

class StepList {
 public:
  explicit StepList(InstallHost* host) : host_(host) {}
  StepList(const StepList&) = delete;
  StepList& operator=(const StepList&) = delete;

  // Does `step` and keeps it for undoing, whether it succeeded or not (a failed step may
  // have done part of its work). A failure is reported to the host; a success is noted
  // and counted as a step boundary.
  bool Run(std::unique_ptr<Step> step);
  // Undoes every step run so far and forgets them.
  UndoReport UndoAll();
  // The run is complete: every step drops its undo state.
  void CommitAll();
  int StepsDone() const { return done_; }
  // Some step run so far completes only at the next restart.
  bool AnyCompletesAtRestart() const;

 private:
  void UndoPass(bool restoring, UndoReport* report);

  InstallHost* host_;
  std::vector<std::unique_ptr<Step>> steps_;
  int done_ = 0;
};
