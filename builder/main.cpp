// brisklay: builds setup data from a manifest, and shows setup data files as JSON.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "builder/build_setup.h"
#include "builder/dump.h"
#include "builder/setup_program_locator.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  brisklay build MANIFEST -o Setup.exe [--setup PATH] [--root DIR] [-j N] [--strip-signature]\n"
    "      writes Setup.exe: a copy of the setup program with the setup data attached.\n"
    "      The setup program is PATH, else $BRISKLAY_SETUP, else setup.exe beside brisklay\n"
    "      or in ../lib/brisklay/. A signed setup program is refused unless --strip-signature.\n"
    "  brisklay build MANIFEST -o BASE [--root DIR] [-j N]\n"
    "      writes the setup data beside the setup program instead: BASE.exe.sum.bin,\n"
    "      BASE.exe.archive.bin and, when the manifest has them, BASE.exe.info.txt,\n"
    "      BASE.exe.eula.txt and BASE.exe.img.bmp.\n"
    "      In both, sources are found below DIR, or beside the manifest without --root;\n"
    "      -j N compresses on N threads (default: one per core; the output is the same).\n"
    "      With SOURCE_DATE_EPOCH set, no stored time is later than it.\n"
    "  brisklay dump FILE [--as summary|data|archive|log]\n"
    "      prints a summary record (*.sum.bin), a compressed archive (*.archive.bin), an\n"
    "      inflated data file (--as data) or an uninstall log (*.log) as JSON.\n";

int UsageError(const std::string& message) {
  std::cerr << "brisklay: " << message << "\n\n" << kUsage;
  return 2;
}

// Shows how far the compression is, on one line that keeps being redrawn. Only a person
// watching a terminal wants that; logs and pipes get nothing.
void ShowProgress(uint64_t done, uint64_t total) {
  const double mib = 1048576.0;
  std::fprintf(stderr, "\rcompressing: %.1f of %.1f MiB", done / mib, total / mib);
  if (done >= total) std::fprintf(stderr, "\n");
  std::fflush(stderr);
}

bool ParseThreads(const std::string& text, unsigned* threads) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned value = static_cast<unsigned>(std::stoul(text));
  if (value < 1 || value > 256) return false;
  *threads = value;
  return true;
}

int RunBuild(const std::vector<std::string>& args) {
  BuildRequest request;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if ((args[i] == "-o" || args[i] == "--output") && hasValue) {
      request.outputBase = args[++i];
    } else if (args[i] == "--root" && hasValue) {
      request.sourceRoot = args[++i];
    } else if (args[i] == "--setup" && hasValue) {
      request.setupProgram = args[++i];
    } else if ((args[i] == "-j" || args[i] == "--jobs") && hasValue) {
      if (!ParseThreads(args[++i], &request.threads)) {
        return UsageError("-j takes a number of threads from 1 to 256, not \"" + args[i] + "\"");
      }
    } else if (args[i] == "--strip-signature") {
      request.stripSignature = true;
    } else if (request.manifestPath.empty() && !args[i].empty() && args[i][0] != '-') {
      request.manifestPath = args[i];
    } else {
      return UsageError("unexpected argument \"" + args[i] + "\"");
    }
  }
  if (request.manifestPath.empty() || request.outputBase.empty()) {
    return UsageError("build needs a manifest and -o Setup.exe or -o BASE");
  }
  const bool setupProgram = WritesSetupProgram(request.outputBase);
  if (setupProgram && request.setupProgram.empty()) request.setupProgram = DefaultSetupProgram();
  if (isatty(fileno(stderr))) request.progress = ShowProgress;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) request.sourceDateEpoch = epoch;

  BuildResult result;
  std::string error;
  if (!BuildSetup(request, &result, &error)) {
    std::cerr << "brisklay: " << request.manifestPath << ": " << error << "\n";
    return 1;
  }
  for (const std::string& note : result.notes) std::cerr << "brisklay: note: " << note << "\n";
  std::cout << "built " << request.outputBase << (setupProgram ? "" : ".exe") << ": " << result.fileCount << " files and folders, "
            << result.registryCount << " registry values, " << result.totalSize << " bytes\n";
  return 0;
}

int RunDump(const std::vector<std::string>& args) {
  std::string path;
  std::string kindName;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--as" && i + 1 < args.size()) {
      kindName = args[++i];
    } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
      path = args[i];
    } else {
      return UsageError("unexpected argument \"" + args[i] + "\"");
    }
  }
  if (path.empty()) return UsageError("dump needs a file");
  DumpKind kind;
  if (!kindName.empty() && !DumpKindFromName(kindName, &kind)) {
    return UsageError("--as takes summary, data, archive or log, not \"" + kindName + "\"");
  }
  if (kindName.empty() && !DumpKindFromPath(path, &kind)) {
    return UsageError("cannot tell from the name what " + path + " is; say it with --as");
  }
  std::string error;
  if (!DumpFile(path, kind, std::cout, &error)) {
    std::cerr << "brisklay: " << path << ": " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "build") return RunBuild(rest);
  if (args[0] == "dump") return RunDump(rest);
  return UsageError("unknown command \"" + args[0] + "\"");
}
