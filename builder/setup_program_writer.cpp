#include "builder/setup_program_writer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "builder/pe/pe_checksum.h"
#include "builder/pe/resource_attach.h"
#include "builder/pe/resource_reader.h"

namespace {

const ResourceKey kSetupType = ResourceKey::Name("Setup");
constexpr uint16_t kUninstallerId = 143;
constexpr uint16_t kArchiveId = 145;
constexpr uint16_t kInformationId = 146;
constexpr uint16_t kLicenseId = 147;
constexpr uint16_t kSummaryId = 148;
constexpr uint16_t kProductFactsId = 149;
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
void PutSetupData(SetupData& data, uint32_t archiveSize, ResourceTree& tree) {
  for (uint16_t id : {kArchiveId, kInformationId, kLicenseId, kSummaryId, kProductFactsId}) {
    tree.RemoveAllLanguages(kSetupType, ResourceKey::Id(id));
  }
  tree.RemoveAllLanguages(ResourceKey::Id(kTypeBitmap), ResourceKey::Id(kPictureId));
  tree.ReplaceStreamed(kSetupType, ResourceKey::Id(kArchiveId), archiveSize);
  tree.Replace(kSetupType, ResourceKey::Id(kSummaryId), std::move(data.summary));
  if (data.hasInformation) tree.Replace(kSetupType, ResourceKey::Id(kInformationId), TextResource(data.information));
  if (data.hasLicense) tree.Replace(kSetupType, ResourceKey::Id(kLicenseId), TextResource(data.license));
  if (!data.productFacts.empty()) {
    tree.Replace(kSetupType, ResourceKey::Id(kProductFactsId), Bytes(data.productFacts.begin(), data.productFacts.end()));
  }
  ReplaceVersionResource(tree, data.setupVersion);
  // The setup writes these bytes out as a .bmp file and loads that file, so the picture
  // is stored whole, file header included.
  if (data.hasPicture) {
    tree.Replace(ResourceKey::Id(kTypeBitmap), ResourceKey::Id(kPictureId), Bytes(data.picture.begin(), data.picture.end()));
  }
}

// The uninstaller the program carries gets the product's version resource too, so that
// Explorer tells whose it is. A signed one stays as it is: a change would void its
// signature. Bytes that are no program (test stand-ins) are left alone.
bool StampUninstaller(const VersionInfo& version, ResourceTree& tree, std::vector<std::string>* notes,
                      std::string* error) {
  const auto type = tree.AllTypes().find(kSetupType);
  if (type == tree.AllTypes().end()) return true;
  const auto name = type->second.find(ResourceKey::Id(kUninstallerId));
  if (name == type->second.end()) return true;
  std::vector<std::pair<ResourceKey, ResourceData>> stamped;
  for (const auto& [language, data] : name->second) {
    PeImage image;
    std::string reason;
    if (data.streamed || !PeImage::Parse(data.bytes, &image, &reason)) continue;
    if (image.Directory(kDirectorySecurity).size != 0) {
      notes->push_back("the uninstaller inside the setup program is signed; it keeps its own version resource, "
                       "since a change would void its signature");
      continue;
    }
    ResourceTree resources;
    ResourceData copy = data;
    AttachNotes ignored;
    if (!ReadResources(image, &resources, &reason)) {
      *error = "setup program: the uninstaller it carries: " + reason;
      return false;
    }
    ReplaceVersionResource(resources, version);
    if (!WriteWithResources(image, resources, &copy.bytes, &ignored, &reason)) {
      *error = "setup program: the uninstaller it carries: " + reason;
      return false;
    }
    stamped.emplace_back(language, std::move(copy));
  }
  for (auto& [language, data] : stamped) tree.Put(kSetupType, ResourceKey::Id(kUninstallerId), language, std::move(data));
  return true;
}

// The link time in the file header is the one time a program carries in every copy.
void ClampTimeStamp(const PeImage& image, const BuildEpoch& epoch, Bytes& head) {
  const uint32_t field = image.FileHeaderOffset() + 4;
  uint32_t stamp = 0;
  if (ReadU32(head, field, &stamp)) WriteU32(head, field, ClampUnixTime(epoch, stamp));
}

bool ArchiveSize(const std::string& path, uint32_t* size, std::string* error) {
  std::error_code failure;
  const uintmax_t bytes = std::filesystem::file_size(std::filesystem::u8path(path), failure);
  if (failure) {
    *error = "cannot read " + path + ": " + failure.message();
    return false;
  }
  if (bytes > 0x7FFFFFFFu) {
    *error = "the compressed data (" + std::to_string(bytes) + " bytes) does not fit in a program of under 2 GiB";
    return false;
  }
  *size = static_cast<uint32_t>(bytes);
  return true;
}

// Writes `head`, the archive and `tail`, summing them as they go, then puts the checksum
// into the head already written: the whole file is never in memory at once. Streams open
// paths as UTF-8 on every system, as the other outputs do.
class StreamingWriter {
 public:
  explicit StreamingWriter(const std::string& path) : path_(path) {
    out_.open(std::filesystem::u8path(path), std::ios::binary);
  }

  bool Put(const uint8_t* bytes, std::size_t size, std::string* error) {
    checksum_.Add(bytes, size);
    out_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return out_ ? true : Failed(error);
  }

  bool CopyFrom(const std::string& path, uint32_t size, std::size_t chunk, std::string* error) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::vector<uint8_t> buffer(std::max<std::size_t>(1, std::min<std::size_t>(chunk, size)));
    for (uint32_t left = size; left != 0;) {
      const std::size_t want = std::min<std::size_t>(buffer.size(), left);
      in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(want));
      if (!in) {
        *error = "cannot read " + path + ": it cannot be opened or ended early";
        return false;
      }
      if (!Put(buffer.data(), want, error)) return false;
      left -= static_cast<uint32_t>(want);
    }
    return true;
  }

  bool FinishWithChecksum(uint32_t checksumOffset, std::string* error) {
    Bytes field(4);
    WriteU32(field, 0, checksum_.Finish());
    out_.seekp(checksumOffset);
    out_.write(reinterpret_cast<const char*>(field.data()), static_cast<std::streamsize>(field.size()));
    out_.close();
    return out_ ? true : Failed(error);
  }

 private:
  bool Failed(std::string* error) {
    *error = "cannot write " + path_;
    return false;
  }

  std::string path_;
  std::ofstream out_;
  PeChecksumStream checksum_;
};

bool WriteProgramFile(const ProgramLayout& layout, const std::string& archivePath, std::size_t copyChunk,
                      const std::string& path, std::string* error) {
  StreamingWriter writer(path);
  return writer.Put(layout.head.data(), layout.head.size(), error) &&
         writer.CopyFrom(archivePath, layout.gapSize, copyChunk, error) &&
         writer.Put(layout.tail.data(), layout.tail.size(), error) &&
         writer.FinishWithChecksum(layout.checksumOffset, error);
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
                       std::vector<std::string>* notes, std::string* error, std::size_t copyChunk) {
  uint32_t archiveSize = 0;
  if (!ArchiveSize(data.archivePath, &archiveSize, error)) return false;
  ResourceTree tree = program.resources;
  if (!StampUninstaller(data.uninstallerVersion, tree, notes, error)) return false;
  PutSetupData(data, archiveSize, tree);
  ProgramLayout layout;
  AttachNotes attachNotes;
  std::string reason;
  if (!LayOutWithResources(program.image, tree, &layout, &attachNotes, &reason)) {
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
  ClampTimeStamp(program.image, data.epoch, layout.head);
  return WriteProgramFile(layout, data.archivePath, copyChunk, outputPath, error);
}
