#include "setup/preinstall_questions.h"

#include "common/message_box.h"

namespace {

// A box that could not be shown counts as No.
bool AskToProceed(void* owner, const std::string& question) {
  return question.empty() || ShowMessageBox(owner, question, "Warning", kMbYesNo | kMbIconWarning) == kIdYes;
}

}  // namespace

bool ConfirmOsSupport(void* owner, const std::optional<OsVersionReport>& report, const SetupConfig& config) {
  return AskToProceed(owner, OsSupportQuestion(report, config));
}

bool CheckOSSupport(void* owner, const SetupConfig& config) {
  return ConfirmOsSupport(owner, QueryOsVersion(), config);
}

bool ConfirmDiskSpace(void* owner, uint64_t requiredBytes, const std::optional<DiskSpaceReport>& report) {
  return AskToProceed(owner, DiskSpaceQuestion(requiredBytes, report));
}

bool ConfirmDiskSpaceQuestions(void* owner, const std::vector<std::string>& questions) {
  for (const std::string& question : questions) {
    if (!AskToProceed(owner, question)) return false;
  }
  return true;
}

bool CheckDiskSpace(void* owner, const std::string& destinationFolder, const SummaryRecord& summary) {
  return ConfirmDiskSpaceQuestions(owner, QueryDiskSpaceQuestions(destinationFolder, summary));
}
