#include "engine/steps/register_server_step.h"

#include <windows.h>

#include "shell/regsvr32.h"

std::unique_ptr<RegisterServerStep> RegisterServerStep::ForInstalledServer(std::string systemFolder, std::string server) {
  return std::unique_ptr<RegisterServerStep>(new RegisterServerStep(std::move(systemFolder), std::move(server), false));
}

std::unique_ptr<RegisterServerStep> RegisterServerStep::ToRegisterTheOriginalAgain(std::string systemFolder, std::string server) {
  return std::unique_ptr<RegisterServerStep>(new RegisterServerStep(std::move(systemFolder), std::move(server), true));
}

bool RegisterServerStep::Do() {
  if (original_) return true;
  registered_ = true;
  if (RunRegsvr32(systemFolder_, server_, ServerRegistration::kRegister) == Regsvr32Outcome::kNotStarted) {
    return Fail("Couldn't register file!\n" + server_);
  }
  return true;
}

void RegisterServerStep::Undo(UndoReport* report) {
  if (original_) {
    // Only a file that is back in place can be registered; a copy that stayed aside is
    // reported by the write step.
    if (GetFileAttributesA(server_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const bool done =
        RunRegsvr32(systemFolder_, server_, ServerRegistration::kRegister) == Regsvr32Outcome::kFinished;
    report->lines.push_back((done ? "Undid: registered the original again " : "Couldn't register the original again ") +
                            server_);
    return;
  }
  if (!registered_) return;
  registered_ = false;
  // Waited for, so that the server is no longer loaded when its file goes.
  const bool done = RunRegsvr32(systemFolder_, server_, ServerRegistration::kUnregister) == Regsvr32Outcome::kFinished;
  report->lines.push_back((done ? "Undid: unregistered " : "Couldn't unregister ") + server_);
}

std::string RegisterServerStep::DoneText() const {
  return original_ ? "Ready to register the original of " + server_ + " again if undone" : "Registered " + server_;
}
