#include "setup/unattended_host.h"

namespace {

// Compares major, minor, build in turn.
int CompareVersions(const LibraryVersion& a, const LibraryVersion& b) {
  if (a.major != b.major) return a.major < b.major ? -1 : 1;
  if (a.minor != b.minor) return a.minor < b.minor ? -1 : 1;
  if (a.build != b.build) return a.build < b.build ? -1 : 1;
  return 0;
}

}  // namespace

std::string VersionText(const LibraryVersion& version) {
  if (!version.known) return "unknown";
  return std::to_string(version.major) + "." + std::to_string(version.minor) + " build " +
         std::to_string(version.build);
}

bool ReplaceLibraryByRule(const LibraryQuestion& facts, std::string* why) {
  if (!facts.installed.known || !facts.payload.known) {
    *why = "a version is unknown, so the setup's copy is installed";
    return true;
  }
  if (CompareVersions(facts.installed, facts.payload) > 0) {
    *why = "the installed version is higher than the setup's";
    return false;
  }
  *why = "the installed version is not higher than the setup's";
  return true;
}

void UnattendedHost::ReportError(const std::string& text, const std::string& caption) {
  log_->Write("Failure (" + caption + "): " + text);
}

void UnattendedHost::Warn(const std::string& text) { log_->Write("Warning: " + text + " (went on)"); }

bool UnattendedHost::Confirm(const std::string& question) {
  // The engine asks this only where going on is what a person would be expected to do.
  log_->Write("Question: " + question + " Answer: Yes, by rule (an unattended run goes on)");
  return true;
}

bool UnattendedHost::ConfirmLibraryReplacement(const std::string&, const LibraryQuestion& facts) {
  std::string why;
  const bool replace = ReplaceLibraryByRule(facts, &why);
  log_->Write("Library " + facts.path + ": installed version " + VersionText(facts.installed) +
              ", setup's version " + VersionText(facts.payload) + ". " + (replace ? "Replaced" : "Kept") +
              ": " + why + ".");
  return replace;
}

void UnattendedHost::SetStatusText(const std::string& text) {
  // Progress texts repeat while one step lasts; one line each is enough.
  if (text == lastStatus_) return;
  lastStatus_ = text;
  log_->Write(text);
}

void UnattendedHost::NoteAnswer(const std::string& question, bool yes) {
  log_->Write("Question: " + question + " Answer: " + (yes ? "Yes" : "No") + ", by the user");
}
