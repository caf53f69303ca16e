#pragma once
// The optional files that travel beside the setup data: the information text, the licence
// text and the background picture.

#include <string>

#include "builder/manifest.h"

struct SideFiles {
  bool hasInformation = false;
  std::string information;  // ANSI text
  bool hasLicense = false;
  std::string license;  // ANSI text
  bool hasPicture = false;
  std::string picture;  // the whole .bmp file
};

// Texts may be UTF-8 or Windows-1252 (see TextFileToAnsi). The picture must be a complete
// bitmap file, since the setup loads the stored bytes as one.
bool LoadSideFiles(const Manifest& manifest, SideFiles* files, std::string* error);

// Reads a whole file; false with a reason on failure.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);
