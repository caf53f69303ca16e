#pragma once
// Compressed setup data handed out from memory the way the setup program reads it from its
// own file: front to back, read once for the proof, rewound, then read again by the
// inflating thread. It counts what it handed out, so a target can say which bytes a
// checksum or the inflater saw.

#include <algorithm>
#include <cstdint>
#include <cstring>

class SetupDataInMemory {
 public:
  // At most `pieceLimit` bytes per read: the setup's own source fills whatever is asked
  // for, shorter pieces move the ends of the inflater's input to other places.
  SetupDataInMemory(const uint8_t* data, size_t size, uint32_t pieceLimit)
      : data_(data), size_(size), pieceLimit_(pieceLimit) {}

  // Up to `size` bytes, `*got` of them; 0 only at the end. Never fails.
  bool Read(char* buffer, uint32_t size, uint32_t* got) {
    const size_t want = std::min<size_t>({size, pieceLimit_, size_ - handed_});
    if (want != 0) std::memcpy(buffer, data_ + handed_, want);
    handed_ += want;
    *got = static_cast<uint32_t>(want);
    return true;
  }

  void Rewind() { handed_ = 0; }
  // Bytes handed out since the start or the last Rewind.
  size_t Handed() const { return handed_; }

 private:
  const uint8_t* data_;
  size_t size_;
  uint32_t pieceLimit_;
  size_t handed_ = 0;
};
