#include "install_ui/install_hand_over.h"

std::unique_ptr<CDialogInstall> OpenInstallDialog(HWND owner, const InstallPlan& plan) {
  auto dialog = std::make_unique<CDialogInstall>(owner, plan);
  if (!dialog->IsCreated()) return nullptr;
  dialog->StartInstall();
  return dialog;
}
