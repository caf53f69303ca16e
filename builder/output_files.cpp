#include "builder/output_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "builder/interrupt_cleanup.h"

namespace fs = std::filesystem;

namespace {

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(fs::u8path(path), ignored);
}

}  // namespace

OutputSet::OutputSet(std::string base) : base_(std::move(base)) {}

OutputSet::~OutputSet() {
  for (const std::string& path : scratch_) {
    RemoveQuietly(path);
    ForgetOnInterrupt(path);
  }
  for (const std::string& suffix : suffixes_) {
    if (!committed_) RemoveQuietly(base_ + suffix + ".part");
    ForgetOnInterrupt(base_ + suffix + ".part");
  }
  // Only folders left empty go: anything else in them is not ours to remove.
  for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
    if (!committed_) RemoveQuietly(*folder);
    ForgetOnInterrupt(*folder);
  }
}

bool OutputSet::MakeFolder(std::string* error) {
  std::vector<fs::path> missing;
  std::error_code failure;
  for (fs::path folder = fs::u8path(base_).parent_path(); !folder.empty() && !fs::exists(folder, failure);
       folder = folder.parent_path()) {
    missing.push_back(folder);
    if (folder == folder.parent_path()) break;
  }
  for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
    if (!fs::create_directory(*folder, failure) && failure) {
      *error = "cannot create the output folder " + folder->u8string() + ": " + failure.message();
      return false;
    }
    madeFolders_.push_back(folder->u8string());
    RemoveFolderOnInterrupt(madeFolders_.back());
  }
  return true;
}

std::string OutputSet::Add(const std::string& suffix) {
  suffixes_.push_back(suffix);
  RemoveFileOnInterrupt(base_ + suffix + ".part");
  return base_ + suffix + ".part";
}

std::string OutputSet::Scratch(const std::string& suffix) {
  scratch_.push_back(base_ + suffix);
  RemoveFileOnInterrupt(scratch_.back());
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
