#pragma once
// The application object: runs the wizard and ends when it closes.

#include "window/app.h"

class CSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
