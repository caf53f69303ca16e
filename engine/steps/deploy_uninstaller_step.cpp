#include "engine/steps/deploy_uninstaller_step.h"

#include "engine/machine_calls.h"
#include "engine/setup_resource.h"

namespace {

constexpr int kUninstallerResource = 143;

}  // namespace

bool DeployUninstallerStep::Do() {
  if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES && !copy_.Keep(path_, backups_)) {
    return Fail("Couldn't keep a copy of the existing file:\n" + path_);
  }
  attempted_ = true;
  static const SetupResourceMessages kMessages = {
      "Couldn't find uninstaller resource!", "Couldn't load uninstaller resource!",
      "Couldn't lock uninstaller resource!", "Couldn't get the size of the uninstaller resource!",
      "Couldn't create uninstaller file!"};
  std::string failure;
  auto keep = [](void* text, const char* message) { *static_cast<std::string*>(text) = message; };
  if (!WriteSetupResource(module_, kUninstallerResource, path_, kMessages, keep, &failure)) return Fail(failure);
  return true;
}

void DeployUninstallerStep::Undo(UndoReport* report) {
  if (!attempted_) return;
  attempted_ = false;
  TakeBackFile(path_, &copy_, report);
}
