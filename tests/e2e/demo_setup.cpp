#include "tests/e2e/demo_setup.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "builder/build_setup.h"
#include "tests/driver/host_path.h"
#include "tests/e2e/wizard_session.h"

namespace e2e {

namespace {

std::string DemoSourceFolder() { return driver::WindowsPathFromHost(BRISKLAY_DEMO_SOURCE); }

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The manifest with the placement lines replaced, written beside copies of the texts and
// the picture it names, which are found beside it.
bool WriteManifest(const std::string& folder, const PicturePlacement& placement, const ManifestEdit& edit,
                   std::string* manifestPath) {
  std::string manifest = ReadText(DemoSourceFolder() + "\\manifest.toml");
  auto replace = [&](const std::string& key, const std::string& value) {
    if (value.empty()) return true;
    const std::string::size_type at = manifest.find("\n" + key + " = ");
    if (at == std::string::npos) return false;
    const std::string::size_type end = manifest.find('\n', at + 1);
    manifest.replace(at + 1, end - at - 1, key + " = \"" + value + "\"");
    return true;
  };
  if (manifest.empty() || !replace("horizontal", placement.horizontal) || !replace("vertical", placement.vertical))
    return false;
  if (edit) edit(&manifest);
  for (const char* name : {"information.txt", "license.txt", "background.bmp"}) {
    if (!CopyFileA((DemoSourceFolder() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE)) return false;
  }
  *manifestPath = folder + "\\manifest.toml";
  std::ofstream out(*manifestPath, std::ios::binary);
  out << manifest;
  return static_cast<bool>(out);
}

}  // namespace

std::string DemoStageFolder() { return driver::WindowsPathFromHost(BRISKLAY_DEMO_STAGE); }

bool BuildDemoSetup(const std::string& folder, DataMode mode, const PicturePlacement& placement, DemoBuild* build,
                    std::string* error, const ManifestEdit& edit) {
  BuildRequest request;
  if (!WriteManifest(folder, placement, edit, &request.manifestPath)) {
    *error = "could not write the manifest into " + folder;
    return false;
  }
  request.sourceRoot = DemoStageFolder();
  request.setupProgram = SetupExePath();
  build->base = folder + "\\Setup";
  if (mode == DataMode::kResources) {
    request.outputBase = folder + "\\Setup.exe";
    build->program = request.outputBase;
    build->argument.clear();
  } else {
    request.outputBase = build->base;
    build->program = SetupExePath();
    build->argument = build->base;
  }
  BuildResult result;
  return BuildSetup(request, &result, error);
}

}  // namespace e2e
