#pragma once
// The summary page's text: what the installation is about to do, with the path macros
// expanded for display.

#include <string>

struct SummaryInputs {
  std::string Destination;
  std::string FileList;
  std::string StartMenuList;  // "" when no Start Menu shortcuts are created
  std::string DesktopList;    // "" when no Desktop shortcuts are created
  std::string WindowsDirectory;
  std::string SystemDirectory;
};

std::string BuildSummaryText(const SummaryInputs& inputs);

// Replaces every `name` in `text` by `value`. The search goes on after the inserted
// value, so a value that itself contains `name` is not expanded again.
std::string ExpandMacro(const std::string& text, const std::string& name, const std::string& value);
