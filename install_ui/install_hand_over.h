#pragma once
// The one way an installation starts: the wizard (and every test of the dialog) hands its
// plan to the installation dialog here, which then runs it at once.

#include <windows.h>

#include <memory>

#include "engine/install_plan.h"
#include "install_ui/dialog_install.h"

// The running installation dialog owned by `owner`, or null when its window could not be
// made. `companion`, when given, hears what the engine reports (for a log).
std::unique_ptr<CDialogInstall> OpenInstallDialog(HWND owner, const InstallPlan& plan,
                                                  InstallHost* companion = nullptr);
