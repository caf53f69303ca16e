// CCRC32::Update against zlib's crc32 on the same 16 MiB buffer.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

#include "compress/crc32.h"

namespace {

constexpr std::size_t kSize = 16u << 20;

const std::vector<unsigned char>& Buffer() {
  static const std::vector<unsigned char> buffer = [] {
    std::vector<unsigned char> bytes(kSize);
    std::mt19937 generator(42);
    for (auto& b : bytes) b = static_cast<unsigned char>(generator());
    return bytes;
  }();
  return buffer;
}

void BM_CCRC32Update(benchmark::State& state) {
  const auto& buffer = Buffer();
  const CCRC32 checksum;
  for (auto _ : state) {
    uint32_t crc = CCRC32::kStart;
    checksum.Update(buffer.data(), buffer.size(), &crc);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

void BM_ZlibCrc32(benchmark::State& state) {
  const auto& buffer = Buffer();
  for (auto _ : state) {
    uLong crc = crc32(0, buffer.data(), static_cast<uInt>(buffer.size()));
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

// The byte-at-a-time path, for scale: it is what the table alone gives.
void BM_CCRC32UpdateByte(benchmark::State& state) {
  const auto& buffer = Buffer();
  const CCRC32 checksum;
  for (auto _ : state) {
    uint32_t crc = CCRC32::kStart;
    for (unsigned char byte : buffer) checksum.UpdateByte(byte, &crc);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}

BENCHMARK(BM_CCRC32Update)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CCRC32UpdateByte)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
