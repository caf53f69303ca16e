#include "install_ui/install_hand_over.h"

std::unique_ptr<CDialogInstall> OpenInstallDialog(HWND owner, const InstallPlan& plan, InstallHost* companion) {
  auto dialog = std::make_unique<CDialogInstall>(owner, plan);
  if (!dialog->IsCreated()) return nullptr;
  dialog->SetCompanion(companion, false);
  dialog->StartInstall();
  return dialog;
}
