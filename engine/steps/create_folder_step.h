#pragma once
// Makes one folder that is not there yet; undoing removes it again when it is empty.

#include <string>

#include "engine/steps/step.h"

class CreateFolderStep : public Step {
 public:
  explicit CreateFolderStep(std::string path) : path_(std::move(path)) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override { return "Created folder " + path_; }

 private:
  std::string path_;
  bool created_ = false;
};
