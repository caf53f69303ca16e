#pragma once
// Identifiers of the uninstaller's resources and controls. The resource script includes
// this file too, so it holds only #defines.

#define IDR_UNINSTALLER_ICON 128
#define IDD_UNINSTALL 100

#define IDC_UNINSTALL_CAPTION 1000
#define IDC_UNINSTALL_STATUS 1001
#define IDC_UNINSTALL_PROGRESS 1002
