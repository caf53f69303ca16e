#include "builder/setup_program_writer.h"

#include <filesystem>
#include <fstream>

#include "builder/pe/pe_checksum.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"

namespace {

const ResourceKey kSetupType = ResourceKey::Name("Setup");
constexpr uint16_t kArchiveId = 145;
constexpr uint16_t kInformationId = 146;
constexpr uint16_t kLicenseId = 147;
constexpr uint16_t kSummaryId = 148;
constexpr uint16_t kPictureId = 150;

// The setup reads a text resource up to its first NUL and takes an empty resource as
// unreadable, so texts carry a terminating NUL: an empty text then still loads.
Bytes TextResource(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// Data of an earlier build in the copied program is removed even where this build has
// none, so the result describes this build only.
void PutSetupData(SetupData& data, ResourceTree& tree) {
  for (uint16_t id : {kArchiveId, kInformationId, kLicenseId, kSummaryId}) {
    tree.RemoveAllLanguages(kSetupType, ResourceKey::Id(id));
  }
  tree.RemoveAllLanguages(ResourceKey::Id(kTypeBitmap), ResourceKey::Id(kPictureId));
  tree.Replace(kSetupType, ResourceKey::Id(kArchiveId), std::move(data.archive));
  tree.Replace(kSetupType, ResourceKey::Id(kSummaryId), std::move(data.summary));
  if (data.hasInformation) tree.Replace(kSetupType, ResourceKey::Id(kInformationId), TextResource(data.information));
  if (data.hasLicense) tree.Replace(kSetupType, ResourceKey::Id(kLicenseId), TextResource(data.license));
  // The setup writes these bytes out as a .bmp file and loads that file, so the picture
  // is stored whole, file header included.
  if (data.hasPicture) {
    tree.Replace(ResourceKey::Id(kTypeBitmap), ResourceKey::Id(kPictureId), Bytes(data.picture.begin(), data.picture.end()));
  }
}

// The link time in the file header is the one time a program carries in every copy.
void ClampTimeStamp(const PeImage& image, const BuildEpoch& epoch, Bytes& output) {
  const uint32_t field = image.FileHeaderOffset() + 4;
  uint32_t stamp = 0;
  if (!ReadU32(output, field, &stamp) || ClampUnixTime(epoch, stamp) == stamp) return;
  WriteU32(output, field, ClampUnixTime(epoch, stamp));
  WriteU32(output, image.ChecksumOffset(), ComputePeChecksum(output, image.ChecksumOffset()));
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes, std::string* error) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

bool LoadSetupProgram(const std::string& path, SetupProgram* program, std::string* error) {
  program->path = path;
  std::string reason;
  if (!PeImage::ReadFile(path, &program->image, &reason) ||
      !ReadResources(program->image, &program->resources, &reason)) {
    *error = "setup program: " + (reason.rfind(path, 0) == 0 ? reason : path + ": " + reason);
    return false;
  }
  return true;
}

bool WriteSetupProgram(const SetupProgram& program, SetupData data, const std::string& outputPath,
                       std::vector<std::string>* notes, std::string* error) {
  ResourceTree tree = program.resources;
  PutSetupData(data, tree);
  Bytes output;
  AttachNotes attachNotes;
  std::string reason;
  if (!WriteWithResources(program.image, tree, &output, &attachNotes, &reason)) {
    *error = "setup program: " + program.path + ": " + reason;
    return false;
  }
  if (attachNotes.droppedSignature) {
    notes->push_back("the setup program " + program.path +
                     " is signed; the signature cannot cover the new data and was left out of the copy");
  }
  if (attachNotes.droppedBoundImports) {
    notes->push_back("the setup program's bound imports were dropped; Windows binds them when it loads it");
  }
  ClampTimeStamp(program.image, data.epoch, output);
  return WriteFileBytes(outputPath, output, error);
}
