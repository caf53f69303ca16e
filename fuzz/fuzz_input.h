#pragma once
// Hands a fuzzer's bytes to the readers as the seekable stdio stream they expect.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline FILE* OpenFuzzInput(const uint8_t* data, size_t size) {
  // An empty file is a valid input, but fmemopen refuses a buffer of length 0.
  if (size == 0) return fopen("/dev/null", "rb");
  return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}

// A broken invariant is a finding: stop so libFuzzer keeps the input.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  fprintf(stderr, "invariant broken: %s\n", what);
  abort();
}

inline bool Terminated(const char* buffer, size_t size) { return memchr(buffer, '\0', size) != nullptr; }
