#include "engine/install_hand_over.h"

std::unique_ptr<CDialogInstall> OpenInstallDialog(HWND owner, const InstallHandOver& handOver,
                                                  HMODULE resourceModule) {
  auto dialog = std::make_unique<CDialogInstall>(owner);
  if (!dialog->IsCreated()) return nullptr;
  dialog->SetResourceModule(resourceModule);
  dialog->SetOwnerWindow(owner);
  dialog->SetSetupInfo(handOver.productName, handOver.clrOut, handOver.clrIn, handOver.totalSizeHigh,
                       handOver.totalSizeLow, handOver.externalData, handOver.basePath);
  dialog->SetLogColors(handOver.clrOut, handOver.clrIn);
  dialog->SetDestination(handOver.destination);
  dialog->SetChecksums(handOver.dataFileCrc, handOver.setupDataCrc);
  dialog->SetAllUsers(handOver.allUsers);
  dialog->SetShortcutOptions(handOver.startMenuShortcuts, handOver.desktopShortcuts);
  dialog->StartInstall();
  return dialog;
}
