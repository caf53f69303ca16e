#include <gtest/gtest.h>

#include "builder/pe/pe_checksum.h"

#include <algorithm>
#include <random>

namespace {

struct ChecksumCase {
  const char* label;
  Bytes bytes;
  uint32_t checksumOffset;
  uint32_t expected;  // worked out by hand: folded word sum plus length
};

TEST(PeChecksum, KnownValues) {
  const std::vector<ChecksumCase> cases = {
      {"odd length pads the last byte", {0x01, 0x02, 0x03, 0, 0, 0, 0}, 3, 0x0201 + 0x0003 + 7},
      {"carry folds back in", {0xFF, 0xFF, 0x02, 0x00, 0, 0, 0, 0}, 4, 0x0002 + 8},
      {"the field itself counts as zero", {0x10, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x20, 0x00}, 2, 0x0030 + 8},
      {"a field at an odd offset", {0x10, 0xAA, 0xBB, 0xCC, 0xDD, 0x20, 0x00, 0x00}, 1, 0x0010 + 0x2000 + 8},
  };
  for (const ChecksumCase& c : cases) EXPECT_EQ(ComputePeChecksum(c.bytes, c.checksumOffset), c.expected) << c.label;
}

// Pieces of odd lengths split words between them; the sum must not notice.
TEST(PeChecksum, StreamedInPiecesMatchesWholeFile) {
  Bytes file(10001);
  std::mt19937 random(7);
  for (uint8_t& byte : file) byte = static_cast<uint8_t>(random());
  const uint32_t field = 216;
  std::fill_n(file.begin() + field, 4, 0);
  const uint32_t expected = ComputePeChecksum(file, field);
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4096}, file.size()}) {
    PeChecksumStream stream;
    for (std::size_t at = 0; at < file.size(); at += piece) {
      stream.Add(file.data() + at, std::min(piece, file.size() - at));
    }
    EXPECT_EQ(stream.Finish(), expected) << "pieces of " << piece;
  }
}

}  // namespace
