#pragma once
// The product description shared by the summary record and the decompressed data file.

#include <cstdint>
#include <cstdio>

#include "formats/record_stream.h"

// A Windows FILETIME: 100-ns intervals since 1601-01-01 UTC, low half first.
struct FileTime {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// Picture placement of the background window (BackgroundImageX / BackgroundImageY).
enum ImagePlacement : uint32_t { kPlaceNear = 0, kPlaceCentre = 1, kPlaceFar = 2 };

struct SetupConfig {
  char ProductName[kStringBufferSize];
  char SetupFilePath[kStringBufferSize];
  uint32_t SupportsWin95;
  uint32_t SupportsWin98;
  uint32_t SupportsWinMe;
  uint32_t SupportsWinNT;
  uint32_t SupportsWin2000;
  uint32_t SupportsWinXP;
  uint32_t SupportsWin2003;
  uint32_t SupportsWinVista2008;
  char Link1Caption[kStringBufferSize];
  char Link1Url[kStringBufferSize];
  char Link2Caption[kStringBufferSize];
  char Link2Url[kStringBufferSize];
  char Link3Caption[kStringBufferSize];
  char Link3Url[kStringBufferSize];
  uint32_t clrOut;  // COLORREF: red in the lowest byte
  uint32_t clrIn;
  uint32_t ShowBackground;
  uint32_t BackgroundImageX;
  uint32_t BackgroundImageY;
};
static_assert(sizeof(SetupConfig) == 2132, "SetupConfig is one fixed 2132-byte record");

// Reads or writes the block in its stream order. Reading does not stop at a failed field
// (fields that could not be read keep their content); the result tells whether every
// field was read.
bool ReadSetupConfig(SetupConfig* config, FILE* stream);
bool ReadSetupConfig(SetupConfig* config, ByteSource& source);
bool WriteSetupConfig(const SetupConfig& config, FILE* stream);
