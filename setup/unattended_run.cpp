#include "setup/unattended_run.h"

#include <windows.h>

#include <cctype>
#include <memory>

#include "common/message_box.h"
#include "engine/destination_checks.h"
#include "engine/install_engine.h"
#include "engine/preinstall_checks.h"
#include "shell/product_lock.h"
#include "install_ui/install_hand_over.h"
#include "setup/destination_rules.h"
#include "setup/exit_codes.h"
#include "setup/plan_from_description.h"
#include "setup/program_files_folder.h"
#include "setup/setup_log.h"
#include "setup/unattended_host.h"
#include "setup/version_check.h"
#include "shell/installed_product.h"
#include "shell/private_folder.h"

namespace {

bool ReadDescription(const SetupOptions& options, SetupDescription* description, RunLog* log) {
  std::string error;
  const bool read = options.basePath.empty()
                        ? ReadDescriptionFromResources(nullptr, UserTempFolder(), description, &error)
                        : ReadDescriptionFromFiles(options.basePath, description, &error);
  OpenSetupLog(log, options, read ? BufferText(description->Summary.Config.ProductName) : std::string());
  log->Write(read ? "Setup data read" + std::string(options.basePath.empty() ? " from the program" : " from " + options.basePath)
                  : "Setup data cannot be used: " + error);
  return read;
}

InstallChoices ChoicesFor(const SetupOptions& options, const SetupDescription& description) {
  InstallChoices choices;
  const std::string productName = BufferText(description.Summary.Config.ProductName);
  choices.destination =
      TrimDestination(options.destination ? *options.destination : DefaultDestination(ProgramFilesFolder(), productName));
  // An installed product is updated where it is: another folder would orphan it.
  const std::optional<InstalledProduct> installed = FindInstalledProduct(productName);
  if (installed && installed->IsInstalled()) choices.destination = installed->folder;
  choices.allUsers = options.allUsers.value_or(false);
  TakeSwitchChoices(options, &choices);
  const SummaryTexts& texts = description.Summary.Texts;
  // As the destination page: every kind of shortcut the product has is ticked.
  choices.shortcuts = options.shortcuts.value_or(ShortcutChoice{texts.AnyStartMenuShortcut != 0,
                                                                texts.AnyDesktopShortcut != 0});
  return choices;
}

void LogChoices(RunLog* log, const SetupOptions& options, const InstallChoices& choices) {
  if (options.destination && TrimDestination(*options.destination) != choices.destination) {
    log->Write("Destination given (" + *options.destination +
               ") ignored: the product is installed and is updated in its folder");
  }
  log->Write("Destination: " + choices.destination);
  log->Write(std::string("Shortcuts for ") + (choices.allUsers ? "all users" : "the current user") +
             ": Start Menu " + (choices.shortcuts.startMenu ? "yes" : "no") + ", Desktop " +
             (choices.shortcuts.desktop ? "yes" : "no"));
  if (choices.closeProgramsWithoutWarning) log->Write("Running programs of the product are closed without a warning");
  if (!choices.userMayCancel) log->Write("The installation cannot be cancelled");
}

// 0 when the installation may go on, else the exit code that ends the run.
int CheckSystem(const SetupOptions& options, const SetupDescription& description, RunLog* log) {
  const std::string question = OsSupportQuestion(QueryOsVersion(), description.Summary.Config);
  if (question.empty()) {
    log->Write("Operating system check: supported");
    return 0;
  }
  log->Write("Operating system check: " + question);
  if (options.force) {
    log->Write("Answer: go on, by rule (/force)");
    return 0;
  }
  log->Write("Answer: stop, by rule (an unattended run goes on only with /force)");
  return kSetupSystemNotSupported;
}

// A drive path ("C:\...") or a network path ("\\server\share..."): a relative one would
// land wherever the deployment tool happened to start the setup.
bool IsAbsoluteFolder(const std::string& path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     path[2] == '\\';
  const bool network = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

// The one place where the destination is judged before anything is changed; a refusal
// ends the run with kSetupDestinationRefused.
int CheckDestination(const InstallChoices& choices, const SummaryRecord& summary, RunLog* log) {
  if (!IsAbsoluteFolder(choices.destination)) {
    log->Write("Destination check: refused, not an absolute folder: " + choices.destination);
    return kSetupDestinationRefused;
  }
  const DestinationVerdict verdict = CheckDestination(choices.destination, summary);
  if (!verdict.Accepted()) {
    log->Write("Destination check: refused: " + verdict.message);
    return kSetupDestinationRefused;
  }
  log->Write("Destination check: accepted");
  return 0;
}

int CheckDiskSpace(const SetupDescription& description, const InstallChoices& choices, RunLog* log) {
  const std::vector<std::string> questions = QueryDiskSpaceQuestions(choices.destination, description.Summary);
  if (questions.empty()) {
    log->Write("Disk space check: enough room");
    return 0;
  }
  for (const std::string& question : questions) log->Write("Disk space check: " + question);
  log->Write("Answer: stop, by rule (an unattended run never installs onto a drive that is too full)");
  return kSetupNotEnoughSpace;
}

// A newer version installed stays unless /force says otherwise.
int CheckInstalledVersion(const SetupOptions& options, const SetupDescription& description, RunLog* log) {
  const std::string productName = BufferText(description.Summary.Config.ProductName);
  const std::optional<int> refusal = CheckInstalledVersionForSilentRun(productName, description.Product, options.force);
  if (!refusal) {
    log->Write("Installed version check: nothing newer installed" +
               std::string(options.force ? " (or /force given)" : ""));
    return 0;
  }
  log->Write("Installed version check: a newer version is installed; stop, by rule (only /force installs over it)");
  return *refusal;
}

int InstallWithoutWindow(const InstallPlan& plan, UnattendedHost* host) {
  InstallEngine engine(host, plan);
  engine.Install();
  return ExitCodeOf(engine.Outcome());
}

// The installation dialog alone, answering by rule; it closes itself at the end.
int InstallInDialog(const InstallPlan& plan, UnattendedHost* host, RunLog* log) {
  std::unique_ptr<CDialogInstall> dialog = std::make_unique<CDialogInstall>(nullptr, plan);
  if (!dialog->IsCreated()) {
    log->Write("Failure: couldn't create the installation window");
    return kSetupFailedAndUndone;
  }
  dialog->SetCompanion(host, true);
  dialog->CloseWhenFinished();
  dialog->StartInstall();
  MSG message;
  while (::IsWindow(dialog->m_hWnd) && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (dialog->PreTranslateMessage(&message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return ExitCodeOf(dialog->Outcome());
}

// Whatever would still try to show a message box in a run that shows nothing is logged
// and answered with the box's cautious default.
void SuppressMessageBoxes(RunLog* log) {
  SetMessageBoxHandler([log](const MessageBoxRequest& request) {
    log->Write("Not shown (" + request.caption + "): " + request.text);
    return (request.flags & kMbYesNo) ? kIdNo : kIdOk;
  });
}

}  // namespace

int RunUnattended(const SetupOptions& options, RunLog* log) {
  // /silent shows its failures in boxes, unless the deployment tool asked for none.
  if (options.mode == SetupMode::kVerySilent || options.suppressMessageBoxes) SuppressMessageBoxes(log);
  SetupDescription description;
  ClearSummaryRecord(&description.Summary);
  if (!ReadDescription(options, &description, log)) return kSetupDataUnusable;
  ProductLock lock;
  const std::string productName = BufferText(description.Summary.Config.ProductName);
  const std::string busy = ClaimProduct(&lock, productName);
  if (!busy.empty()) {
    log->Write("Failure: " + busy);
    return kSetupAnotherRunning;
  }
  if (const int stop = CheckSystem(options, description, log)) return stop;
  if (const int stop = CheckInstalledVersion(options, description, log)) return stop;
  const InstallChoices choices = ChoicesFor(options, description);
  LogChoices(log, options, choices);
  if (const int stop = CheckDestination(choices, description.Summary, log)) return stop;
  if (const int stop = CheckDiskSpace(description, choices, log)) return stop;
  const InstallPlan plan = PlanFromDescription(description, options.basePath, choices);
  UnattendedHost host(log);
  return options.mode == SetupMode::kVerySilent ? InstallWithoutWindow(plan, &host)
                                                : InstallInDialog(plan, &host, log);
}
