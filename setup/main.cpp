#include <windows.h>

#include "setup/setup_app.h"

CSetupApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(); }
