#pragma once
// Turns one file into another through zlib, in either direction, computing the CRC-32 of
// what it reads and what it writes. Once per 5 MiB input block it reports progress and
// asks whether to stop.

#include <cstdint>
#include <cstdio>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#endif

// Result codes: zlib's, plus the class's own kArchiveException.
enum : int {
  kArchiveOk = 0,
  kArchiveFileError = -1,
  kArchiveStreamError = -2,
  kArchiveDataError = -3,
  kArchiveMemoryError = -4,
  kArchiveVersionError = -6,
  kArchiveException = -100,
};

// Where progress (WM_APP+32, wParam = bytes written for the block) and stop queries
// (WM_APP+33, a non-zero answer stops) go. On Windows it is a window; natively, or in
// tests, any callable.
using ArchiveNotifier = std::function<intptr_t(unsigned message, uintptr_t wParam)>;

class Archive {
 public:
  virtual ~Archive() = default;

#ifdef _WIN32
  void SetWindow(HWND window);
#endif
  void SetNotifier(ArchiveNotifier notifier);

  // In both directions `crcUncompressed` receives the checksum of the plain bytes and
  // `crcStream` that of the zlib stream; either address may be null. A stop requested
  // through the stop query also returns kArchiveOk, with the checksums left unfinished.
  // Decompression wants the source to hold one zlib stream and nothing after it
  // (kArchiveException otherwise). The file-to-file forms show their own failure messages.
  int CompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                   uint32_t* crcStream, int level);
  int DecompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                     uint32_t* crcStream);
  int CompressStream(FILE* source, FILE* destination, uint32_t* crcUncompressed, uint32_t* crcStream,
                     int level);
  int DecompressStream(FILE* source, FILE* destination, uint32_t* crcUncompressed, uint32_t* crcStream);

  // Shows the message for a result code; with `silentSuccess` a 0 shows nothing.
  void ReportResult(int code, bool silentSuccess);
  static const char* ResultMessage(int code);

 private:
  intptr_t Notify(unsigned message, uintptr_t wParam);

  ArchiveNotifier notifier_;
};
