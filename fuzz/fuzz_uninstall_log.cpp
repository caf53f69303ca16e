// The uninstall log reader on arbitrary bytes: huge counts and cut-short records must end
// in a clean failure with a reason, never in an overrun or a large allocation.

#include <string>

#include "formats/uninstall_log.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* stream = OpenFuzzInput(data, size);
  if (stream == nullptr) return 0;
  UninstallLog log;
  std::string error;
  const bool ok = ReadUninstallLog(&log, stream, &error);
  fclose(stream);

  Require(Terminated(log.Header.cName, kStringBufferSize), "program name terminated");
  if (ok) {
    Require(error.empty(), "no message on success");
    Require(log.Files.size() == log.Header.dwFiles, "every file record read");
    Require(log.Registry.size() == log.Header.dwReg, "every registry record read");
  } else {
    Require(!error.empty(), "a failure names its reason");
  }
  return 0;
}
