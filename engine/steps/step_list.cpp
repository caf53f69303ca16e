#include "engine/steps/step_list.h"

bool StepList::Run(std::unique_ptr<Step> step) {
  Step& running = *step;
  steps_.push_back(std::move(step));
  if (!running.Do()) {
    const StepMessage& failure = running.Failure();
    if (!failure.text.empty()) host_->ReportError(failure.text, failure.caption);
    return false;
  }
  host_->Note(running.DoneText());
  const StepMessage& notice = running.Notice();
  if (!notice.text.empty()) host_->ReportError(notice.text, notice.caption);
  host_->StepDone(++done_);
  return true;
}

UndoReport StepList::UndoAll() {
  UndoReport report;
  UndoPass(false, &report);
  UndoPass(true, &report);
  for (const std::string& line : report.lines) host_->Note(line);
  steps_.clear();
  return report;
}

void StepList::UndoPass(bool restoring, UndoReport* report) {
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    if ((*step)->RestoresEarlierContent() == restoring) (*step)->Undo(report);
  }
}

void StepList::CommitAll() {
  for (auto& step : steps_) step->Commit();
  steps_.clear();
}

bool StepList::AnyCompletesAtRestart() const {
  for (const auto& step : steps_)
    if (step->CompletesAtRestart()) return true;
  return false;
}
