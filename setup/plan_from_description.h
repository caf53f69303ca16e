#pragma once
// The installation's plan from the setup's description and the choices made, whether a
// person made them on the destination page or switches did.

#include <string>

#include "engine/install_plan.h"
#include "setup/command_line.h"
#include "setup/setup_description.h"

struct InstallChoices {
  std::string destination;
  bool allUsers = false;
  ShortcutChoice shortcuts;
  // Only switches make these two.
  bool closeProgramsWithoutWarning = false;
  bool userMayCancel = true;
};

// The choices that only switches make, for either kind of run.
void TakeSwitchChoices(const SetupOptions& options, InstallChoices* choices);

// `basePath` empty: the data is in the program itself.
InstallPlan PlanFromDescription(const SetupDescription& description, const std::string& basePath,
                                const InstallChoices& choices);
