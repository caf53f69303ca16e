// What a successful installation leaves for removing the product later: the log and
// "Uninstall.exe" in the destination folder, "Uninstall.lnk" in the program folder and
// the Add/Remove Programs entry.

#include "engine/install_engine.h"
#include "engine/registry.h"
#include "engine/setup_resource.h"
#include "engine/uninstall_log_placement.h"

namespace {

constexpr int kUninstallerResource = 143;

}  // namespace

void InstallEngine::DeployUninstaller() {
  host_->EnableCancelButton(false);
  CloseUninstallLog();
  // An earlier installation's log in the folder is merged with this one, so that one
  // uninstaller run removes what both installed. Nothing is shown when the log cannot be
  // placed: the installation itself has succeeded.
  PlaceUninstallLog(logPath_, destination_ + "\\Uninstall.log");
  const bool extracted = ExtractUninstaller(destination_);
  if (startMenuOption_ && extracted) {
    SetStatus("Creating uninstaller shortcut...");
    std::string shortcutName = "Uninstall";
    std::string description = "Uninstall application";
    CreateShortcut("Uninstall", destination_ + "\\Uninstall.exe", &shortcutName, &description, true, false, false);
  }
  if (extracted) RegisterUninstaller(destination_ + "\\Uninstall.exe");
  host_->EnableCancelButton(true);
}

bool InstallEngine::ExtractUninstaller(const std::string& destination) {
  SetStatus("Extracting uninstaller...");
  static const SetupResourceMessages kMessages = {
      "Couldn't find uninstaller resource!", "Couldn't load uninstaller resource!",
      "Couldn't lock uninstaller resource!", "Couldn't get the size of the uninstaller resource!",
      "Couldn't create uninstaller file!"};
  auto show = [](void* engine, const char* text) { static_cast<InstallEngine*>(engine)->ReportError(text); };
  return WriteSetupResource(resourceModule_, kUninstallerResource, destination + "\\Uninstall.exe", kMessages, show,
                            this);
}

void InstallEngine::RegisterUninstaller(const std::string& uninstallerPath) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productName_;
  CRegistry registry;
  registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", productName_);
  // Quoted, so a folder with blanks cannot be read as another program; the folder after
  // it still starts one character before the second colon.
  registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString",
                          "\"" + uninstallerPath + "\" " + destination_);
  registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayIcon", uninstallerPath);
  // What deployment tools and the Settings app read: how to remove without questions,
  // where the product is, how much room it takes, and that it has no change or repair.
  registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), "QuietUninstallString", "\"" + uninstallerPath + "\" /S");
  registry.SetStringValue(HKEY_LOCAL_MACHINE, key.c_str(), "InstallLocation", destination_);
  const uint64_t bytes = (static_cast<uint64_t>(totalSizeHigh_) << 32) | totalSizeLow_;
  const uint64_t kibibytes = (bytes + 1023) / 1024;
  const DWORD estimatedSize = kibibytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(kibibytes);
  const DWORD one = 1;
  registry.SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "DWORD", "EstimatedSize", REG_DWORD, &estimatedSize,
                    sizeof estimatedSize);
  registry.SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "DWORD", "NoModify", REG_DWORD, &one, sizeof one);
  registry.SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "DWORD", "NoRepair", REG_DWORD, &one, sizeof one);
}
