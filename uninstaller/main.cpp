#include <windows.h>

#include "uninstaller/uninstall_app.h"

CUninstallApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(); }
