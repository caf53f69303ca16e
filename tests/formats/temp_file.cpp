#include "temp_file.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#ifdef _WIN32
#include <process.h>
#define CURRENT_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define CURRENT_PROCESS_ID getpid()
#endif

namespace {

std::string UniqueName() {
  static std::atomic<unsigned> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return "brisklay-formats-" + std::to_string(CURRENT_PROCESS_ID) + "-" + std::to_string(ticks) + "-" +
         std::to_string(counter++) + ".bin";
}

}  // namespace

TempFile::TempFile() : path_((std::filesystem::temp_directory_path() / UniqueName()).string()) {}

TempFile::~TempFile() {
  Close();
  std::remove(path_.c_str());
}

FILE* TempFile::Open(const char* mode) {
  Close();
  stream_ = std::fopen(path_.c_str(), mode);
  return stream_;
}

FILE* TempFile::OpenWith(const Bytes& bytes, const char* mode) {
  FILE* writer = Open("wb");
  if (writer == nullptr) return nullptr;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), writer);
  return Open(mode);
}

void TempFile::Close() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
}

Bytes TempFile::Contents() {
  Close();
  Bytes bytes;
  FILE* reader = std::fopen(path_.c_str(), "rb");
  if (reader == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(reader)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(reader);
  return bytes;
}

ByteWriter& ByteWriter::U32(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(value >> shift));
  return *this;
}

ByteWriter& ByteWriter::Str(const std::string& text) {
  U32(static_cast<uint32_t>(text.size()));
  return Text(text);
}

ByteWriter& ByteWriter::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

ByteWriter& ByteWriter::Text(const std::string& text) {
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  return *this;
}
