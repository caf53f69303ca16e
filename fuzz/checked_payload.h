#pragma once
// The inflating reader as the record readers and the content copy see it, with every byte
// it hands out compared against the stream inflated the plain way, at the same place.

#include <cstring>

#include "compress/inflating_reader.h"
#include "formats/record_stream.h"
#include "fuzz_input.h"
#include "reference_inflation.h"

class CheckedPayload : public ByteSource {
 public:
  CheckedPayload(InflatingReader* reader, const ReferenceInflation& reference)
      : reader_(reader), reference_(reference) {}

  std::size_t Read(void* data, std::size_t size) override {
    const std::size_t got = reader_->Read(data, size);
    Require(got <= size, "a read gives no more than asked");
    Compare(data, got);
    return got;
  }
  bool Failed() const override { return reader_->Failed(); }

  bool Next(std::size_t max, const char** data, std::size_t* size) {
    if (!reader_->Next(max, data, size)) return false;
    Require(*size != 0 && *size <= max, "a piece holds between 1 and the asked-for bytes");
    Compare(*data, *size);
    return true;
  }

  std::size_t Handed() const { return handed_; }

 private:
  void Compare(const void* data, std::size_t size) {
    Require(size <= reference_.size - handed_, "no byte handed out beyond what the stream holds");
    Require(std::memcmp(data, reference_.bytes + handed_, size) == 0, "bytes handed out are the stream's, in order");
    handed_ += size;
  }

  InflatingReader* reader_;
  const ReferenceInflation& reference_;
  std::size_t handed_ = 0;
};
