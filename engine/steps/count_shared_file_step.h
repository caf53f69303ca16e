#pragma once
// Counts this product as one more user of a file in the system or Windows folder;
// undoing puts the count back as it was (or removes it).

#include <string>

#include "engine/steps/step.h"
#include "shell/shared_files.h"

class CountSharedFileStep : public Step {
 public:
  CountSharedFileStep(std::string path, bool existedBefore) : path_(std::move(path)), existedBefore_(existedBefore) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override { return "Counted one more user of the shared file " + path_; }

 private:
  std::string path_;
  bool existedBefore_;
  bool attempted_ = false;
  SharedFileCountChange change_;
};
