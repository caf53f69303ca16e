#include "setup/summary_text.h"

namespace {
const char kUninstallerShortcutLine[] = "Uninstall.exe - %DIR%\\Uninstall.exe\r\n";
}

std::string BuildSummaryText(const SummaryInputs& inputs) {
  std::string text = "Destination folder:\r\n\r\n" + inputs.Destination + "\r\n\r\n\r\nInstalling files:\r\n\r\n";
  text += inputs.FileList;
  if (!inputs.StartMenuList.empty()) {
    text += "\r\n\r\nStart Menu shortcuts:\r\n\r\n" + inputs.StartMenuList + kUninstallerShortcutLine;
  }
  if (!inputs.DesktopList.empty()) text += "\r\n\r\nDesktop shortcuts:\r\n\r\n" + inputs.DesktopList;
  std::string directory = inputs.Destination;
  if (!directory.empty() && directory.back() == '\\') directory.pop_back();
  text = ExpandMacro(text, "%DIR%", directory);
  text = ExpandMacro(text, "%WINDOWS%", inputs.WindowsDirectory);
  return ExpandMacro(text, "%SYSTEM%", inputs.SystemDirectory);
}
