#include "builder/output_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(fs::u8path(path), ignored);
}

}  // namespace

OutputSet::OutputSet(std::string base) : base_(std::move(base)) {}

OutputSet::~OutputSet() {
  for (const std::string& path : scratch_) RemoveQuietly(path);
  if (committed_) return;
  for (const std::string& suffix : suffixes_) RemoveQuietly(base_ + suffix + ".part");
}

std::string OutputSet::Add(const std::string& suffix) {
  suffixes_.push_back(suffix);
  return base_ + suffix + ".part";
}

std::string OutputSet::Scratch(const std::string& suffix) {
  scratch_.push_back(base_ + suffix);
  return scratch_.back();
}

bool OutputSet::Commit(const std::vector<std::string>& stale, std::string* error) {
  std::vector<std::string> renamed;
  for (const std::string& suffix : suffixes_) {
    std::error_code failure;
    fs::rename(fs::u8path(base_ + suffix + ".part"), fs::u8path(base_ + suffix), failure);
    if (failure) {
      *error = "cannot write " + base_ + suffix + ": " + failure.message();
      for (const std::string& done : renamed) RemoveQuietly(done);
      return false;
    }
    renamed.push_back(base_ + suffix);
  }
  committed_ = true;
  for (const std::string& suffix : stale) {
    if (std::find(suffixes_.begin(), suffixes_.end(), suffix) == suffixes_.end()) RemoveQuietly(base_ + suffix);
  }
  return true;
}
