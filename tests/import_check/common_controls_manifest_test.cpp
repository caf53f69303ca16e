// Which manifests bind version 6 of the common controls, so that COMCTL32 comes from the
// side-by-side store rather than from beside the program.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tools/import_check/common_controls_manifest.h"

namespace {

struct Manifest {
  const char* label;
  std::string text;
  bool binds;
};

void PrintTo(const Manifest& manifest, std::ostream* out) { *out << manifest.label; }

std::string WithDependency(const std::string& identity) {
  return "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
         "<dependentAssembly>" + identity + "</dependentAssembly></dependency></assembly>";
}

const char kVersion6[] =
    "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"\n"
    "  processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>";

std::vector<Manifest> Manifests() {
  return {
      {"version 6 dependency", WithDependency(kVersion6), true},
      {"name in another letter case, single quotes",
       WithDependency("<assemblyIdentity version='6.0.0.0' name='microsoft.windows.common-controls'/>"), true},
      {"namespace prefixes",
       "<asmv1:assembly xmlns:asmv1=\"urn:schemas-microsoft-com:asm.v1\"><asmv1:dependency><asmv1:dependentAssembly>"
       "<asmv1:assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/>"
       "</asmv1:dependentAssembly></asmv1:dependency></asmv1:assembly>",
       true},
      {"version 5", WithDependency("<assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"5.82.0.0\"/>"),
       false},
      {"version 60", WithDependency("<assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"60.0.0.0\"/>"),
       false},
      {"no version", WithDependency("<assemblyIdentity name=\"Microsoft.Windows.Common-Controls\"/>"), false},
      {"another assembly", WithDependency("<assemblyIdentity name=\"Microsoft.VC90.CRT\" version=\"6.0.0.0\"/>"), false},
      {"dependency in a comment", "<assembly><!-- " + WithDependency(kVersion6) + " --></assembly>", false},
      {"the program's own identity",
       "<assembly><assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/>"
       "<dependency><dependentAssembly></dependentAssembly></dependency></assembly>",
       false},
      {"after the dependency closed",
       "<assembly><dependency><dependentAssembly/></dependency>" + std::string(kVersion6) + "</assembly>", false},
      {"a '>' inside another value",
       WithDependency("<assemblyIdentity description=\"a > b\" name=\"Microsoft.Windows.Common-Controls\" "
                      "version=\"6.0.0.0\"/>"),
       true},
      {"cut off inside the identity", WithDependency(kVersion6).substr(0, 120), false},
      {"empty", "", false},
  };
}

class CommonControlsManifest : public testing::TestWithParam<Manifest> {};

TEST_P(CommonControlsManifest, BindsVersion6OnlyThroughADependency) {
  EXPECT_EQ(BindsCommonControls6(GetParam().text), GetParam().binds);
}

std::string CaseName(const testing::TestParamInfo<Manifest>& info) {
  std::string name = info.param.label;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CommonControlsManifest, testing::ValuesIn(Manifests()), CaseName);

// The shipped programs' manifests are what lets them import COMCTL32 at all.
TEST(CommonControlsManifest, ShippedManifestsBindIt) {
  for (const char* path : {BRISKLAY_SETUP_MANIFEST, BRISKLAY_UNINSTALLER_MANIFEST}) {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(BindsCommonControls6(text)) << path;
  }
}

}  // namespace
