// brisklay_import_check PROGRAM...: fails when a program imports a library that Windows
// could take from the program's own folder (see allowed_imports.h). The build runs it on
// every shipped program after linking it.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/import_check/program_imports.h"

namespace {

constexpr int kExitSafe = 0;
constexpr int kExitUnsafe = 1;
constexpr int kExitUsage = 2;

// True when the program's imports are safe; says why not otherwise.
bool CheckOne(const std::string& path) {
  std::vector<std::string> problems;
  std::string error;
  if (!CheckProgramImports(path, &problems, &error)) {
    std::fprintf(stderr, "brisklay_import_check: %s\n", error.c_str());
    return false;
  }
  for (const std::string& problem : problems) std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.c_str());
  return problems.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: brisklay_import_check PROGRAM...\n");
    return kExitUsage;
  }
  bool safe = true;
  for (int i = 1; i < argc; ++i) safe = CheckOne(argv[i]) && safe;
  return safe ? kExitSafe : kExitUnsafe;
}
