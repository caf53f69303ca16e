#include "tests/uninstaller/uninstaller_run.h"

#include <chrono>

#include "tests/driver/driver.h"

namespace uninstaller_test {

namespace {

// The whole run, questions and removal included, on a loaded machine under Wine.
constexpr auto kRunLimit = std::chrono::seconds(90);

std::string TextOf(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

UninstallerRun RunUninstaller(const std::string& program, const std::string& commandLine,
                              const std::string& workingDir, bool confirm) {
  UninstallerRun run;
  driver::ChildProcess process;
  if (!process.Start(program, commandLine, workingDir)) {
    run.startError = process.Error();
    return run;
  }
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  while (process.IsRunning() && std::chrono::steady_clock::now() < deadline) {
    HWND box = driver::WaitForMessageBox(process.Id(), "", driver::Millis(250));
    if (box == nullptr) continue;
    if (run.boxes.empty()) {
      for (HWND window : driver::TopLevelWindows(process.Id(), {"", "#32770", true})) {
        if (driver::IsMessageBox(window)) continue;
        run.windowShown = true;
        run.windowCentred = driver::IsCentredOnWorkArea(window);
      }
    }
    run.boxes.push_back({TextOf(box), driver::MessageBoxText(box)});
    const bool question = GetDlgItem(box, IDYES) != nullptr;
    driver::PressMessageBoxButton(box, question ? (confirm ? IDYES : IDNO) : IDOK);
    driver::WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
  }
  run.exitCode = process.WaitForExit(driver::Millis(5000));
  return run;
}

}  // namespace uninstaller_test
