#include "builder/source_tree.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Shown(const std::vector<std::string>& relative) {
  std::string text;
  for (const std::string& name : relative) text += (text.empty() ? "" : "/") + name;
  return text.empty() ? "the source" : "\"" + text + "\"";
}

bool DescribeItem(const fs::path& path, std::vector<std::string> relative, SourceItem* item,
                  std::string* error) {
  std::error_code failure;
  const fs::file_status status = fs::status(path, failure);
  if (failure || status.type() == fs::file_type::not_found) {
    *error = Shown(relative) + (status.type() == fs::file_type::not_found ? " does not exist"
                                                                           : " cannot be examined: " +
                                                                                 failure.message());
    return false;
  }
  if (status.type() != fs::file_type::regular && status.type() != fs::file_type::directory) {
    *error = Shown(relative) + " is neither a file nor a folder";
    return false;
  }
  item->path = path;
  item->relative = std::move(relative);
  item->isFolder = status.type() == fs::file_type::directory;
  if (!item->isFolder) {
    item->size = fs::file_size(path, failure);
    if (failure) {
      *error = Shown(item->relative) + " cannot be measured: " + failure.message();
      return false;
    }
  }
  std::string reason;
  if (!ReadSourceTimes(path, &item->times, &reason)) {
    *error = Shown(item->relative) + ": " + reason;
    return false;
  }
  return true;
}

bool SortedChildren(const fs::path& folder, const std::vector<std::string>& relative,
                    std::vector<fs::path>* children, std::string* error) {
  std::error_code failure;
  for (fs::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
    children->push_back(it->path());
  }
  if (failure) {
    *error = Shown(relative) + " cannot be listed: " + failure.message();
    return false;
  }
  std::sort(children->begin(), children->end(),
            [](const fs::path& a, const fs::path& b) { return a.filename().u8string() < b.filename().u8string(); });
  return true;
}

bool CollectFolder(const SourceItem& folder, std::set<fs::path>* ancestors, std::vector<SourceItem>* items,
                   std::string* error) {
  std::error_code failure;
  const fs::path identity = fs::canonical(folder.path, failure);
  if (failure || !ancestors->insert(identity).second) {
    *error = Shown(folder.relative) + (failure ? " cannot be resolved: " + failure.message()
                                               : " contains itself through a link");
    return false;
  }
  std::vector<fs::path> children;
  if (!SortedChildren(folder.path, folder.relative, &children, error)) return false;
  for (const fs::path& child : children) {
    std::vector<std::string> relative = folder.relative;
    relative.push_back(child.filename().u8string());
    if (relative.back().find('\\') != std::string::npos) {
      *error = Shown(relative) + " has a backslash in its name, which Windows would take as a folder; rename it";
      return false;
    }
    SourceItem item;
    if (!DescribeItem(child, std::move(relative), &item, error)) return false;
    items->push_back(item);
    if (item.isFolder && !CollectFolder(item, ancestors, items, error)) return false;
  }
  ancestors->erase(identity);
  return true;
}

}  // namespace

bool CollectSource(const fs::path& source, std::vector<SourceItem>* items, std::string* error) {
  SourceItem root;
  if (!DescribeItem(source, {}, &root, error)) return false;
  items->push_back(root);
  if (!root.isFolder) return true;
  std::set<fs::path> ancestors;
  return CollectFolder(root, &ancestors, items, error);
}
