#include "tests/pe/pe_test_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

Bytes LoadTestProgram(const std::string& name) {
  std::ifstream in(std::string(BRISKLAY_PE_DATA_DIR) + "/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("missing test program " + name);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U32At(const Bytes& bytes, uint32_t offset) {
  uint32_t value = 0;
  if (!ReadU32(bytes, offset, &value)) throw std::runtime_error("read past the end");
  return value;
}

void PutU32(Bytes& bytes, uint32_t offset, uint32_t value) { WriteU32(bytes, offset, value); }
void PutU16(Bytes& bytes, uint32_t offset, uint16_t value) { WriteU16(bytes, offset, value); }

uint32_t ResourceRootOffset(const PeImage& image) {
  uint32_t offset = 0;
  if (!image.RvaToOffset(image.Directory(kDirectoryResource).address, 16, &offset)) {
    throw std::runtime_error("no resource directory");
  }
  return offset;
}

uint32_t FirstEntryTarget(const Bytes& file, uint32_t root, uint32_t directory) {
  return U32At(file, root + directory + 16 + 4) & 0x7FFFFFFFu;
}
