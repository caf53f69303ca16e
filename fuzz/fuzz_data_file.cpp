// The standalone data file reader on arbitrary bytes: whatever the counts and lengths
// claim, it must stay within the input, and a success must account for every record.

#include <string>

#include "formats/data_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* stream = OpenFuzzInput(data, size);
  if (stream == nullptr) return 0;
  DataFileContents contents;
  std::string error;
  const bool ok = ReadDataFileSkippingContent(&contents, stream, &error);
  fclose(stream);

  if (ok) {
    Require(error.empty(), "no message on success");
    Require(contents.Files.size() == contents.Head.FileCount, "every file entry read");
    Require(contents.Registry.size() == contents.Head.RegistryCount, "every registry entry read");
    for (const FileEntry& entry : contents.Files) {
      Require(entry.SizeHigh == 0, "no content of 4 GiB or more");
      Require(Terminated(entry.TargetPath, kStringBufferSize), "target path terminated");
    }
  } else {
    Require(!error.empty(), "a failure names its reason");
  }
  return 0;
}
