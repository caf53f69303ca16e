#pragma once
// Turns one file into another through zlib, in either direction, computing the CRC-32 of
// what it reads and what it writes. Once per 5 MiB input block it tells its observer how
// far it got and asks whether to stop.

#include <cstdint>
#include <cstdio>
#include <cstddef>

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

// Codes of the file-to-file forms when a file cannot be opened at all.
enum : int {
  kArchiveSourceNotOpened = -101,
  kArchiveDestinationNotOpened = -102,
};

// Told about the work as it goes; called on the thread that runs the operation.
class ArchiveObserver {
 public:
  virtual ~ArchiveObserver() = default;
  // Once per input block: the bytes written for it.
  virtual void OnBlockWritten(std::size_t bytes) = 0;
  // Asked after every block; true stops the operation there.
  virtual bool StopRequested() = 0;
};

// Never talks to the user: every outcome is a code, and the caller decides what to show
// (ResultMessage and FailureMessage give the texts).
class Archive {
 public:
  virtual ~Archive() = default;

  // Null (the default) runs without reports and never stops early.
  void SetObserver(ArchiveObserver* observer) { observer_ = observer; }

  // In both directions `crcUncompressed` receives the checksum of the plain bytes and
  // `crcStream` that of the zlib stream; either address may be null. A stop requested
  // through the observer also returns kArchiveOk, with the checksums left unfinished.
  // Decompression wants the source to hold one zlib stream and nothing after it
  // (kArchiveException otherwise).
  int CompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                   uint32_t* crcStream, int level);
  int DecompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                     uint32_t* crcStream);
  int CompressStream(FILE* source, FILE* destination, uint32_t* crcUncompressed, uint32_t* crcStream,
                     int level);
  int DecompressStream(FILE* source, FILE* destination, uint32_t* crcUncompressed, uint32_t* crcStream);

  // The text for a stream result code.
  static const char* ResultMessage(int code);
  // The text for a failed file-to-file operation in the given direction, the file codes
  // included.
  static const char* FailureMessage(int code, bool compressing);

 private:
  ArchiveObserver* observer_ = nullptr;
};
