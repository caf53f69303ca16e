#pragma once
// A zlib stream inflated the plain way, all input at once into one buffer: what the
// threaded, block-wise inflater must agree with, byte for byte and in how the stream ends.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "compress/inflating_reader.h"

struct ReferenceInflation {
  InflatingReader::End end = InflatingReader::End::kDamaged;
  bool tooLarge = false;  // more than the limit came out; nothing else is known
  const char* bytes = nullptr;  // every byte inflated before the stream ended or broke
  size_t size = 0;
};

// The buffer is kept from call to call (a fuzzer runs this thousands of times a second)
// and holds `limit` + 1 bytes, so that a stream one byte over the limit shows as too large.
inline ReferenceInflation InflateForReference(const uint8_t* data, size_t size, size_t limit) {
  static std::unique_ptr<char[]> buffer;
  static size_t capacity = 0;
  if (capacity < limit + 1) {
    buffer.reset(new char[limit + 1]);
    capacity = limit + 1;
  }
  ReferenceInflation result;
  result.bytes = buffer.get();
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) {
    result.end = InflatingReader::End::kNoMemory;
    return result;
  }
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = reinterpret_cast<Bytef*>(buffer.get());
  stream.avail_out = static_cast<uInt>(limit + 1);
  int ret = Z_OK;
  // One call normally does it all; it stops early only when the output is full.
  do {
    ret = inflate(&stream, Z_NO_FLUSH);
  } while (ret == Z_OK && stream.avail_in != 0 && stream.avail_out != 0);
  result.size = limit + 1 - stream.avail_out;
  inflateEnd(&stream);
  result.tooLarge = result.size > limit;
  if (ret == Z_MEM_ERROR) {
    result.end = InflatingReader::End::kNoMemory;
  } else if (ret == Z_STREAM_END && stream.avail_in == 0) {
    result.end = InflatingReader::End::kWhole;
  } else {
    // Bad data, a preset dictionary, cut short, or bytes after the stream's end.
    result.end = InflatingReader::End::kDamaged;
  }
  return result;
}
