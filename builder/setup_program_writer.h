#pragma once
// One Setup.exe: a copy of the setup program with the setup data attached as its
// resources, where the program looks for them when it is started without arguments.

#include <cstddef>
#include <string>
#include <vector>

#include "builder/build_epoch.h"
#include "builder/pe/pe_image.h"
#include "builder/pe/resource_tree.h"
#include "builder/pe/version_resource.h"

// The setup program to copy, read and checked before any work is done.
struct SetupProgram {
  std::string path;
  PeImage image;
  ResourceTree resources;
};

bool LoadSetupProgram(const std::string& path, SetupProgram* program, std::string* error);

struct SetupData {
  // The compressed data file. It may be larger than memory should hold, so it is copied
  // into the output piece by piece.
  std::string archivePath;
  Bytes summary;  // the summary record
  bool hasInformation = false;
  std::string information;
  bool hasLicense = false;
  std::string license;
  bool hasPicture = false;
  std::string picture;  // the whole .bmp file
  std::string productFacts;  // the product facts text; empty: none, as in builds before them
  VersionInfo setupVersion;        // the copy's own version resource
  VersionInfo uninstallerVersion;  // the one of the Uninstall.exe it carries
  BuildEpoch epoch;     // the program's own time stamp is kept no later than this
};

constexpr std::size_t kArchiveCopyChunk = std::size_t{1} << 20;

// Writes the copy to `outputPath`. `notes` receives what the user should know about the
// copy (a signature that had to go). `copyChunk` is how much of the archive is held at a
// time; tests make it small.
bool WriteSetupProgram(const SetupProgram& program, SetupData data, const std::string& outputPath,
                       std::vector<std::string>* notes, std::string* error,
                       std::size_t copyChunk = kArchiveCopyChunk);
