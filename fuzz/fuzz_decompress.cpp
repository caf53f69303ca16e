// The payload inflater on arbitrary bytes: a damaged stream must end in one of the
// documented result codes, without crash, leak or hang.

#include <zlib.h>

#include "compress/archive.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* source = OpenFuzzInput(data, size);
  if (source == nullptr) return 0;
  FILE* destination = fopen("/dev/null", "wb");
  if (destination == nullptr) {
    fclose(source);
    return 0;
  }
  Archive archive;
  uint32_t crcUncompressed = 0;
  uint32_t crcStream = 0;
  const int result = archive.DecompressStream(source, destination, &crcUncompressed, &crcStream);
  fclose(destination);
  fclose(source);

  Require(result == kArchiveOk || result == kArchiveFileError || result == kArchiveStreamError ||
              result == kArchiveDataError || result == kArchiveMemoryError || result == kArchiveVersionError ||
              result == kArchiveException,
          "a documented result code");
  // Success means the whole input was one stream, so its checksum covers every byte.
  if (result == kArchiveOk) {
    Require(crcStream == crc32(0, data, static_cast<uInt>(size)), "stream checksum covers the input");
  }
  return 0;
}
