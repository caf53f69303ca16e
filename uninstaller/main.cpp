#include <windows.h>

#include "uninstaller/uninstall_app.h"
#include "shell/system_libraries.h"

CUninstallApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadLibrariesOnlyFromSystemFolder();
  return RunApplication();
}
