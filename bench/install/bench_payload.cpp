#include "bench/install/bench_payload.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "compress/archive.h"
#include "formats/data_file.h"
#include "formats/record_stream.h"

namespace {

constexpr uint32_t kMiB = 1024 * 1024;
constexpr uint32_t kSmallFileBytes = 16 * 1024;
constexpr int kLargeFiles = 3;
constexpr int kSmallFilesPerFolder = 200;

// Text-like bytes that compress about as well as program files do (roughly 3:1).
void FillContent(std::vector<char>* buffer, uint32_t size, uint32_t seed) {
  static const char kWords[][8] = {"setup ", "file ", "data ", "value ", "the ", "brisk ", "lay ", "zlib "};
  buffer->resize(size);
  uint32_t state = seed * 2654435761u + 7;
  for (uint32_t i = 0; i < size;) {
    state = state * 1103515245u + 12345u;
    const char* word = kWords[(state >> 16) & 7];
    for (const char* c = word; *c && i < size; ++c) (*buffer)[i++] = *c;
    if (i < size && ((state >> 8) & 15) == 0) (*buffer)[i++] = static_cast<char>(state >> 24);
  }
}

FileEntry EntryFor(const std::string& name, const std::string& extension, const std::string& target,
                   uint32_t index, uint32_t size) {
  FileEntry entry{};
  entry.Index = index;
  SetBufferText(entry.Name, name);
  SetBufferText(entry.Extension, extension);
  SetBufferText(entry.TargetPath, "%DIR%\\" + target);
  entry.SizeLow = size;
  return entry;
}

}  // namespace

bool MakeBenchPayload(const std::string& folder, uint32_t megabytes, BenchPayload* payload) {
  payload->basePath = folder + "\\payload";
  const std::string dataPath = folder + "\\payload.data";
  // A quarter of the bytes in small files, the rest in a few large ones.
  const uint64_t totalBytes = static_cast<uint64_t>(megabytes) * kMiB;
  const uint32_t smallFiles = static_cast<uint32_t>(totalBytes / 4 / kSmallFileBytes);
  const uint32_t largeFileBytes = static_cast<uint32_t>((totalBytes - uint64_t(smallFiles) * kSmallFileBytes) / kLargeFiles);
  const uint32_t folderCount = (smallFiles + kSmallFilesPerFolder - 1) / kSmallFilesPerFolder;

  FILE* data = std::fopen(dataPath.c_str(), "wb");
  if (!data) return false;
  DataFileHead head{};
  head.FileCount = folderCount + smallFiles + kLargeFiles;
  payload->totalSize = uint64_t(smallFiles) * kSmallFileBytes + uint64_t(largeFileBytes) * kLargeFiles;
  head.Summary.TotalSizeHigh = static_cast<uint32_t>(payload->totalSize >> 32);
  head.Summary.TotalSizeLow = static_cast<uint32_t>(payload->totalSize);
  WriteDataFileHead(head, data);
  SetupConfig config{};
  SetBufferText(config.ProductName, kBenchProductName);
  WriteSetupConfig(config, data);

  uint32_t index = 0;
  std::vector<char> content;
  auto writeFile = [&](const std::string& name, const std::string& extension, const std::string& target,
                       uint32_t size) {
    WriteFileEntry(EntryFor(name, extension, target, index, size), data);
    payload->contents.push_back({static_cast<uint64_t>(_ftelli64(data)), size, target});
    FillContent(&content, size, index++);
    std::fwrite(content.data(), 1, size, data);
  };
  for (uint32_t f = 0; f < folderCount; ++f) {
    const std::string name = "Folder" + std::to_string(f);
    WriteFileEntry(EntryFor(name, "\\", name, index++, 0), data);
    payload->folders.push_back(name);
    for (uint32_t s = 0; s < kSmallFilesPerFolder && f * kSmallFilesPerFolder + s < smallFiles; ++s) {
      const std::string file = "File" + std::to_string(s);
      writeFile(file, "txt", name + "\\" + file + ".txt", kSmallFileBytes);
    }
  }
  for (int l = 0; l < kLargeFiles; ++l) {
    const std::string file = "Large" + std::to_string(l);
    writeFile(file, "bin", file + ".bin", largeFileBytes);
  }
  const bool written = std::ferror(data) == 0;
  if (std::fclose(data) != 0 || !written) return false;

  Archive archive;
  const int code = archive.CompressFile(dataPath.c_str(), (payload->basePath + ".exe.archive.bin").c_str(),
                                        &payload->dataFileCrc, &payload->setupDataCrc, 9);
  DeleteFileA(dataPath.c_str());
  return code == 0;
}

bool SaveBenchPayload(const BenchPayload& payload, const std::string& path) {
  std::ofstream out(path);
  out << payload.basePath << '\n'
      << payload.dataFileCrc << ' ' << payload.setupDataCrc << ' ' << payload.totalSize << '\n'
      << payload.folders.size() << '\n';
  for (const auto& folder : payload.folders) out << folder << '\n';
  out << payload.contents.size() << '\n';
  for (const auto& content : payload.contents) out << content.offset << ' ' << content.size << ' ' << content.path << '\n';
  return static_cast<bool>(out);
}

bool LoadBenchPayload(const std::string& path, BenchPayload* payload) {
  std::ifstream in(path);
  size_t count = 0;
  std::getline(in, payload->basePath);
  in >> payload->dataFileCrc >> payload->setupDataCrc >> payload->totalSize >> count;
  in.ignore();
  payload->folders.resize(count);
  for (auto& folder : payload->folders) std::getline(in, folder);
  in >> count;
  payload->contents.resize(count);
  for (auto& content : payload->contents) {
    in >> content.offset >> content.size;
    in.ignore();
    std::getline(in, content.path);
  }
  return static_cast<bool>(in);
}
