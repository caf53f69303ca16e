#pragma once
// The installation's host when nobody is there to ask: every question is answered by a
// rule, and everything the engine reports goes to the log instead of the screen. The
// installation dialog of a /silent run, and a wizard run with a log, pass what they see
// through one of these as well.

#include <string>

#include "common/run_log.h"
#include "engine/install_host.h"

// Whether an existing library is replaced: kept only when both versions are known and
// the installed one is higher than the payload's; `why` says which case applied.
bool ReplaceLibraryByRule(const LibraryQuestion& facts, std::string* why);

// "1.2 build 3", or "unknown".
std::string VersionText(const LibraryVersion& version);

class UnattendedHost : public InstallHost {
 public:
  explicit UnattendedHost(RunLog* log) : log_(log) {}

  void ReportError(const std::string& text, const std::string& caption) override;
  void Warn(const std::string& text) override;
  bool Confirm(const std::string& question) override;
  bool ConfirmLibraryReplacement(const std::string& question, const LibraryQuestion& facts) override;
  void SetStatusText(const std::string& text) override;
  void SetProgressRange(int) override {}
  void SetProgressPosition(int) override {}
  void EnableCancelButton(bool) override {}
  void Note(const std::string& event) override { log_->Write(event); }

  // What a person answered to a question asked on the screen, for the log.
  void NoteAnswer(const std::string& question, bool yes);

 private:
  RunLog* log_;
  std::string lastStatus_;
};
