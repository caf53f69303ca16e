#pragma once
// The example product, Brisklay Demo, built by the builder into a test's own folder:
// either one Setup.exe carrying its data, or the setup program with the external data
// files beside a base path. The picture's placement can be changed for one build.

#include <functional>
#include <string>

namespace e2e {

enum class DataMode { kResources, kExternalFiles };

struct DemoBuild {
  std::string program;   // the Setup.exe to start
  std::string argument;  // the base path in external-data mode, else empty
  std::string base;      // where the external data files are named from
};

// Manifest placement words: "left"/"centre"/"right" and "top"/"centre"/"bottom"; empty
// keeps the example's own.
struct PicturePlacement {
  std::string horizontal;
  std::string vertical;
};

// Changes the example's manifest text before it is built.
using ManifestEdit = std::function<void(std::string* manifest)>;

// Builds into `folder`; false with `error` set when the builder refused.
bool BuildDemoSetup(const std::string& folder, DataMode mode, const PicturePlacement& placement, DemoBuild* build,
                    std::string* error, const ManifestEdit& edit = nullptr);

// The staged product files the setup installs, for comparing with what it installed.
std::string DemoStageFolder();

}  // namespace e2e
