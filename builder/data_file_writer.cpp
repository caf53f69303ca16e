#include "builder/data_file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "formats/record_stream.h"

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

bool CopyContent(const PlannedEntry& planned, std::vector<char>& buffer, FILE* out, std::string* error) {
  std::ifstream in(planned.content, std::ios::binary);
  if (!in) {
    *error = planned.label + ": cannot be opened for reading";
    return false;
  }
  uint64_t left = planned.entry.SizeLow;
  while (left > 0) {
    const std::size_t chunk = left < buffer.size() ? static_cast<std::size_t>(left) : buffer.size();
    in.read(buffer.data(), static_cast<std::streamsize>(chunk));
    if (static_cast<std::size_t>(in.gcount()) != chunk) {
      *error = planned.label + ": became shorter while the setup was being built";
      return false;
    }
    if (std::fwrite(buffer.data(), 1, chunk, out) != chunk) {
      *error = std::string("cannot write the data file: ") + std::strerror(errno);
      return false;
    }
    left -= chunk;
  }
  if (in.peek() != std::ifstream::traits_type::eof()) {
    *error = planned.label + ": became longer while the setup was being built";
    return false;
  }
  return true;
}

bool WriteEntries(const PayloadPlan& plan, FILE* out, std::string* error) {
  std::vector<char> buffer(kStreamChunkSize);
  for (const PlannedEntry& planned : plan.entries) {
    if (!WriteFileEntry(planned.entry, out)) {
      *error = std::string("cannot write the data file: ") + std::strerror(errno);
      return false;
    }
    if (!IsFolderEntry(planned.entry.Extension) && !CopyContent(planned, buffer, out, error)) return false;
  }
  return true;
}

}  // namespace

bool WriteDataFile(const std::string& path, const DataFileHead& head, const SetupConfig& config,
                   const PayloadPlan& plan, const std::vector<RegistryEntry>& registry, std::string* error) {
  UniqueFile out(std::fopen(path.c_str(), "wb"));
  if (!out) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::string writeFailure = "cannot write the data file " + path;
  if (!WriteDataFileHead(head, out.get()) || !WriteSetupConfig(config, out.get())) {
    *error = writeFailure;
    return false;
  }
  if (!WriteEntries(plan, out.get(), error)) return false;
  for (const RegistryEntry& entry : registry) {
    if (!WriteRegistryEntry(entry, out.get())) {
      *error = writeFailure;
      return false;
    }
  }
  // Buffered bytes may only fail to reach the disk here, when it is full.
  if (std::fflush(out.get()) != 0 || std::ferror(out.get()) || std::fclose(out.release()) != 0) {
    *error = writeFailure + ": " + std::strerror(errno);
    return false;
  }
  return true;
}
