#include "test_tree.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TestTree::TestTree() {
  std::string pattern = (fs::temp_directory_path() / "brisklay-builder-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TestTree::~TestTree() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void TestTree::WriteFile(const std::string& relative, const std::string& content) const {
  const fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
}

void TestTree::MakeFolder(const std::string& relative) const { fs::create_directories(Path(relative)); }

void TestTree::SetTimes(const std::string& relative, int64_t accessSeconds, int64_t writeSeconds,
                        uint32_t nanoseconds) const {
  const struct timespec times[2] = {{static_cast<time_t>(accessSeconds), static_cast<long>(nanoseconds)},
                                    {static_cast<time_t>(writeSeconds), static_cast<long>(nanoseconds)}};
  if (utimensat(AT_FDCWD, Path(relative).c_str(), times, 0) != 0) throw std::runtime_error("utimensat failed");
}

std::string TestTree::Manifest(const std::string& text) const {
  WriteFile("manifest.toml", text);
  return Path("manifest.toml").string();
}

std::vector<std::string> TestTree::OutputFiles() const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (fs::directory_iterator it(root_ / "out", ignored), end; !ignored && it != end; it.increment(ignored)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t Ticks(const FileTime& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t ExpectedTicks(int64_t seconds, uint32_t nanoseconds) {
  return static_cast<uint64_t>(seconds + 11644473600LL) * 10000000u + nanoseconds / 100;
}
