#pragma once
// Temporary files, test data and zlib reference values shared by the compress tests.

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/message_box.h"

namespace compress_test {

using Bytes = std::vector<unsigned char>;

// A folder of its own per test, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("brisklay-compress-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline Bytes ReadBytes(const std::string& path) {
  Bytes bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  unsigned char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  return bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Incompressible bytes, the same for the same seed.
inline Bytes RandomBytes(std::size_t size, uint32_t seed = 1) {
  std::mt19937 generator(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<unsigned char>(generator());
  return bytes;
}

// Text-like bytes that deflate well, with enough variety to need real Huffman coding.
inline Bytes CompressibleBytes(std::size_t size, uint32_t seed = 1) {
  static const char* const kWords[] = {"setup ", "file ", "folder ", "registry ", "shortcut ",
                                       "install ", "product ", "version ", "\r\n", "0123 "};
  std::mt19937 generator(seed);
  Bytes bytes;
  bytes.reserve(size + 16);
  while (bytes.size() < size) {
    const char* word = kWords[generator() % 10];
    bytes.insert(bytes.end(), word, word + std::char_traits<char>::length(word));
  }
  bytes.resize(size);
  return bytes;
}

inline uint32_t ZlibCrc(const Bytes& bytes) {
  return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

inline Bytes ZlibCompress(const Bytes& plain, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  Bytes stream(size);
  compress2(stream.data(), &size, plain.data(), static_cast<uLong>(plain.size()), level);
  stream.resize(size);
  return stream;
}

// Inflates a whole stream with zlib's one-shot call; false when it is not a valid stream.
inline bool ZlibUncompress(const Bytes& stream, std::size_t plainSize, Bytes* plain) {
  plain->assign(plainSize + 1, 0);  // one spare byte so a longer result is not cut to size
  uLongf size = static_cast<uLongf>(plain->size());
  int ret = uncompress(plain->data(), &size, stream.data(), static_cast<uLong>(stream.size()));
  plain->resize(size);
  return ret == Z_OK;
}

// Records every message box instead of showing it, for the life of the object.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
      shown_.push_back(request);
      return kIdOk;
    });
  }
  ~MessageBoxRecorder() { SetMessageBoxHandler(previous_); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const std::vector<MessageBoxRequest>& shown() const { return shown_; }

 private:
  MessageBoxHandler previous_;
  std::vector<MessageBoxRequest> shown_;
};

}  // namespace compress_test
