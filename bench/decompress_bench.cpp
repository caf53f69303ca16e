// Archive::DecompressFile against a minimal zlib inflate loop, file to file, on the same
// compressed ~64 MiB of text-like data.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "compress/archive.h"

namespace {

constexpr std::size_t kPlainSize = 64u << 20;
constexpr std::size_t kChunk = 128u << 10;

// The compressed input, made once and removed when the program ends.
class Workload {
 public:
  Workload() {
    dir_ = std::filesystem::temp_directory_path() / ("brisklay-bench-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir_);
    WriteCompressedText();
  }
  ~Workload() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string Source() const { return (dir_ / "packed.bin").string(); }
  std::string Destination() const { return (dir_ / "unpacked.bin").string(); }

 private:
  void WriteCompressedText() {
    static const char* const kWords[] = {"setup ", "file ", "folder ", "registry ", "shortcut ",
                                         "install ", "product ", "version ", "\r\n", "0123 "};
    std::mt19937 generator(5);
    std::string plain;
    plain.reserve(kPlainSize + 16);
    while (plain.size() < kPlainSize) plain += kWords[generator() % 10];
    plain.resize(kPlainSize);
    std::vector<unsigned char> packed(compressBound(static_cast<uLong>(plain.size())));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(plain.data()),
              static_cast<uLong>(plain.size()), Z_DEFAULT_COMPRESSION);
    std::FILE* file = std::fopen(Source().c_str(), "wb");
    std::fwrite(packed.data(), 1, packedSize, file);
    std::fclose(file);
  }

  std::filesystem::path dir_;
};

const Workload& TheWorkload() {
  static const Workload workload;
  return workload;
}

// The textbook loop: fixed chunks in, drain the output, until the stream ends.
bool InflateWithZlib(const char* sourcePath, const char* destinationPath) {
  std::FILE* source = std::fopen(sourcePath, "rb");
  std::FILE* destination = std::fopen(destinationPath, "wb");
  static unsigned char in[kChunk];
  static unsigned char out[kChunk];
  z_stream stream{};
  inflateInit(&stream);
  int ret = Z_OK;
  do {
    stream.avail_in = static_cast<uInt>(std::fread(in, 1, kChunk, source));
    if (stream.avail_in == 0) break;
    stream.next_in = in;
    do {
      stream.avail_out = kChunk;
      stream.next_out = out;
      ret = inflate(&stream, Z_NO_FLUSH);
      if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_MEM_ERROR) break;
      std::fwrite(out, 1, kChunk - stream.avail_out, destination);
    } while (stream.avail_out == 0);
  } while (ret != Z_STREAM_END && ret >= 0);
  inflateEnd(&stream);
  std::fclose(destination);
  std::fclose(source);
  return ret == Z_STREAM_END;
}

void BM_ArchiveDecompressFile(benchmark::State& state) {
  const Workload& workload = TheWorkload();
  Archive archive;
  for (auto _ : state) {
    uint32_t crcPlain = 0;
    uint32_t crcStream = 0;
    int code = archive.DecompressFile(workload.Source().c_str(), workload.Destination().c_str(), &crcPlain,
                                      &crcStream);
    if (code != kArchiveOk) state.SkipWithError("decompression failed");
    benchmark::DoNotOptimize(crcPlain);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPlainSize));
}

void BM_ZlibInflateLoop(benchmark::State& state) {
  const Workload& workload = TheWorkload();
  for (auto _ : state) {
    if (!InflateWithZlib(workload.Source().c_str(), workload.Destination().c_str()))
      state.SkipWithError("decompression failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPlainSize));
}

BENCHMARK(BM_ArchiveDecompressFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibInflateLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
