#include <cstdio>

#include "formats/record_stream.h"
#include "setup/setup_description.h"

namespace {

// A text file read whole in text mode, its line ends made "\r\n". False when it cannot
// be opened.
bool ReadTextFile(const std::string& path, std::string* text) {
  FILE* file = std::fopen(path.c_str(), "rt");
  if (!file) return false;
  std::string content;
  ReadText(content, file);
  std::fclose(file);
  *text = ConvertLineEnds(content);
  return true;
}

// The facts file is optional: setups built without a version have none. One that is
// there but damaged is not guessed at.
bool ReadProductFile(const std::string& path, ProductFacts* product, std::string* error) {
  *product = ProductFacts();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return true;
  std::string text;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) != 0 && text.size() <= kMaxProductFactsSize;) {
    text.append(chunk, got);
  }
  const bool readWhole = !std::ferror(file);
  std::fclose(file);
  if (!readWhole || !ReadProductFacts(text, product, nullptr)) {
    *error = "Couldn't read product file: " + path;
    return false;
  }
  return true;
}

}  // namespace

bool ReadSummaryFile(const std::string& path, SummaryRecord* summary, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *error = "Couldn't open summary file: " + path;
    return false;
  }
  bool complete = ReadSummaryRecord(summary, file);
  std::fclose(file);
  // A damaged record would put half-read names and flags in front of the user and in
  // charge of the installation.
  if (!complete) {
    *error = "Couldn't read summary file: " + path;
    return false;
  }
  return true;
}

bool ReadDescriptionFromFiles(const std::string& basePath, SetupDescription* description, std::string* error) {
  if (!ReadSummaryFile(basePath + kSummaryFileSuffix, &description->Summary, error) ||
      !ReadProductFile(basePath + kProductFileSuffix, &description->Product, error)) {
    return false;
  }
  description->InformationText.clear();
  description->LicenseText.clear();
  if (description->Summary.Head.HasInformation) {
    std::string path = basePath + kInformationFileSuffix;
    if (!ReadTextFile(path, &description->InformationText)) {
      *error = "Couldn't open information file: " + path;
      return false;
    }
  }
  if (description->Summary.Head.HasLicense) {
    std::string path = basePath + kLicenseFileSuffix;
    if (!ReadTextFile(path, &description->LicenseText)) {
      *error = "Couldn't open EULA file: " + path;
      return false;
    }
  }
  return true;
}
