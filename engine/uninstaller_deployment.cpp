// What a complete installation leaves for removing the product later: the log and
// "Uninstall.exe" in the destination folder, "Uninstall.lnk" in the program folder and
// the Add/Remove Programs entry. These are the run's last steps: each can still fail, and
// then the whole run is undone, so a product is never left that cannot be removed.

#include "engine/install_engine.h"
#include "engine/steps/deploy_uninstaller_step.h"
#include "engine/steps/place_uninstall_log_step.h"
#include "engine/steps/uninstall_entry_step.h"

bool InstallEngine::DeployUninstaller() {
  const std::string& destination = plan_.destination;
  if (!CreateFolders(destination)) return false;
  // An earlier installation's log in the folder is merged with this one, so that one
  // uninstaller run removes what both installed; an upgrade has removed what the earlier
  // version alone had, so its log describes nothing more.
  const EarlierLog earlier = earlier_ ? EarlierLog::kReplace : EarlierLog::kMerge;
  if (!Perform(std::make_unique<PlaceUninstallLogStep>(log_.Path(), destination + "\\Uninstall.log", earlier,
                                                       &backups_))) {
    return false;
  }
  host_->SetStatusText("Extracting uninstaller...");
  const std::string uninstaller = destination + "\\Uninstall.exe";
  if (!Perform(std::make_unique<DeployUninstallerStep>(plan_.resourceModule, uninstaller, &backups_))) return false;
  if (plan_.startMenuShortcuts) {
    host_->SetStatusText("Creating uninstaller shortcut...");
    if (!CreateShortcut(ShortcutKind::kStartMenu, "Uninstall", uninstaller, "Uninstall application")) return false;
  }
  UninstallEntryFacts facts;
  facts.productName = plan_.productName;
  facts.destination = destination;
  facts.uninstallerPath = uninstaller;
  facts.product = plan_.product;
  facts.installedBytes = (static_cast<uint64_t>(plan_.totalSizeHigh) << 32) | plan_.totalSizeLow;
  return Perform(std::make_unique<UninstallEntryStep>(facts));
}
