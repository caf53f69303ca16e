#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "setup/setup_description.h"
#include "shell/private_folder.h"

namespace {

const char kSetupResourceType[] = "Setup";

struct ResourceBytes {
  const char* data = nullptr;
  DWORD size = 0;
};

// Finds, loads, locks and sizes one "Setup" resource; `what` names it in the messages
// ("summary", "information", "EULA").
bool LoadSetupResource(HMODULE module, int id, const std::string& what, ResourceBytes* bytes, std::string* error) {
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), kSetupResourceType);
  if (!found) {
    *error = "Couldn't find " + what + " resource!";
    return false;
  }
  HGLOBAL loaded = ::LoadResource(module, found);
  if (!loaded) {
    *error = "Couldn't load " + what + " resource!";
    return false;
  }
  const void* locked = ::LockResource(loaded);
  if (!locked) {
    *error = "Couldn't lock " + what + " resource!";
    return false;
  }
  DWORD size = ::SizeofResource(module, found);
  if (size == 0) {
    *error = "Couldn't get the size of the " + what + " resource!";
    return false;
  }
  bytes->data = static_cast<const char*>(locked);
  bytes->size = size;
  return true;
}

bool ReadSummaryResource(HMODULE module, const std::string& tempPath, SummaryRecord* summary, std::string* error) {
  ResourceBytes bytes;
  if (!LoadSetupResource(module, IDR_SETUP_SUMMARY, "summary", &bytes, error)) return false;
  // The copy is read back: it lives where no program of the user can change it meanwhile.
  PrivateFolder folder;
  const std::string tempFile = folder.Create(tempPath) ? folder.PathOf(kSummaryTempFileName) : std::string();
  FILE* file = tempFile.empty() ? nullptr : CreateNewFile(tempFile);
  if (!file) {
    *error = "Couldn't create summary file!";
    return false;
  }
  // Read back through the same stream: what is read is what was written.
  const bool written = std::fwrite(bytes.data, 1, bytes.size, file) == bytes.size && std::fflush(file) == 0;
  bool read = false;
  if (written) {
    std::rewind(file);
    read = ReadSummaryRecord(summary, file);
  }
  std::fclose(file);
  std::remove(tempFile.c_str());
  // A copy cut short (a full disk) must not be read as if it were the whole record.
  if (!written) {
    *error = "Couldn't create summary file!";
  } else if (!read) {
    *error = "Couldn't read summary file: " + tempFile;
  }
  return written && read;
}

// Setups built without product facts have no such resource.
bool ReadProductResource(HMODULE module, ProductFacts* product, std::string* error) {
  *product = ProductFacts();
  if (!::FindResourceA(module, MAKEINTRESOURCEA(IDR_SETUP_PRODUCT), kSetupResourceType)) return true;
  ResourceBytes bytes;
  if (!LoadSetupResource(module, IDR_SETUP_PRODUCT, "product", &bytes, error)) return false;
  if (!ReadProductFacts(std::string(bytes.data, bytes.size), product, nullptr)) {
    *error = "Couldn't read product resource!";
    return false;
  }
  return true;
}

}  // namespace

bool ReadTextResource(HMODULE module, int id, const std::string& what, std::string* text, std::string* error) {
  ResourceBytes bytes;
  if (!LoadSetupResource(module, id, what, &bytes, error)) return false;
  const void* nul = std::memchr(bytes.data, '\0', bytes.size);
  size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes.data) : bytes.size;
  *text = ConvertLineEnds(std::string(bytes.data, length));
  return true;
}

bool ReadDescriptionFromResources(HMODULE module, const std::string& tempPath, SetupDescription* description,
                                  std::string* error) {
  if (!ReadSummaryResource(module, tempPath, &description->Summary, error) ||
      !ReadProductResource(module, &description->Product, error)) {
    return false;
  }
  description->InformationText.clear();
  description->LicenseText.clear();
  if (description->Summary.Head.HasInformation &&
      !ReadTextResource(module, IDR_SETUP_INFORMATION, "information", &description->InformationText, error)) {
    return false;
  }
  if (description->Summary.Head.HasLicense &&
      !ReadTextResource(module, IDR_SETUP_LICENSE, "EULA", &description->LicenseText, error)) {
    return false;
  }
  return true;
}
