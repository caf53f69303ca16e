#pragma once
// The summary page's text: what the installation is about to do, with the path macros
// expanded for display.

#include <string>

#include "engine/macro_text.h"

struct SummaryInputs {
  std::string Destination;
  std::string FileList;
  std::string StartMenuList;  // "" when no Start Menu shortcuts are created
  std::string DesktopList;    // "" when no Desktop shortcuts are created
  std::string WindowsDirectory;
  std::string SystemDirectory;
};

std::string BuildSummaryText(const SummaryInputs& inputs);

