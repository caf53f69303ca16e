// The installation as the setup runs it on its worker thread, with a host that shows
// nothing: what is timed is the engine's own work.

#include "bench/install/install_run.h"

#include <cstdio>

#include "engine/install_engine.h"

namespace {

// Shows nothing, but tells on standard error when each phase begins, so a slow run
// shows where its time goes.
class SilentHost : public InstallHost {
 public:
  void ReportError(const std::string& text, const std::string&) override { Tell("error", text); }
  void Warn(const std::string& text) override { Tell("warning", text); }
  bool Confirm(const std::string& question) override {
    Tell("question", question);
    return true;
  }
  void SetStatusText(const std::string& text) override {
    if (text.rfind("Writing: ", 0) == 0) return;
    std::fprintf(stderr, "%8lu ms  %s\n", GetTickCount() - start_, text.c_str());
  }
  void SetProgressRange(int) override {}
  void SetProgressPosition(int) override {}
  void EnableCancelButton(bool) override {}

 private:
  static void Tell(const char* kind, const std::string& text) { std::fprintf(stderr, "%s: %s\n", kind, text.c_str()); }
  DWORD start_ = GetTickCount();
};

}  // namespace

bool RunInstall(const BenchPayload& payload, const std::string& destination) {
  InstallPlan plan;
  plan.productName = kBenchProductName;
  plan.totalSizeHigh = static_cast<uint32_t>(payload.totalSize >> 32);
  plan.totalSizeLow = static_cast<uint32_t>(payload.totalSize);
  plan.externalData = true;
  plan.basePath = payload.basePath;
  plan.destination = destination;
  plan.dataFileCrc = payload.dataFileCrc;
  plan.setupDataCrc = payload.setupDataCrc;
  SilentHost host;
  InstallEngine engine(&host, plan);
  return engine.Install();
}
