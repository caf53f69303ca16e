// Which imports make a shipped program fail the check, and that the message names them.

#include <gtest/gtest.h>

#include "tools/import_check/allowed_imports.h"

namespace {

using Names = std::vector<std::string>;

struct Imports {
  const char* label;
  ImportedLibraries imports;
  bool commonControls6;
  Names problems;  // one expected beginning per problem
};

void PrintTo(const Imports& imports, std::ostream* out) { *out << imports.label; }

std::vector<Imports> Cases() {
  const Names known{"KERNEL32.dll", "USER32.dll", "GDI32.dll", "ADVAPI32.dll", "SHELL32.dll", "ole32.dll", "msvcrt.dll"};
  return {
      {"known libraries", {known, known}, false, {}},
      {"known libraries in any letter case", {{"kernel32.DLL", "OLE32.dll", "MSVCRT.DLL"}, {}}, false, {}},
      {"a library Windows looks for beside the program", {{"KERNEL32.dll", "VERSION.dll"}, {}}, true,
       {"imports VERSION.dll, which Windows looks for in the program's own folder first"}},
      {"a delay-loaded one", {{}, {"SHLWAPI.dll"}}, true, {"delay-loads SHLWAPI.dll, which"}},
      {"a known name with a path", {{"..\\KERNEL32.dll"}, {}}, false, {"imports ..\\KERNEL32.dll"}},
      {"a known name without its extension", {{"KERNEL32"}, {}}, false, {"imports KERNEL32,"}},
      {"common controls with the manifest", {{"COMCTL32.DLL"}, {"comctl32.dll"}}, true, {}},
      {"common controls without it", {{"COMCTL32.DLL"}, {"comctl32.dll"}}, false,
       {"imports COMCTL32.DLL without a manifest (resource 24, 1) that binds version 6 of the common controls, which",
        "delay-loads comctl32.dll without a manifest"}},
  };
}

class AllowedImports : public testing::TestWithParam<Imports> {};

TEST_P(AllowedImports, NamesEachUnsafeLibrary) {
  const std::vector<std::string> problems = FindUnsafeImports(GetParam().imports, GetParam().commonControls6);
  ASSERT_EQ(problems.size(), GetParam().problems.size()) << testing::PrintToString(problems);
  for (std::size_t i = 0; i < problems.size(); ++i) {
    EXPECT_EQ(problems[i].rfind(GetParam().problems[i], 0), 0u) << problems[i];
  }
}

std::string CaseName(const testing::TestParamInfo<Imports>& info) {
  std::string name = info.param.label;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, AllowedImports, testing::ValuesIn(Cases()), CaseName);

}  // namespace
