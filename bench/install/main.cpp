// install_bench make DIR MIB | install DIR DEST | floor DIR DEST
// Prints "<mode> <seconds> <peak working set bytes>" for the timed modes.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/install/bench_payload.h"
#include "bench/install/floor_run.h"
#include "bench/install/install_run.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: install_bench make DIR MIB | install DIR DEST | floor DIR DEST\n");
    return 2;
  }
  const std::string mode = argv[1], folder = argv[2], third = argv[3];
  const std::string description = folder + "\\payload.txt";
  if (mode == "make") {
    BenchPayload payload;
    if (!MakeBenchPayload(folder, static_cast<uint32_t>(std::atoi(third.c_str())), &payload) ||
        !SaveBenchPayload(payload, description)) {
      std::fprintf(stderr, "could not make the payload in %s\n", folder.c_str());
      return 1;
    }
    return 0;
  }
  BenchPayload payload;
  if (!LoadBenchPayload(description, &payload)) {
    std::fprintf(stderr, "no payload in %s\n", folder.c_str());
    return 1;
  }
  const double start = Seconds();
  bool ok = false;
  if (mode == "install") ok = RunInstall(payload, third);
  else if (mode == "floor") ok = RunFloor(payload, third);
  const double elapsed = Seconds() - start;
  if (!ok) {
    std::fprintf(stderr, "%s failed\n", mode.c_str());
    return 1;
  }
  std::printf("%s %.3f %lu\n", mode.c_str(), elapsed, static_cast<unsigned long>(PeakWorkingSet()));
  return 0;
}
