#pragma once
// Reading what the wizard shows: the summary record and the information and licence
// texts, from files next to a base path (external-data mode) or from resources of type
// "Setup" in a module (normal mode). Every failure here is fatal to the program; the
// readers only report it, with the text the user is to see.

#include <windows.h>

#include <string>

#include "formats/product_facts.h"
#include "formats/summary_record.h"

struct SetupDescription {
  SummaryRecord Summary;
  std::string InformationText;
  std::string LicenseText;
  // Version, publisher and addresses; empty for setups built without them.
  ProductFacts Product;
};

// File suffixes appended, unchanged, to the base path.
constexpr char kSummaryFileSuffix[] = ".exe.sum.bin";
constexpr char kInformationFileSuffix[] = ".exe.info.txt";
constexpr char kLicenseFileSuffix[] = ".exe.eula.txt";
constexpr char kProductFileSuffix[] = ".exe.product.txt";
constexpr char kSummaryTempFileName[] = "Summary.tmp";

// The summary record from an open file, or the fatal message for `path`.
bool ReadSummaryFile(const std::string& path, SummaryRecord* summary, std::string* error);

bool ReadDescriptionFromFiles(const std::string& basePath, SetupDescription* description, std::string* error);

// A text carried as resource "Setup" `id`: its bytes up to its size or its first NUL,
// line ends made "\r\n". `what` names it in the messages ("information", "EULA").
bool ReadTextResource(HMODULE module, int id, const std::string& what, std::string* text, std::string* error);

// The summary record is copied to "Summary.tmp" in a folder of the run's own in `tempPath`,
// read from there and the copy removed.
bool ReadDescriptionFromResources(HMODULE module, const std::string& tempPath, SetupDescription* description,
                                  std::string* error);
