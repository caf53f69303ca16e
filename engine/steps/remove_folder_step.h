#pragma once
// Takes away a folder of an earlier version that the removal of its stale files left
// empty. A folder that still holds anything stays; undoing makes the folder again.

#include <string>

#include "engine/steps/step.h"

class RemoveFolderStep : public Step {
 public:
  explicit RemoveFolderStep(std::string path) : path_(std::move(path)) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override;

 private:
  std::string path_;
  bool removed_ = false;
};
