// The installation as the setup runs it on its worker thread, with a host that shows
// nothing: what is timed is the engine's own work.

#include "bench/install/install_run.h"

#include <cstdio>

#include "common/message_box.h"
#include "engine/install_engine.h"

namespace {

// Shows nothing, but tells on standard error when each phase begins, so a slow run
// shows where its time goes.
class SilentHost : public InstallHost {
 public:
  void* OwnerWindow() override { return nullptr; }
  void SetStatusText(const std::string& text) override {
    if (text.rfind("Writing: ", 0) == 0) return;
    std::fprintf(stderr, "%8lu ms  %s\n", GetTickCount() - start_, text.c_str());
  }
  void SetProgressRange(int) override {}
  void SetProgressPosition(int) override {}
  void EnableCancelButton(bool) override {}

 private:
  DWORD start_ = GetTickCount();
};

}  // namespace

bool RunInstall(const BenchPayload& payload, const std::string& destination) {
  SetMessageBoxHandler([](const MessageBoxRequest& request) {
    std::fprintf(stderr, "message: %s\n", request.text.c_str());
    return (request.flags & kMbYesNo) ? kIdYes : kIdOk;
  });
  SilentHost host;
  InstallEngine engine(&host);
  engine.SetSetupInfo(kBenchProductName, 0, 0, static_cast<uint32_t>(payload.totalSize >> 32),
                      static_cast<uint32_t>(payload.totalSize), true, payload.basePath);
  engine.SetLogColors(0, 0);
  engine.SetDestination(destination);
  engine.SetChecksums(payload.dataFileCrc, payload.setupDataCrc);
  engine.SetAllUsers(false);
  engine.SetShortcutOptions(false, false);
  return engine.Install();
}
