#pragma once
// Runs the real Uninstall.exe as its own process and answers its message boxes as a user
// would: Yes or No to the question, OK to everything else.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace uninstaller_test {

struct SeenMessageBox {
  std::string caption;
  std::string text;
};

struct UninstallerRun {
  std::string startError;  // empty when the program started
  std::optional<DWORD> exitCode;  // empty when it did not end in time
  std::vector<SeenMessageBox> boxes;
  // The uninstaller's own window, as it stood when its first message box came up.
  bool windowShown = false;
  bool windowCentred = false;
};

UninstallerRun RunUninstaller(const std::string& program, const std::string& commandLine,
                              const std::string& workingDir, bool confirm);

}  // namespace uninstaller_test
