#include <windows.h>

#include "setup/setup_app.h"
#include "shell/system_libraries.h"

CSetupApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadLibrariesOnlyFromSystemFolder();
  return RunApplication();
}
