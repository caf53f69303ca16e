#include "uninstaller/quiet_removal.h"

#include <objbase.h>

#include "uninstaller/exit_codes.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstaller.h"

namespace {

class LoggedProgress : public RemovalProgress {
 public:
  explicit LoggedProgress(RunLog* log) : log_(log) {}
  void SetStatus(const std::string& text) override { log_->Write(text); }
  void SetRange(int) override {}
  void Step() override {}

 private:
  RunLog* log_;
};

}  // namespace

int RemoveQuietly(const UninstallLog& log, const std::string& folder, const std::string& uninstallerPath,
                  RunLog* runLog) {
  runLog->Write("Removing " + BufferText(log.Header.cName) + " from " + folder + " without questions");
  const HRESULT com = CoInitialize(nullptr);
  LoggedProgress progress(runLog);
  Uninstaller uninstaller(log, folder, uninstallerPath, &progress);
  uninstaller.Run();
  Leftovers leftovers = uninstaller.leftovers();
  RemoveUninstallerAfterwards(uninstallerPath, folder, &leftovers);
  if (SUCCEEDED(com)) CoUninitialize();
  for (const Leftover& item : leftovers.items()) runLog->Write("Kept: " + item.item + " (" + item.reason + ")");
  for (const std::string& path : uninstaller.WaitingForRestart()) runLog->Write("Deleted at the next restart: " + path);
  return RemovalExitCode(!leftovers.empty(), uninstaller.RestartNeeded());
}
