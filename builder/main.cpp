// brisklay: builds setup data from a manifest, and shows setup data files as JSON.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "builder/ansi_text.h"
#include "builder/build_setup.h"
#include "builder/dump.h"
#include "builder/interrupt_cleanup.h"
#include "builder/setup_program_locator.h"

namespace {

#ifndef BRISKLAY_VERSION
#define BRISKLAY_VERSION "unknown"
#endif

const char kUsage[] =
    "usage: brisklay build MANIFEST -o OUTPUT [--setup PATH] [--root DIR] [-j N] [--strip-signature]\n"
    "       brisklay dump FILE [--as summary|data|archive|log|product]\n"
    "       brisklay --help | --version\n"
    "\n"
    "commands:\n"
    "  build   makes a setup from a manifest and the product's files\n"
    "  dump    prints a setup data file or an uninstall log as JSON\n"
    "\n"
    "\"brisklay COMMAND --help\" shows a command's options.\n";

const char kBuildUsage[] =
    "usage: brisklay build MANIFEST -o OUTPUT [--setup PATH] [--root DIR] [-j N] [--strip-signature]\n"
    "\n"
    "Makes the setup that MANIFEST (a TOML file) describes.\n"
    "\n"
    "options:\n"
    "  -o, --output OUTPUT  with a name ending in .exe, writes that one Setup.exe: a copy\n"
    "                       of the setup program with the setup data attached. Otherwise\n"
    "                       writes the setup data beside the setup program: OUTPUT.exe.sum.bin,\n"
    "                       OUTPUT.exe.archive.bin and, when the manifest has them,\n"
    "                       OUTPUT.exe.info.txt, OUTPUT.exe.eula.txt and OUTPUT.exe.img.bmp.\n"
    "  --setup PATH         the setup program a Setup.exe is made from; without it\n"
    "                       $BRISKLAY_SETUP, else setup.exe beside brisklay or in\n"
    "                       ../lib/brisklay/ from brisklay's folder\n"
    "  --strip-signature    drops the signature of a signed setup program, which could\n"
    "                       not cover the attached data; without it such a program is refused\n"
    "  --root DIR           the folder the manifest's sources are found in; without it\n"
    "                       the manifest's folder\n"
    "  -j N                 compresses on N threads (default: one per core); the output\n"
    "                       is the same for any N\n"
    "  -h, --help           shows this help\n"
    "\n"
    "The output appears whole or not at all: a build that fails or is interrupted leaves\n"
    "neither files nor folders behind. With SOURCE_DATE_EPOCH set, no stored time is later\n"
    "than it, so that the same inputs give the same bytes.\n";

const char kDumpUsage[] =
    "usage: brisklay dump FILE [--as summary|data|archive|log|product]\n"
    "\n"
    "Prints FILE as JSON, without file contents.\n"
    "\n"
    "options:\n"
    "  --as KIND   what FILE is, when its name does not tell: summary (*.sum.bin),\n"
    "              archive (*.archive.bin, inflated first), data (an inflated data file)\n"
    "              log (*.log, an uninstall log) or product (*.product.txt, the\n"
    "              product's version, publisher and web addresses)\n"
    "  -h, --help  shows this help\n";

const char kExitStatus[] =
    "\n"
    "exit status: 0 when it worked, 1 when it failed (the message says why), 2 when the\n"
    "command line is wrong.\n";

int UsageError(const std::string& message, const char* usage = kUsage) {
  std::cerr << "brisklay: " << ForTerminal(message) << "\n\n" << usage;
  return 2;
}

int Help(const char* usage) {
  std::cout << usage << kExitStatus;
  return 0;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
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
  if (AsksForHelp(args)) return Help(kBuildUsage);
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
      return UsageError("unexpected argument \"" + args[i] + "\"", kBuildUsage);
    }
  }
  if (request.manifestPath.empty() || request.outputBase.empty()) {
    return UsageError("build needs a manifest and -o Setup.exe or -o BASE", kBuildUsage);
  }
  const bool setupProgram = WritesSetupProgram(request.outputBase);
  if (setupProgram && request.setupProgram.empty()) request.setupProgram = DefaultSetupProgram();
  if (isatty(fileno(stderr))) request.progress = ShowProgress;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) request.sourceDateEpoch = epoch;

  BuildResult result;
  std::string error;
  if (!BuildSetup(request, &result, &error)) {
    std::cerr << "brisklay: " << ForTerminal(request.manifestPath + ": " + error) << "\n";
    return 1;
  }
  for (const std::string& note : result.notes) std::cerr << "brisklay: note: " << ForTerminal(note) << "\n";
  std::cout << "built " << request.outputBase << (setupProgram ? "" : ".exe") << ": " << result.fileCount << " files and folders, "
            << result.registryCount << " registry values, " << result.totalSize << " bytes\n";
  return 0;
}

int RunDump(const std::vector<std::string>& args) {
  if (AsksForHelp(args)) return Help(kDumpUsage);
  std::string path;
  std::string kindName;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--as" && i + 1 < args.size()) {
      kindName = args[++i];
    } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
      path = args[i];
    } else {
      return UsageError("unexpected argument \"" + args[i] + "\"", kDumpUsage);
    }
  }
  if (path.empty()) return UsageError("dump needs a file", kDumpUsage);
  DumpKind kind;
  if (!kindName.empty() && !DumpKindFromName(kindName, &kind)) {
    return UsageError("--as takes summary, data, archive or log, not \"" + kindName + "\"", kDumpUsage);
  }
  if (kindName.empty() && !DumpKindFromPath(path, &kind)) {
    return UsageError("cannot tell from the name what " + path + " is; say it with --as", kDumpUsage);
  }
  std::string error;
  if (!DumpFile(path, kind, std::cout, &error)) {
    std::cerr << "brisklay: " << ForTerminal(path + ": " + error) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return Help(kUsage);
  if (args[0] == "--version") {
    std::cout << "brisklay " BRISKLAY_VERSION "\n";
    return 0;
  }
#ifdef _WIN32
  // Messages are UTF-8; a Windows console shows them as such only when told.
  SetConsoleOutputCP(CP_UTF8);
#endif
  InstallInterruptCleanup();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "build") return RunBuild(rest);
  if (args[0] == "dump") return RunDump(rest);
  return UsageError("unknown command \"" + args[0] + "\"");
}
