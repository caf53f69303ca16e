#include "engine/install_engine.h"

#include <objbase.h>

#include "engine/setup_data_proof.h"
#include "engine/setup_data_source.h"

namespace {

std::string SystemFolderText(UINT(WINAPI* query)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  UINT length = query(buffer, MAX_PATH);
  return (length == 0 || length >= MAX_PATH) ? std::string() : std::string(buffer, length);
}

std::string KeptCopiesMessage(const std::vector<KeptCopy>& copies) {
  std::string text =
      "Some files could not be put back as they were before the installation.\n"
      "Their earlier content is kept here:\n";
  for (const KeptCopy& copy : copies) text += "\n" + copy.original + "\n    kept at " + copy.copy;
  return text;
}

}  // namespace

InstallEngine::InstallEngine(InstallHost* host, const InstallPlan& plan)
    : host_(host),
      plan_(plan),
      windowsFolder_(SystemFolderText(GetWindowsDirectoryA)),
      systemFolder_(SystemFolderText(GetSystemDirectoryA)),
      progress_(host),
      shortcutFolders_(plan.allUsers),
      backups_(plan.productName),
      steps_(host) {}

bool InstallEngine::Install() {
  state_ = kRunning;
  failed_ = false;
  keptEarlierFiles_.clear();
  createdLinks_.clear();
  damagedPayload_ = false;
  outcome_ = InstallOutcome::kInstalled;
  lastParentFolder_.clear();
  host_->SetStatusText("Initializing...");
  host_->SetProgressPosition(0);
  // The shell link objects of the shortcuts need COM on this thread.
  const HRESULT com = CoInitialize(nullptr);
  MakeScratchFolder();
  // Read before anything changes: the run itself rewrites the entry and the log.
  FindEarlierVersion();
  const bool complete = Run() && PassPointOfNoReturn();
  if (!complete) UndoEverything();
  if (complete) WarnAboutKeptEarlierFiles();
  if (SUCCEEDED(com)) CoUninitialize();
  contentBuffer_.reset();
  scratch_.Remove();
  return complete;
}

bool InstallEngine::Run() {
  SetupDataSource source;
  SetupDataProof proof(host_, &progress_, plan_, [this] { return Stopping(); });
  switch (proof.Prove(&source)) {
    case Proof::kProven:
      break;
    case Proof::kDamaged:
      damagedPayload_ = true;
      return Failed();
    case Proof::kCancelled:
      return false;
    case Proof::kFailed:
      return Failed();
  }
  // The proven bytes, inflated on a second thread while this one writes the files.
  InflatingReader payload([&source](char* buffer, uint32_t size, uint32_t* got) {
    return source.Read(buffer, size, got);
  });
  if (!payload.Start()) {
    ReportError("Not enough memory to read the setup data.");
    return Failed();
  }
  payload_ = &payload;
  const bool done =
      CreateUninstallLog() && WalkDataFile() && RemoveEarlierVersionLeftovers() && DeployUninstaller();
  payload_ = nullptr;
  return done;
}

bool InstallEngine::PassPointOfNoReturn() {
  int running = kRunning;
  // A cancel confirmed before this moment still undoes the run; one after it is too late.
  if (!state_.compare_exchange_strong(running, kPastNoReturn)) return false;
  host_->EnableCancelButton(false);
  host_->Note("The installation is complete; copies kept for undoing are dropped");
  host_->SetStatusText("Finalizing installation...");
  if (steps_.AnyCompletesAtRestart()) {
    outcome_ = InstallOutcome::kInstalledRestartNeeded;
    host_->Note("Files in use are replaced at the next restart, which completes the installation");
  }
  steps_.CommitAll();
  backups_.RemoveIfEmpty();
  host_->EnableCancelButton(true);
  return true;
}

void InstallEngine::UndoEverything() {
  host_->EnableCancelButton(false);
  const UndoReport report = steps_.UndoAll();
  log_.Remove();
  backups_.RemoveIfEmpty();
  if (!report.keptCopies.empty()) ReportError(KeptCopiesMessage(report.keptCopies));
  if (damagedPayload_) {
    outcome_ = InstallOutcome::kDamagedPayload;
  } else if (failed_) {
    outcome_ = InstallOutcome::kFailedAndUndone;
  } else {
    outcome_ = InstallOutcome::kCancelled;
  }
  host_->EnableCancelButton(true);
}

bool InstallEngine::RequestAbort() {
  int running = kRunning;
  return state_.compare_exchange_strong(running, kCancelRequested) || running == kCancelRequested;
}

bool InstallEngine::Perform(std::unique_ptr<Step> step) {
  if (!steps_.Run(std::move(step))) {
    // A step stops without a word only for a cancel.
    if (state_ != kCancelRequested) failed_ = true;
    return false;
  }
  return !Stopping();
}

bool InstallEngine::Failed() {
  failed_ = true;
  return false;
}

bool InstallEngine::MakeScratchFolder() {
  if (!scratch_.IsMade() && scratch_.Create(UserTempFolder())) libraryScratchPath_ = scratch_.PathOf("library.tmp");
  return scratch_.IsMade();
}

bool InstallEngine::CreateUninstallLog() {
  if (MakeScratchFolder() && log_.Create(scratch_.Path() + "\\")) return true;
  ReportError("Couldn't create uninstall log file!");
  return Failed();
}

void InstallEngine::ReportLogFailure(const char* what) {
  ReportError(std::string("Couldn't append to uninstall log file!\n") + what, "Unhandled Exception Error");
  failed_ = true;
}

void InstallEngine::GetLists(std::string* runList, std::string* openList) const {
  *runList = runList_;
  *openList = openList_;
}

void InstallEngine::ReportError(const std::string& text, const std::string& caption) {
  host_->ReportError(text, caption);
}
