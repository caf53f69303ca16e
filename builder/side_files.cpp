#include "builder/side_files.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "builder/ansi_text.h"

namespace fs = std::filesystem;

namespace {

std::string Resolve(const Manifest& manifest, const std::string& path) {
  const fs::path given = fs::u8path(path);
  return (given.is_absolute() ? given : manifest.folder / given).u8string();
}

bool LoadText(const Manifest& manifest, const char* key, const std::string& path, std::string* text,
              std::string* error) {
  std::string bytes, reason;
  if (!ReadWholeFile(Resolve(manifest, path), &bytes, &reason) || !TextFileToAnsi(bytes, text, &reason)) {
    *error = std::string("product: ") + key + " \"" + path + "\" " + reason;
    return false;
  }
  return true;
}

uint32_t LittleEndian32(const std::string& bytes, std::size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

bool IsBitmapFile(const std::string& bytes) {
  constexpr std::size_t kFileHeader = 14;
  constexpr std::size_t kSmallestInfoHeader = 12;
  if (bytes.size() < kFileHeader + kSmallestInfoHeader || bytes.compare(0, 2, "BM") != 0) return false;
  const uint32_t pixelOffset = LittleEndian32(bytes, 10);
  const uint32_t infoSize = LittleEndian32(bytes, 14);
  return infoSize >= kSmallestInfoHeader && pixelOffset >= kFileHeader + infoSize && pixelOffset <= bytes.size();
}

bool LoadPicture(const Manifest& manifest, std::string* picture, std::string* error) {
  std::string reason;
  if (!ReadWholeFile(Resolve(manifest, manifest.picture), picture, &reason)) {
    *error = "background: picture \"" + manifest.picture + "\" " + reason;
    return false;
  }
  if (!IsBitmapFile(*picture)) {
    *error = "background: picture \"" + manifest.picture + "\" is not a Windows bitmap (.bmp) file";
    return false;
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  std::error_code failure;
  if (!fs::is_regular_file(fs::u8path(path), failure)) {
    *error = "is not there (looked for " + path + ")";
    return false;
  }
  std::ifstream file(fs::u8path(path), std::ios::binary);
  if (!file) {
    *error = "cannot be opened (" + path + ")";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    *error = "cannot be read (" + path + ")";
    return false;
  }
  return true;
}

bool LoadSideFiles(const Manifest& manifest, SideFiles* files, std::string* error) {
  files->hasInformation = !manifest.information.empty();
  files->hasLicense = !manifest.license.empty();
  files->hasPicture = !manifest.picture.empty();
  return (!files->hasInformation ||
          LoadText(manifest, "information", manifest.information, &files->information, error)) &&
         (!files->hasLicense || LoadText(manifest, "license", manifest.license, &files->license, error)) &&
         (!files->hasPicture || LoadPicture(manifest, &files->picture, error));
}
