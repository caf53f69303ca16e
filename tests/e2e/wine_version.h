#pragma once
// The Windows version Wine reports to the setup program, set for the program's own name
// only (HKCU\Software\Wine\AppDefaults\setup.exe), so other programs in the same prefix
// are not affected. The previous setting comes back when the object goes.

#include <optional>
#include <string>

namespace e2e {

class ReportedWindowsVersion {
 public:
  // `version` is one of Wine's names: "win95", "win98", "winxp", "win2k", "win7", ...
  explicit ReportedWindowsVersion(const std::string& version);
  ~ReportedWindowsVersion();
  ReportedWindowsVersion(const ReportedWindowsVersion&) = delete;
  ReportedWindowsVersion& operator=(const ReportedWindowsVersion&) = delete;

  bool Applied() const { return applied_; }

 private:
  std::optional<std::string> previous_;
  bool applied_ = false;
};

// The version every wizard test runs under unless it says otherwise: one the test
// products support, so no operating-system question interrupts them.
constexpr char kSupportedTestVersion[] = "winxp";

}  // namespace e2e
