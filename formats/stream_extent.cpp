#include "formats/stream_extent.h"

namespace {

// 64-bit positions, so files past 2 GiB are measured correctly on 32-bit Windows too.
int64_t Tell(FILE* stream) {
#ifdef _WIN32
  return _ftelli64(stream);
#else
  return ftello(stream);
#endif
}

bool Seek(FILE* stream, int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(stream, offset, origin) == 0;
#else
  return fseeko(stream, static_cast<off_t>(offset), origin) == 0;
#endif
}

}  // namespace

bool RemainingBytes(FILE* stream, uint64_t* remaining) {
  const int64_t here = Tell(stream);
  if (here < 0 || !Seek(stream, 0, SEEK_END)) return false;
  const int64_t end = Tell(stream);
  if (!Seek(stream, here, SEEK_SET) || end < here) return false;
  *remaining = static_cast<uint64_t>(end - here);
  return true;
}

bool SkipBytes(FILE* stream, uint64_t count) {
  if (count > static_cast<uint64_t>(INT64_MAX)) return false;
  return Seek(stream, static_cast<int64_t>(count), SEEK_CUR);
}
