#pragma once
// A COM server's registration with regsvr32, waited for with a time limit. Two kinds:
// registering the file just installed (undone by unregistering it before it goes), and,
// placed before the write that replaces a registered server, a step that does nothing
// until undone and then registers the restored original again.

#include <memory>
#include <string>

#include "engine/steps/step.h"

class RegisterServerStep : public Step {
 public:
  static std::unique_ptr<RegisterServerStep> ForInstalledServer(std::string systemFolder, std::string server);
  static std::unique_ptr<RegisterServerStep> ToRegisterTheOriginalAgain(std::string systemFolder, std::string server);

  bool Do() override;
  void Undo(UndoReport* report) override;
  // The original's registration follows the copy that brings it back.
  bool RestoresEarlierContent() const override { return original_; }
  std::string DoneText() const override;

 private:
  RegisterServerStep(std::string systemFolder, std::string server, bool original)
      : systemFolder_(std::move(systemFolder)), server_(std::move(server)), original_(original) {}

  std::string systemFolder_;
  std::string server_;
  bool original_;
  bool registered_ = false;
};
