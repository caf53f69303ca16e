#include "setup/plan_from_description.h"

InstallPlan PlanFromDescription(const SetupDescription& description, const std::string& basePath,
                                const InstallChoices& choices) {
  const SummaryRecord& summary = description.Summary;
  InstallPlan plan;
  plan.productName = BufferText(summary.Config.ProductName);
  plan.product = description.Product;
  plan.clrOut = summary.Config.clrOut;
  plan.clrIn = summary.Config.clrIn;
  plan.totalSizeHigh = summary.Head.TotalSizeHigh;
  plan.totalSizeLow = summary.Head.TotalSizeLow;
  plan.externalData = !basePath.empty();
  plan.basePath = basePath;
  plan.destination = choices.destination;
  plan.dataFileCrc = summary.DataFileCrc;
  plan.setupDataCrc = summary.SetupDataCrc;
  plan.allUsers = choices.allUsers;
  plan.startMenuShortcuts = choices.shortcuts.startMenu;
  plan.desktopShortcuts = choices.shortcuts.desktop;
  plan.warnBeforeClosingPrograms = !choices.closeProgramsWithoutWarning;
  plan.userMayCancel = choices.userMayCancel;
  return plan;
}

void TakeSwitchChoices(const SetupOptions& options, InstallChoices* choices) {
  choices->closeProgramsWithoutWarning = options.closeApplications;
  choices->userMayCancel = !options.noCancel;
}
